// Records every accepted monitor frame into a CSV file: the header when it starts, then one
// row per frame, each handed to the system as it arrives. A write that fails stops the
// recording and leaves the rows written so far readable.
#pragma once

#include <cstdint>
#include <string>

#include "files/RowFile.h"
#include "link/MonitorCsv.h"

class TMonitorRecorder {
public:
  bool Start(const std::string& path, TFailureReport& failure);
  // frame: bytes 0..50 of an accepted monitor frame; unixMs: its arrival (ms since 1970 UTC).
  // False when the row could not be written; the recording has then stopped.
  bool Record(const std::uint8_t* frame, std::int64_t unixMs, TFailureReport& failure);
  void Stop() { File.Close(); }
  bool IsRecording() const { return File.IsOpen(); }
  const std::string& Path() const { return File.Path(); }
  // Rows written by this recording, the header not counted.
  long Rows() const { return RowCount; }

private:
  TRowFile File;
  long RowCount = 0;
  char Row[MonitorCsvRowSize]{};
};
