// Printing, the user manual, the about window and Exit: the window side.
#include "app/Hlav.h"

void TFormHlav::SpeedButtonPrintClick() {}
void TFormHlav::MenuContensClick() {}
void TFormHlav::MenuAboutClick() {}
void TFormHlav::MenuExitClick() { close(); }
