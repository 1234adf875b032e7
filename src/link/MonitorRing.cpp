#include "link/MonitorRing.h"

#include <chrono>

#include "link/Monitor.h"

std::int64_t MonitorClockMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void TMonitorRing::Push(const std::uint8_t* frame, std::int64_t ms) {
  int slot = Start + Count;
  if (Count < Capacity) {
    ++Count;
  } else {
    slot = Start;
    Start = (Start + 1) % Capacity;
  }
  TMonitorSample& s = Samples[slot % Capacity];
  s.Ms = ms;
  s.Rpm = MonitorLiveRpm(frame);
  s.Millivolts = MonitorWord(frame, MonitorOffset::Voltage);
  s.Advance = static_cast<std::int16_t>(MonitorAdvance(frame));
  s.Pickup = frame[MonitorOffset::Pickup] != 0;
}

const TMonitorSample& TMonitorRing::operator[](int index) const {
  return Samples[(Start + index) % Capacity];
}

const TMonitorSample* TMonitorRing::Newest() const {
  return Count > 0 ? &(*this)[Count - 1] : nullptr;
}

int TMonitorRing::FirstSince(std::int64_t ms) const {
  // Arrival times rise from the oldest to the newest.
  int low = 0, high = Count;
  while (low < high) {
    const int mid = (low + high) / 2;
    if ((*this)[mid].Ms < ms)
      low = mid + 1;
    else
      high = mid;
  }
  return low;
}
