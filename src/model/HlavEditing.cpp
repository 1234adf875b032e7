// The editing binding between the controls and the record, the control rules, the undo
// history and the active curve point: the window side.
#include "app/Hlav.h"

void TFormHlav::BuildEditArrays() {}
void TFormHlav::BuildUpDownArrays() {}
void TFormHlav::ScreenToParams() {}
void TFormHlav::ParamsToScreen() {}
void TFormHlav::ParamsChanged() {}
void TFormHlav::UpDownClick() {}
void TFormHlav::EditExit() {}
bool TFormHlav::FormKeyPress(QObject*, int) { return false; }
void TFormHlav::CheckBoxProgHnedMouseUp() {}
void TFormHlav::RadioGroupPolaritaClick() {}
void TFormHlav::RadioGroupInput1Click() {}
void TFormHlav::RadioGroupInput2Click() {}
void TFormHlav::BitBtnAdvMinusClick() {}
void TFormHlav::BitBtnAdvPlusClick() {}
void TFormHlav::ApplyControlRules() {}
void TFormHlav::HighlightActivePoint() {}
void TFormHlav::InitHistory() {}
void TFormHlav::PushHistory() {}
void TFormHlav::SaveSnapshot() {}
void TFormHlav::RestoreSnapshot() {}
void TFormHlav::UpdateUndoButtons() {}
void TFormHlav::SpeedButtonZpetClick() {}
void TFormHlav::SpeedButtonZnovuClick() {}
