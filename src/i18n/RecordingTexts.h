// Texts of reading back and summing up a recording of live values, in four languages.
#pragma once

#include <cstdint>
#include <string>

#include "model/Types.h"

enum class TRecordingText : std::uint8_t {
  SkippedLines,  // %ld lines, %ld the first one's number
  NoHeader,      // the file starts without its header line
  NotARecording, // another program's file
  Duration,
  MaxRpm,
  SpeedBand, // %d lowest, %d highest rpm of the band
  LimiterTime,
  StartLimiterTime,
  RetardCount,
  RetardTime,
  ShiftLightEvents,
  VoltageMin,
  VoltageMax,
  ExportSummary,
  Count
};

// A language above 3 gives English.
const char* RecordingText(TRecordingText key, TLanguage language);
// The line that tells how much of a file could not be read; empty when nothing was skipped.
std::string SkippedLinesText(long skipped, long firstLine, TLanguage language);
