// Which text colour stays readable on a background: the contrast of two colours as the
// desktop's accessibility guidelines measure it.
#pragma once

#include <cstdint>

struct TRgb {
  std::uint8_t R = 0, G = 0, B = 0;
  bool operator==(const TRgb&) const = default;
};

inline constexpr TRgb BlackRgb{0, 0, 0};
inline constexpr TRgb WhiteRgb{255, 255, 255};

// Relative luminance, 0 (black) to 1 (white), of an sRGB colour.
double RelativeLuminance(TRgb colour);
// From 1 (the same) to 21 (black against white); the order of the two does not matter.
double ContrastRatio(TRgb a, TRgb b);
// Black or white, whichever stands out more against the background.
TRgb ReadableTextOn(TRgb background);
