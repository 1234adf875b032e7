// A sysfs and /dev of the test's own, laid out as the kernel and udev lay them out, into
// which a test plugs serial adapters and pulls them again. Qt-free.
#pragma once

#include <string>

#include "link/SerialDevices.h"

class TFakeDevices {
public:
  // Makes <root>/sys and <root>/dev.
  explicit TFakeDevices(const std::string& root);
  TDeviceRoots Roots() const { return {Sys, Dev}; }
  // <root>/dev/<name>.
  std::string Node(const std::string& name) const { return Dev + "/" + name; }

  struct TUsb {
    std::string Driver;                        // ftdi_sio; cdc_acm for a ttyACM
    std::string Manufacturer, Product, Serial; // empty: the attribute is missing
    std::string ById;                          // the name under dev/serial/by-id; empty: none
    std::string NodeTarget;                    // dev/<name> leads there; empty: a plain file
  };
  // A USB adapter whose port is name (ttyUSB0, ttyACM0).
  void PlugUsb(const std::string& name, const TUsb& usb);
  // A port of the serial core; type 0 is a place without a UART.
  void AddUart(const std::string& name, int type);
  // A terminal without a device (a console, a virtual terminal).
  void AddTerminal(const std::string& name);
  // The adapter goes: its port, its node and its by-id names.
  void Pull(const std::string& name);

private:
  std::string Sys, Dev;
  int Adapters = 0;
};
