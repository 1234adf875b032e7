// The serial port on a POSIX terminal device: 57600 8N1, raw, no flow control, polled.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <termios.h>

#include "i18n/Failure.h"
#include "link/Port.h"

class TPosixSerialPort : public TPort {
public:
  TPosixSerialPort() = default;
  ~TPosixSerialPort() override;
  TPosixSerialPort(const TPosixSerialPort&) = delete;
  TPosixSerialPort& operator=(const TPosixSerialPort&) = delete;

  // Opens the device for this program alone and sets the line. On failure the port stays
  // closed and error names the device, the system's reason and what the user can do.
  bool Open(const std::string& device, TFailureReport& error);

  bool IsOpen() const override { return Fd >= 0; }
  TPortCount BytesWaiting() override;
  TPortCount Read(std::uint8_t* buffer, int max) override;
  // The bytes go out whole: when the transmit queue takes only part of them within the
  // bound, the rest is kept and sent ahead of the next write.
  bool Write(const std::uint8_t* data, int count) override;
  void SendUnsent() override;
  bool WaitSent(int timeoutMs) override;
  void Close() override;
  // The line has hung up since it was opened; it stays so until Close.
  bool HungUp() const { return LineHungUp; }
  // The device last opened: a hung-up port is reopened under the same name.
  const std::string& DeviceName() const { return Device; }

private:
  // The result of a failed call: EIO means the line has hung up.
  TPortCount Failed(int error);
  // Writes until all is queued or the deadline passes; sent is what was queued.
  bool WriteUntil(const std::uint8_t* data, int count, long long deadline, int& sent);

  int Fd = -1;
  bool HaveSavedTermios = false;
  bool LineHungUp = false;
  termios SavedTermios{};
  std::string Device;
  std::vector<std::uint8_t> Unsent; // the cut-off rest of the last frame
};
