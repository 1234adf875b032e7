// Keys and focus as a person meets them: the menu keys wherever the focus is, and the
// refreshes that move the focus out of an edit they disable or hide.
#include "app/Hlav.h"
#include "files/IgnFile.h"
#include "model/Defaults.h"
#include "model/Keying.h"
#include "model/Normalise.h"
#include "support/AppSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <cstring>
#include <functional>

namespace {

TIgnParams Normalised(TIgnParams p) {
  TLanguage language = LangEnglish;
  std::uint8_t port = 1;
  NormaliseParams(p, language, port);
  return p;
}

// The default set with a keying type, the points in use, input modes, tachometer pulses and
// a curve of its own (speeds from rpm0 in steps, advance from adv0 in steps).
TIgnParams Set(std::uint8_t bike, std::uint8_t polarity, std::uint8_t points, std::uint8_t input1,
               std::uint8_t input2, std::uint8_t pulses, int rpm0, int rpmStep, int adv0,
               int advStep) {
  TIgnParams p{};
  LoadDefaultParams(p);
  p.Bike = bike;
  p.Polarita = polarity;
  p.PocetBodu = points;
  p.Input1 = input1;
  p.Input2 = input2;
  p.RpmPulsu = pulses;
  p.Omez1 = 60;
  for (int i = 0; i < CurvePoints; ++i) {
    p.RpmAdv[i] = static_cast<std::uint8_t>(rpm0 + rpmStep * i);
    p.Advance[i] = static_cast<std::uint8_t>(adv0 + advStep * i);
  }
  return Normalised(p);
}
// Start limiter in use, six points, "KTM 4T SEM"; and off, three points, "Husaberg 4T SEM".
TIgnParams StartLimiterSet() {
  return Set(3, 1, 6, 4, 0, 3, 15, 8, 5, 1);
}
TIgnParams StartLimiterOff() {
  return Set(6, 0, 3, 0, 3, 2, 20, 9, 30, -1);
}

// A number as a spinner's edit shows it.
QString Number(int n) {
  return n >= 1000 ? QLocale().toString(n) : QString::number(n);
}

bool Same(const TIgnParams& a, const TIgnParams& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

struct TWindow {
  TTestHome Home;
  TModalAnswerer Answerer{QMessageBox::Yes};
  TSimPort Port;
  TFormHlav Form{QStringList{}};

  TWindow() {
    Form.show();
    if (!QTest::qWaitForWindowActive(&Form)) qFatal("the window did not become active");
    Form.Link.SetPort(&Port);
  }
  ~TWindow() { Form.Link.SetPort(nullptr); }

  void Start(const TIgnParams& p) {
    Form.Image.Params = p;
    Form.ParamsToScreen();
    Form.InitHistory();
  }
  void Press(const QKeySequence& key) { ::Press(&Form, key); }
  // Waits for the transfer that a key started; it must not have failed.
  void AwaitTransfer() {
    QTRY_VERIFY_WITH_TIMEOUT(Form.Link.TransferMode == tmIdle, 5000);
    QVERIFY2(!Form.LabelHlaseni->text().contains("error"), qPrintable(Form.LabelHlaseni->text()));
  }
  // The record the screen shows, taken without touching the window's own record.
  TIgnParams Shown() {
    const TIgnParams kept = Form.Image.Params;
    Form.ScreenToParams();
    const TIgnParams shown = Form.Image.Params;
    Form.Image.Params = kept;
    return shown;
  }
};

} // namespace

class TestKeyboard : public QObject {
  Q_OBJECT

public slots:
  void OpenUrl(const QUrl&) {} // no manual viewer starts from a test

private slots:
  void init() { CurrentLanguage = LangEnglish; }

  // Every key of the menu table runs its item wherever the focus is in the window.
  void MenuKeysWorkFromEveryKindOfControl() {
    QDesktopServices::setUrlHandler("file", this, "OpenUrl");
    const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler("file"); });
    TTestHome home;
    TModalAnswerer answerer(QMessageBox::No);
    TFileDialogTyper cancel({});
    TFormHlav form{QStringList{}};
    form.Image.Params.Input2 = 2; // the clutch edits in use
    form.ParamsToScreen();
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    // The table's keys, then the second keys (Exit's has its own test: it ends the window).
    const char* const keys[] = {"Ctrl+N", "F3",     "F2",     "Ctrl+P",      "F7",     "F8",
                                "F9",     "F4",     "F5",     "F1",          "Ctrl+Z", "Ctrl+Alt+Z",
                                "Ctrl+O", "Ctrl+S", "Ctrl+Y", "Ctrl+Shift+Z"};
    for (const char* name : {"EditClutch1", "EditBaseAdv", "ComboBoxBike", "RadioGroupInput1_0"}) {
      auto* target = form.findChild<QWidget*>(name);
      for (const char* key : keys) {
        QAction* item = nullptr;
        for (QAction* a : form.MainMenu1->findChildren<QAction*>())
          if (a->shortcuts().contains(QKeySequence(key))) item = a;
        QVERIFY2(item != nullptr, key);
        if (QString(key) == "Ctrl+Z") { // something to undo, then to redo
          form.Image.Params.BaseAdv ^= 1;
          form.ParamsChanged();
        }
        if (QString(key) == "Ctrl+Y" || QString(key) == "Ctrl+Shift+Z") {
          form.Image.Params.BaseAdv ^= 1; // something to redo, else the edit takes the key
          form.ParamsChanged();
          form.SpeedButtonZpetClick();
        }
        form.activateWindow(); // back from a box
        QVERIFY(QTest::qWaitForWindowActive(&form));
        target->setFocus(); // printing moves it on purpose
        QCOMPARE(QApplication::focusWidget(), target);
        QSignalSpy triggered(item, &QAction::triggered);
        Press(&form, QKeySequence(key));
        QVERIFY2(triggered.size() == 1, qPrintable(QString("%1 in %2").arg(key, name)));
        form.Link.TransferMode = tmIdle;
      }
    }
  }

  // The menus keep showing the specified keys; the second keys only add to them.
  void MenusShowTheSpecifiedKeyFirst() {
    TTestHome home;
    TModalAnswerer answerer;
    TFormHlav form{QStringList{}};
    const struct {
      QAction* Item;
      QList<QKeySequence> Keys;
    } table[] = {
        {form.MenuOpen, {QKeySequence("F3"), QKeySequence("Ctrl+O")}},
        {form.MenuSave, {QKeySequence("F2"), QKeySequence("Ctrl+S")}},
        {form.MenuExit, {QKeySequence("Ctrl+Q")}},
        {form.MenuZnovu,
         {QKeySequence("Ctrl+Alt+Z"), QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")}},
        {form.MenuZpet, {QKeySequence("Ctrl+Z")}},
        {form.MenuNew, {QKeySequence("Ctrl+N")}},
    };
    for (const auto& row : table) {
      QCOMPARE(row.Item->shortcuts(), row.Keys);
      QCOMPARE(row.Item->shortcut(), row.Keys.first()); // what the menu shows
    }
    // No key runs two items.
    QList<QKeySequence> all;
    for (QAction* a : form.MainMenu1->findChildren<QAction*>())
      for (const QKeySequence& key : a->shortcuts()) {
        QVERIFY2(!all.contains(key), qPrintable(key.toString()));
        all << key;
      }
  }

  void CtrlQInAnEditClosesAndKeepsTheSettings() {
    TWindow w;
    w.Form.EditBaseAdv->setFocus();
    w.Form.EditBaseAdv->setText("17"); // typed, not yet entered
    w.Press(QKeySequence("Ctrl+Q"));
    QTRY_VERIFY(!w.Form.isVisible());
    QCOMPARE(w.Form.Image.Params.BaseAdv, std::uint8_t(17));
    QVERIFY(FileBytes(w.Home.File("_vantel.ini")).size() > 0);
  }

  // Up and Down step a number field as one click of its spinner, Page Up and Page Down as
  // ten steps in one click: the same history step and program-after-change.
  void ArrowAndPageKeysInANumberFieldClickItsSpinner_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("shown");    // after the key, from 20 (advance) or 3000 (speed)
    QTest::addColumn<bool>("stepped"); // a history step and a program transfer
    QTest::newRow("advance up") << "EditAdvance2" << int(Qt::Key_Up) << 21 << true;
    QTest::newRow("advance down") << "EditAdvance2" << int(Qt::Key_Down) << 19 << true;
    QTest::newRow("advance page up") << "EditAdvance2" << int(Qt::Key_PageUp) << 30 << true;
    QTest::newRow("advance page down") << "EditAdvance2" << int(Qt::Key_PageDown) << 10 << true;
    QTest::newRow("speed up") << "EditRpmAdv2" << int(Qt::Key_Up) << 3100 << true;
    QTest::newRow("speed page down") << "EditRpmAdv2" << int(Qt::Key_PageDown) << 2000 << true;
    // The clutch spinner has no click handler: the number changes, the record waits.
    QTest::newRow("clutch up") << "EditClutch1" << int(Qt::Key_Up) << 1510 << false;
  }
  void ArrowAndPageKeysInANumberFieldClickItsSpinner() {
    QFETCH(QString, field);
    QFETCH(int, key);
    QFETCH(int, shown);
    QFETCH(bool, stepped);
    TWindow w;
    TIgnParams p = w.Form.Image.Params;
    p.Input1 = 2; // clutch master in use, so its edit takes the focus
    p.PocetBodu = 3;
    p.RpmAdv[0] = 10, p.RpmAdv[1] = 30, p.RpmAdv[2] = 50;
    p.Advance[1] = 20;
    p.Clutch1 = 100;
    w.Start(Normalised(p));
    w.Form.CheckBoxProgHned->setChecked(true);
    auto* edit = w.Form.findChild<QLineEdit*>(field);
    QVERIFY(edit != nullptr);
    edit->setFocus();
    const QString before = edit->text();
    if (field == "EditClutch1") edit->setText("1500"); // typed: the key steps from there
    w.Press(QKeySequence(key));
    QCOMPARE(edit->text(), Number(shown));
    QVERIFY(edit->hasFocus());
    QCOMPARE(w.Form.History.HistoryCur, std::uint16_t(stepped ? 1 : 0));
    QCOMPARE(w.Form.Link.TransferMode == tmProgram, stepped);
    if (!stepped) return;
    w.AwaitTransfer();
    QVERIFY(Same(w.Port.Unit.Params(), w.Form.Image.Params));
    // A second key is a second step; undo takes back one.
    w.Press(QKeySequence(key));
    QCOMPARE(w.Form.History.HistoryCur, std::uint16_t(2));
    w.AwaitTransfer();
    w.Press(QKeySequence("Ctrl+Z"));
    QCOMPARE(edit->text(), Number(shown));
    w.Press(QKeySequence("Ctrl+Z"));
    QCOMPARE(edit->text(), before);
  }

  // Each command refreshes the screen to "Off"/three points while the focus sits in an
  // edit that the refresh disables or hides. The record must end exactly as shown, with
  // no history step of its own and redo kept.
  void RefreshThatMovesTheFocusKeepsTheRecordAsShown_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("focus");
    for (const char* command : {"Read", "Undo", "Redo", "Open", "New"})
      for (const char* focus : {"EditOmez1", "EditRpmAdv6"})
        if (QString(command) != "New" || QString(focus) != "EditOmez1") // New keeps the inputs
          QTest::newRow(QString("%1, %2").arg(command, focus).toLatin1()) << command << focus;
  }
  void RefreshThatMovesTheFocusKeepsTheRecordAsShown() {
    QFETCH(QString, command);
    QFETCH(QString, focus);
    TWindow w;
    const TIgnParams set = StartLimiterSet();
    const TIgnParams off = StartLimiterOff();
    TIgnParams expected = off;
    std::uint16_t cur = 0, newest = 0;

    if (command == "Read") {
      w.Start(set);
      w.Port.Unit.SetBlock1(reinterpret_cast<const std::uint8_t*>(&off));
    } else if (command == "Undo") {
      w.Start(off);
      w.Form.Image.Params = set;
      w.Form.ParamsChanged();
      newest = 1;
    } else if (command == "Redo") {
      w.Start(set);
      w.Form.Image.Params = off;
      w.Form.ParamsChanged();
      w.Form.SpeedButtonZpet->click();
      cur = newest = 1;
    } else if (command == "Open") {
      w.Start(set);
      w.Home.Write("off.ign", IgnBytes(off));
      cur = newest = 1;
    } else {
      w.Start(set);
      expected = set;
      LoadDefaultParams(expected); // keeps keying type and inputs: Selfsearch until an edit
      expected = Normalised(expected);
      cur = newest = 1;
    }
    QVERIFY(!Same(w.Form.Image.Params, expected));
    auto* edit = w.Form.findChild<QLineEdit*>(focus);
    edit->setFocus();
    QVERIFY(edit->hasFocus());

    if (command == "Read") {
      w.Press(w.Form.MenuRead->shortcut());
      w.AwaitTransfer();
    } else if (command == "Undo") {
      w.Press(QKeySequence("Ctrl+Z"));
    } else if (command == "Redo") {
      w.Press(QKeySequence("Ctrl+Alt+Z"));
    } else if (command == "Open") {
      TFileDialogTyper typer({w.Home.File("off.ign")});
      w.Press(QKeySequence(Qt::Key_F3));
      QCOMPARE(w.Form.LabelFile2->text(), w.Home.File("off.ign"));
    } else {
      w.Press(QKeySequence("Ctrl+N"));
      QCOMPARE(w.Answerer.Texts.last(), QString("Do you want default setting?"));
    }

    QVERIFY(!edit->hasFocus());
    QVERIFY(Same(w.Form.Image.Params, expected));
    TIgnParams shown = expected;
    ApplyKeyingRule(shown); // what the next edit takes from the screen
    QVERIFY(Same(w.Shown(), shown));
    if (command != "Read") {
      QCOMPARE(w.Form.History.HistoryCur, cur);
      QCOMPARE(w.Form.History.HistoryNewest, newest);
    }
    // What is on the screen is what the unit gets.
    w.Press(w.Form.MenuProgram->shortcut());
    w.AwaitTransfer();
    QVERIFY(Same(w.Port.Unit.Params(), w.Form.Image.Params));
  }
};

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
