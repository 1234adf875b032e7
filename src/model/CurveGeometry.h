// The advance curve as a graph: engine speed across, advance up. Where a value lies on the
// graph and which value a place on it means, in the whole steps of the curve's spinners.
#pragma once

#include "model/IgnParams.h"

// The value ranges the graph shows. The speed axis starts at 0 rpm.
struct TCurveAxes {
  int RpmMax = 0;     // rpm at the right end
  int AdvanceMin = 0; // degrees at the bottom
  int AdvanceMax = 0; // degrees at the top
  bool operator==(const TCurveAxes&) const = default;
};

// Axes that hold the points in use, the base advance, the limiter, the gear-shift light and,
// when shown, the start limiter, with room above them: speeds up to the next whole thousand
// above the highest plus 1000 rpm (at least 5000), advance up to the next ten above the
// highest plus 5 degrees (at least 30). A live advance below 0 (retard) lowers the bottom
// in tens of degrees.
TCurveAxes CurveAxesFor(const TIgnParams& p, bool startLimiterShown, int lowestLiveAdvance = 0,
                        int highestLiveAdvance = 0);

// The plot area in pixels, y growing downwards.
struct TPlotArea {
  double Left = 0, Top = 0, Width = 1, Height = 1;
};

class TCurveScale {
public:
  TCurveScale() = default;
  TCurveScale(const TCurveAxes& axes, const TPlotArea& area);
  double X(double rpm) const;
  double Y(double advance) const;
  double RpmAt(double x) const;
  double AdvanceAt(double y) const;
  const TCurveAxes& Axes() const { return FAxes; }
  const TPlotArea& Area() const { return FArea; }

private:
  TCurveAxes FAxes{5000, 0, 30};
  TPlotArea FArea;
};

// A curve point as its two spinners show it.
struct TCurvePointValue {
  int Rpm = 0;
  int Advance = 0;
  bool operator==(const TCurvePointValue&) const = default;
};

TCurvePointValue CurvePointValue(const TIgnParams& p, int index);

// The value a drag gives: the value at the press moved by the way the pointer went since,
// in whole steps (100 rpm across, 1 degree up), within the ranges of the spinners.
TCurvePointValue DraggedPointValue(const TCurvePointValue& atPress, const TCurveScale& scale,
                                   double pressX, double pressY, double x, double y);

// A key's step: rpmSteps of 100 rpm and advanceSteps of 1 degree, within the ranges.
TCurvePointValue SteppedPointValue(const TCurvePointValue& value, int rpmSteps, int advanceSteps);

// The point in use nearest to (x, y) no farther than radius pixels; -1 for none. The
// highest-numbered of points drawn on top of each other wins, as it is drawn last.
int CurvePointAt(const TIgnParams& p, const TCurveScale& scale, double x, double y, double radius);

// The spacing of grid lines: the smallest of 1, 2, 5, 10, 20, 50 ... units that keeps the
// lines at least minPixels apart.
int GridStep(double pixelsPerUnit, double minPixels);
