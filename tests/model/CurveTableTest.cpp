// The curve as text: what a spreadsheet, a CSV file or a person gives is read as the points
// it means, and anything else is refused with the first bad line's number.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/CurveTable.h"
#include "model/Defaults.h"

namespace {

using TPoints = std::vector<std::pair<int, int>>;

TPoints PointsOf(const TCurveTable& t) {
  TPoints v;
  for (int i = 0; i < t.Count; ++i) v.emplace_back(t.Points[i].Rpm, t.Points[i].Advance);
  return v;
}

std::string Lines(int count) {
  std::string s;
  for (int i = 1; i <= count; ++i) s += std::to_string(i * 1000) + "\t10\n";
  return s;
}

} // namespace

TEST(CurveTable, ReadsTheWaysSpreadsheetsAndPeopleWriteACurve) {
  struct TCase {
    const char* Text;
    TPoints Expected;
  } cases[] = {
      {"1000\t10\n2000\t18\n", {{1000, 10}, {2000, 18}}},
      {"1000\t10\r\n2000\t18\r\n\r\n", {{1000, 10}, {2000, 18}}},
      {"1000\t10\r2000\t18", {{1000, 10}, {2000, 18}}},
      {"1000;10,5\n2000;18,4", {{1000, 11}, {2000, 18}}},    // decimal comma, halves up
      {"1000,10\n2000, 18.5", {{1000, 10}, {2000, 19}}},     // comma between, decimal point
      {"1000 10\n  2000    18  ", {{1000, 10}, {2000, 18}}}, // blanks
      {"rpm;advance\n1000;10", {{1000, 10}}},                // header
      {"Speed [1/min]\tAdvance [\xC2\xB0]\n1000\t10", {{1000, 10}}},
      {"1.500;12\n2.500;14", {{1500, 12}, {2500, 14}}},     // thousands with a point
      {"1,500\t12", {{1500, 12}}},                          // thousands with a comma
      {"12.500,0;12,0", {{12500, 12}}},                     // both marks
      {"15 000 10\n16 000 12", {{15000, 10}, {16000, 12}}}, // blanks group thousands
      {"15\xC2\xA0"
       "000\t10",
       {{15000, 10}}}, // a no-break space
      {"15\xE2\x80\xAF"
       "000;10",
       {{15000, 10}}},                      // a narrow no-break space
      {"1'500;12", {{1500, 12}}},           // an apostrophe
      {"\"1,500\",\"12,5\"", {{1500, 13}}}, // quoted CSV fields
      {"1000\t10\t\t\n", {{1000, 10}}},     // empty columns after
      {"1000;-5\n2000;\xE2\x88\x92"
       "3\n3000;+70",
       {{1000, -5}, {2000, -3}, {3000, 70}}},
      {"1000\t12\xC2\xB0", {{1000, 12}}},                       // a degree sign
      {"1299.6\t10", {{1300, 10}}},                             // whole rpm
      {"\xEF\xBB\xBFrpm,advance\r\n1000,10\r\n", {{1000, 10}}}, // a CSV file with a mark
      {"99999999999999999999\t10", {{10000000, 10}}},           // held, not overflowed
  };
  for (const TCase& c : cases) {
    const TCurveTable t = ParseCurveTable(c.Text);
    EXPECT_EQ(t.Error, TCurveTableError::None) << c.Text << " line " << t.Line;
    EXPECT_EQ(PointsOf(t), c.Expected) << c.Text;
  }
  const TCurveTable fifteen = ParseCurveTable(Lines(15));
  EXPECT_EQ(fifteen.Error, TCurveTableError::None);
  EXPECT_EQ(fifteen.Count, 15);
}

TEST(CurveTable, RefusesWhatIsNoCurveWithTheFirstBadLine) {
  const std::string sixteen = "rpm\tadvance\n" + Lines(16);
  struct TCase {
    std::string Text;
    TCurveTableError Error;
    int Line;
  } cases[] = {
      {"", TCurveTableError::Empty, 0},
      {" \n\t\r\n", TCurveTableError::Empty, 0},
      {"rpm;advance\n", TCurveTableError::Empty, 0},
      {"1000;10\n2000;abc\n3000;x", TCurveTableError::NotANumber, 2},
      {"1000;10\nhello world", TCurveTableError::NotANumber, 2},
      {"1000\n2000", TCurveTableError::OneValue, 1},
      {"1000;10\n\n2000", TCurveTableError::OneValue, 3},
      {"1000;10;5", TCurveTableError::TooManyValues, 1},
      {"1000 10 5", TCurveTableError::TooManyValues, 1},
      {"1000,10,5", TCurveTableError::TooManyValues, 1},
      {"1000;10\n1e3;10", TCurveTableError::NotANumber, 2},
      {"1000\t1 0", TCurveTableError::NotANumber, 1},  // a blank inside a column
      {"10.00.5;10", TCurveTableError::NotANumber, 1}, // two decimal marks
      {"1,00,0;10", TCurveTableError::NotANumber, 1},  // no thousands grouping
      {"-;10", TCurveTableError::NotANumber, 1},
      {"1000;10\nrpm;advance", TCurveTableError::NotANumber, 2}, // a header only at the top
      {sixteen, TCurveTableError::TooManyPoints, 17},
      {std::string("1000\t10\n\0\t5", 11), TCurveTableError::NotANumber, 2},
      {[] { // a page of numbers on one line: refused at once, not tried split by split
         std::string s;
         for (int i = 0; i < 200000; ++i) s += "1 ";
         return s;
       }(),
       TCurveTableError::TooManyValues, 1},
  };
  for (const TCase& c : cases) {
    const TCurveTable t = ParseCurveTable(c.Text);
    EXPECT_EQ(t.Error, c.Error) << c.Text;
    EXPECT_EQ(t.Line, c.Line) << c.Text;
  }
}

TEST(CurveTable, WhatIsWrittenReadsBackAsTheSameCurve) {
  TIgnParams p{};
  LoadDefaultParams(p);
  p.PocetBodu = 15;
  for (int i = 0; i < CurvePoints; ++i) {
    p.RpmAdv[i] = static_cast<std::uint8_t>(12 + 12 * i);
    p.Advance[i] = static_cast<std::uint8_t>(4 * i);
  }
  EXPECT_EQ(CurveTableText(p, '\t', "\n").substr(0, 16), "1200\t0\n2400\t4\n36");
  for (const std::string& text :
       {CurveTableText(p, '\t', "\n"), CurveTableText(p, ',', "\r\n", "rpm,advance")}) {
    const TCurveTable t = ParseCurveTable(text);
    ASSERT_EQ(t.Count, 15) << text;
    for (int i = 0; i < CurvePoints; ++i) {
      EXPECT_EQ(t.Points[i].Rpm, p.RpmAdv[i] * 100);
      EXPECT_EQ(t.Points[i].Advance, p.Advance[i]);
    }
  }
  // Only the points in use.
  p.PocetBodu = 2;
  EXPECT_EQ(CurveTableText(p, ',', "\r\n", "rpm,advance"), "rpm,advance\r\n1200,0\r\n2400,4\r\n");
}
