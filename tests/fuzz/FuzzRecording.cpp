// The recording reader: whatever the bytes, it ends with rows in time order, one value per
// row in every column, the skipped lines counted, and the same result however the bytes
// are cut into pieces; the summary and the decimation of what it read stay within it.
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "link/Recording.h"
#include "link/RecordingSummary.h"

namespace {

bool Same(const TRecording& a, const TRecording& b) {
  return a.TimeMs == b.TimeMs && a.Rpm == b.Rpm && a.Millivolts == b.Millivolts &&
         a.Advance == b.Advance && a.MaxAdvance == b.MaxAdvance && a.Flags == b.Flags &&
         a.Version == b.Version && a.ProgrammingCount == b.ProgrammingCount &&
         a.SaveCountdown == b.SaveCountdown && a.Present == b.Present &&
         a.SkippedLines == b.SkippedLines && a.FirstSkippedLine == b.FirstSkippedLine &&
         a.Refusal == b.Refusal;
}

} // namespace

void CheckRecordingInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const TRecording r = ReadRecordingText(text);
  const std::size_t n = r.Rows();
  for (std::size_t column :
       {r.Rpm.size(), r.Millivolts.size(), r.Advance.size(), r.MaxAdvance.size(), r.Flags.size(),
        r.Version.size(), r.ProgrammingCount.size(), r.SaveCountdown.size()})
    if (column != n) FuzzFail("a column of another length");
  for (std::size_t i = 1; i < n; ++i)
    if (r.TimeMs[i] < r.TimeMs[i - 1]) FuzzFail("rows out of time order");
  if ((r.SkippedLines > 0) != (r.FirstSkippedLine > 0)) FuzzFail("skipped lines miscounted");
  if (r.Refusal != TRecordingRefusal::None && (n > 0 || r.SkippedLines > 0))
    FuzzFail("rows of a refused file");

  // Pieces of a size taken from the input itself, so each input cuts differently.
  const std::size_t piece = size > 0 ? 1 + data[0] % 7 : 1;
  TRecordingReader reader;
  for (std::size_t at = 0; at < size; at += piece) reader.Feed(text.substr(at, piece));
  if (!Same(r, reader.Finish())) FuzzFail("the result depends on how the bytes arrive");

  const TRecordingSummary s = SummariseRecording(r);
  if (s.KnownMs > s.DurationMs || s.Rows != n) FuzzFail("summary beyond the recording");
  std::int64_t inBands = 0;
  for (const std::int64_t ms : s.BandMs) inBands += ms;
  if (inBands != s.KnownMs || s.LimiterMs > s.KnownMs || s.RetardMs > s.KnownMs)
    FuzzFail("summary times do not add up");
  if (RecordingSummaryCsv(s).rfind("quantity,value\r\n", 0) != 0) FuzzFail("summary CSV");

  if (n == 0 || !r.Has(TMonitorCsvColumn::Rpm)) return;
  std::vector<TColumnRange> columns;
  DecimateChannel(r, TMonitorCsvColumn::Rpm, r.TimeMs.front(), r.TimeMs.back() + 1, 17, columns);
  std::size_t rows = 0;
  for (const TColumnRange& c : columns) {
    if (c.Any && (c.Min > c.Max || c.Max > s.MaxRpm)) FuzzFail("decimated beyond the values");
    rows += c.Any;
  }
  if (rows == 0) FuzzFail("rows lost in decimation");
}
