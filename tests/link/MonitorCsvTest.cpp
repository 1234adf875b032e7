// The CSV row of a monitor frame: every value as the frame holds it, every flag in its own
// named column, the time as local ISO 8601 with its offset from UTC.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "link/MonitorCsv.h"
#include "link/Monitor.h"

namespace {

std::vector<std::string> Fields(std::string line) {
  EXPECT_GE(line.size(), 2u);
  EXPECT_EQ(line.substr(line.size() - 2), "\r\n") << line;
  line.resize(line.size() - 2);
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
  return fields;
}

std::string Row(const std::array<std::uint8_t, 51>& frame, std::int64_t unixMs) {
  char row[MonitorCsvRowSize];
  const std::size_t length = FormatMonitorCsvRow(frame.data(), unixMs, row);
  EXPECT_EQ(length, std::char_traits<char>::length(row));
  return std::string(row, length);
}

// A time zone for the life of the object.
class TZone {
public:
  explicit TZone(const char* tz) {
    if (const char* old = std::getenv("TZ")) Old = old;
    ::setenv("TZ", tz, 1);
    ::tzset();
  }
  ~TZone() {
    if (Old)
      ::setenv("TZ", Old->c_str(), 1);
    else
      ::unsetenv("TZ");
    ::tzset();
  }

private:
  std::optional<std::string> Old;
};

// A running engine at 6071 rpm, 12.6 V, 32 of 34 degrees, 12 programmings.
std::array<std::uint8_t, 51> Running() {
  std::array<std::uint8_t, 51> f{};
  f[0] = 0xB0, f[1] = 6071 & 0xFF, f[2] = 6071 >> 8, f[3] = 12600 & 0xFF, f[4] = 12600 >> 8;
  f[5] = 12, f[31] = 132, f[32] = 34, f[34] = 1, f[42] = 1, f[50] = 67;
  return f;
}

constexpr std::int64_t Dec9 = 1796836051042; // 2026-12-09T17:07:31.042Z

} // namespace

TEST(MonitorCsv, HeaderNamesEveryColumnOfTheRow) {
  const std::vector<std::string> header = Fields(MonitorCsvHeader());
  const std::vector<std::string> expected = {"time",
                                             "rpm",
                                             "advance",
                                             "max_advance",
                                             "voltage",
                                             "programming_count",
                                             "save_countdown",
                                             "version",
                                             "input1",
                                             "input2",
                                             "polarity_negative",
                                             "polarity_ok",
                                             "start_limiter",
                                             "limiter",
                                             "blocking",
                                             "kill_switch",
                                             "shift_light",
                                             "retard",
                                             "clutch_master",
                                             "pickup",
                                             "base_advance",
                                             "data_error"};
  EXPECT_EQ(header, expected);
  TZone utc("UTC0");
  EXPECT_EQ(Fields(Row(Running(), Dec9)).size(), header.size());
}

TEST(MonitorCsv, ValuesAsTheFrameHoldsThem) {
  TZone utc("UTC0");
  EXPECT_EQ(Row(Running(), Dec9), "2026-12-09T17:07:31.042+00:00,6071,32,34,12.600,12,0,67,"
                                  "0,0,0,1,0,0,0,0,0,0,0,1,0,0\r\n");

  auto f = Running();
  f[42] = 0;                            // no pick-up signal: the speed means nothing
  f[31] = 90;                           // -10 degrees
  f[3] = 7005 & 0xFF, f[4] = 7005 >> 8; // 7.005 V
  f[5] = 0xFF, f[6] = 0xFF;             // 65535 programmings
  f[47] = 53, f[50] = 66;               // storing, another layout
  const std::vector<std::string> v = Fields(Row(f, Dec9));
  EXPECT_EQ(v[1], "0");
  EXPECT_EQ(v[2], "-10");
  EXPECT_EQ(v[4], "7.005");
  EXPECT_EQ(v[5], "65535");
  EXPECT_EQ(v[6], "53");
  EXPECT_EQ(v[7], "66");
  f[3] = 0, f[4] = 0;
  EXPECT_EQ(Fields(Row(f, Dec9))[4], "0.000");

  // Each flag in its own column: any byte but 0 is set.
  const std::vector<std::string> header = Fields(MonitorCsvHeader());
  const std::pair<const char*, int> flags[] = {
      {"input1", 29},        {"input2", 30},    {"polarity_negative", 33}, {"polarity_ok", 34},
      {"start_limiter", 35}, {"limiter", 36},   {"blocking", 37},          {"kill_switch", 38},
      {"shift_light", 39},   {"retard", 40},    {"clutch_master", 41},     {"pickup", 42},
      {"base_advance", 43},  {"data_error", 49}};
  for (const auto& [name, offset] : flags) {
    std::array<std::uint8_t, 51> only{};
    only[0] = 0xB0;
    only[offset] = 0x80;
    const std::vector<std::string> row = Fields(Row(only, Dec9));
    for (std::size_t c = 8; c < header.size(); ++c)
      EXPECT_EQ(row[c], header[c] == name ? "1" : "0") << name << " in column " << header[c];
  }
}

TEST(MonitorCsv, LocalTimeWithItsOffsetAndMilliseconds) {
  const struct {
    const char* Zone;
    std::int64_t Ms;
    const char* Time;
  } table[] = {
      {"UTC0", Dec9, "2026-12-09T17:07:31.042+00:00"},
      {"CET-1", Dec9, "2026-12-09T18:07:31.042+01:00"},
      {"EST5", Dec9, "2026-12-09T12:07:31.042-05:00"},
      {"IST-5:30", Dec9, "2026-12-09T22:37:31.042+05:30"},
      {"UTC0", Dec9 - 42, "2026-12-09T17:07:31.000+00:00"},
      {"UTC0", Dec9 + 958, "2026-12-09T17:07:32.000+00:00"},
      {"UTC0", 0, "1970-01-01T00:00:00.000+00:00"},
      {"UTC0", -1, "1969-12-31T23:59:59.999+00:00"},
  };
  for (const auto& row : table) {
    TZone zone(row.Zone);
    EXPECT_EQ(Fields(Row(Running(), row.Ms))[0], row.Time) << row.Zone << " " << row.Ms;
  }
}
