// Puts the control texts of a language into the main window, finding each control by
// its object name.
#pragma once

#include "i18n/Messages.h"
#include "model/Types.h"

class QWidget;

// window: the main window ("TFormHlav"); menus are QMenu, menu items QAction, radio groups
// QGroupBox with QAbstractButton children named "<group>_<index>". msg must be filled for
// the same language. connectionVisible: the "no connection" indicator is shown, so the two
// input monitor labels get their idle captions.
void ApplyControlTextsTo(QWidget* window, TLanguage language, const TMessageCatalogue& msg,
                         bool connectionVisible);
