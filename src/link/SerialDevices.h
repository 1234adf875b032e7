// The serial devices of this computer as the system reports them: the ports with their
// adapters (maker, product, serial number), their stable /dev/serial/by-id names, whether
// this user may open them, and which Com items lead to them. Read from sysfs and /dev; both
// roots are parameters, so a test lays out a tree of its own.
#pragma once

#include <string>
#include <vector>

#include "model/Types.h"

struct TDeviceRoots {
  std::string Sys = "/sys";
  std::string Dev = "/dev";
};

struct TSerialDevice {
  std::string Name;   // ttyUSB0
  std::string Path;   // <dev>/ttyUSB0
  std::string ById;   // <dev>/serial/by-id/usb-..., empty when the system gives none
  std::string Driver; // ftdi_sio, cdc_acm, ...; empty when none is bound
  // The USB device behind the port; all empty for an on-board UART.
  std::string Manufacturer, Product, Serial;
  bool Uart = false; // an on-board UART (a port of the system's serial core)
  bool PseudoTerminal = false;
  int AccessError = 0; // 0 when this user may open it for reading and writing, else errno
};

// Every serial port present, in natural name order (ttyUSB2 before ttyUSB10). Terminals
// without a device (consoles, pseudo-terminals) and the UART places the kernel keeps
// without a UART behind them are left out.
std::vector<TSerialDevice> ListSerialDevices(const TDeviceRoots& roots = {});

// The listed ports, then the devices the Com items lead to that are no listed port but
// exist (the pseudo-terminal of the simulated unit), so every device in use shows.
std::vector<TSerialDevice> ListComDevices(const TDeviceRoots& roots = {});

// The listed device that path leads to (through links), or nullptr.
const TSerialDevice* FindSerialDevice(const std::vector<TSerialDevice>& devices,
                                      const std::string& path);

// What stands behind the port, in the user's words: "FTDI FT232R USB UART, serial number
// A50285BI", "on-board serial port", the driver's name; empty when nothing is known.
std::string AdapterText(const TSerialDevice& device, TLanguage language);

// The Com items (1..10) whose device is path, through links: "Com 1, Com 3"; empty for none.
std::string ComItemsOf(const std::string& path);

// The part of Com item n's status-bar hint that follows its given text: the device it
// opens, where a link leads, and the adapter there or that it is not present.
std::string ComItemDeviceHint(int n, const std::vector<TSerialDevice>& devices, TLanguage language);
