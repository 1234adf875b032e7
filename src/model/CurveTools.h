// The curve tools: a selection of curve points and the operations on it (shift, set,
// interpolate, smooth, scale the speeds, insert, remove, paste). An operation works on a
// draft of the curve in the spinners' units; finishing the draft holds it within the
// spinners' ranges, normalises it as every edit is, and names the points that ended up
// elsewhere than the operation put them.
#pragma once

#include <cstdint>

#include "model/IgnParams.h"

// A set of curve points by index (0..14).
class TCurveSelection {
public:
  constexpr TCurveSelection() = default;
  static TCurveSelection Point(int index);
  // From one index to the other, in either order.
  static TCurveSelection Range(int from, int to);
  static TCurveSelection All(int count);

  bool Has(int index) const;
  bool Empty() const { return Bits == 0; }
  int Count() const;
  int First() const; // -1 when empty
  int Last() const;  // -1 when empty
  TCurveSelection Toggled(int index) const;
  // Only the points below count: a selection outlives a change of the number of points.
  TCurveSelection Within(int count) const;
  TCurveSelection operator|(TCurveSelection other) const;
  bool operator==(const TCurveSelection&) const = default;

private:
  std::uint16_t Bits = 0;
};

// The selection after a click on point index: alone; with Shift the range from the anchor
// (the point last clicked without Shift); with Ctrl the point added or taken out; with
// both the range added.
TCurveSelection ClickedSelection(TCurveSelection current, int anchor, int index, bool shift,
                                 bool ctrl);

// The curve as the spinners would show it, before it is held within their ranges.
struct TCurveDraft {
  int Count = 0; // points in use
  int Rpm[CurvePoints] = {};
  int Advance[CurvePoints] = {};
};

TCurveDraft CurveDraftOf(const TIgnParams& p);

struct TCurveToolResult {
  TIgnParams Params{};      // the new record: within the ranges and normalised
  TCurveSelection Adjusted; // points in use held at a range's end or pushed up by a predecessor
};

// The draft into a copy of the record: speeds and advances within their spinners' ranges
// (speeds then in whole hundreds as a typed speed is stored), the number of points within
// 1..15, then the record's normalisation.
TCurveToolResult FinishCurveDraft(const TIgnParams& before, const TCurveDraft& draft);

// Operations on the selected points in use. Each returns false, the draft untouched, where
// it cannot act (nothing selected, too few points, no room for another point).
bool AddDegrees(TCurveDraft& d, TCurveSelection s, int degrees);
bool SetDegrees(TCurveDraft& d, TCurveSelection s, int degrees);
// Every point between the first and the last selected onto the straight line between them,
// by speed; whole degrees, halves away from zero.
bool InterpolateAdvance(TCurveDraft& d, TCurveSelection s);
// Every selected point between the first and the last selected to the mean of itself and
// its two neighbours (as they were before), rounded to whole degrees.
bool SmoothAdvance(TCurveDraft& d, TCurveSelection s);
// Speeds times percent / 100, rounded to whole hundreds of rpm.
bool ScaleSpeeds(TCurveDraft& d, TCurveSelection s, int percent);
// Whole steps of 100 rpm and 1 degree, as the arrow keys and a drag move points.
bool ShiftPoints(TCurveDraft& d, TCurveSelection s, int rpmSteps, int advanceSteps);
// A new point halfway between point index and the one before it (for the first point,
// between the lowest speed and it, at its advance); the points from index on move up one
// place. False when all 15 are in use.
bool InsertPointBefore(TCurveDraft& d, int index);
// The selected points go and the later ones move down; false when none would be left.
bool RemovePoints(TCurveDraft& d, TCurveSelection s);

// A curve read from text: speeds in rpm, advances in degrees, whole numbers.
struct TCurveTablePoint {
  int Rpm = 0;
  int Advance = 0;
};
// Puts the points in as the curve: their number becomes the number of points in use.
void SetCurvePoints(TCurveDraft& d, const TCurveTablePoint* points, int count);
