#include "link/PortReopen.h"

void TPortReopen::Tick() {
  if (Device.empty()) {
    if (!Port.IsOpen() || !Port.HungUp()) return;
    Device = Port.DeviceName();
    Port.Close();
    TicksLeft = ReopenTicks;
    return;
  }
  if (--TicksLeft > 0) return;
  TicksLeft = ReopenTicks;
  TFailureReport ignored;
  if (Port.Open(Device, ignored)) Device.clear();
}
