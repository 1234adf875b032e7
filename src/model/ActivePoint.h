// The curve point in use at the current engine speed, marked on the curve and changed by
// the advance commands.
#pragma once

#include <cstdint>

#include "model/IgnParams.h"

struct TActivePoint {
  std::uint8_t ActivePoint; // index 0..14 of the marked point
  bool NoActivePoint;       // engine below the first point (or stopped): nothing marked
};

// The nearest point in use to liveRpm, on whole hundreds of rpm; half-way the lower wins.
TActivePoint FindActivePoint(std::uint16_t liveRpm, const TIgnParams& p);
