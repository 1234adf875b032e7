#include "model/Identity.h"

#include <array>
#include <cstdint>

namespace {

struct TMonthCode {
  std::uint8_t Code;
  const char* Text;
};

// Code = sum of the letters of "Jan", "Feb" ... "Dec", modulo 256.
constexpr std::array<TMonthCode, 12> MonthCodes = {{
    {25, " 1"},
    {13, " 2"},
    {32, " 3"},
    {35, " 4"},
    {39, " 5"},
    {45, " 6"},
    {43, " 7"},
    {29, " 8"},
    {40, " 9"},
    {38, "10"},
    {51, "11"},
    {12, "12"},
}};

// Two digits, or "--" for a value no two digits can show.
void AppendTwoDigits(std::string& s, std::uint8_t v, char padTens) {
  if (v > 99) {
    s += "--";
    return;
  }
  s += (v < 10 && padTens != '0') ? padTens : static_cast<char>('0' + v / 10);
  s += static_cast<char>('0' + v % 10);
}

} // namespace

const char* MonthText(std::uint8_t code) {
  for (const auto& m : MonthCodes) {
    if (m.Code == code) return m.Text;
  }
  return "00";
}

void DecodeUnitIdentity(const TDeviceImage& image, TUnitIdentity& id) {
  const std::uint8_t* b = image.Block(0);

  id.UnitVersionText.clear();
  if (b[LongNameOffset] != 0) {
    for (int i = 0; i < UnitTextMax && b[LongNameOffset + i] != 0; ++i) {
      id.UnitVersionText += static_cast<char>(b[LongNameOffset + i]);
    }
  } else {
    int n = 0;
    while (n < 3 && b[n] != 0) id.UnitVersionText += static_cast<char>(b[n++]);
    if (n == 3) AppendTwoDigits(id.UnitVersionText, b[3], '0');
  }

  id.UnitDateText.clear();
  AppendTwoDigits(id.UnitDateText, b[4], ' ');
  id.UnitDateText += '.';
  id.UnitDateText += MonthText(b[5]);
  id.UnitDateText += ".20";
  AppendTwoDigits(id.UnitDateText, b[6], '0');

  id.UnitTimeText.clear();
  AppendTwoDigits(id.UnitTimeText, b[7], '0');
  id.UnitTimeText += ':';
  AppendTwoDigits(id.UnitTimeText, b[8], '0');
}
