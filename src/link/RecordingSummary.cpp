#include "link/RecordingSummary.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::uint32_t Bit(TMonitorCsvColumn c) {
  return 1u << static_cast<int>(c);
}

// How long row i's values hold: until the next row, but not across a gap in the frames.
std::int64_t Held(const TRecording& r, std::size_t i) {
  if (i + 1 >= r.Rows()) return 0;
  return std::min(r.TimeMs[i + 1] - r.TimeMs[i], RecordingHoldLimitMs);
}

bool Flag(const TRecording& r, TMonitorCsvColumn c, std::size_t i) {
  return (r.Flags[i] >> (static_cast<int>(c) - MonitorCsvFirstFlag)) & 1u;
}

void Seconds(std::string& out, const char* name, std::int64_t ms, bool known = true) {
  char line[96];
  if (known)
    std::snprintf(line, sizeof line, "%s,%lld.%03lld\r\n", name, static_cast<long long>(ms / 1000),
                  static_cast<long long>(ms % 1000));
  else
    std::snprintf(line, sizeof line, "%s,\r\n", name);
  out += line;
}

void Number(std::string& out, const char* name, long long value, bool known = true) {
  char line[96];
  if (known)
    std::snprintf(line, sizeof line, "%s,%lld\r\n", name, value);
  else
    std::snprintf(line, sizeof line, "%s,\r\n", name);
  out += line;
}

void Volts(std::string& out, const char* name, int mv, bool known) {
  char line[96];
  if (known)
    std::snprintf(line, sizeof line, "%s,%d.%03d\r\n", name, mv / 1000, mv % 1000);
  else
    std::snprintf(line, sizeof line, "%s,\r\n", name);
  out += line;
}

template <class Get>
void Reduce(const TRecording& r, std::size_t begin, std::size_t end, std::int64_t fromMs,
            std::int64_t spanMs, std::vector<TColumnRange>& out, Get get) {
  const auto columns = static_cast<std::int64_t>(out.size());
  for (std::size_t i = begin; i < end; ++i) {
    const std::int64_t c = std::min((r.TimeMs[i] - fromMs) * columns / spanMs, columns - 1);
    TColumnRange& range = out[static_cast<std::size_t>(c)];
    const int v = get(i);
    if (!range.Any) {
      range = {v, v, true};
    } else {
      range.Min = std::min(range.Min, v);
      range.Max = std::max(range.Max, v);
    }
  }
}

} // namespace

TRecordingSummary SummariseRecording(const TRecording& r, std::int64_t fromMs, std::int64_t toMs) {
  TRecordingSummary s;
  s.FromMs = fromMs;
  s.ToMs = toMs;
  s.Present = r.Present;
  const auto& t = r.TimeMs;
  const std::size_t first = std::lower_bound(t.begin(), t.end(), fromMs) - t.begin();
  const std::size_t last = std::upper_bound(t.begin(), t.end(), toMs) - t.begin();
  if (toMs < fromMs || last == 0) return s;
  bool any = false, retardBefore = false, shiftBefore = false;
  std::int64_t start = 0, end = 0;
  // The row before the range holds its values into it.
  for (std::size_t i = first > 0 ? first - 1 : 0; i < last; ++i) {
    const std::int64_t a = std::max(t[i], fromMs);
    const std::int64_t held = std::max<std::int64_t>(0, std::min(t[i] + Held(r, i), toMs) - a);
    if (t[i] < fromMs && held == 0) continue;
    if (!any) start = a;
    end = std::max(end, a + held);
    s.KnownMs += held;
    ++s.Rows;
    const int rpm = r.Rpm[i];
    const auto band = static_cast<std::size_t>(rpm / SpeedBandRpm);
    if (s.BandMs.size() <= band) s.BandMs.resize(band + 1, 0);
    s.BandMs[band] += held;
    s.MaxRpm = any ? std::max(s.MaxRpm, rpm) : rpm;
    const int mv = r.Millivolts[i];
    s.MinMillivolts = any ? std::min(s.MinMillivolts, mv) : mv;
    s.MaxMillivolts = any ? std::max(s.MaxMillivolts, mv) : mv;
    // A flag the file lacks reads 0 and adds nothing.
    if (Flag(r, TMonitorCsvColumn::Limiter, i)) s.LimiterMs += held;
    if (Flag(r, TMonitorCsvColumn::StartLimiter, i)) s.StartLimiterMs += held;
    const bool retard = Flag(r, TMonitorCsvColumn::Retard, i);
    const bool shift = Flag(r, TMonitorCsvColumn::ShiftLight, i);
    if (retard) s.RetardMs += held;
    s.RetardCount += retard && !retardBefore;
    s.ShiftLightEvents += shift && !shiftBefore;
    retardBefore = retard;
    shiftBefore = shift;
    any = true;
  }
  if (!any) s.BandMs.clear();
  s.DurationMs = any ? end - start : 0;
  return s;
}

TRecordingSummary SummariseRecording(const TRecording& r) {
  if (r.Rows() == 0) return SummariseRecording(r, 0, -1);
  return SummariseRecording(r, r.TimeMs.front(), r.TimeMs.back());
}

std::string RecordingSummaryCsv(const TRecordingSummary& s) {
  const auto has = [&](TMonitorCsvColumn c) { return (s.Present & Bit(c)) != 0; };
  const bool rpm = has(TMonitorCsvColumn::Rpm), volts = has(TMonitorCsvColumn::Voltage);
  const bool any = s.Rows > 0;
  std::string out = "quantity,value\r\n";
  Seconds(out, "duration_s", s.DurationMs);
  Seconds(out, "known_s", s.KnownMs);
  Number(out, "rows", static_cast<long long>(s.Rows));
  Number(out, "max_rpm", s.MaxRpm, rpm && any);
  Seconds(out, "limiter_s", s.LimiterMs, has(TMonitorCsvColumn::Limiter));
  Seconds(out, "start_limiter_s", s.StartLimiterMs, has(TMonitorCsvColumn::StartLimiter));
  Number(out, "retard_count", s.RetardCount, has(TMonitorCsvColumn::Retard));
  Seconds(out, "retard_s", s.RetardMs, has(TMonitorCsvColumn::Retard));
  Number(out, "shift_light_events", s.ShiftLightEvents, has(TMonitorCsvColumn::ShiftLight));
  Volts(out, "voltage_min_v", s.MinMillivolts, volts && any);
  Volts(out, "voltage_max_v", s.MaxMillivolts, volts && any);
  if (!rpm) return out;
  for (std::size_t band = 0; band < s.BandMs.size(); ++band) {
    char name[48];
    const int low = static_cast<int>(band) * SpeedBandRpm;
    std::snprintf(name, sizeof name, "rpm_%d_%d_s", low, low + SpeedBandRpm - 1);
    Seconds(out, name, s.BandMs[band]);
  }
  return out;
}

void DecimateChannel(const TRecording& r, TMonitorCsvColumn channel, std::int64_t fromMs,
                     std::int64_t toMs, int columns, std::vector<TColumnRange>& out) {
  out.assign(columns > 0 ? static_cast<std::size_t>(columns) : 0, TColumnRange{});
  if (columns <= 0 || toMs <= fromMs || !r.Has(channel)) return;
  const auto& t = r.TimeMs;
  const std::size_t begin = std::lower_bound(t.begin(), t.end(), fromMs) - t.begin();
  const std::size_t end = std::upper_bound(t.begin(), t.end(), toMs) - t.begin();
  const std::int64_t span = toMs - fromMs;
  switch (channel) {
  case TMonitorCsvColumn::Rpm:
    return Reduce(r, begin, end, fromMs, span, out, [&](std::size_t i) { return int(r.Rpm[i]); });
  case TMonitorCsvColumn::Voltage:
    return Reduce(r, begin, end, fromMs, span, out,
                  [&](std::size_t i) { return int(r.Millivolts[i]); });
  case TMonitorCsvColumn::Advance:
    return Reduce(r, begin, end, fromMs, span, out,
                  [&](std::size_t i) { return int(r.Advance[i]); });
  default:
    if (static_cast<int>(channel) >= MonitorCsvFirstFlag) {
      const int bit = static_cast<int>(channel) - MonitorCsvFirstFlag;
      return Reduce(r, begin, end, fromMs, span, out,
                    [&](std::size_t i) { return (r.Flags[i] >> bit) & 1; });
    }
    return Reduce(r, begin, end, fromMs, span, out,
                  [&](std::size_t i) { return r.Value(channel, i); });
  }
}
