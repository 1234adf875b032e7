// Brings the record into the order the unit and the screen rely on: curve speeds inside
// their bounds and strictly rising, start limiter not above the limiter, the "2T SEM"
// curve capped at the base advance; also sanitises the language and the port number.
#pragma once

#include <cstdint>

#include "model/IgnParams.h"
#include "model/Types.h"

// Lowest and highest stored speed of curve point i (0..14): i + 6 and i + 186.
constexpr int CurveSpeedMin(int i) {
  return i + 6;
}
constexpr int CurveSpeedMax(int i) {
  return i + 186;
}

inline constexpr std::uint8_t MaxComPort = 10;

void NormaliseParams(TIgnParams& p, TLanguage& language, std::uint8_t& comPort);
