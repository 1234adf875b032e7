// A line that delivers whatever a test queued, in the chunks it was queued, and keeps a
// record of the last read so a test can see what the engine was given and where it put it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <vector>

#include "link/Port.h"

class TChunkPort : public TPort {
public:
  bool IsOpen() const override { return true; }
  TPortCount BytesWaiting() override {
    if (Failure != TPortStatus::Ok) return {Failure, 0};
    return Counted(static_cast<int>(Line.size()));
  }
  TPortCount Read(std::uint8_t* buffer, int max) override {
    if (Failure != TPortStatus::Ok) return {Failure, 0};
    ++Reads;
    LastBuffer = buffer;
    LastMax = max;
    const int n = std::min<int>(max, static_cast<int>(Line.size()));
    LastRead.assign(Line.begin(), Line.begin() + n);
    std::copy(LastRead.begin(), LastRead.end(), buffer);
    Line.erase(Line.begin(), Line.begin() + n);
    return Counted(n);
  }
  bool Write(const std::uint8_t*, int) override { return true; }
  bool WaitSent(int) override { return true; }
  void Close() override {}

  std::deque<std::uint8_t> Line;
  // Anything but Ok: every query and read reports it, as a failing line would.
  TPortStatus Failure = TPortStatus::Ok;
  int Reads = 0;
  const std::uint8_t* LastBuffer = nullptr;
  int LastMax = 0;
  std::vector<std::uint8_t> LastRead;
};
