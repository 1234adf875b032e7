// The text that follows the manual's open error when the manual exists but the desktop
// could not show it, so the user can open the file by hand.
#pragma once

#include <array>

#include "model/Types.h"

// One entry per language; the manual's full path follows on the next line.
inline constexpr std::array<const char*, 4> ManualNotShownTexts = {
    "No viewer for PDF documents is set up on this computer. The manual is here:",
    "Auf diesem Rechner ist kein Programm zum Anzeigen von PDF-Dokumenten eingerichtet. "
    "Das Handbuch liegt hier:",
    "Aucun programme d'affichage des documents PDF n'est configuré sur cet ordinateur. "
    "Le manuel se trouve ici :",
    "Na tomto počítači není nastaven žádný prohlížeč dokumentů PDF. Příručka je uložena zde:",
};

inline const char* ManualNotShownText(TLanguage language) {
  return ManualNotShownTexts[language < ManualNotShownTexts.size() ? language : 0];
}
