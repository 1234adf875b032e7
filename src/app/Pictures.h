// The pictures of the program's windows: the logos (decoded with libjpeg), the program's
// icon and the tool bar's icons.
#pragma once

#include <QIcon>
#include <QPixmap>

#include <string>

// The picture `name` of the assets for a screen of pixelRatio device pixels to a pixel; a
// null pixmap when it is missing or damaged, so the logo area stays empty and the program
// goes on.
QPixmap LoadLogoPixmap(const std::string& name, qreal pixelRatio = 1);

// The program's own icon (assets/vantel.png); a null icon when it is missing.
QIcon ProgramIcon();

// The pictures of the tool bar's buttons, drawn: searching the desktop's icon theme for
// them would cost every start some milliseconds.
enum class TToolIcon { Open, New, Save, Print, Undo, Redo };
QIcon ToolIcon(TToolIcon kind);
