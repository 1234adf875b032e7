#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/Identity.h"

namespace {

struct TBlock0 {
  const char* Name = "ABC"; // bytes 0..2
  int Version = 13, Day = 1, Month = 38, Year = 7, Hour = 9, Minute = 5;
  const char* LongName = ""; // bytes 16..
};

TUnitIdentity Decode(const TBlock0& b) {
  TDeviceImage image{};
  std::memset(image.Bytes(), 0xEE, ImageSize); // nothing may read beyond its own bytes
  std::uint8_t* p = image.Block(0);
  std::memcpy(p, b.Name, 3);
  p[3] = static_cast<std::uint8_t>(b.Version);
  p[4] = static_cast<std::uint8_t>(b.Day);
  p[5] = static_cast<std::uint8_t>(b.Month);
  p[6] = static_cast<std::uint8_t>(b.Year);
  p[7] = static_cast<std::uint8_t>(b.Hour);
  p[8] = static_cast<std::uint8_t>(b.Minute);
  std::memset(p + 16, 0, 30);
  std::memcpy(p + 16, b.LongName, std::min<std::size_t>(std::strlen(b.LongName), 30));
  TUnitIdentity id;
  id.UnitVersionText = "stale";
  DecodeUnitIdentity(image, id);
  return id;
}

} // namespace

TEST(DecodeUnitIdentity, VersionText) {
  struct TCase {
    TBlock0 Block;
    const char* Expected;
  } const cases[] = {
      {{}, "ABC13"},
      {{.Version = 7}, "ABC07"},
      {{.LongName = "XYZ1"}, "XYZ1"},
      {{.Version = 100}, "ABC--"},
      {{.Version = 255}, "ABC--"},
      {{.Name = "A\0C"}, "A"},
  };
  for (const auto& c : cases) EXPECT_EQ(Decode(c.Block).UnitVersionText, c.Expected);
}

TEST(DecodeUnitIdentity, LongNameOfThirtyCharactersIsCutThere) {
  TDeviceImage image{};
  std::memset(image.Bytes(), 'Q', ImageSize); // no zero after byte 45 either
  TUnitIdentity id;
  DecodeUnitIdentity(image, id);
  EXPECT_EQ(id.UnitVersionText, std::string(30, 'Q'));
}

TEST(DecodeUnitIdentity, DateAndTimeTexts) {
  struct TCase {
    TBlock0 Block;
    const char* Date;
    const char* Time;
  } const cases[] = {
      {{.Day = 1, .Month = 38, .Year = 7}, " 1.10.2007", "09:05"},
      {{.Day = 1, .Month = 0, .Year = 7}, " 1.00.2007", "09:05"},
      {{.Day = 5, .Month = 32, .Year = 7, .Hour = 23, .Minute = 59}, " 5. 3.2007", "23:59"},
      {{.Day = 31, .Month = 12, .Year = 99, .Hour = 0, .Minute = 0}, "31.12.2099", "00:00"},
      {{.Day = 10, .Month = 25, .Year = 0}, "10. 1.2000", "09:05"},
      {{.Day = 0, .Month = 255, .Year = 10}, " 0.00.2010", "09:05"},
      // Values no two digits can show.
      {{.Day = 100, .Month = 13, .Year = 100, .Hour = 100, .Minute = 255}, "--. 2.20--", "--:--"},
      {{.Day = 255, .Month = 51, .Year = 255, .Hour = 99, .Minute = 99}, "--.11.20--", "99:99"},
  };
  for (const auto& c : cases) {
    const TUnitIdentity id = Decode(c.Block);
    EXPECT_EQ(id.UnitDateText, c.Date);
    EXPECT_EQ(id.UnitTimeText, c.Time);
  }
}

TEST(DecodeUnitIdentity, MonthCodesAreLetterSumsOfTheEnglishAbbreviations) {
  const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int m = 0; m < 12; ++m) {
    const auto code = static_cast<std::uint8_t>(months[m][0] + months[m][1] + months[m][2]);
    char expected[3];
    std::snprintf(expected, sizeof expected, "%2d", m + 1);
    EXPECT_STREQ(MonthText(code), expected) << months[m];
  }
}
