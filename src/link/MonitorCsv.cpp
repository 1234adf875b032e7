#include "link/MonitorCsv.h"

#include <cstdio>
#include <ctime>
#include <iterator>

#include "link/Monitor.h"

namespace {

struct TFlagColumn {
  const char* Name;
  int Offset;
};

const TFlagColumn FlagColumns[] = {
    {"input1", MonitorOffset::Input1},
    {"input2", MonitorOffset::Input2},
    {"polarity_negative", MonitorOffset::PolarityNegative},
    {"polarity_ok", MonitorOffset::PolarityOk},
    {"start_limiter", MonitorOffset::StartLimiter},
    {"limiter", MonitorOffset::Limiter},
    {"blocking", MonitorOffset::Blocking},
    {"kill_switch", MonitorOffset::KillSwitch},
    {"shift_light", MonitorOffset::ShiftLight},
    {"retard", MonitorOffset::Retard},
    {"clutch_master", MonitorOffset::ClutchMaster},
    {"pickup", MonitorOffset::Pickup},
    {"base_advance", MonitorOffset::BaseAdvance},
    {"data_error", MonitorOffset::DataError},
};

constexpr const char* ValueColumns =
    "time,rpm,advance,max_advance,voltage,programming_count,save_countdown,version";

// Built once: the value columns, then the flag names.
struct THeader {
  char Text[MonitorCsvRowSize]{};
  THeader() {
    int n = std::snprintf(Text, sizeof Text, "%s", ValueColumns);
    for (const TFlagColumn& flag : FlagColumns)
      n += std::snprintf(Text + n, sizeof Text - static_cast<std::size_t>(n), ",%s", flag.Name);
    std::snprintf(Text + n, sizeof Text - static_cast<std::size_t>(n), "\r\n");
  }
};

} // namespace

const char* MonitorCsvHeader() {
  static const THeader header;
  return header.Text;
}

std::size_t FormatMonitorCsvRow(const std::uint8_t* frame, std::int64_t unixMs,
                                char (&row)[MonitorCsvRowSize]) {
  namespace O = MonitorOffset;
  // Whole seconds towards minus infinity, so a time before 1970 keeps 0..999 ms.
  std::int64_t seconds = unixMs / 1000;
  int ms = static_cast<int>(unixMs % 1000);
  if (ms < 0) {
    ms += 1000;
    --seconds;
  }
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm local{};
  localtime_r(&t, &local);
  const long offset = local.tm_gmtoff / 60; // minutes east of UTC
  const long offsetAbs = offset < 0 ? -offset : offset;
  const unsigned millivolts = MonitorWord(frame, O::Voltage);

  int n = std::snprintf(
      row, sizeof row, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02ld:%02ld,%u,%d,%u,%u.%03u,%u,%u,%u",
      local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
      local.tm_sec, ms, offset < 0 ? '-' : '+', offsetAbs / 60, offsetAbs % 60,
      static_cast<unsigned>(MonitorLiveRpm(frame)), MonitorAdvance(frame),
      static_cast<unsigned>(frame[O::MaxAdvance]), millivolts / 1000, millivolts % 1000,
      static_cast<unsigned>(MonitorWord(frame, O::ProgrammingCount)),
      static_cast<unsigned>(MonitorWord(frame, O::SaveCountdown)),
      static_cast<unsigned>(frame[O::Version]));
  for (const TFlagColumn& flag : FlagColumns) {
    row[n++] = ',';
    row[n++] = frame[flag.Offset] != 0 ? '1' : '0';
  }
  row[n++] = '\r';
  row[n++] = '\n';
  row[n] = '\0';
  return static_cast<std::size_t>(n);
}
