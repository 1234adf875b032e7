#include "link/MonitorCsv.h"

#include <cstdio>
#include <ctime>
#include <iterator>

#include "link/Monitor.h"

namespace {

const char* const ColumnNames[] = {
    "time",
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
    "data_error",
};
static_assert(std::size(ColumnNames) == MonitorCsvColumnCount, "one name per column");

// The frame byte of each flag column, in column order.
const int FlagOffsets[] = {
    MonitorOffset::Input1,      MonitorOffset::Input2,       MonitorOffset::PolarityNegative,
    MonitorOffset::PolarityOk,  MonitorOffset::StartLimiter, MonitorOffset::Limiter,
    MonitorOffset::Blocking,    MonitorOffset::KillSwitch,   MonitorOffset::ShiftLight,
    MonitorOffset::Retard,      MonitorOffset::ClutchMaster, MonitorOffset::Pickup,
    MonitorOffset::BaseAdvance, MonitorOffset::DataError,
};
static_assert(std::size(FlagOffsets) == MonitorCsvColumnCount - MonitorCsvFirstFlag,
              "one offset per flag");

// Built once from the column names.
struct THeader {
  char Text[MonitorCsvRowSize]{};
  THeader() {
    int n = 0;
    for (const char* name : ColumnNames)
      n += std::snprintf(Text + n, sizeof Text - static_cast<std::size_t>(n), "%s%s",
                         n == 0 ? "" : ",", name);
    std::snprintf(Text + n, sizeof Text - static_cast<std::size_t>(n), "\r\n");
  }
};

} // namespace

const char* MonitorCsvColumnName(TMonitorCsvColumn column) {
  const auto i = static_cast<std::size_t>(column);
  return i < std::size(ColumnNames) ? ColumnNames[i] : "";
}

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
  for (const int offset : FlagOffsets) {
    row[n++] = ',';
    row[n++] = frame[offset] != 0 ? '1' : '0';
  }
  row[n++] = '\r';
  row[n++] = '\n';
  row[n] = '\0';
  return static_cast<std::size_t>(n);
}
