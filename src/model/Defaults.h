// The built-in parameter set: start-up without a saved state and the New command.
#pragma once

#include <array>
#include <cstdint>

#include "model/IgnParams.h"

// Curve speeds of the defaults, rpm / 100: 1000 to 15000 rpm in steps of 1000.
inline constexpr std::array<std::uint8_t, CurvePoints> DefaultRpmAdv = {
    10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150};

// Writes the defaults into the record. Bike, Input1, Input2 and the uninterpreted bytes
// describe the motorcycle's wiring or the unit, not a tune, so they keep their values.
void LoadDefaultParams(TIgnParams& p);
