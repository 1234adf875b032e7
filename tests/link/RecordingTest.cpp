// Recordings read back: the program's own files and bad ones, the summary of a ride made
// from known frames, and the reduction of a channel to pixel columns.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/TempHome.h"
#include "support/BadPaths.h"
#include "i18n/RecordingTexts.h"
#include "link/MonitorRecorder.h"
#include "link/Recording.h"
#include "link/RecordingSummary.h"

namespace {

using TFrame = std::array<std::uint8_t, 51>;
using C = TMonitorCsvColumn;

constexpr std::int64_t T0 = 1796836051042; // 2026-12-09T17:07:31.042Z
constexpr std::int64_t Step = 330;         // a monitor request every sixth 55 ms tick

TFrame Frame(int rpm, int millivolts = 12600) {
  TFrame f{};
  f[0] = 0xB0, f[1] = rpm & 0xFF, f[2] = rpm >> 8, f[3] = millivolts & 0xFF, f[4] = millivolts >> 8;
  f[31] = 125, f[32] = 30, f[34] = 1, f[42] = rpm > 0, f[50] = 67;
  return f;
}

std::string Row(const TFrame& f, std::int64_t ms) {
  char row[MonitorCsvRowSize];
  return std::string(row, FormatMonitorCsvRow(f.data(), ms, row));
}

// The header and n rows at 1500 rpm, one each Step.
std::string Own(int n) {
  std::string s = MonitorCsvHeader();
  for (int i = 0; i < n; ++i) s += Row(Frame(1500), T0 + i * Step);
  return s;
}

} // namespace

TEST(RecordingReader, GoodAndBadFiles) {
  std::string binary = Own(2);
  for (int i = 0; i < 3000; ++i) binary += static_cast<char>((i * 131) ^ (i >> 3));
  std::string lf = Own(3);
  for (std::size_t p; (p = lf.find('\r')) != std::string::npos;) lf.erase(p, 1);
  const std::string row = Row(Frame(1500), T0 + 9 * Step);
  const struct {
    const char* Name;
    std::string Text;
    TRecordingRefusal Refusal;
    std::size_t Rows;
    long Skipped, FirstSkipped;
  } cases[] = {
      {"own recording", Own(5), TRecordingRefusal::None, 5, 0, 0},
      {"header only", Own(0), TRecordingRefusal::None, 0, 0, 0},
      {"LF ends, last line without", lf.substr(0, lf.size() - 1), TRecordingRefusal::None, 3, 0, 0},
      {"fewer flags, other order, a column of another program",
       "rpm,lap,time,limiter\r\n1200,3,2026-12-09T18:07:31.042+01:00,1\r\n"
       "1300,x y,2026-12-09T18:07:31.372+01:00,0\r\n",
       TRecordingRefusal::None, 2, 0, 0},
      {"byte order mark and quoted names",
       "\xEF\xBB\xBF\"time\",\"rpm\"\r\n" + row.substr(0, 34) + "\r\n", TRecordingRefusal::None, 1,
       0, 0},
      {"empty file", "", TRecordingRefusal::NoHeader, 0, 0, 0},
      {"rows without header", Own(3).substr(std::string(MonitorCsvHeader()).size()),
       TRecordingRefusal::NoHeader, 0, 0, 0},
      {"another program's CSV", "a,b,c\r\n1,2,3\r\n", TRecordingRefusal::NotARecording, 0, 0, 0},
      {"time alone", "time\r\n2026-12-09T18:07:31.042+01:00\r\n", TRecordingRefusal::NotARecording,
       0, 0, 0},
      {"huge first line", std::string(100000, 'x') + "\n" + Own(1),
       TRecordingRefusal::NotARecording, 0, 0, 0},
      {"truncated last line", Own(4) + row.substr(0, 40), TRecordingRefusal::None, 4, 1, 6},
      {"garbled rpm, short row, long row, bad flag",
       Own(1) + "2026-12-09T17:07:32.042+00:00,1x00" + row.substr(33) + row.substr(0, 60) + "\r\n" +
           row.substr(0, row.size() - 2) + ",1\r\n" + row.substr(0, row.size() - 3) + "2\r\n" + row,
       TRecordingRefusal::None, 2, 4, 3},
      {"bad dates and voltages",
       Own(1) + "2026-02-29T17:07:31.042+00:00" + row.substr(29) + "2026-12-09T17:07:31.042+24:00" +
           row.substr(29) + "2026-12-09 17:07:31.042+00:00" + row.substr(29) + row.substr(0, 41) +
           "70.000" + row.substr(47),
       TRecordingRefusal::None, 1, 4, 3},
      {"a row earlier than the one above", Own(3) + Row(Frame(1500), T0) + row,
       TRecordingRefusal::None, 4, 1, 5},
      {"a huge line", Own(2) + std::string(1 << 20, '7') + "\r\n" + row, TRecordingRefusal::None, 3,
       1, 4},
      {"blank lines", Own(1) + "\r\n\n" + row, TRecordingRefusal::None, 2, 0, 0},
      {"binary data after two rows", binary, TRecordingRefusal::None, 2, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TRecording r = ReadRecordingText(c.Text);
    EXPECT_EQ(r.Refusal, c.Refusal);
    EXPECT_EQ(r.Rows(), c.Rows);
    if (c.Refusal != TRecordingRefusal::None) continue;
    if (std::string(c.Name) != "binary data after two rows") {
      EXPECT_EQ(r.SkippedLines, c.Skipped);
      EXPECT_EQ(r.FirstSkippedLine, c.FirstSkipped);
    } else {
      EXPECT_GT(r.SkippedLines, 0);
      EXPECT_EQ(r.FirstSkippedLine, 4);
    }
    // Every column holds one value per row.
    for (std::size_t size : {r.Rpm.size(), r.Millivolts.size(), r.Advance.size(), r.Flags.size(),
                             r.MaxAdvance.size(), r.Version.size(), r.SaveCountdown.size()})
      EXPECT_EQ(size, r.Rows());
  }
  const TRecording some = ReadRecordingText(cases[3].Text);
  EXPECT_TRUE(some.Has(C::Limiter));
  EXPECT_FALSE(some.Has(C::Retard));
  EXPECT_FALSE(some.Has(C::Voltage));
  EXPECT_EQ(some.Value(C::Rpm, 1), 1300);
  EXPECT_EQ(some.Value(C::Limiter, 0), 1);
  EXPECT_EQ(some.TimeMs[0], T0);
  EXPECT_EQ(some.UtcOffsetMinutes, 60);
}

// What the row writer put down comes back, whatever the zone it was written in and however
// the bytes arrive.
TEST(RecordingReader, ReadsBackWhatTheRowWriterWrote) {
  TFrame f = Frame(6071, 7005);
  f[31] = 90, f[32] = 34, f[5] = 0xFF, f[6] = 0xFF, f[47] = 53, f[50] = 66;
  f[36] = 1, f[40] = 7, f[49] = 1;
  for (const char* zone : {"UTC0", "EST5", "IST-5:30"}) {
    const char* old = std::getenv("TZ");
    const std::string kept = old ? old : "";
    ::setenv("TZ", zone, 1);
    ::tzset();
    const std::string text = MonitorCsvHeader() + Row(f, T0) + Row(Frame(0), -1);
    old ? ::setenv("TZ", kept.c_str(), 1) : ::unsetenv("TZ");
    ::tzset();
    SCOPED_TRACE(zone);

    TRecordingReader reader;
    for (const char c : text) reader.Feed(std::string_view(&c, 1));
    const TRecording r = reader.Finish();
    ASSERT_EQ(r.Rows(), 1u); // the row before 1970 goes back in time
    EXPECT_EQ(r.SkippedLines, 1);
    EXPECT_EQ(r.TimeMs[0], T0);
    EXPECT_EQ(r.Value(C::Rpm, 0), 6071);
    EXPECT_EQ(r.Value(C::Advance, 0), -10);
    EXPECT_EQ(r.Value(C::MaxAdvance, 0), 34);
    EXPECT_EQ(r.Value(C::Voltage, 0), 7005);
    EXPECT_EQ(r.Value(C::ProgrammingCount, 0), 65535);
    EXPECT_EQ(r.Value(C::SaveCountdown, 0), 53);
    EXPECT_EQ(r.Value(C::Version, 0), 66);
    for (int c = MonitorCsvFirstFlag; c < MonitorCsvColumnCount; ++c) {
      const C column = static_cast<C>(c);
      const bool set = column == C::Limiter || column == C::Retard || column == C::DataError ||
                       column == C::Pickup || column == C::PolarityOk;
      EXPECT_EQ(r.Value(column, 0), set ? 1 : 0) << MonitorCsvColumnName(column);
    }
  }
}

TEST(RecordingReader, FilesAndWhatStandsInTheirPlace) {
  TTempHome home;
  home.Write("ride.csv", Own(3) + "garbage\r\n");
  TRecording r;
  TFailureReport failure;
  ASSERT_TRUE(ReadRecordingFile(home.File("ride.csv"), r, failure));
  EXPECT_EQ(r.Rows(), 3u);
  EXPECT_EQ(SkippedLinesText(r.SkippedLines, r.FirstSkippedLine, LangEnglish),
            "Lines skipped because they could not be read: 1, the first is line 5.");
  EXPECT_EQ(SkippedLinesText(0, 0, LangEnglish), "");

  home.Write("other.csv", "name,score\r\nx,1\r\n");
  EXPECT_FALSE(ReadRecordingFile(home.File("other.csv"), r, failure));
  EXPECT_EQ(r.Refusal, TRecordingRefusal::NotARecording);
  EXPECT_EQ(failure.What, TFailure::None);

  for (const TBadPathKind& bad : BadPathKinds) {
    SCOPED_TRACE(bad.Name);
    const std::string path = home.File(std::string("bad-") + bad.Name);
    if (!PlaceBadPath(bad.Kind, path, Own(1))) continue;
    EXPECT_FALSE(ReadRecordingFile(path, r, failure));
    EXPECT_NE(failure.What, TFailure::None);
    EXPECT_EQ(r.Rows(), 0u);
  }
  for (int key = 0; key < int(TRecordingText::Count); ++key)
    for (TLanguage language = 0; language < 4; ++language)
      EXPECT_STRNE(RecordingText(TRecordingText(key), language), "") << key;
}

// A ride recorded through the recorder from known frames: idle, a pull into the limiter
// with retard twice and the shift light, a drop-out of the unit, then idle again.
TEST(RecordingSummary, FiguresOfARideFromKnownFrames) {
  TTempHome home;
  TMonitorRecorder recorder;
  TFailureReport failure;
  ASSERT_TRUE(recorder.Start(home.File("ride.csv"), failure));
  std::int64_t t = T0;
  const auto record = [&](TFrame f, int frames) {
    for (int i = 0; i < frames; ++i, t += Step) ASSERT_TRUE(recorder.Record(f.data(), t, failure));
  };
  record(Frame(1200, 13800), 10); // 10 frames in band 1000-1499
  TFrame pull = Frame(7600, 14200);
  pull[39] = 1; // shift light
  record(pull, 3);
  pull[36] = 1; // limiter
  pull[1] = 9000 & 0xFF, pull[2] = 9000 >> 8;
  record(pull, 4);
  TFrame retard = Frame(4000, 11800);
  retard[40] = 1;
  record(retard, 2);
  record(Frame(4000, 11800), 1);
  retard[35] = 1; // start limiter too
  record(retard, 3);
  t += 10000; // the unit stopped answering for ten seconds
  record(Frame(800, 12000), 5);
  recorder.Stop();

  TRecording r;
  ASSERT_TRUE(ReadRecordingFile(home.File("ride.csv"), r, failure));
  ASSERT_EQ(r.Rows(), 28u);
  const TRecordingSummary s = SummariseRecording(r);
  EXPECT_EQ(s.DurationMs, 27 * Step + 10000);
  // The gap counts only up to the hold limit.
  EXPECT_EQ(s.KnownMs, 27 * Step - Step + RecordingHoldLimitMs);
  ASSERT_EQ(s.BandMs.size(), 19u);
  EXPECT_EQ(s.BandMs[2], 10 * Step);
  EXPECT_EQ(s.BandMs[15], 3 * Step);
  EXPECT_EQ(s.BandMs[18], 4 * Step);
  EXPECT_EQ(s.BandMs[8], 5 * Step + RecordingHoldLimitMs);
  EXPECT_EQ(s.BandMs[1], 4 * Step); // the last frame holds nothing
  EXPECT_EQ(s.MaxRpm, 9000);
  EXPECT_EQ(s.LimiterMs, 4 * Step);
  EXPECT_EQ(s.StartLimiterMs, 2 * Step + RecordingHoldLimitMs);
  EXPECT_EQ(s.RetardCount, 2);
  EXPECT_EQ(s.RetardMs, 4 * Step + RecordingHoldLimitMs);
  EXPECT_EQ(s.ShiftLightEvents, 1);
  EXPECT_EQ(s.MinMillivolts, 11800);
  EXPECT_EQ(s.MaxMillivolts, 14200);

  const std::string csv = RecordingSummaryCsv(s);
  for (const char* line :
       {"quantity,value\r\n", "duration_s,18.910\r\n", "max_rpm,9000\r\n", "limiter_s,1.320\r\n",
        "retard_count,2\r\n", "voltage_min_v,11.800\r\n", "rpm_1000_1499_s,3.300\r\n",
        "rpm_500_999_s,1.320\r\n", "rpm_0_499_s,0.000\r\n"})
    EXPECT_NE(csv.find(line), std::string::npos) << line << csv;

  // From the middle of the second limiter frame to the middle of the first retard frame.
  const std::int64_t from = T0 + 14 * Step + Step / 2, to = T0 + 17 * Step + Step / 2;
  const TRecordingSummary part = SummariseRecording(r, from, to);
  EXPECT_EQ(part.DurationMs, 3 * Step);
  EXPECT_EQ(part.LimiterMs, 2 * Step + Step / 2);
  EXPECT_EQ(part.RetardMs, Step / 2);
  EXPECT_EQ(part.RetardCount, 1);
  EXPECT_EQ(part.ShiftLightEvents, 1); // on when the range begins
  EXPECT_EQ(part.MaxRpm, 9000);
  EXPECT_EQ(part.MinMillivolts, 11800);

  // A file without the flag columns gives no figure for them rather than a zero.
  const TRecording bare = ReadRecordingText("time,rpm\r\n2026-12-09T17:07:31.042Z,900\r\n");
  const std::string bareCsv = RecordingSummaryCsv(SummariseRecording(bare));
  EXPECT_NE(bareCsv.find("limiter_s,\r\n"), std::string::npos) << bareCsv;
  EXPECT_NE(bareCsv.find("voltage_max_v,\r\n"), std::string::npos);
  EXPECT_EQ(SummariseRecording(TRecording{}).DurationMs, 0);
}

TEST(RecordingSummary, DecimationKeepsEveryPeak) {
  std::string text = MonitorCsvHeader();
  for (int i = 0; i < 1000; ++i) {
    TFrame f = Frame(i == 517 ? 12000 : 3000 + i);
    f[36] = i == 733;
    text += Row(f, T0 + i * 100);
  }
  const TRecording r = ReadRecordingText(text);
  std::vector<TColumnRange> columns;
  DecimateChannel(r, C::Rpm, T0, T0 + 100000, 10, columns);
  ASSERT_EQ(columns.size(), 10u);
  EXPECT_EQ(columns[0].Min, 3000);
  EXPECT_EQ(columns[0].Max, 3099);
  EXPECT_EQ(columns[5].Max, 12000); // a single frame's spike
  EXPECT_EQ(columns[5].Min, 3500);
  EXPECT_EQ(columns[9].Max, 3999);
  DecimateChannel(r, C::Limiter, T0, T0 + 100000, 10, columns);
  EXPECT_EQ(columns[7].Max, 1);
  EXPECT_EQ(columns[6].Max, 0);
  // Zoomed in beyond the rows: columns between them hold nothing.
  DecimateChannel(r, C::Rpm, T0 + 1000, T0 + 1200, 40, columns);
  EXPECT_TRUE(columns[0].Any);
  EXPECT_FALSE(columns[1].Any);
  EXPECT_TRUE(columns[20].Any);
  EXPECT_EQ(columns[20].Min, 3011);
  DecimateChannel(r, C::Voltage, T0, T0, 10, columns);
  EXPECT_FALSE(columns[0].Any);
}
