#include "model/Keying.h"

namespace {
// Polarita by code 0..7; code 0 is the user's choice and never read from here.
constexpr std::array<std::uint8_t, BikeCount> PolarityByCode = {0, 0, 0, 1, 2, 2, 0, 0};
} // namespace

bool BikeIndexToCode(std::uint8_t index, std::uint8_t& code) {
  if (index >= BikeCount) return false;
  code = BikeCodeByIndex[index];
  return true;
}

bool BikeCodeToIndex(std::uint8_t code, std::uint8_t& index) {
  for (int i = 0; i < BikeCount; ++i) {
    if (BikeCodeByIndex[i] == code) {
      index = static_cast<std::uint8_t>(i);
      return true;
    }
  }
  return false;
}

std::optional<std::uint8_t> ForcedPolarity(std::uint8_t code) {
  if (code == 0 || code >= BikeCount) return std::nullopt;
  return PolarityByCode[code];
}

std::optional<std::uint8_t> ForcedGeberNr(std::uint8_t code) {
  if (code == 0 || code >= BikeCount) return std::nullopt;
  return 1;
}

bool ApplyKeyingRule(TIgnParams& p) {
  const auto polarity = ForcedPolarity(p.Bike);
  const auto geber = ForcedGeberNr(p.Bike);
  if (!polarity || !geber) return false;
  p.Polarita = *polarity;
  p.GeberNr = *geber;
  return true;
}
