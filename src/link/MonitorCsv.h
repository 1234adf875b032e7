// A recording of the live monitor as CSV: a header line, then one row per monitor frame
// with its arrival time, the values and every flag by name. The same row serves every
// program that records frames.
#pragma once

#include <cstddef>
#include <cstdint>

// Room for the longest row, its CR LF and a terminating zero.
inline constexpr std::size_t MonitorCsvRowSize = 256;

// The columns of a recording in the order they are written; readers find them by name.
enum class TMonitorCsvColumn : std::uint8_t {
  Time,
  Rpm,
  Advance,
  MaxAdvance,
  Voltage,
  ProgrammingCount,
  SaveCountdown,
  Version,
  Input1, // the flags from here on
  Input2,
  PolarityNegative,
  PolarityOk,
  StartLimiter,
  Limiter,
  Blocking,
  KillSwitch,
  ShiftLight,
  Retard,
  ClutchMaster,
  Pickup,
  BaseAdvance,
  DataError,
  Count
};
inline constexpr int MonitorCsvColumnCount = static_cast<int>(TMonitorCsvColumn::Count);
inline constexpr int MonitorCsvFirstFlag = static_cast<int>(TMonitorCsvColumn::Input1);

// The column's name in the header line.
const char* MonitorCsvColumnName(TMonitorCsvColumn column);

// The header line, ending in CR LF: time, rpm, advance, max_advance, voltage,
// programming_count, save_countdown, version, then one column per flag.
const char* MonitorCsvHeader();

// The row of a monitor frame (bytes 0..50) that arrived at unixMs (milliseconds since
// 1970-01-01 UTC), ending in CR LF; returns its length. The time is local ISO 8601 with
// milliseconds and the offset from UTC (2026-12-09T17:05:31.042+01:00); rpm is 0 while the
// pick-up reports no signal; voltage in volts with three decimals; a flag is 1 or 0.
std::size_t FormatMonitorCsvRow(const std::uint8_t* frame, std::int64_t unixMs,
                                char (&row)[MonitorCsvRowSize]);
