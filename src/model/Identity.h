// The texts that name the program running in the unit, built from block 0 of the image.
#pragma once

#include <string>

#include "model/IgnParams.h"

// At most 30 characters each. Raw single-byte characters as the unit sent them
// (the window shows them as Latin-1), empty until the first decode.
struct TUnitIdentity {
  std::string UnitVersionText, UnitDateText, UnitTimeText;
};

inline constexpr int UnitTextMax = 30;
inline constexpr int LongNameOffset = 16;

// Month code of block 0 byte 5 -> two-character month text; any other code gives "00".
const char* MonthText(std::uint8_t code);

// Builds the three texts from block 0. A two-digit field (version number, day, year,
// hour, minute) above 99 is shown as "--": it cannot be a real value and no digit is
// invented for it. A zero byte in the three-character name ends the version text there.
void DecodeUnitIdentity(const TDeviceImage& image, TUnitIdentity& id);
