// The window on a 1366 x 768 laptop screen: it starts within the screen and its client
// area scrolls when the window is smaller than the design. The virtual screen is set up
// before the application starts, so this test has its own main().
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QCheckBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "app/Hlav.h"
#include "support/AppSupport.h"
#include "app/FormCurve.h"

class TestSmallScreen : public QObject {
  Q_OBJECT

private slots:
  void StartsWithinTheScreen_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::newRow("first start") << QByteArray();
    QTest::newRow("stored larger than the screen")
        << QByteArray("[FORM_HLAV]\nLeft=0\nTop=0\nHeight=1000\nWidth=1400\n");
    QTest::newRow("stored larger, towards the right edge")
        << QByteArray("[FORM_HLAV]\nLeft=238\nTop=40\nHeight=1200\nWidth=1500\n");
    QTest::newRow("stored on a screen no longer attached")
        << QByteArray("[FORM_HLAV]\nLeft=3000\nTop=-900\nHeight=700\nWidth=850\n");
  }
  void StartsWithinTheScreen() {
    QFETCH(QByteArray, ini);
    TTestHome home;
    TModalAnswerer answerer;
    home.Write("vantel.ini", ini);
    TFormHlav form{QStringList{}};
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QRect screen(0, 0, 1366, 768);
    QTRY_VERIFY(screen.contains(form.frameGeometry()));
    const QRect status(form.StatusBar1->mapToGlobal(QPoint(0, 0)), form.StatusBar1->size());
    QVERIFY(screen.contains(status));
  }

  // No room beside the main window: the curve window leaves the Program button, the status
  // and the live values in view, and stays wholly on the screen.
  void TheCurveWindowLeavesTheCommandsAndLiveValuesInView() {
    TTestHome home;
    TModalAnswerer answerer;
    TFormHlav form{QStringList{}};
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    Press(&form, QKeySequence(Qt::Key_F6));
    QWidget* curve = form.FormCurve;
    QVERIFY(curve != nullptr && QTest::qWaitForWindowExposed(curve));
    const QRect placed = curve->frameGeometry();
    QVERIFY(QRect(0, 0, 1366, 768).contains(placed));
    QVERIFY(placed.width() >= 500);
    for (QWidget* kept : std::initializer_list<QWidget*>{
             form.ButtonProgram, form.ButtonRead, form.ButtonVerify, form.LabelRpm,
             form.LabelMon_Advance, form.LabelNapeti, form.CheckBoxProgHned})
      QVERIFY2(!placed.intersects(QRect(kept->mapToGlobal(QPoint(0, 0)), kept->size())),
               qPrintable(kept->objectName()));
  }

  void ASmallWindowScrollsToTheControlThatTakesTheFocus() {
    TTestHome home;
    TModalAnswerer answerer;
    TFormHlav form{QStringList{}};
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(form.minimumSize().width() <= 400 && form.minimumSize().height() <= 300);
    form.resize(500, 350);
    QTRY_COMPARE(form.size(), QSize(500, 350));
    QTRY_VERIFY(form.ClientScroll->verticalScrollBar()->isVisible());
    QVERIFY(form.ClientScroll->horizontalScrollBar()->isVisible());
    QCOMPARE(form.ClientArea->size(), form.ClientArea->minimumSize()); // nothing squeezed
    // Enter in the pulses edit moves the focus to the correction edit, far below and right.
    form.EditRpmPulsu->setFocus();
    Press(&form, QKeySequence(Qt::Key_Return));
    QCOMPARE(QApplication::focusWidget(), form.EditRpmKorekce);
    QWidget* viewport = form.ClientScroll->viewport();
    const QRect shown(form.EditRpmKorekce->mapTo(viewport, QPoint(0, 0)),
                      form.EditRpmKorekce->size());
    QVERIFY(viewport->rect().contains(shown));
  }
};

int main(int argc, char** argv) {
  QTemporaryDir dir;
  QFile config(dir.filePath("screen.json"));
  if (!config.open(QIODevice::WriteOnly) ||
      config.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366,
                       "height": 768, "logicalDpi": 96, "dpr": 1}]})") < 0)
    return 1;
  config.close();
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
  QApplication application(argc, argv);
  TestSmallScreen test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_small_screen.moc"
