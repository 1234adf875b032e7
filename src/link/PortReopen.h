// Brings back a port whose line hung up (a pulled adapter): the port is closed at once, so
// the device is free again and a replugged adapter gets its old name, and the same device
// is tried again about once a second from the tick until it opens. Quietly: the connection
// indicator already tells the user, and polling resumes by itself.
#pragma once

#include <string>

#include "link/PosixSerialPort.h"
#include "link/Ticks.h"

// Ticks between two tries: about a second.
inline constexpr int ReopenTicks = 1000 / TickMs;

class TPortReopen {
public:
  explicit TPortReopen(TPosixSerialPort& port) : Port(port) {}
  // The user's own open or close: a hang-up before it is no longer followed.
  void Forget() { Device.clear(); }
  // One tick, before the link's receive step.
  void Tick();
  // The device that waits to be reopened; empty when none does.
  const std::string& Waiting() const { return Device; }

private:
  TPosixSerialPort& Port;
  std::string Device;
  int TicksLeft = 0;
};
