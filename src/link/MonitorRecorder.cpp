#include "link/MonitorRecorder.h"

bool TMonitorRecorder::Start(const std::string& path, TFailureReport& failure) {
  RowCount = 0;
  return File.Start(path, MonitorCsvHeader(), failure);
}

bool TMonitorRecorder::Record(const std::uint8_t* frame, std::int64_t unixMs,
                              TFailureReport& failure) {
  if (!File.IsOpen()) return false;
  const std::size_t length = FormatMonitorCsvRow(frame, unixMs, Row);
  if (!File.Append({Row, length}, failure)) return false;
  ++RowCount;
  return true;
}
