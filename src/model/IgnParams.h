// The parameter record and the device image: the bytes the screen edits are the
// bytes the unit receives, so both are fixed layouts checked at compile time.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int CurvePoints = 15;
inline constexpr int BlockSize = 50;
inline constexpr int BlockCount = 2;
inline constexpr int ImageSize = BlockSize * BlockCount;

// Block 1 of the unit's memory, in the unit's own units (hundreds of rpm, tens of ms, codes).
struct TIgnParams {
  std::uint8_t Bike;                 // 0  keying type code 0..7
  std::uint8_t PocetBodu;            // 1  curve points in use 1..15
  std::uint8_t BaseAdv;              // 2  degrees 0..40
  std::uint8_t Omez1;                // 3  start limiter, rpm / 100
  std::uint8_t Omez2;                // 4  limiter, rpm / 100
  std::uint8_t Retard;               // 5  degrees 0..25
  std::uint8_t Polarita;             // 6  0 positive, 1 negative, 2 self-search
  std::uint8_t Reserved7;            // 7  not interpreted
  std::uint8_t Reserved8;            // 8  not interpreted
  std::uint8_t GeberNr;              // 9  ignitions per revolution code 0..3
  std::uint8_t LedRazeni;            // 10 gear-shift light, rpm / 100
  std::uint8_t Clutch1;              // 11 clutch master time, ms / 10
  std::uint8_t Clutch2;              // 12 clutch master pause, ms / 10
  std::uint8_t Input1;               // 13 mode of switch input 1, 0..4
  std::uint8_t Input2;               // 14 mode of switch input 2, 0..4
  std::uint8_t Reserved15;           // 15 not interpreted
  std::uint8_t RpmPulsu;             // 16 tachometer pulses per revolution 1..6
  std::uint8_t RpmKorekce;           // 17 tachometer correction, percent + 100
  std::uint8_t RevOutLedRazeni;      // 18 pilot light output reversed 0/1
  std::uint8_t Reserved19;           // 19 not interpreted
  std::uint8_t RpmAdv[CurvePoints];  // 20..34 curve speeds, rpm / 100
  std::uint8_t Advance[CurvePoints]; // 35..49 curve advance, degrees 0..60
};

static_assert(sizeof(TIgnParams) == BlockSize);
static_assert(offsetof(TIgnParams, Bike) == 0);
static_assert(offsetof(TIgnParams, PocetBodu) == 1);
static_assert(offsetof(TIgnParams, BaseAdv) == 2);
static_assert(offsetof(TIgnParams, Omez1) == 3);
static_assert(offsetof(TIgnParams, Omez2) == 4);
static_assert(offsetof(TIgnParams, Retard) == 5);
static_assert(offsetof(TIgnParams, Polarita) == 6);
static_assert(offsetof(TIgnParams, Reserved7) == 7);
static_assert(offsetof(TIgnParams, Reserved8) == 8);
static_assert(offsetof(TIgnParams, GeberNr) == 9);
static_assert(offsetof(TIgnParams, LedRazeni) == 10);
static_assert(offsetof(TIgnParams, Clutch1) == 11);
static_assert(offsetof(TIgnParams, Clutch2) == 12);
static_assert(offsetof(TIgnParams, Input1) == 13);
static_assert(offsetof(TIgnParams, Input2) == 14);
static_assert(offsetof(TIgnParams, Reserved15) == 15);
static_assert(offsetof(TIgnParams, RpmPulsu) == 16);
static_assert(offsetof(TIgnParams, RpmKorekce) == 17);
static_assert(offsetof(TIgnParams, RevOutLedRazeni) == 18);
static_assert(offsetof(TIgnParams, Reserved19) == 19);
static_assert(offsetof(TIgnParams, RpmAdv) == 20);
static_assert(offsetof(TIgnParams, Advance) == 35);

// The PC's copy of the unit's parameter memory: block 0 (identity, written only by
// the unit) followed by block 1, which is the parameter record itself.
struct TDeviceImage {
  std::uint8_t Block0[BlockSize];
  TIgnParams Params;

  std::uint8_t* Bytes() { return reinterpret_cast<std::uint8_t*>(this); }
  const std::uint8_t* Bytes() const { return reinterpret_cast<const std::uint8_t*>(this); }
  // Block by index: offset = index x 50. Only 0 and 1 exist.
  std::uint8_t* Block(int index) { return Bytes() + index * BlockSize; }
  const std::uint8_t* Block(int index) const { return Bytes() + index * BlockSize; }
};

static_assert(sizeof(TDeviceImage) == ImageSize);
static_assert(offsetof(TDeviceImage, Params) == BlockSize);
