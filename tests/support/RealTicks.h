// The real tick engine at real 55 ms ticks, for the end-to-end tests and the benchmark.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "link/Link.h"

// Passes everything to the real port and counts the frames that leave.
class TCountingPort : public TPort {
public:
  explicit TCountingPort(TPort& port) : Port(port) {}
  bool IsOpen() const override { return Port.IsOpen(); }
  TPortCount BytesWaiting() override { return Port.BytesWaiting(); }
  TPortCount Read(std::uint8_t* buffer, int max) override { return Port.Read(buffer, max); }
  bool Write(const std::uint8_t* data, int count) override {
    if (count > 0 && data[0] == MonitorRequestCommand)
      ++MonitorWrites;
    else
      ++BlockWrites;
    return Port.Write(data, count);
  }
  void SendUnsent() override { Port.SendUnsent(); }
  bool WaitSent(int timeoutMs) override { return Port.WaitSent(timeoutMs); }
  void Close() override { Port.Close(); }

  int BlockWrites = 0, MonitorWrites = 0;

private:
  TPort& Port;
};

// Ticks the engine every 55 ms of wall time, like Timer1.
class TRealTicker {
public:
  explicit TRealTicker(TLinkEngine& engine) : Engine(engine) {}
  void Tick() {
    if (Next == std::chrono::steady_clock::time_point{}) Next = std::chrono::steady_clock::now();
    Next += std::chrono::milliseconds(TickMs);
    std::this_thread::sleep_until(Next);
    if (BeforeTick) BeforeTick();
    Engine.Timer1Timer();
    ++Count;
  }
  // Ticks until done() holds after a tick; the ticks taken, or -1 after limit ticks.
  int TickUntil(const std::function<bool()>& done, int limit) {
    for (int i = 1; i <= limit; ++i) {
      Tick();
      if (done()) return i;
    }
    return -1;
  }
  long Count = 0;
  // The window's own step before the engine's, such as the reopen of a hung-up port.
  std::function<void()> BeforeTick;

private:
  TLinkEngine& Engine;
  std::chrono::steady_clock::time_point Next{};
};
