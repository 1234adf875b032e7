// The main window as a whole: its controls at their places, the menu keys, the start-up
// and closing sequences and the tick while modal boxes are open.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QMenu>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <memory>

#include "app/Hlav.h"
#include "support/AppSupport.h"

namespace {

// Waits while the event loop runs, so the window's own 55 ms ticks go on.
void Spin(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) QTest::qWait(10);
}

} // namespace

class TestStartup : public QObject {
  Q_OBJECT
private Q_SLOTS:
  void ControlsStandAtTheirDesignPlaces();
  void MenuItemsCarryTheirKeys();
  void WithoutUnitTheIndicatorShowsOnTheNineteenthTick();
  void ExitAndCloseBoxRunTheClosingSequence();
  void StatusBarShowsTheLongHintUnderThePointer();
  void TicksRunWhileTheStartUpBoxIsOpen();
  void TicksRunWhileABoxOpenedInsideATickIsOpen();
  void APulledAdapterShowsTheIndicatorAndTheComItemReopensIt();
};

void TestStartup::ControlsStandAtTheirDesignPlaces() {
  TTestHome home;
  TModalAnswerer answerer;
  TFormHlav form(QStringList{});
  struct TPlace {
    const char* Name;
    int X, Y, W, H; // W, H 0: not fixed by the design
  };
  const TPlace places[] = {
      {"GroupBoxToolBar", 4, 0, 437, 43},     {"LabelSpojeni", 445, 9, 0, 0},
      {"GroupBox6", 4, 48, 333, 409},         {"RadioGroupPolarita", 340, 48, 218, 0},
      {"RadioGroupInput1", 340, 140, 218, 0}, {"RadioGroupInput2", 340, 283, 218, 0},
      {"GroupBoxRpm", 340, 424, 0, 0},        {"GroupBoxMonInput", 340, 512, 0, 0},
      {"GroupBox2", 562, 48, 0, 273},         {"GroupBox1", 562, 322, 0, 0},
      {"LabelRpm", 570, 393, 0, 0},           {"LabelHlaseni", 9, 462, 0, 0},
      {"CGaugeProgram", 8, 485, 0, 0},        {"LabelVerze1", 13, 512, 0, 0},
      {"ImageLogo", 250, 600, 311, 50},       {"LabelTest1", 8, 709, 0, 0},
      {"LabelTest5", 8, 736, 0, 0},
  };
  for (const TPlace& p : places) {
    auto* w = form.ClientArea->findChild<QWidget*>(p.Name);
    QVERIFY2(w != nullptr, p.Name);
    QCOMPARE(w->mapTo(form.ClientArea, QPoint(0, 0)), QPoint(p.X, p.Y));
    if (p.W > 0) QCOMPARE(w->width(), p.W);
    if (p.H > 0) QCOMPARE(w->height(), p.H);
  }
  // The curve rows, placed within their group: 35 to 36 pixels apart.
  const std::tuple<const char*, int, int> curve[] = {
      {"EditRpmAdv1", 20, 49},    {"EditAdvance1", 99, 49},    {"EditRpmAdv2", 20, 84},
      {"EditRpmAdv3", 20, 120},   {"EditRpmAdv10", 20, 368},   {"EditRpmAdv11", 179, 47},
      {"EditAdvance11", 258, 47}, {"EditAdvance15", 258, 189},
  };
  for (const auto& [name, x, y] : curve) {
    auto* w = form.GroupBox6->findChild<QWidget*>(name);
    QVERIFY2(w != nullptr, name);
    QCOMPARE(w->pos(), QPoint(x, y));
  }
  // Every curve row has its edits and spinners; the monitor column is complete.
  for (int i = 1; i <= 15; ++i)
    for (const char* prefix : {"EditRpmAdv", "EditAdvance", "UpDownRpmAdv", "UpDownAdvance"})
      QVERIFY(form.findChild<QWidget*>(QString("%1%2").arg(prefix).arg(i)) != nullptr);
  for (const char* name :
       {"CGaugeRpm", "LabelMon_Advance", "LabelSnimac", "LabelNapeti", "LabelKillSwitch",
        "LabelBlocking", "LabelMonRetard", "LabelMonStartLimiterOut", "LabelMonHardLimiter",
        "LabelMonLedRazeni", "LabelClutchMon", "LabelPolaritaMer", "StatusBar1"})
    QVERIFY2(form.findChild<QWidget*>(name) != nullptr, name);
  QCOMPARE(form.ClientArea->minimumSize(), QSize(888, 712)); // the right column is wider
}

void TestStartup::MenuItemsCarryTheirKeys() {
  TTestHome home;
  TModalAnswerer answerer;
  TFormHlav form(QStringList{});
  const std::pair<const char*, const char*> keys[] = {
      {"MenuNew", "Ctrl+N"},   {"MenuOpen", "F3"},          {"MenuSave", "F2"},
      {"MenuPrint", "Ctrl+P"}, {"MenuRead", "F7"},          {"MenuVerify", "F8"},
      {"MenuProgram", "F9"},   {"MenuAdvanceMinus", "F4"},  {"MenuAdvancePlus", "F5"},
      {"MenuZpet", "Ctrl+Z"},  {"MenuZnovu", "Ctrl+Alt+Z"}, {"MenuContens", "F1"},
  };
  for (const auto& [name, key] : keys) {
    auto* action = form.findChild<QAction*>(name);
    QVERIFY2(action != nullptr, name);
    QCOMPARE(action->shortcut(), QKeySequence(key));
  }
  for (int n = 1; n <= 10; ++n)
    QVERIFY(form.findChild<QAction*>(QString("MenuCom%1").arg(n)) != nullptr);
  // The five given items and four separators first; later capabilities come after Exit.
  const QList<QAction*> file = form.MenuFile->actions();
  QVERIFY(file.size() >= 9);
  const QAction* given[] = {form.MenuNew,   nullptr, form.MenuOpen, nullptr, form.MenuSave, nullptr,
                            form.MenuPrint, nullptr, form.MenuExit};
  for (int i = 0; i < 9; ++i)
    QVERIFY2(given[i] != nullptr ? file[i] == given[i] : file[i]->isSeparator(),
             qPrintable(QString::number(i)));
}

void TestStartup::WithoutUnitTheIndicatorShowsOnTheNineteenthTick() {
  TTestHome home;
  TModalAnswerer answerer;
  TFormHlav form(QStringList{});
  QCOMPARE(answerer.Texts.size(), 1);
  QVERIFY(answerer.Texts[0].startsWith("Com opening error!"));
  QVERIFY(answerer.Texts[0].contains("no-such-port-1"));
  form.Link.NoLinkTicks = 0;
  for (int tick = 1; tick <= 18; ++tick) {
    form.Timer1Timer();
    QVERIFY(form.LabelSpojeni->isHidden());
  }
  form.Timer1Timer();
  QVERIFY(!form.LabelSpojeni->isHidden());
  QCOMPARE(form.LabelSpojeni->text(), QString("No connection with PC"));
  // While the window is printed, the tick keeps it hidden.
  form.Link.SetPrinting(true);
  form.Timer1Timer();
  QVERIFY(form.LabelSpojeni->isHidden());
  form.Link.SetPrinting(false);
}

void TestStartup::ExitAndCloseBoxRunTheClosingSequence() {
  TTestHome home;
  TModalAnswerer answerer;
  {
    TFormHlav form(QStringList{});
    form.show();
    form.MenuExit->trigger();
    QVERIFY(!form.isVisible());
  }
  QVERIFY(QFile::exists(home.File("vantel.ini")));
  QVERIFY(QFile::exists(home.File("_vantel.ini")));
  QFile::remove(home.File("vantel.ini"));
  {
    TFormHlav form(QStringList{});
    form.show();
    QVERIFY(form.close()); // the close box: never vetoed
  }
  QVERIFY(QFile::exists(home.File("vantel.ini")));
}

void TestStartup::StatusBarShowsTheLongHintUnderThePointer() {
  TTestHome home;
  TModalAnswerer answerer;
  TFormHlav form(QStringList{});
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QTest::mouseMove(form.ButtonVerify);
  QTRY_COMPARE(form.StatusBar1->currentMessage(),
               QString("Compare set parametrs  with parametrs of ignition"));
  QTest::mouseMove(form.LabelRpm1);
  QTRY_COMPARE(form.StatusBar1->currentMessage(), QString("Speed - Round per Minute"));
}

void TestStartup::TicksRunWhileTheStartUpBoxIsOpen() {
  TTestHome home;
  // The "Com opening error!" box stays open half a second; the armed timer ticks meanwhile.
  int ticksSeen = -1;
  QTimer poll;
  QElapsedTimer open;
  poll.setInterval(10);
  connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    if (!open.isValid()) open.start();
    if (open.elapsed() < 500) return;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* form = qobject_cast<TFormHlav*>(w)) ticksSeen = form->Link.NoLinkTicks;
    box->done(QMessageBox::Ok);
  });
  poll.start();
  TFormHlav form(QStringList{});
  QVERIFY2(ticksSeen >= 4, qPrintable(QString::number(ticksSeen)));
}

void TestStartup::TicksRunWhileABoxOpenedInsideATickIsOpen() {
  TSimProcess sim;
  QVERIFY(sim.Start({"--version", "66"}));
  TTestHome home;
  qputenv("VANTEL_COM1", sim.Path.c_str());
  TFormHlav form(QStringList{});
  Spin(500); // monitor frames flow
  QString boxText, testAtOpen, testBeforeClose;
  QTimer poll;
  QElapsedTimer open;
  poll.setInterval(10);
  connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    if (!open.isValid()) {
      open.start();
      boxText = box->text();
      testAtOpen = form.LabelTests[0]->text();
    }
    if (open.elapsed() < 800) return;
    testBeforeClose = form.LabelTests[0]->text();
    QCOMPARE(form.Link.TransferMode, tmIdle);
    box->done(QMessageBox::Ok);
  });
  poll.start();
  form.MenuReadClick();
  QTRY_VERIFY_WITH_TIMEOUT(!testBeforeClose.isEmpty(), 5000);
  QCOMPARE(boxText, QString("Unmatched version of PC and Ignition programs!  PC-67, IGN-66"));
  // Monitor frames were taken in while the box was open: the idle branch ran.
  QVERIFY2(testAtOpen != testBeforeClose, qPrintable(testAtOpen + " / " + testBeforeClose));
  QTRY_VERIFY_WITH_TIMEOUT(form.LabelHlaseni->isHidden(), 1000);
}

void TestStartup::APulledAdapterShowsTheIndicatorAndTheComItemReopensIt() {
  TTestHome home;
  const QString link = home.File("adapter");
  qputenv("VANTEL_COM1", link.toLocal8Bit());
  auto first = std::make_unique<TSimProcess>();
  QVERIFY(first->Start({"--link", link.toStdString(), "--unplug-after", "1"}));
  TFormHlav form(QStringList{});
  QTRY_VERIFY_WITH_TIMEOUT(form.Link.MonitorFrame[0] == 0xB0, 3000);
  QVERIFY(form.LabelSpojeni->isHidden());
  // The line hangs up: the indicator shows and the window stays responsive.
  QTRY_VERIFY_WITH_TIMEOUT(!form.LabelSpojeni->isHidden(), 4000);
  first.reset();
  // The adapter is back (under the same name); choosing Com 1 again opens it.
  TSimProcess second;
  QVERIFY(second.Start({"--link", link.toStdString()}));
  TModalAnswerer answerer;
  form.MenuComItems[0]->trigger();
  QVERIFY2(answerer.Texts.isEmpty(), qPrintable(answerer.Texts.join("|")));
  QVERIFY(form.MenuComItems[0]->isChecked());
  QTRY_VERIFY_WITH_TIMEOUT(form.LabelSpojeni->isHidden(), 3000);
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
