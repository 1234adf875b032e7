// What the link needs of a serial port. The tick polls it; nothing here blocks
// except WaitSent, which is bounded by its caller.
#pragma once

#include <cstdint>
#include <string>

class TPort {
public:
  virtual ~TPort() = default;
  virtual bool IsOpen() const = 0;
  // Clears line errors and reports the bytes waiting; -1 when no port is open or the
  // query fails (a vanished adapter).
  virtual int BytesWaiting() = 0;
  // Reads up to max bytes that are already waiting; returns the count read (0 on failure).
  virtual int Read(std::uint8_t* buffer, int max) = 0;
  // Queues the bytes for sending; false when they could not all be queued. The far end
  // still only ever sees whole writes: a part that did not fit goes out first next time.
  virtual bool Write(const std::uint8_t* data, int count) = 0;
  // Tries once, without waiting, to queue what a full queue cut off of the last write, so
  // the rest of a frame follows its start as soon as the line moves again.
  virtual void SendUnsent() {}
  // Waits until the transmit queue is empty, at most timeoutMs; false on time-out or failure.
  virtual bool WaitSent(int timeoutMs) = 0;
  // Aborts pending reads, restores the port's settings and releases it.
  virtual void Close() = 0;
};
