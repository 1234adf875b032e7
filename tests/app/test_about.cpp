#include "app/FormAbout.h"
#include "model/Types.h"
#include "support/AppSupport.h"

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTimer>

class TestAbout : public QObject {
  Q_OBJECT

  TTestHome Home;

private slots:
  void initTestCase() { qunsetenv("VANTEL_ASSETS"); }

  void LayoutIsTheDesignedOne() {
    TFormAbout about;
    QCOMPARE(about.size(), QSize(415, 422));
    QVERIFY(!(about.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(about.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(about.palette().color(QPalette::Window), QColor(Qt::black));

    const struct {
      const char* Name;
      int Left, Top, PixelHeight;
    } controls[] = {
        {"LabelAbout", 32, 16, 16},  {"Label2", 32, 100, 16},     {"Label6", 32, 200, 16},
        {"Label10", 32, 300, 16},    {"LabelDate", 32, 353, 13},  {"LabelTime", 32, 375, 13},
        {"LabelRsKey", 32, 397, 13}, {"LabelExit", 216, 353, 13},
    };
    for (const auto& c : controls) {
      const auto* label = about.findChild<QLabel*>(c.Name);
      QVERIFY2(label, c.Name);
      QCOMPARE(label->pos(), QPoint(c.Left, c.Top));
      QCOMPARE(label->font().pixelSize(), c.PixelHeight);
      QVERIFY2(!label->text().isEmpty(), c.Name);
    }
    for (int i = 2; i <= 10; ++i)
      QVERIFY(about.findChild<QLabel*>(QString("Label%1").arg(i)) != nullptr);

    QCOMPARE(about.Image1->geometry(), QRect(32, 40, 313, 49));
    QVERIFY(!about.Image1->pixmap().isNull());
    QCOMPARE(about.Image1->pixmap().size(), QSize(313, 49));
  }

  void EveryTextFitsAndNothingOverlaps() {
    TFormAbout about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    const QStringList faults = LayoutFaults(&about, "about window");
    for (const QString& fault : faults) qWarning("%s", qPrintable(fault));
    QCOMPARE(faults.size(), 0);
    about.close();
  }

  void LowerLabelsCarryBuildStampAndVersion() {
    TFormAbout about;
    QCOMPARE(about.LabelAbout->text(), QString("Programm for setting of ignition"));
    QCOMPARE(about.LabelExit->text(), QString("OK"));
    QCOMPARE(about.LabelRsKey->text(), QString("Version - 67"));
    QVERIFY(QRegularExpression("^[A-Z][a-z]{2} [1-9][0-9]? [0-9]{4}$")
                .match(about.LabelDate->text())
                .hasMatch());
    QVERIFY(QRegularExpression("^[0-2][0-9]:[0-5][0-9]:[0-5][0-9]$")
                .match(about.LabelTime->text())
                .hasMatch());
  }

  void CentredOnceAtCreation() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    TFormAbout about;
    const QPoint centre(screen.x() + screen.width() / 2 - 415 / 2,
                        screen.y() + screen.height() / 2 - 422 / 2);
    QCOMPARE(about.pos(), centre);
    about.show();
    about.move(centre + QPoint(40, 30));
    about.close();
    about.show();
    QCOMPARE(about.pos(), centre + QPoint(40, 30));
    about.close();
  }

  void CaptionFollowsLanguageAtEachShowing() {
    TFormAbout about;
    const struct {
      TLanguage Language;
      const char* Caption;
    } cases[] = {
        {LangCzech, "O programu VANTEL-9"},   {LangGerman, "Über Programm VANTEL-9"},
        {9, "Über Programm VANTEL-9"}, // unknown language: caption stays
        {LangFrench, "Information VANTEL-9"}, {LangEnglish, "About VANTEL-9"},
    };
    for (const auto& c : cases) {
      CurrentLanguage = c.Language;
      about.show();
      QCoreApplication::processEvents();
      QCOMPARE(about.windowTitle(), QString::fromUtf8(c.Caption));
      about.close();
    }
    CurrentLanguage = LangEnglish;
  }

  void ClickOnOkEndsTheModalShowing() {
    TFormAbout about;
    bool clicked = false;
    QTimer::singleShot(0, &about, [&] {
      clicked = about.isVisible();
      QTest::mouseClick(about.LabelExit, Qt::LeftButton);
    });
    QTimer::singleShot(5000, &about, [&] { about.done(42); }); // guard against a hang
    const int result = about.exec();
    QVERIFY(clicked);
    QVERIFY(result != 42);
    QVERIFY(!about.isVisible());
  }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
