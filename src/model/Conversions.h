// Conversions between what the spinners and lists show (rpm, ms, percent, item
// indices) and what the record stores (the unit's own units), plus the spinner ranges
// and the index guards for values that arrive from a file or the unit out of range.
#pragma once

#include <cstdint>

#include "model/IgnParams.h"

struct TSpinRange {
  int Min;
  int Max;
  int Step;
};

inline constexpr TSpinRange RangePocetBodu{1, 15, 1};
inline constexpr TSpinRange RangeBaseAdv{0, 40, 1};
inline constexpr TSpinRange RangeOmez1{999, 25000, 100};
inline constexpr TSpinRange RangeOmez2{999, 25000, 100};
inline constexpr TSpinRange RangeRetard{0, 25, 1};
inline constexpr TSpinRange RangeLedRazeni{1000, 25000, 100};
inline constexpr TSpinRange RangeClutch1{0, 2500, 10};
inline constexpr TSpinRange RangeClutch2{0, 2500, 10};
inline constexpr TSpinRange RangeRpmPulsu{1, 6, 1};
inline constexpr TSpinRange RangeRpmKorekce{-60, 60, 1};
inline constexpr TSpinRange RangeRpmAdv{600, 20100, 100};
inline constexpr TSpinRange RangeAdvance{0, 60, 1};

// The mode of a switch input (Input1, Input2) that puts the start limiter in use.
inline constexpr std::uint8_t InputModeStartLimiter = 4;
// Whether either switch input is in the mode; both may be.
constexpr bool InputModeInUse(const TIgnParams& p, std::uint8_t mode) {
  return p.Input1 == mode || p.Input2 == mode;
}

// Item counts of the lists and radio groups whose index is the stored code.
inline constexpr int PolarityItemCount = 3;
inline constexpr int GeberNrItemCount = 4;
inline constexpr int InputItemCount = 5;

// Speeds (Omez1, Omez2, LedRazeni, RpmAdv): rpm / 100, remainder dropped; the record
// keeps the low 8 bits.
constexpr std::uint8_t SpeedToStored(int rpm) {
  return static_cast<std::uint8_t>(rpm / 100);
}
constexpr int SpeedToScreen(std::uint8_t stored) {
  return stored * 100;
}

// Clutch master time and pause: ms / 10, remainder dropped.
constexpr std::uint8_t ClutchToStored(int ms) {
  return static_cast<std::uint8_t>(ms / 10);
}
constexpr int ClutchToScreen(std::uint8_t stored) {
  return stored * 10;
}

// Tachometer correction: percent + 100.
constexpr std::uint8_t CorrectionToStored(int percent) {
  return static_cast<std::uint8_t>(percent + 100);
}
constexpr int CorrectionToScreen(std::uint8_t stored) {
  return stored - 100;
}

// GeberNr: item index of ComboBoxPocPalcu = (code + 3) mod 4, code = (index + 1) mod 4.
// Any code gives an index 0..3; a negative index (no selection) is taken modulo 4 too.
constexpr int GeberNrToIndex(std::uint8_t code) {
  return (code + 3) % 4;
}
constexpr std::uint8_t GeberNrFromIndex(int index) {
  return static_cast<std::uint8_t>(((index + 1) % 4 + 4) % 4);
}

// Index guards: a record from a file or the unit may hold any byte.
// Curve rows in use, PocetBodu clamped to 0..15: safe as a loop bound over the curve.
constexpr int CurvePointsInUse(const TIgnParams& p) {
  return p.PocetBodu > CurvePoints ? CurvePoints : p.PocetBodu;
}
// Item index for a code shown in a list of `count` items: a code beyond the list shows its
// last item, as a spinner shows a value beyond its range at the limit.
constexpr int NearestItemIndex(std::uint8_t code, int count) {
  return code < count ? code : count - 1;
}
constexpr int PolarityIndex(const TIgnParams& p) {
  return NearestItemIndex(p.Polarita, PolarityItemCount);
}
constexpr int InputIndex(std::uint8_t inputCode) {
  return NearestItemIndex(inputCode, InputItemCount);
}
// A screen value held inside a spinner's range.
constexpr int ClampToRange(int value, TSpinRange range) {
  return value < range.Min ? range.Min : (value > range.Max ? range.Max : value);
}
