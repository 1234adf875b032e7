// The simulated ignition unit: its memory, a running engine and the replies to the PC's
// requests, with switchable faults. No I/O here, so tests can drive it in-process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/Frame.h"
#include "model/Types.h"

struct TSimOptions {
  bool Stopped = false;   // engine still: pick-up clear, speed 0
  bool Silent = false;    // never answers
  int DropPercent = 0;    // replies left out
  int CorruptPercent = 0; // replies with a wrong check byte
  int Stray = 0;          // stray bytes sent before each reply
  std::uint8_t LayoutVersion = ProgramVersion;
  bool BadEcho = false;   // block 1 echo differs in one byte
  bool BadVerify = false; // block 1 read back differs in one byte
  std::string LongName;   // up to 30 characters in block 0
  std::uint32_t Seed = 1;
};

class TSimUnit {
public:
  // Storing after a write of block 1 counts down from this over StoreSeconds.
  static constexpr int StoreCountdownStart = 53;
  static constexpr double StoreSeconds = 3.0;
  static constexpr int IdleRpm = 1200;

  explicit TSimUnit(const TSimOptions& options = {});

  // One 52-byte request. reply is cleared; it stays empty when the unit gives no answer,
  // otherwise it holds the stray bytes (if any) and the reply frame.
  void HandleRequest(const std::uint8_t* request, std::vector<std::uint8_t>& reply);
  // Moves the engine, the inputs, the voltage and the storing countdown on.
  void Advance(double seconds);

  const std::uint8_t* Block(int index) const { return Memory[index]; }
  const TIgnParams& Params() const { return *reinterpret_cast<const TIgnParams*>(Memory[1]); }
  void SetBlock1(const std::uint8_t* block);
  std::uint16_t ProgrammingCount() const { return Programmings; }
  std::uint16_t SaveCountdown() const;
  // Power lost while storing: the unit comes back with what it held before the write.
  void LoseStore();
  int Rpm() const { return CurrentRpm; }
  // The monitor payload as it would be sent now (frame bytes 0..51, sealed).
  void BuildMonitorFrame(TLinkFrame& frame);

private:
  bool Chance(int percent);
  std::uint32_t NextRandom();
  int CurrentAdvance(bool& baseAdvance) const;

  TSimOptions Options;
  std::uint8_t Memory[BlockCount][BlockSize]{};
  std::uint8_t Unstored[BlockSize]{}; // block 1 as it was before the write being stored
  std::uint32_t Random;
  double Time = 0;
  double StoreElapsed = 0;
  bool Storing = false;
  std::uint16_t Programmings = 0;
  std::uint16_t TestCounter = 0;
  int CurrentRpm = 0;
  int Millivolts = 13200;
  bool Input1Active = false;
  bool Input2Active = false;
};

// Collects request bytes into 52-byte frames. A window that fails its check loses its
// first byte and the rest is tried again; a partial frame left alone too long is dropped.
// By place only, every 52 bytes are one frame, a bad one ignored, and nothing expires: the
// strictest unit, which stays shifted for ever once a frame reaches it cut short.
class TSimRequestReader {
public:
  explicit TSimRequestReader(bool byPlaceOnly = false) : ByPlaceOnly(byPlaceOnly) {}
  void Feed(const std::uint8_t* data, std::size_t count, double now);
  bool NextRequest(TLinkFrame& request);
  // Drops a partial frame that has waited longer than maxAgeSeconds since its last byte.
  void Expire(double now, double maxAgeSeconds = 0.1);
  std::size_t Pending() const { return Buffer.size(); }

private:
  bool ByPlaceOnly;
  std::vector<std::uint8_t> Buffer;
  double LastByte = 0;
};
