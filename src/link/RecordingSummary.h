// What a recording says about a ride, over the whole file or a range of it, and the values
// of a channel reduced to one minimum and maximum per pixel column for drawing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/Recording.h"

// Each row's values hold until the next row, but not past this: frames come about three
// times a second, so a longer gap means the unit was not answering and nothing is known.
inline constexpr std::int64_t RecordingHoldLimitMs = 2000;
inline constexpr int SpeedBandRpm = 500;

struct TRecordingSummary {
  std::int64_t FromMs = 0, ToMs = 0; // the range summarised, ms since 1970 UTC
  std::int64_t DurationMs = 0;       // from its first row to its last
  std::int64_t KnownMs = 0;          // of that, time not lost in gaps between frames
  std::size_t Rows = 0;
  // Milliseconds in speed band i (i * 500 to i * 500 + 499 rpm); up to the highest band met.
  std::vector<std::int64_t> BandMs;
  int MaxRpm = 0;
  std::int64_t LimiterMs = 0, StartLimiterMs = 0;
  long RetardCount = 0; // times retard became active (or was active when the range began)
  std::int64_t RetardMs = 0;
  long ShiftLightEvents = 0; // times the shift light came on (or was on when the range began)
  int MinMillivolts = 0, MaxMillivolts = 0;
  std::uint32_t Present = 0; // the recording's columns; a missing one gives no figure
};

// The rows with fromMs <= time <= toMs; a row's held time is cut at toMs.
TRecordingSummary SummariseRecording(const TRecording& recording, std::int64_t fromMs,
                                     std::int64_t toMs);
TRecordingSummary SummariseRecording(const TRecording& recording);

// The summary as CSV lines "quantity,value" with CR LF ends; seconds with three decimals,
// a figure whose column the file lacks left empty.
std::string RecordingSummaryCsv(const TRecordingSummary& summary);

struct TColumnRange {
  int Min = 0, Max = 0;
  bool Any = false; // false: no row falls into this column
};

// The channel's values over fromMs..toMs (toMs > fromMs) in `columns` equal slices of time.
void DecimateChannel(const TRecording& recording, TMonitorCsvColumn channel, std::int64_t fromMs,
                     std::int64_t toMs, int columns, std::vector<TColumnRange>& out);
