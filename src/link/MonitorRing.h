// The last minute of monitor frames, kept from program start for the strip chart and the
// trail of the live operating point: a fixed ring written once per accepted frame, so the
// tick never allocates for it.
#pragma once

#include <array>
#include <cstdint>

// What the tuning view draws of one monitor frame.
struct TMonitorSample {
  std::int64_t Ms = 0;          // arrival, milliseconds of a steady clock
  std::uint16_t Rpm = 0;        // engine speed, 0 while the pick-up reports no signal
  std::uint16_t Millivolts = 0; // supply voltage
  std::int16_t Advance = 0;     // current advance, degrees
  bool Pickup = false;          // pick-up signal present
};

// Milliseconds of the steady clock that times the samples.
std::int64_t MonitorClockMs();

class TMonitorRing {
public:
  // A minute even if a frame arrived on every 55 ms tick.
  static constexpr int Capacity = 1100;

  // frame: bytes 0..50 of an accepted monitor frame; ms: its arrival. The oldest sample
  // gives way when the ring is full.
  void Push(const std::uint8_t* frame, std::int64_t ms);
  int Size() const { return Count; }
  // 0 is the oldest sample kept, Size() - 1 the newest.
  const TMonitorSample& operator[](int index) const;
  // The newest sample; nullptr before the first frame.
  const TMonitorSample* Newest() const;
  // The index of the oldest sample that arrived at ms or later; Size() when there is none.
  int FirstSince(std::int64_t ms) const;

private:
  std::array<TMonitorSample, Capacity> Samples{};
  int Start = 0; // index in Samples of the oldest sample
  int Count = 0;
};
