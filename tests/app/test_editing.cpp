// The editing binding, control rules, undo/redo and curve point highlight, driven through
// the real window offscreen.
#include "app/Hlav.h"
#include "app/RadioGroup.h"
#include "app/UpDown.h"
#include "model/Defaults.h"
#include "support/AppSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <cstring>

namespace {

// Settings directory and port names first, then the window that reads them.
struct TWindow {
  TTestHome Home;
  TModalAnswerer Answerer;
  TFormHlav Form{QStringList{}};
  TIgnParams& P = Form.Image.Params;

  template <typename T = QWidget> T* W(const QString& name) {
    auto* w = Form.findChild<T*>(name);
    if (w == nullptr) qFatal("no control %s", qPrintable(name));
    return w;
  }
  void Radio(const char* group, int item) {
    W<QRadioButton>(QString("%1_%2").arg(group).arg(item))->click();
  }
  // A user's choice in a drop-down list: the index changes, then the leave handler runs.
  void Choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    Form.EditExit();
  }
  void Show(std::uint8_t points) {
    P.PocetBodu = points;
    Form.ParamsToScreen();
  }
};

QString Grouped(const char* thousands, const char* rest) {
  return QString(thousands) + QLocale().groupSeparator() + rest;
}

bool Lime(QLineEdit* edit) {
  return edit->palette().color(QPalette::Base) == QColor(0, 255, 0);
}

} // namespace

class TestEditing : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::Czech)); }

  void EnterStoresTypedSpeedShowsItGroupedAndMovesFocus() {
    TWindow w;
    w.Form.show();
    QVERIFY(QTest::qWaitForWindowActive(&w.Form));
    QLineEdit* edit = w.Form.RpmEdits[1];
    edit->setFocus();
    edit->setText("7350");
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(w.P.RpmAdv[1], 73);
    QCOMPARE(edit->text(), Grouped("7", "300"));
    QVERIFY(QApplication::focusWidget() != edit);
    QCOMPARE(w.Form.History.HistoryCur, 1);
    // Enter again without an edit takes no step; other keys pass.
    QTest::keyClick(w.Form.RpmEdits[0], Qt::Key_Enter);
    QCOMPARE(w.Form.History.HistoryCur, 1);
    QVERIFY(!w.Form.FormKeyPress(edit, Qt::Key_A));
  }

  void SpinnerBelowPredecessorLandsHundredAbove() {
    TWindow w;
    w.Show(3);
    w.Form.RpmUpDowns[2]->SetPosition(2000);
    w.Form.RpmUpDowns[2]->Step(false);
    QCOMPARE(w.P.RpmAdv[2], 21);
    QCOMPARE(w.Form.RpmEdits[2]->text(), Grouped("2", "100"));
  }

  void ClutchSpinnerWaitsForEnterThenStepsAndPrograms() {
    TWindow w;
    w.Form.CheckBoxProgHned->click(); // ticking alone changes nothing: nothing sent
    QCOMPARE(w.Form.Link.TransferMode, tmIdle);
    QVERIFY(w.Form.AutoProgramArmed);
    w.Form.Link.Timer1Timer();
    QCOMPARE(w.Form.Link.TransferMode, tmIdle);
    w.Form.UpDownClutch1->Step(true);
    QCOMPARE(w.Form.EditClutch1->text(), QString("210"));
    QCOMPARE(w.P.Clutch1, 20);
    QCOMPARE(w.Form.History.HistoryCur, 0);
    QCOMPARE(w.Form.Link.TransferMode, tmIdle);
    QTest::keyClick(w.Form.EditClutch1, Qt::Key_Return);
    QCOMPARE(w.P.Clutch1, 21);
    QCOMPARE(w.Form.History.HistoryCur, 1);
    QCOMPARE(w.Form.Link.TransferMode, tmProgram);
    // Armed: Enter without a change programs again; unticking disarms and sends nothing.
    w.Form.Link.TransferMode = tmIdle;
    QTest::keyClick(w.Form.EditBaseAdv, Qt::Key_Return);
    QCOMPARE(w.Form.Link.TransferMode, tmProgram);
    w.Form.Link.TransferMode = tmIdle;
    w.Form.CheckBoxProgHned->click();
    QVERIFY(!w.Form.AutoProgramArmed);
    QCOMPARE(w.Form.Link.TransferMode, tmIdle);
  }

  void AdvanceCommandsStopAtTheirLimits() {
    const struct {
      bool Plus;
      std::uint8_t From, To;
    } cases[] = {{true, 59, 60}, {false, 1, 0}};
    for (const auto& c : cases) {
      TWindow w;
      for (auto& a : w.P.Advance) a = c.From;
      w.Form.ParamsToScreen();
      w.Form.CheckBoxIgnAll->setChecked(true);
      for (int n = 0; n < 2; ++n)
        c.Plus ? w.Form.BitBtnAdvPlusClick() : w.Form.BitBtnAdvMinusClick();
      for (int i = 0; i < CurvePoints; ++i) QCOMPARE(w.P.Advance[i], c.To);
    }
    // Without "All" only the marked point moves, and nothing with the engine stopped.
    TWindow w;
    w.Form.BitBtnAdvPlusClick();
    QCOMPARE(w.P.Advance[1], 10);
    w.Form.Link.LiveRpm = 2000;
    w.Form.HighlightActivePoint();
    w.Form.BitBtnAdvPlusClick();
    QCOMPARE(w.P.Advance[0], 10);
    QCOMPARE(w.P.Advance[1], 11);
  }

  void TwoStrokeCapsTheCurveInOneUndoableStep() {
    TWindow w;
    for (auto& a : w.P.Advance) a = 20;
    w.Form.ParamsToScreen();
    w.Form.InitHistory();
    w.Choose(w.Form.ComboBoxBike, 7); // "2T SEM", base advance 10
    for (int i = 0; i < CurvePoints; ++i) QCOMPARE(w.P.Advance[i], 10);
    QCOMPARE(w.Form.History.HistoryCur, 1);
    w.Form.SpeedButtonZpet->click();
    QCOMPARE(w.P.Bike, 0);
    QCOMPARE(w.P.Advance[0], 20);

    TWindow t;
    t.Choose(t.Form.ComboBoxBike, 7);
    t.Form.UpDownBaseAdv->SetPosition(12);
    t.Form.CheckBoxIgnAll->setChecked(true);
    for (int i = 0; i < CurvePoints; ++i) t.Form.AdvanceUpDowns[i]->SetPosition(12);
    t.Form.BitBtnAdvPlusClick();
    for (int i = 0; i < CurvePoints; ++i) QCOMPARE(t.P.Advance[i], 12);
  }

  void KeyingTypeForcesPolarityAndIgnitionsStandardKeepsThem() {
    TWindow w;
    w.Choose(w.Form.ComboBoxPocPalcu, 1);
    QCOMPARE(w.P.GeberNr, 2);
    w.Choose(w.Form.ComboBoxBike, 4); // "KTM 4T SEM"
    for (int pass = 0; pass < 2; ++pass) {
      QCOMPARE(w.P.Polarita, 1);
      QCOMPARE(w.P.GeberNr, 1);
      QCOMPARE(w.Form.RadioGroupPolarita->ItemIndex(), 1);
      QCOMPARE(w.Form.ComboBoxPocPalcu->currentIndex(), 0);
      w.Choose(w.Form.ComboBoxBike, 0);
    }
    QVERIFY(w.Form.RadioGroupPolarita->isEnabled());
    w.Choose(w.Form.ComboBoxBike, 6); // "Yamaha XT 600 older model"
    QVERIFY(!w.Form.RadioGroupPolarita->isEnabled());
    QVERIFY(!w.Form.LabelPolaritaMer->isEnabled());
    QVERIFY(!w.Form.ComboBoxPocPalcu->isEnabled());
  }

  void InputModesEnableTheirControls() {
    // Radio clicks in order, then which of the mode-bound controls are enabled.
    const struct {
      std::vector<std::pair<const char*, int>> Clicks;
      QStringList Enabled;
    } cases[] = {
        {{{"RadioGroupInput1", 3}}, {"EditRetard", "LabelRetard", "LabelMonRetard"}},
        {{{"RadioGroupInput1", 3}, {"RadioGroupInput2", 3}, {"RadioGroupInput1", 0}},
         {"EditRetard", "LabelRetard", "LabelMonRetard"}},
        {{{"RadioGroupInput2", 1}}, {"LabelBlocking"}},
        {{{"RadioGroupInput1", 1}}, {"LabelKillSwitch"}},
        {{{"RadioGroupInput2", 2}},
         {"EditClutch1", "LabelClutch1", "EditClutch2", "LabelClutch2", "LabelClutchMon"}},
        {{{"RadioGroupInput1", 4}}, {"EditOmez1", "LabelOmez1", "LabelMonStartLimiterOut"}},
    };
    const QStringList bound = {"EditRetard",
                               "LabelRetard",
                               "LabelMonRetard",
                               "LabelBlocking",
                               "LabelKillSwitch",
                               "EditClutch1",
                               "LabelClutch1",
                               "EditClutch2",
                               "LabelClutch2",
                               "LabelClutchMon",
                               "EditOmez1",
                               "LabelOmez1",
                               "LabelMonStartLimiterOut"};
    for (const auto& c : cases) {
      TWindow w;
      for (const auto& [group, item] : c.Clicks) w.Radio(group, item);
      for (const QString& name : bound)
        QVERIFY2(w.W(name)->isEnabled() == c.Enabled.contains(name), qPrintable(name));
      for (const char* spinner : {"Retard", "Clutch1", "Omez1"})
        QCOMPARE(!w.W(QString("UpDown") + spinner)->isHidden(),
                 c.Enabled.contains(QString("Edit") + spinner));
    }
  }

  void RowsFollowPointsInUseAndPrintLayout() {
    TWindow w;
    for (int points : {1, 15, 200}) {
      w.Show(static_cast<std::uint8_t>(points));
      for (int i = 0; i < CurvePoints; ++i) {
        QCOMPARE(!w.Form.RpmEdits[i]->isHidden(), i < points);
        QCOMPARE(!w.Form.AdvanceUpDowns[i]->isHidden(), i < points);
      }
    }
    QCOMPARE(w.Form.EditPocetBodu->text(), QString("15")); // 200 shown at the limit
    w.Show(4);
    const QStringList hidden = {"CGaugeRpm",     "CheckBoxProgHned", "StatusBar1",
                                "ImageLogo",     "GroupBoxToolBar",  "UpDownBaseAdv",
                                "UpDownOmez2",   "UpDownLedRazeni",  "BitBtnAdvMinus",
                                "BitBtnAdvPlus", "CheckBoxIgnAll",   "UpDownPocetBodu",
                                "LabelSnimac",   "UpDownRpmAdv1",    "UpDownAdvance4"};
    for (bool printing : {true, false}) {
      w.Form.Link.SetPrinting(printing);
      w.Form.ApplyControlRules();
      for (const QString& name : hidden) QCOMPARE(w.W(name)->isHidden(), printing);
      QVERIFY(!w.Form.UpDownRpmPulsu->isHidden() && !w.Form.UpDownRpmKorekce->isHidden());
      QVERIFY(!w.Form.RpmEdits[3]->isHidden() && w.Form.RpmEdits[4]->isHidden());
      QCOMPARE(w.Form.ClientArea->palette().color(QPalette::Window) == Qt::white, printing);
    }
    QCheckBox* box = w.Form.CheckBoxProgHned;
    box->click();
    QCOMPARE(box->palette().color(box->backgroundRole()), QColor(Qt::red));
    box->click();
    QVERIFY(box->palette().color(box->backgroundRole()) != QColor(Qt::red));
  }

  void CodesBeyondTheItemsShowTheNearestAndEnterTheRecordAtTheNextEdit() {
    TTestHome home;
    TModalAnswerer answerer;
    TIgnParams stored{};
    LoadDefaultParams(stored);
    stored.Polarita = 7;
    stored.Input1 = 9;
    stored.Bike = 12;
    stored.Omez2 = 255;
    QByteArray state = QByteArray("0 ").repeated(50);
    for (int i = 0; i < 50; ++i)
      state += QByteArray::number(reinterpret_cast<const std::uint8_t*>(&stored)[i]) + " ";
    home.Write("_vantel.ini", state);
    TSimPort port;
    TFormHlav form{QStringList{}};
    form.Link.SetPort(&port);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    // Shown at the nearest item and limit; the display takes no step.
    QCOMPARE(form.RadioGroupPolarita->ItemIndex(), 2);
    QCOMPARE(form.RadioGroupInput1->ItemIndex(), 4);
    QCOMPARE(form.EditOmez2->text(), Grouped("25", "000"));
    QCOMPARE(form.Image.Params.Polarita, 7);
    QCOMPARE(form.History.HistoryCur, 0);
    // The next change that takes the screen takes what it shows, and so does the unit.
    form.EditBaseAdv->setFocus();
    Press(&form, QKeySequence(Qt::Key_Return));
    const TIgnParams& p = form.Image.Params;
    QCOMPARE(p.Polarita, 2);
    QCOMPARE(p.Input1, 4);
    QCOMPARE(p.Bike, 0);
    QCOMPARE(p.Omez2, 250);
    Press(&form, QKeySequence(Qt::Key_F9));
    QTRY_VERIFY_WITH_TIMEOUT(form.Link.TransferMode == tmIdle, 5000);
    QVERIFY(std::memcmp(&port.Unit.Params(), &p, sizeof p) == 0);
    form.Link.SetPort(nullptr);
  }

  void UndoRedoThroughButtonsWithNestedRadioStep() {
    TWindow w;
    QVERIFY(!w.Form.SpeedButtonZpet->isEnabled() && !w.Form.MenuZnovu->isEnabled());
    w.Radio("RadioGroupPolarita", 0);
    QVERIFY(w.Form.MenuZpet->isEnabled() && !w.Form.SpeedButtonZnovu->isEnabled());
    w.Form.CheckBoxProgHned->click();
    // The refresh moves the radio group back and runs its handler nested: no extra step.
    w.Form.SpeedButtonZpet->click();
    QCOMPARE(w.P.Polarita, 2);
    QCOMPARE(w.Form.RadioGroupPolarita->ItemIndex(), 2);
    QCOMPARE(w.Form.History.HistoryNewest, 1);
    QVERIFY(!w.Form.SpeedButtonZpet->isEnabled() && w.Form.SpeedButtonZnovu->isEnabled());
    QCOMPARE(w.Form.Link.TransferMode, tmProgram);
    w.Form.Link.TransferMode = tmIdle;
    w.Form.SpeedButtonZnovu->click();
    QCOMPARE(w.P.Polarita, 0);
    QVERIFY(w.Form.SpeedButtonZpet->isEnabled() && !w.Form.MenuZnovu->isEnabled());
    QCOMPARE(w.Form.Link.TransferMode, tmProgram);
  }

  void ActivePointRowIsLime() {
    TWindow w;
    w.Show(3);
    const struct {
      std::uint16_t Rpm;
      int Row; // -1: nothing marked
    } cases[] = {{1600, 1}, {1500, 0}, {12000, 2}, {900, -1}, {0, -1}};
    for (const auto& c : cases) {
      w.Form.Link.LiveRpm = c.Rpm;
      w.Form.HighlightActivePoint();
      for (int i = 0; i < CurvePoints; ++i) {
        QCOMPARE(Lime(w.Form.RpmEdits[i]), i == c.Row);
        QCOMPARE(Lime(w.Form.AdvanceEdits[i]), i == c.Row);
      }
    }
  }
};

QTEST_MAIN(TestEditing)
#include "test_editing.moc"
