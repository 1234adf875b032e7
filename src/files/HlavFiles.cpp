// The New, Open and Save commands and the settings and state files: the window side.
#include "app/Hlav.h"

void TFormHlav::MenuNewClick() {}
void TFormHlav::MenuOpenClick() {}
void TFormHlav::MenuSaveClick() {}
void TFormHlav::LoadSettings() {}
void TFormHlav::SaveSettings() {}
