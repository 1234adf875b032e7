// A recording of live values read back: the rows of a monitor CSV file held column by
// column, so ten hours of frames stay small. Columns are found by the names of the header
// line; a row that cannot be read is skipped and counted, never fatal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "i18n/Failure.h"
#include "link/MonitorCsv.h"

// Longer lines are no rows of ours; they are skipped without being held.
inline constexpr std::size_t RecordingLineLimit = 4096;
// Far more than a month of frames; a larger file is refused rather than read for minutes.
inline constexpr std::size_t RecordingFileLimit = std::size_t(1) << 30;

enum class TRecordingRefusal : std::uint8_t {
  None,
  NoHeader,      // the first line is a row, or the file is empty
  NotARecording, // the first line names no time column, or no value beside it
};

struct TRecording {
  // Per row. TimeMs: milliseconds since 1970 UTC, never decreasing from row to row.
  std::vector<std::int64_t> TimeMs;
  std::vector<std::uint16_t> Rpm, Millivolts, ProgrammingCount, SaveCountdown;
  std::vector<std::int16_t> Advance;
  std::vector<std::uint8_t> MaxAdvance, Version;
  std::vector<std::uint16_t> Flags; // bit i: flag column MonitorCsvFirstFlag + i

  std::uint32_t Present = 0; // bit c: column c was in the header
  int UtcOffsetMinutes = 0;  // of the first row, for clock time
  long SkippedLines = 0;     // lines that held no readable row
  long FirstSkippedLine = 0; // 1-based; 0 when none was skipped
  TRecordingRefusal Refusal = TRecordingRefusal::None;

  std::size_t Rows() const { return TimeMs.size(); }
  bool Has(TMonitorCsvColumn c) const { return (Present >> static_cast<int>(c)) & 1u; }
  // The column's value in a row: voltage in millivolts, a flag 0 or 1; 0 for a missing column.
  int Value(TMonitorCsvColumn c, std::size_t row) const;
};

// Reads a recording in one pass, fed in pieces of any size.
class TRecordingReader {
public:
  void Feed(std::string_view bytes);
  // The last line even without its line end; leaves the reader empty.
  TRecording Finish();

private:
  void Line(std::string_view line);
  void Header(std::string_view line);
  bool Row(std::string_view line);
  void Skip();

  TRecording Rec;
  std::string Pending;
  bool PendingTooLong = false;
  bool HeaderSeen = false;
  long LineNumber = 0;
  std::vector<int> FieldColumn; // column of each field of a row, -1 for one we do not know
};

TRecording ReadRecordingText(std::string_view text);
// False when the file could not be read (failure set) or was refused (recording.Refusal);
// true with whatever rows could be read, the skipped lines counted.
bool ReadRecordingFile(const std::string& path, TRecording& recording, TFailureReport& failure);
