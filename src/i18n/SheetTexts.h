// Texts of the tune sheet in four languages; the names of the parameters come from the
// window's own captions.
#pragma once

#include <cstdint>
#include <string>

#include "model/Types.h"

enum class TSheetText : std::uint8_t {
  Title,
  Bike,
  Customer,
  Unit,
  NotReadFromUnit,
  LayoutVersion, // %d the unit's layout version
  NoFile,
  PointColumn,
  Parameters,
  Notes,
  Page, // %d this page, %d the number of pages
  Count
};

// A language above 3 gives English.
std::string SheetText(TSheetText key, TLanguage language);
