// Keying types: the list ComboBoxBike shows its items in one order, the record stores
// a code that follows the unit's numbering, and every type other than "Standard" fixes
// the pick-up polarity and the ignitions per revolution by its wiring.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "model/IgnParams.h"

inline constexpr int BikeCount = 8;

// Item texts of ComboBoxBike, by item index; the same in every language.
inline constexpr std::array<const char*, BikeCount> BikeItemTexts = {
    "Standard",   "Honda CBF250",    "Husaberg 4T SEM",           "Kawasaki KLR 600 older model",
    "KTM 4T SEM", "Suzuki Freewind", "Yamaha XT 600 older model", "2T SEM",
};

// Code stored in Bike for each item index.
inline constexpr std::array<std::uint8_t, BikeCount> BikeCodeByIndex = {0, 4, 6, 1, 3, 5, 2, 7};

// The keying type whose curve never exceeds the base advance.
inline constexpr std::uint8_t BikeCode2TSem = 7;

// Item index -> code. An index above 7 leaves `code` unchanged and returns false.
bool BikeIndexToCode(std::uint8_t index, std::uint8_t& code);
// Code -> item index. A code above 7 leaves `index` unchanged and returns false.
bool BikeCodeToIndex(std::uint8_t code, std::uint8_t& index);

// Polarita forced by a keying code; nullopt for "Standard" (user's choice) and for
// codes outside the table, which force nothing.
std::optional<std::uint8_t> ForcedPolarity(std::uint8_t code);
// GeberNr forced by a keying code (1 for every type but "Standard"); nullopt otherwise.
std::optional<std::uint8_t> ForcedGeberNr(std::uint8_t code);

// Puts the forced Polarita and GeberNr of p.Bike into the record; returns true when
// the keying type forces them (the window then moves its two controls to match).
bool ApplyKeyingRule(TIgnParams& p);
