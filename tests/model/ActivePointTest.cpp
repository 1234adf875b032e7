#include <gtest/gtest.h>

#include "model/ActivePoint.h"

TEST(ActivePoint, NearestPointInUse) {
  TIgnParams p{};
  for (int i = 0; i < CurvePoints; ++i) p.RpmAdv[i] = static_cast<std::uint8_t>(10 * (i + 1));
  // Point numbers from 1; 0 marks nothing.
  struct {
    std::uint8_t inUse;
    std::uint16_t rpm;
    int point;
  } const table[] = {
      {3, 900, 0},   {3, 1000, 1},  {3, 1400, 1},  {3, 1500, 1},  {3, 1599, 1},   {3, 1600, 2},
      {3, 2500, 2},  {3, 2999, 3},  {3, 3000, 3},  {3, 12000, 3}, {2, 12000, 2},  {3, 0, 0},
      {3, 25599, 3}, {3, 30000, 3}, {3, 65535, 3}, {0, 5000, 0},  {200, 1000, 1}, {200, 65535, 15},
  };
  for (const auto& row : table) {
    p.PocetBodu = row.inUse;
    const TActivePoint a = FindActivePoint(row.rpm, p);
    EXPECT_EQ(a.NoActivePoint ? 0 : a.ActivePoint + 1, row.point)
        << int(row.inUse) << " points, " << row.rpm << " rpm";
  }
  // The top curve speed 25500 is reached like any other.
  p.PocetBodu = 2;
  p.RpmAdv[0] = 254;
  p.RpmAdv[1] = 255;
  EXPECT_EQ(FindActivePoint(25400, p).ActivePoint, 0);
  EXPECT_EQ(FindActivePoint(25500, p).ActivePoint, 1);
}
