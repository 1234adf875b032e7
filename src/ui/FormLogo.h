// The logo pictures of both windows, decoded with libjpeg.
#pragma once

#include <QPixmap>

#include <string>

// The picture `name` of the assets; a null pixmap when it is missing or damaged, so the
// logo area stays empty and the program goes on.
QPixmap LoadLogoPixmap(const std::string& name);
