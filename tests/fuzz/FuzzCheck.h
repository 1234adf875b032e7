// The fuzz checks: one input each, shared by the libFuzzer targets and the bounded driver
// that CI runs under the sanitizers. A failed check aborts with a message, so both
// harnesses report it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

using TFuzzCheck = void (*)(const std::uint8_t* data, std::size_t size);

// The .ign reader, normalisation after it, and the unit identity decoder.
void CheckIgnInput(const std::uint8_t* data, std::size_t size);
// The settings file read from a real file, changed and written back.
void CheckProfileInput(const std::uint8_t* data, std::size_t size);
// The state file's text reader.
void CheckStateInput(const std::uint8_t* data, std::size_t size);
// The input as a script of line chunks, ticks and transfer commands for the receive path.
void CheckReceiveInput(const std::uint8_t* data, std::size_t size);
// Text pasted or imported as a curve, and the curve it becomes.
void CheckCurveTableInput(const std::uint8_t* data, std::size_t size);
// The recording reader fed in pieces, with the summary and the decimation of what it read.
void CheckRecordingInput(const std::uint8_t* data, std::size_t size);

[[noreturn]] void FuzzFail(const char* what);

// A value between two guard regions: a write outside the value shows up there.
template <class T> struct TGuarded {
  static constexpr std::uint8_t GuardByte = 0x5A;
  static constexpr std::size_t GuardSize = 64;

  TGuarded() { std::memset(this, GuardByte, sizeof *this); }
  bool Intact() const {
    for (std::size_t i = 0; i < GuardSize; ++i) {
      if (Before[i] != GuardByte || After[i] != GuardByte) return false;
    }
    return true;
  }

  std::uint8_t Before[GuardSize];
  T Value;
  std::uint8_t After[GuardSize];
};
