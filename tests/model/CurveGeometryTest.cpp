// The curve graph's arithmetic: what the axes hold, where a value is drawn, and which value
// a drag or a key gives, in the spinners' whole steps and ranges.
#include <gtest/gtest.h>

#include <cmath>

#include "model/CurveGeometry.h"
#include "model/Defaults.h"

namespace {

TIgnParams Defaults() {
  TIgnParams p{};
  LoadDefaultParams(p);
  return p;
}

// 16000 rpm across 640 px (25 rpm a pixel), 0..40 degrees down 400 px (10 px a degree).
TCurveScale Scale() {
  return TCurveScale({16000, 0, 40}, {50, 20, 640, 400});
}

} // namespace

TEST(CurveGeometry, AxesHoldTheCurveTheMarksAndTheLiveAdvance) {
  TIgnParams p = Defaults(); // 2 points at 1000/2000 rpm, limiter 15000, shift light 12000
  EXPECT_EQ(CurveAxesFor(p, false), (TCurveAxes{16000, 0, 30}));

  p.PocetBodu = 15; // point 15 at 15000 rpm
  p.RpmAdv[14] = 200;
  EXPECT_EQ(CurveAxesFor(p, false).RpmMax, 21000);
  p.PocetBodu = 200; // from a file: every point counts, none beyond the 15th
  EXPECT_EQ(CurveAxesFor(p, false).RpmMax, 21000);

  p = Defaults();
  p.Omez2 = 40, p.LedRazeni = 30, p.Omez1 = 250;
  EXPECT_EQ(CurveAxesFor(p, false).RpmMax, 5000) << "at least 5000 rpm";
  EXPECT_EQ(CurveAxesFor(p, true).RpmMax, 26000) << "the start limiter only while shown";

  p = Defaults();
  p.Advance[1] = 34;
  EXPECT_EQ(CurveAxesFor(p, false).AdvanceMax, 40);
  p.Advance[1] = 60;
  EXPECT_EQ(CurveAxesFor(p, false).AdvanceMax, 70);
  p.Advance[1] = 10, p.BaseAdv = 40;
  EXPECT_EQ(CurveAxesFor(p, false).AdvanceMax, 50);
  p.BaseAdv = 10;
  EXPECT_EQ(CurveAxesFor(p, false, 0, 37).AdvanceMax, 50) << "the live advance fits too";
  EXPECT_EQ(CurveAxesFor(p, false, -3).AdvanceMin, -10);
  EXPECT_EQ(CurveAxesFor(p, false, -10).AdvanceMin, -10);
  EXPECT_EQ(CurveAxesFor(p, false, -11).AdvanceMin, -20);
}

TEST(CurveGeometry, ValuesToPixelsAndBack) {
  const TCurveScale s = Scale();
  EXPECT_DOUBLE_EQ(s.X(0), 50);
  EXPECT_DOUBLE_EQ(s.X(16000), 690);
  EXPECT_DOUBLE_EQ(s.X(4000), 210);
  EXPECT_DOUBLE_EQ(s.Y(0), 420);
  EXPECT_DOUBLE_EQ(s.Y(40), 20);
  EXPECT_DOUBLE_EQ(s.Y(26), 160);
  for (double rpm : {0.0, 650.0, 12345.0, 20100.0}) EXPECT_NEAR(s.RpmAt(s.X(rpm)), rpm, 1e-9);
  for (double adv : {-10.0, 0.0, 17.5, 60.0}) EXPECT_NEAR(s.AdvanceAt(s.Y(adv)), adv, 1e-9);

  const TCurveScale below({16000, -20, 40}, {0, 0, 100, 600});
  EXPECT_DOUBLE_EQ(below.Y(-20), 600);
  EXPECT_DOUBLE_EQ(below.Y(0), 400);
  // A collapsed area or axis draws somewhere instead of dividing by zero.
  const TCurveScale flat({0, 5, 5}, {0, 0, 0, 0});
  EXPECT_TRUE(std::isfinite(flat.X(1000)) && std::isfinite(flat.Y(5)));
  EXPECT_TRUE(std::isfinite(flat.RpmAt(3)) && std::isfinite(flat.AdvanceAt(3)));
}

TEST(CurveGeometry, DragMovesInWholeStepsWithinTheSpinnerRanges) {
  const TCurveScale s = Scale();
  // 25 rpm and 0.1 degree a pixel: 4 px is one speed step, 10 px one degree.
  struct {
    TCurvePointValue from;
    double dx, dy;
    TCurvePointValue to;
  } const table[] = {
      {{3000, 26}, 0, 0, {3000, 26}},      {{3000, 26}, 1.9, -4.9, {3000, 26}},
      {{3000, 26}, 2.1, -5.1, {3100, 27}}, {{3000, 26}, 12, -30, {3300, 29}},
      {{3000, 26}, -8, 20, {2800, 24}},    {{3000, 26}, 4000, -4000, {20100, 60}},
      {{3000, 26}, -4000, 4000, {600, 0}}, {{20100, 60}, 4, -10, {20100, 60}},
      {{600, 0}, -4, -10, {600, 1}},       {{3000, 26}, 0, -10, {3000, 27}},
  };
  for (const auto& row : table) {
    const TCurvePointValue to =
        DraggedPointValue(row.from, s, 300, 200, 300 + row.dx, 200 + row.dy);
    EXPECT_EQ(to, row.to) << row.from.Rpm << "/" << row.from.Advance << " by " << row.dx << ","
                          << row.dy << ": " << to.Rpm << "/" << to.Advance;
  }
  // Where the press was on the point does not matter, only the way the pointer went.
  EXPECT_EQ(DraggedPointValue({3000, 26}, s, 10, 10, 22, -20), (TCurvePointValue{3300, 29}));
}

TEST(CurveGeometry, KeyStepsStayInRangeEvenFromValuesBeyondIt) {
  EXPECT_EQ(SteppedPointValue({3000, 26}, 1, 0), (TCurvePointValue{3100, 26}));
  EXPECT_EQ(SteppedPointValue({3000, 26}, 0, -1), (TCurvePointValue{3000, 25}));
  EXPECT_EQ(SteppedPointValue({20100, 60}, 1, 1), (TCurvePointValue{20100, 60}));
  EXPECT_EQ(SteppedPointValue({600, 0}, -1, -1), (TCurvePointValue{600, 0}));
  // A file may hold advance 200: the step starts from the spinner's end.
  EXPECT_EQ(SteppedPointValue({3000, 200}, 0, -1), (TCurvePointValue{3000, 59}));
  EXPECT_EQ(SteppedPointValue({25500, 0}, -1, 0), (TCurvePointValue{20000, 0}));

  TIgnParams p{};
  LoadDefaultParams(p);
  p.Advance[1] = 34;
  EXPECT_EQ(CurvePointValue(p, 1), (TCurvePointValue{2000, 34}));
  EXPECT_EQ(CurvePointValue(p, 15), (TCurvePointValue{})) << "no 16th point";
}

TEST(CurveGeometry, PointUnderThePointer) {
  TIgnParams p = Defaults();
  p.PocetBodu = 3; // 1000, 2000, 3000 rpm at 10 degrees: x 90, 130, 170 at y 320
  const TCurveScale s = Scale();
  EXPECT_EQ(CurvePointAt(p, s, 90, 320, 8), 0);
  EXPECT_EQ(CurvePointAt(p, s, 135, 315, 8), 1);
  EXPECT_EQ(CurvePointAt(p, s, 110, 320, 8), -1) << "between two points";
  EXPECT_EQ(CurvePointAt(p, s, 210, 320, 8), -1) << "point 4 is not in use";
  p.RpmAdv[1] = 10; // point 2 on top of point 1
  EXPECT_EQ(CurvePointAt(p, s, 90, 320, 8), 1) << "the one drawn last";
  p.PocetBodu = 0;
  EXPECT_EQ(CurvePointAt(p, s, 90, 320, 8), -1);
}

TEST(CurveGeometry, GridLinesKeepTheirDistance) {
  EXPECT_EQ(GridStep(640.0 / 16000, 60), 2000);
  EXPECT_EQ(GridStep(640.0 / 16000, 40), 1000);
  EXPECT_EQ(GridStep(400.0 / 40, 26), 5);
  EXPECT_EQ(GridStep(400.0 / 40, 9), 1);
  EXPECT_EQ(GridStep(200.0 / 70, 26), 10);
  EXPECT_EQ(GridStep(0, 26), 1);
}
