#include "model/CurveTools.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "model/Conversions.h"
#include "model/Normalise.h"

namespace {

constexpr std::uint16_t AllBits = (1u << CurvePoints) - 1;

bool ValidIndex(int index) {
  return index >= 0 && index < CurvePoints;
}

int RoundHalfAway(double value) {
  return static_cast<int>(std::lround(value));
}

// The selected points that are in use.
TCurveSelection InUse(const TCurveDraft& d, TCurveSelection s) {
  return s.Within(d.Count);
}

} // namespace

TCurveSelection TCurveSelection::Point(int index) {
  TCurveSelection s;
  if (ValidIndex(index)) s.Bits = static_cast<std::uint16_t>(1u << index);
  return s;
}

TCurveSelection TCurveSelection::Range(int from, int to) {
  if (from > to) std::swap(from, to);
  TCurveSelection s;
  for (int i = std::max(from, 0); i <= std::min(to, CurvePoints - 1); ++i) s = s | Point(i);
  return s;
}

TCurveSelection TCurveSelection::All(int count) {
  return count > 0 ? Range(0, count - 1) : TCurveSelection();
}

bool TCurveSelection::Has(int index) const {
  return ValidIndex(index) && (Bits >> index & 1u) != 0;
}

int TCurveSelection::Count() const {
  return std::popcount(Bits);
}

int TCurveSelection::First() const {
  return Bits == 0 ? -1 : std::countr_zero(Bits);
}

int TCurveSelection::Last() const {
  return Bits == 0 ? -1 : 15 - std::countl_zero(Bits);
}

TCurveSelection TCurveSelection::Toggled(int index) const {
  TCurveSelection s = *this;
  s.Bits = static_cast<std::uint16_t>(s.Bits ^ Point(index).Bits);
  return s;
}

TCurveSelection TCurveSelection::Within(int count) const {
  TCurveSelection s = *this;
  s.Bits &= All(std::clamp(count, 0, CurvePoints)).Bits;
  return s;
}

TCurveSelection TCurveSelection::operator|(TCurveSelection other) const {
  TCurveSelection s = *this;
  s.Bits = static_cast<std::uint16_t>((s.Bits | other.Bits) & AllBits);
  return s;
}

TCurveSelection ClickedSelection(TCurveSelection current, int anchor, int index, bool shift,
                                 bool ctrl) {
  if (!ValidIndex(index)) return current;
  if (shift && ValidIndex(anchor)) {
    const TCurveSelection range = TCurveSelection::Range(anchor, index);
    return ctrl ? current | range : range;
  }
  if (ctrl) return current.Toggled(index);
  return TCurveSelection::Point(index);
}

TCurveDraft CurveDraftOf(const TIgnParams& p) {
  TCurveDraft d;
  d.Count = CurvePointsInUse(p);
  for (int i = 0; i < CurvePoints; ++i) {
    d.Rpm[i] = SpeedToScreen(p.RpmAdv[i]);
    d.Advance[i] = p.Advance[i];
  }
  return d;
}

TCurveToolResult FinishCurveDraft(const TIgnParams& before, const TCurveDraft& draft) {
  TCurveToolResult result;
  TIgnParams& p = result.Params;
  p = before;
  p.PocetBodu = static_cast<std::uint8_t>(ClampToRange(draft.Count, RangePocetBodu));
  std::uint8_t wantedSpeed[CurvePoints], wantedAdvance[CurvePoints];
  TCurveSelection clamped;
  for (int i = 0; i < CurvePoints; ++i) {
    const int rpm = ClampToRange(draft.Rpm[i], RangeRpmAdv);
    const int advance = ClampToRange(draft.Advance[i], RangeAdvance);
    if (rpm != draft.Rpm[i] || advance != draft.Advance[i])
      clamped = clamped | TCurveSelection::Point(i);
    wantedSpeed[i] = p.RpmAdv[i] = SpeedToStored(rpm);
    wantedAdvance[i] = p.Advance[i] = static_cast<std::uint8_t>(advance);
  }
  // The language and the port are the window's; only the record matters here.
  TLanguage language = LangEnglish;
  std::uint8_t port = 0;
  NormaliseParams(p, language, port);
  for (int i = 0; i < CurvePoints; ++i)
    if (p.RpmAdv[i] != wantedSpeed[i] || p.Advance[i] != wantedAdvance[i])
      clamped = clamped | TCurveSelection::Point(i);
  result.Adjusted = clamped.Within(p.PocetBodu);
  return result;
}

bool AddDegrees(TCurveDraft& d, TCurveSelection s, int degrees) {
  s = InUse(d, s);
  if (s.Empty()) return false;
  for (int i = 0; i < d.Count; ++i)
    if (s.Has(i)) d.Advance[i] += degrees;
  return true;
}

bool SetDegrees(TCurveDraft& d, TCurveSelection s, int degrees) {
  s = InUse(d, s);
  if (s.Empty()) return false;
  for (int i = 0; i < d.Count; ++i)
    if (s.Has(i)) d.Advance[i] = degrees;
  return true;
}

bool InterpolateAdvance(TCurveDraft& d, TCurveSelection s) {
  s = InUse(d, s);
  const int first = s.First(), last = s.Last();
  if (s.Count() < 2 || last - first < 2) return false; // nothing lies between
  const double r0 = d.Rpm[first], r1 = d.Rpm[last];
  const double a0 = d.Advance[first], a1 = d.Advance[last];
  for (int i = first + 1; i < last; ++i) {
    // By position when the speeds give no line (equal speeds never survive normalisation).
    const double t = r1 > r0 ? (d.Rpm[i] - r0) / (r1 - r0) : double(i - first) / (last - first);
    d.Advance[i] = RoundHalfAway(a0 + (a1 - a0) * std::clamp(t, 0.0, 1.0));
  }
  return true;
}

bool SmoothAdvance(TCurveDraft& d, TCurveSelection s) {
  s = InUse(d, s);
  const int first = s.First(), last = s.Last();
  if (s.Count() < 3) return false;
  const TCurveDraft before = d;
  for (int i = first + 1; i < last; ++i)
    if (s.Has(i))
      d.Advance[i] =
          RoundHalfAway((before.Advance[i - 1] + before.Advance[i] + before.Advance[i + 1]) / 3.0);
  return true;
}

bool ScaleSpeeds(TCurveDraft& d, TCurveSelection s, int percent) {
  s = InUse(d, s);
  if (s.Empty()) return false;
  for (int i = 0; i < d.Count; ++i)
    if (s.Has(i)) d.Rpm[i] = RoundHalfAway(d.Rpm[i] * (percent / 100.0) / 100.0) * 100;
  return true;
}

bool ShiftPoints(TCurveDraft& d, TCurveSelection s, int rpmSteps, int advanceSteps) {
  s = InUse(d, s);
  if (s.Empty()) return false;
  for (int i = 0; i < d.Count; ++i) {
    if (!s.Has(i)) continue;
    d.Rpm[i] += rpmSteps * RangeRpmAdv.Step;
    d.Advance[i] += advanceSteps * RangeAdvance.Step;
  }
  return true;
}

bool InsertPointBefore(TCurveDraft& d, int index) {
  if (index < 0 || index >= d.Count || d.Count >= CurvePoints) return false;
  const int lowerRpm = index > 0 ? d.Rpm[index - 1] : RangeRpmAdv.Min;
  const int lowerAdvance = index > 0 ? d.Advance[index - 1] : d.Advance[index];
  // Halfway in whole hundreds, rounded down as a typed speed is stored.
  const int rpm = (lowerRpm + d.Rpm[index]) / 2 / 100 * 100;
  const int advance = RoundHalfAway((lowerAdvance + d.Advance[index]) / 2.0);
  for (int i = CurvePoints - 1; i > index; --i) {
    d.Rpm[i] = d.Rpm[i - 1];
    d.Advance[i] = d.Advance[i - 1];
  }
  d.Rpm[index] = rpm;
  d.Advance[index] = advance;
  ++d.Count;
  return true;
}

bool RemovePoints(TCurveDraft& d, TCurveSelection s) {
  s = InUse(d, s);
  if (s.Empty() || s.Count() >= d.Count) return false;
  int kept = 0;
  for (int i = 0; i < CurvePoints; ++i) {
    if (s.Has(i)) continue;
    d.Rpm[kept] = d.Rpm[i];
    d.Advance[kept] = d.Advance[i];
    ++kept;
  }
  // The freed places at the end follow the last one, as the normalisation would put them.
  for (int i = kept; i < CurvePoints; ++i) {
    d.Rpm[i] = d.Rpm[i - 1] + RangeRpmAdv.Step;
    d.Advance[i] = d.Advance[i - 1];
  }
  d.Count -= s.Count();
  return true;
}

void SetCurvePoints(TCurveDraft& d, const TCurveTablePoint* points, int count) {
  count = std::clamp(count, 0, CurvePoints);
  for (int i = 0; i < count; ++i) {
    d.Rpm[i] = points[i].Rpm;
    d.Advance[i] = points[i].Advance;
  }
  if (count > 0) d.Count = count;
}
