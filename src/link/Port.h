// What the link needs of a serial port. The tick polls it; nothing here blocks
// except WaitSent, which is bounded by its caller.
#pragma once

#include <cstdint>
#include <string>

// What a query or a read of the port found.
enum class TPortStatus : std::uint8_t {
  Ok,      // bytes waiting or read
  NoData,  // the line is up, nothing there
  NotOpen, // no port open
  HungUp,  // the far end is gone (unplugged adapter, closed pseudo-terminal) until Close
  IoError, // the operating system refused the query or the read
};

struct TPortCount {
  TPortStatus Status = TPortStatus::NotOpen;
  int Count = 0; // the bytes waiting or read; 0 unless Status is Ok

  bool Ok() const { return Status == TPortStatus::Ok; }
};

class TPort {
public:
  virtual ~TPort() = default;
  virtual bool IsOpen() const = 0;
  // Clears line errors and reports the bytes waiting.
  virtual TPortCount BytesWaiting() = 0;
  // Reads up to max bytes that are already waiting, never more.
  virtual TPortCount Read(std::uint8_t* buffer, int max) = 0;
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

protected:
  // What a count found on an open, healthy line means.
  static TPortCount Counted(int count) {
    return count > 0 ? TPortCount{TPortStatus::Ok, count} : TPortCount{TPortStatus::NoData, 0};
  }
};
