#include "model/CurveGeometry.h"

#include <algorithm>
#include <cmath>

#include "model/Conversions.h"

namespace {

// The next multiple of step at or above value (value >= 0).
int CeilTo(int value, int step) {
  return (value + step - 1) / step * step;
}

int StepsOf(double amount, double step) {
  return static_cast<int>(std::lround(amount / step));
}

} // namespace

TCurveAxes CurveAxesFor(const TIgnParams& p, bool startLimiterShown, int lowestLiveAdvance,
                        int highestLiveAdvance) {
  const int inUse = CurvePointsInUse(p);
  int rpm = std::max(SpeedToScreen(p.Omez2), SpeedToScreen(p.LedRazeni));
  if (startLimiterShown) rpm = std::max(rpm, SpeedToScreen(p.Omez1));
  int advance = std::max<int>(p.BaseAdv, highestLiveAdvance);
  for (int i = 0; i < inUse; ++i) {
    rpm = std::max(rpm, SpeedToScreen(p.RpmAdv[i]));
    advance = std::max<int>(advance, p.Advance[i]);
  }
  TCurveAxes axes;
  axes.RpmMax = std::max(5000, CeilTo(rpm + 1000, 1000));
  axes.AdvanceMax = std::max(30, CeilTo(advance + 5, 10));
  axes.AdvanceMin = lowestLiveAdvance < 0 ? -CeilTo(-lowestLiveAdvance, 10) : 0;
  return axes;
}

TCurveScale::TCurveScale(const TCurveAxes& axes, const TPlotArea& area) : FAxes(axes), FArea(area) {
  // A degenerate area or axis would divide by zero below.
  FArea.Width = std::max(FArea.Width, 1.0);
  FArea.Height = std::max(FArea.Height, 1.0);
  FAxes.RpmMax = std::max(FAxes.RpmMax, 1);
  FAxes.AdvanceMax = std::max(FAxes.AdvanceMax, FAxes.AdvanceMin + 1);
}

double TCurveScale::X(double rpm) const {
  return FArea.Left + rpm * FArea.Width / FAxes.RpmMax;
}

double TCurveScale::Y(double advance) const {
  return FArea.Top + FArea.Height -
         (advance - FAxes.AdvanceMin) * FArea.Height / (FAxes.AdvanceMax - FAxes.AdvanceMin);
}

double TCurveScale::RpmAt(double x) const {
  return (x - FArea.Left) * FAxes.RpmMax / FArea.Width;
}

double TCurveScale::AdvanceAt(double y) const {
  return FAxes.AdvanceMin +
         (FArea.Top + FArea.Height - y) * (FAxes.AdvanceMax - FAxes.AdvanceMin) / FArea.Height;
}

TCurvePointValue CurvePointValue(const TIgnParams& p, int index) {
  if (index < 0 || index >= CurvePoints) return {};
  return {SpeedToScreen(p.RpmAdv[index]), p.Advance[index]};
}

TCurvePointValue DraggedPointValue(const TCurvePointValue& atPress, const TCurveScale& scale,
                                   double pressX, double pressY, double x, double y) {
  const double rpm = scale.RpmAt(x) - scale.RpmAt(pressX);
  const double advance = scale.AdvanceAt(y) - scale.AdvanceAt(pressY);
  return SteppedPointValue(atPress, StepsOf(rpm, RangeRpmAdv.Step),
                           StepsOf(advance, RangeAdvance.Step));
}

TCurvePointValue SteppedPointValue(const TCurvePointValue& value, int rpmSteps, int advanceSteps) {
  // A value that came from a file outside the range moves from the range's end.
  return {
      ClampToRange(ClampToRange(value.Rpm, RangeRpmAdv) + rpmSteps * RangeRpmAdv.Step, RangeRpmAdv),
      ClampToRange(ClampToRange(value.Advance, RangeAdvance) + advanceSteps * RangeAdvance.Step,
                   RangeAdvance)};
}

int CurvePointAt(const TIgnParams& p, const TCurveScale& scale, double x, double y, double radius) {
  int found = -1;
  double best = radius * radius;
  for (int i = 0; i < CurvePointsInUse(p); ++i) {
    const double dx = scale.X(SpeedToScreen(p.RpmAdv[i])) - x;
    const double dy = scale.Y(p.Advance[i]) - y;
    const double distance = dx * dx + dy * dy;
    if (distance <= best) {
      best = distance;
      found = i;
    }
  }
  return found;
}

int GridStep(double pixelsPerUnit, double minPixels) {
  if (pixelsPerUnit <= 0) return 1;
  for (int magnitude = 1; magnitude <= 100000000; magnitude *= 10)
    for (int factor : {1, 2, 5})
      if (factor * magnitude * pixelsPerUnit >= minPixels) return factor * magnitude;
  return 1000000000;
}
