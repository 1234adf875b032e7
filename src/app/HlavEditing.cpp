// The editing binding between the controls and the record, the control rules, the undo
// history and the active curve point: the window side.
#include "app/Hlav.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

#include <initializer_list>

#include "app/RadioGroup.h"
#include "app/UpDown.h"
#include "model/ActivePoint.h"
#include "model/Conversions.h"
#include "model/Keying.h"

namespace {

const QColor LimeColour(0, 255, 0);

// An edit's background is its Base role, its text the Text role: on the lime mark the text
// is the readable one of black and white, not the theme's (near-white on a dark desktop).
// Only a real change touches the palette, so the tick that calls this for all 30 curve
// edits allocates nothing in the steady state.
void SetEditMarked(QLineEdit* edit, bool marked) {
  if (edit == nullptr) return;
  const bool isMarked = edit->palette().color(QPalette::Base) == LimeColour;
  if (isMarked == marked) return;
  QPalette palette = edit->palette();
  const QPalette& normal = QApplication::palette();
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::Base,
                     marked ? LimeColour : normal.color(group, QPalette::Base));
    palette.setColor(group, QPalette::Text,
                     marked ? ReadableTextColour(LimeColour) : normal.color(group, QPalette::Text));
  }
  edit->setPalette(palette);
}

// A selection of -1 (nothing selected) keeps the stored value.
void StoreSelection(int index, std::uint8_t& field) {
  if (index >= 0) field = static_cast<std::uint8_t>(index);
}

} // namespace

class TRefreshScope {
public:
  explicit TRefreshScope(TFormHlav& form) : Form(form) { ++Form.Refreshing; }
  ~TRefreshScope() { --Form.Refreshing; }
  TRefreshScope(const TRefreshScope&) = delete;
  TRefreshScope& operator=(const TRefreshScope&) = delete;

private:
  TFormHlav& Form;
};

void TFormHlav::ScreenToParams() {
  TIgnParams& p = Image.Params;
  const int bikeIndex = ComboBoxBike->currentIndex();
  if (bikeIndex >= 0) BikeIndexToCode(static_cast<std::uint8_t>(bikeIndex), p.Bike);

  p.PocetBodu = static_cast<std::uint8_t>(UpDownPocetBodu->Position());
  p.BaseAdv = static_cast<std::uint8_t>(UpDownBaseAdv->Position());
  p.Omez1 = SpeedToStored(UpDownOmez1->Position());
  p.Omez2 = SpeedToStored(UpDownOmez2->Position());
  p.Retard = static_cast<std::uint8_t>(UpDownRetard->Position());

  const int geberIndex = ComboBoxPocPalcu->currentIndex();
  if (geberIndex >= 0) p.GeberNr = GeberNrFromIndex(geberIndex);
  StoreSelection(RadioGroupPolarita->ItemIndex(), p.Polarita);
  if (ApplyKeyingRule(p)) {
    // The keying type fixes both by its wiring, and the screen shows it at once. The
    // polarity is put there without the group's handler: the change path that follows
    // takes the history step once the record is normalised.
    ComboBoxPocPalcu->setCurrentIndex(GeberNrToIndex(p.GeberNr));
    RadioGroupPolarita->SelectQuietly(p.Polarita);
  }

  p.LedRazeni = SpeedToStored(UpDownLedRazeni->Position());
  p.Clutch1 = ClutchToStored(UpDownClutch1->Position());
  p.Clutch2 = ClutchToStored(UpDownClutch2->Position());
  StoreSelection(RadioGroupInput1->ItemIndex(), p.Input1);
  StoreSelection(RadioGroupInput2->ItemIndex(), p.Input2);

  p.RpmPulsu = static_cast<std::uint8_t>(UpDownRpmPulsu->Position());
  p.RpmKorekce = CorrectionToStored(UpDownRpmKorekce->Position());
  p.RevOutLedRazeni = CheckBoxRevOutLedRazeni->isChecked() ? 1 : 0;

  for (int i = 0; i < CurvePoints; ++i) {
    p.RpmAdv[i] = SpeedToStored(RpmUpDowns[i]->Position());
    p.Advance[i] = static_cast<std::uint8_t>(AdvanceUpDowns[i]->Position());
  }
}

void TFormHlav::ParamsToScreen() {
  const TRefreshScope refresh(*this);
  // Read the record afresh at every step: a radio group changed here runs its handler,
  // which stores into the record and may take a history step.
  const TIgnParams& p = Image.Params;
  std::uint8_t bikeIndex = 0;
  if (BikeCodeToIndex(p.Bike, bikeIndex)) ComboBoxBike->setCurrentIndex(bikeIndex);

  UpDownPocetBodu->SetPosition(p.PocetBodu);
  UpDownBaseAdv->SetPosition(p.BaseAdv);
  UpDownOmez1->SetPosition(SpeedToScreen(p.Omez1));
  UpDownOmez2->SetPosition(SpeedToScreen(p.Omez2));
  UpDownRetard->SetPosition(p.Retard);

  // A code outside a group's items shows the nearest item without running the group's
  // handler: the display takes no history step, and the record takes the item at the next
  // change that takes the screen, as with a spinner value beyond its range.
  const auto showCode = [](TRadioGroup* group, std::uint8_t code, int index) {
    if (index == code)
      group->SetItemIndex(index);
    else
      group->SelectQuietly(index);
  };
  showCode(RadioGroupPolarita, p.Polarita, PolarityIndex(p));
  ComboBoxPocPalcu->setCurrentIndex(GeberNrToIndex(p.GeberNr));

  UpDownLedRazeni->SetPosition(SpeedToScreen(p.LedRazeni));
  UpDownClutch1->SetPosition(ClutchToScreen(p.Clutch1));
  UpDownClutch2->SetPosition(ClutchToScreen(p.Clutch2));

  showCode(RadioGroupInput1, p.Input1, InputIndex(p.Input1));
  showCode(RadioGroupInput2, p.Input2, InputIndex(p.Input2));

  UpDownRpmPulsu->SetPosition(p.RpmPulsu);
  UpDownRpmKorekce->SetPosition(CorrectionToScreen(p.RpmKorekce));
  CheckBoxRevOutLedRazeni->setChecked(p.RevOutLedRazeni != 0);

  for (int i = 0; i < CurvePoints; ++i) {
    RpmUpDowns[i]->SetPosition(SpeedToScreen(p.RpmAdv[i]));
    AdvanceUpDowns[i]->SetPosition(p.Advance[i]);
  }

  ApplyControlRules();
}

void TFormHlav::ParamsChanged() {
  NormaliseParams();
  ParamsToScreen();
  PushHistory();
}

void TFormHlav::UpDownClick() {
  ScreenToParams();
  ParamsChanged();
}

void TFormHlav::EditExit() {
  ScreenToParams();
  ParamsChanged();
}

bool TFormHlav::FormKeyPress(QObject* watched, int key) {
  // The arrow and page keys in a number field click its spinner, so they take the
  // spinner's path: one click, one history step.
  if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
      key == Qt::Key_PageDown) {
    TUpDown* upDown = UpDownOf(watched);
    if (upDown == nullptr || !upDown->Associate()->isEnabled()) return false;
    const bool up = key == Qt::Key_Up || key == Qt::Key_PageUp;
    upDown->Step(up, key == Qt::Key_PageUp || key == Qt::Key_PageDown ? 10 : 1);
    return true;
  }
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  focusNextChild();
  ScreenToParams();
  ParamsChanged();
  return true;
}

TUpDown* TFormHlav::UpDownOf(const QObject* edit) const {
  if (edit == nullptr) return nullptr;
  for (TUpDown* upDown : ClientArea->findChildren<TUpDown*>())
    if (upDown->Associate() == edit) return upDown;
  return nullptr;
}

void TFormHlav::CheckBoxProgHnedMouseUp() {
  ScreenToParams();
  ApplyControlRules();
  ParamsChanged();
}

void TFormHlav::RadioGroupPolaritaClick() {
  StoreSelection(RadioGroupPolarita->ItemIndex(), Image.Params.Polarita);
  PushHistory();
  ApplyControlRules();
}

void TFormHlav::RadioGroupInput1Click() {
  StoreSelection(RadioGroupInput1->ItemIndex(), Image.Params.Input1);
  PushHistory();
  ApplyControlRules();
}

void TFormHlav::RadioGroupInput2Click() {
  StoreSelection(RadioGroupInput2->ItemIndex(), Image.Params.Input2);
  PushHistory();
  ApplyControlRules();
}

void TFormHlav::BitBtnAdvMinusClick() {
  StepAdvance(-1);
}

void TFormHlav::BitBtnAdvPlusClick() {
  StepAdvance(+1);
}

void TFormHlav::StepAdvance(int sign) {
  ScreenToParams();
  NormaliseParams();
  // One degree, within 0..60; a value beyond the range does not move further out.
  const auto step = [this, sign](std::uint8_t& advance) {
    if (sign < 0 && advance > RangeAdvance.Min) --advance;
    if (sign > 0 && advance < RangeAdvance.Max) ++advance;
    NormaliseParams();
  };
  TIgnParams& p = Image.Params;
  if (CheckBoxIgnAll->isChecked()) {
    for (std::uint8_t& advance : p.Advance) step(advance);
  } else if (!NoActivePoint && ActivePoint < CurvePoints) {
    step(p.Advance[ActivePoint]);
  }
  ParamsChanged();
}

const TIgnParams& TFormHlav::TakeScreenRecord() {
  ScreenToParams();
  NormaliseParams();
  return Image.Params;
}

void TFormHlav::ApplyRecordChange(const TIgnParams& params) {
  Image.Params = params;
  ParamsChanged();
}

void TFormHlav::ApplyControlRules() {
  const TRefreshScope refresh(*this);
  const TIgnParams& p = Image.Params;
  const bool printing = Link.IsPrinting();
  const bool killSwitch = p.Input1 == 1;
  const bool blocking = p.Input2 == 1;
  const bool clutch = p.Input1 == 2 || p.Input2 == 2;
  const bool retard = p.Input1 == 3 || p.Input2 == 3;
  const bool startLimiter = InputModeInUse(p, InputModeStartLimiter);
  const bool standard = p.Bike == 0;

  SetColour(ClientArea, printing ? TColour::White : TColour::ButtonFace);

  const int inUse = CurvePointsInUse(p);
  for (int i = 0; i < CurvePoints; ++i) {
    const bool shown = i < inUse;
    RpmEdits[i]->setVisible(shown);
    AdvanceEdits[i]->setVisible(shown);
    RpmUpDowns[i]->setVisible(shown && !printing);
    AdvanceUpDowns[i]->setVisible(shown && !printing);
  }

  SetColour(CheckBoxProgHned, CheckBoxProgHned->isChecked() ? TColour::Red : TColour::ButtonFace);

  for (QWidget* w : std::initializer_list<QWidget*>{
           CGaugeRpm, CheckBoxProgHned, StatusBar1, ImageLogo, GroupBoxToolBar, UpDownBaseAdv,
           UpDownOmez2, UpDownLedRazeni, BitBtnAdvMinus, BitBtnAdvPlus, CheckBoxIgnAll,
           UpDownPocetBodu, LabelSnimac})
    w->setVisible(!printing);

  LabelKillSwitch->setEnabled(killSwitch);
  LabelMonRetard->setEnabled(retard);
  LabelBlocking->setEnabled(blocking);
  LabelMonStartLimiterOut->setEnabled(startLimiter);
  LabelClutchMon->setEnabled(clutch);

  ComboBoxPocPalcu->setEnabled(standard);

  EditOmez1->setEnabled(startLimiter);
  LabelOmez1->setEnabled(startLimiter);
  UpDownOmez1->setVisible(startLimiter && !printing);

  EditRetard->setEnabled(retard);
  LabelRetard->setEnabled(retard);
  UpDownRetard->setVisible(retard && !printing);

  for (QWidget* w :
       std::initializer_list<QWidget*>{EditClutch1, LabelClutch1, EditClutch2, LabelClutch2})
    w->setEnabled(clutch);
  UpDownClutch1->setVisible(clutch && !printing);
  UpDownClutch2->setVisible(clutch && !printing);

  RadioGroupPolarita->setEnabled(standard);
  LabelPolaritaMer->setEnabled(RadioGroupPolarita->isEnabled());

  // The unit sends single-byte characters.
  const auto latin1 = [](const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
  };
  LabelVerze1->setText(latin1(Identity.UnitVersionText));
  LabelVerze2->setText(latin1(Identity.UnitDateText));
  LabelVerze3->setText(latin1(Identity.UnitTimeText));
  CurveRecordChanged();
  DifferenceRecordChanged();
}

void TFormHlav::HighlightActivePoint() {
  const TActivePoint found = FindActivePoint(Link.LiveRpm, Image.Params);
  ActivePoint = found.ActivePoint;
  NoActivePoint = found.NoActivePoint;
  for (int i = 0; i < CurvePoints; ++i) {
    const bool marked = !NoActivePoint && i == ActivePoint;
    SetEditMarked(RpmEdits[i], marked);
    SetEditMarked(AdvanceEdits[i], marked);
  }
}

// ---- undo and redo ----

void TFormHlav::InitHistory() {
  History.Init(Image);
  UpdateUndoButtons();
}

void TFormHlav::PushHistory() {
  const bool changed = History.Push(Image);
  if (changed) UpdateUndoButtons();
  if (CheckBoxProgHned->isChecked()) {
    if (changed || AutoProgramArmed) StartProgramming();
    AutoProgramArmed = true;
  } else {
    AutoProgramArmed = false;
  }
}

void TFormHlav::RestoreSnapshot() {
  History.RestoreSnapshot(Image);
  ParamsToScreen();
}

void TFormHlav::UpdateUndoButtons() {
  const bool canUndo = History.CanUndo();
  const bool canRedo = History.CanRedo();
  SpeedButtonZpet->setEnabled(canUndo);
  MenuZpet->setEnabled(canUndo);
  SpeedButtonZnovu->setEnabled(canRedo);
  MenuZnovu->setEnabled(canRedo);
}

void TFormHlav::SpeedButtonZpetClick() {
  MoveInHistory(THistoryStep::Back);
}

void TFormHlav::SpeedButtonZnovuClick() {
  MoveInHistory(THistoryStep::Forward);
}

void TFormHlav::MoveInHistory(THistoryStep step) {
  if (!History.CanMove(step)) return;
  // Move first: a radio group that the refresh changes runs PushHistory nested, and that
  // step must find the image equal to the slot it was restored from.
  History.Move(step, Image);
  RestoreSnapshot();
  ParamsToScreen();
  UpdateUndoButtons();
  if (CheckBoxProgHned->isChecked()) StartProgramming();
}
