#include "model/ActivePoint.h"

TActivePoint FindActivePoint(std::uint16_t liveRpm, const TIgnParams& p) {
  // The curve speeds are bytes of hundreds of rpm. 25600 rpm and more would wrap a byte
  // round to a low speed and mark a low point while the engine runs flat out; every curve
  // speed lies at or below 25500, so holding r at 255 marks the last point in use instead.
  const unsigned hundreds = liveRpm / 100u;
  const std::uint8_t r = hundreds > 255u ? 255u : static_cast<std::uint8_t>(hundreds);

  // The bound of 15 keeps a PocetBodu beyond the curve from reading past it.
  int searched = p.PocetBodu < CurvePoints ? p.PocetBodu : CurvePoints;
  int k = 0;
  while (k < searched && p.RpmAdv[k] <= r) ++k;

  if (k == 0) return {0, true};
  if (k == searched) return {static_cast<std::uint8_t>(k - 1), false};
  const int lower = p.RpmAdv[k - 1];
  const int upper = p.RpmAdv[k];
  return {static_cast<std::uint8_t>(lower + upper >= 2 * r ? k - 1 : k), false};
}
