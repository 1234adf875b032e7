#include "model/Contrast.h"

#include <algorithm>
#include <cmath>

namespace {

double Linear(std::uint8_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

double RelativeLuminance(TRgb colour) {
  return 0.2126 * Linear(colour.R) + 0.7152 * Linear(colour.G) + 0.0722 * Linear(colour.B);
}

double ContrastRatio(TRgb a, TRgb b) {
  const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TRgb ReadableTextOn(TRgb background) {
  return ContrastRatio(background, BlackRgb) >= ContrastRatio(background, WhiteRgb) ? BlackRgb
                                                                                    : WhiteRgb;
}
