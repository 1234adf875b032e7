// How the window looks: every text fits its control in every language with realistic live
// values, accelerators are underlined, the icons, and greyed live labels.
#include "app/FormAbout.h"
#include "app/Hlav.h"
#include "app/PathLabel.h"
#include "support/AppSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>
#include <QToolTip>

class TestAppearance : public QObject {
  Q_OBJECT

private slots:
  void init() { CurrentLanguage = LangEnglish; }

  void EveryTextFitsItsControlInEveryLanguage() {
    TTestHome home;
    TModalAnswerer answerer;
    TSimPort port;
    TFormHlav form{QStringList{}};
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // The longest values the controls hold.
    TIgnParams& p = form.Image.Params;
    p.PocetBodu = 15;
    p.Input1 = 4;
    p.Input2 = 2;
    p.Omez1 = p.Omez2 = p.LedRazeni = 250;
    p.Clutch1 = p.Clutch2 = 250;
    p.RpmKorekce = 40;
    for (auto& speed : p.RpmAdv) speed = 201;
    form.ParamsToScreen();
    for (QWidget* w : std::initializer_list<QWidget*>{form.LabelHlaseni, form.CGaugeProgram,
                                                      form.LabelEeDataErr})
      w->show();
    QStringList faults;
    QAction* languages[] = {form.MenuEnglish, form.MenuGerman, form.MenuFrench, form.MenuCzech};
    for (QAction* language : languages) {
      const QString name = language->objectName();
      // No unit: the connection indicator and the idle texts.
      form.Link.SetPort(nullptr);
      form.Link.NoLinkTicks = 18;
      form.Timer1Timer();
      language->trigger();
      faults << LayoutFaults(form.ClientArea, name + ", no unit");
      // A unit of another version with every state set, then every state clear.
      for (bool set : {true, false}) {
        port.EditMonitor = [set](TLinkFrame& f) {
          f[1] = 12000 & 0xFF, f[2] = 12000 >> 8, f[3] = 14250 & 0xFF, f[4] = 14250 >> 8;
          f[5] = f[6] = 0xFF;
          f[31] = 145, f[32] = 60, f[50] = 66;
          for (int offset = 29; offset <= 43; ++offset)
            if (offset != 31 && offset != 32) f[offset] = set;
          f[42] = 1;
        };
        form.Link.SetPort(&port);
        form.Link.MonitorFrame[0] = 0;
        QTRY_VERIFY(form.Link.MonitorFrame[0] == 0xB0);
        QVERIFY(!form.LabelVersion->isHidden());
        faults << LayoutFaults(form.ClientArea, name + (set ? ", all set" : ", all clear"));
      }
      const TMessageCatalogue& m = form.Msg;
      for (const std::string& status :
           {m.MsgProgramming + ": OK", m.MsgVerify + ": OK", m.MsgRead + ":", m.MsgSaving,
            m.MsgProgramError, m.MsgVerifyError, m.MsgReadError,
            m.MsgPrintDateTime + "31.12.2024    23:59:59"}) {
        form.LabelHlaseni->setText(QString::fromStdString(status));
        if (const QString why = TextCut(form.LabelHlaseni); !why.isEmpty())
          faults << name + ": " + why;
      }
    }
    form.Link.SetPort(nullptr);
    for (const QString& fault : faults) qWarning("%s", qPrintable(fault));
    QCOMPARE(faults.size(), 0);
  }

  void ALongPathIsShortenedInTheMiddleWithTheWholePathAsTooltip() {
    TTestHome home;
    TModalAnswerer answerer;
    const QString path = home.File("motorcycles/KTM 640 LC4 2004/carburettor setup/summer.ign");
    home.Write("vantel.ini", "[FORM_HLAV]\nFile=" + path.toUtf8() + "\n");
    TFormHlav form{QStringList{}};
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* label = qobject_cast<TPathLabel*>(form.LabelFile2);
    QVERIFY(label != nullptr);
    QCOMPARE(label->text(), path); // what the settings keep
    const QString shown = label->ShownText();
    QVERIFY2(shown.startsWith(path.left(8)) && shown.endsWith("summer.ign") &&
                 shown.contains(QChar(0x2026)),
             qPrintable(shown));
    QVERIFY(label->fontMetrics().horizontalAdvance(shown) <= label->contentsRect().width());
    QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), label->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(label, &hover);
    QTRY_COMPARE(QToolTip::text(), path);
    QToolTip::hideText();
    label->setText("/a.ign");
    QCOMPARE(label->ShownText(), QString("/a.ign"));
  }

  void FileLabelUnderlinesItsAcceleratorInEveryLanguage() {
    TTestHome home;
    TModalAnswerer answerer;
    TFormHlav form{QStringList{}};
    const char* const shown[] = {"File:", "Datei:", "Fichier:", "Soubor:"};
    QAction* languages[] = {form.MenuEnglish, form.MenuGerman, form.MenuFrench, form.MenuCzech};
    for (int language = 0; language < 4; ++language) {
      languages[language]->trigger();
      QTextDocument drawn;
      drawn.setHtml(form.LabelFile1->text());
      QCOMPARE(form.LabelFile1->textFormat(), Qt::RichText);
      QCOMPARE(drawn.toPlainText(), QString(shown[language]));
      const QTextBlock line = drawn.firstBlock();
      QVERIFY(line.begin().fragment().charFormat().fontUnderline()); // the first letter
      QVERIFY(!(++line.begin()).fragment().charFormat().fontUnderline());
    }
  }

  // Run at scale 1 and, as a second test, at scale 2: the logos come from pictures of the
  // screen's density, shown at the same size, and the tool icons have their own drawing.
  void LogosAndIconsAtTheScreensDensity() {
    TTestHome home;
    TModalAnswerer answerer;
    TFormHlav form{QStringList{}};
    TFormAbout about;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const qreal ratio = form.devicePixelRatioF();
    if (qEnvironmentVariableIntValue("QT_SCALE_FACTOR") == 2) QCOMPARE(ratio, qreal(2));
    const int density = ratio > 1 ? 2 : 1;
    const struct {
      QLabel* Label;
      QSize Size;
    } logos[] = {{form.ImageLogo, {311, 50}}, {about.Image1, {313, 49}}};
    for (const auto& logo : logos) {
      const QPixmap pixmap = logo.Label->pixmap();
      QCOMPARE(pixmap.devicePixelRatio(), qreal(density));
      QCOMPARE(pixmap.size(), logo.Size * density); // drawn at that size, not enlarged
      QCOMPARE(pixmap.deviceIndependentSize().toSize(), logo.Size);
    }
    const QSize iconSize = form.SpeedButton5->iconSize();
    for (QToolButton* b : form.GroupBoxToolBar->findChildren<QToolButton*>())
      QVERIFY2(b->icon().availableSizes().contains(iconSize * density),
               qPrintable(b->objectName()));
  }

  void PrinterAndProgramIcons() {
    TTestHome home;
    TModalAnswerer answerer;
    TFormHlav form{QStringList{}};
    QTRY_VERIFY(!form.windowIcon().isNull()); // set once the window is up
    const QImage print = form.SpeedButtonPrint->icon().pixmap(24).toImage();
    QVERIFY(!print.isNull());
    const QImage list =
        form.style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(24).toImage();
    QVERIFY(print != list);
  }

  void AGreyedLiveLabelShowsNoStateColour() {
    TTestHome home;
    TModalAnswerer answerer;
    TSimPort port;
    port.Unit.Advance(6.0); // the unit's input 2 (retard) is active
    TFormHlav form{QStringList{}};
    form.Link.SetPort(&port);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTRY_COMPARE(form.LabelMonRetard->text(), QString("Retard - Yes"));
    const auto aqua = [&] {
      const QImage image = form.LabelMonRetard->grab().toImage();
      return image.pixelColor(image.width() - 2, image.height() / 2) == QColor(0, 255, 255);
    };
    QVERIFY(!form.LabelMonRetard->isEnabled()); // no input is set to retard on the screen
    QVERIFY(!aqua());
    auto* retard = form.findChild<QRadioButton*>("RadioGroupInput2_3");
    QTest::mouseClick(retard, Qt::LeftButton, {}, QPoint(8, retard->height() / 2)); // its circle
    QVERIFY(form.LabelMonRetard->isEnabled());
    QVERIFY(aqua());
    form.Link.SetPort(nullptr);
  }
};

QTEST_MAIN(TestAppearance)
#include "test_appearance.moc"
