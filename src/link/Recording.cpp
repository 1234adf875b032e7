#include "link/Recording.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

#include "files/SafeRead.h"

namespace {

constexpr int Col(TMonitorCsvColumn c) {
  return static_cast<int>(c);
}

bool Digits(std::string_view s, std::size_t at, std::size_t count, int& value) {
  if (at + count > s.size()) return false;
  value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    value = value * 10 + (s[i] - '0');
  }
  return true;
}

bool Unsigned(std::string_view s, unsigned max, unsigned& value) {
  if (s.empty() || s.size() > 6) return false;
  value = 0;
  for (const char c : s) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value <= max;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return static_cast<std::int64_t>(era) * 146097 + doe - 719468;
}

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : days[m - 1];
}

// 2026-12-09T17:05:31.042+01:00 (or Z for UTC) into milliseconds since 1970 UTC.
bool ParseTime(std::string_view s, std::int64_t& unixMs, int& offsetMinutes) {
  int y, mo, d, h, mi, sec, ms;
  if (!Digits(s, 0, 4, y) || !Digits(s, 5, 2, mo) || !Digits(s, 8, 2, d) || !Digits(s, 11, 2, h) ||
      !Digits(s, 14, 2, mi) || !Digits(s, 17, 2, sec) || !Digits(s, 20, 3, ms))
    return false;
  if (s[4] != '-' || s[7] != '-' || s[10] != 'T' || s[13] != ':' || s[16] != ':' || s[19] != '.')
    return false;
  if (mo < 1 || mo > 12 || d < 1 || d > DaysInMonth(y, mo) || h > 23 || mi > 59 || sec > 59)
    return false;
  offsetMinutes = 0;
  if (s.size() == 24 && s[23] == 'Z') {
  } else if (s.size() == 29 && (s[23] == '+' || s[23] == '-') && s[26] == ':') {
    int oh, om;
    if (!Digits(s, 24, 2, oh) || !Digits(s, 27, 2, om) || oh > 23 || om > 59) return false;
    offsetMinutes = (oh * 60 + om) * (s[23] == '-' ? -1 : 1);
  } else {
    return false;
  }
  const std::int64_t seconds = DaysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + sec;
  unixMs = (seconds - std::int64_t(offsetMinutes) * 60) * 1000 + ms;
  return true;
}

// Volts with up to three decimals into millivolts.
bool ParseVolts(std::string_view s, unsigned& millivolts) {
  const std::size_t dot = s.find('.');
  unsigned whole = 0;
  if (!Unsigned(s.substr(0, dot), 65, whole)) return false;
  unsigned fraction = 0;
  if (dot != std::string_view::npos) {
    const std::string_view f = s.substr(dot + 1);
    if (f.empty() || f.size() > 3 || !Unsigned(f, 999, fraction)) return false;
    for (std::size_t i = f.size(); i < 3; ++i) fraction *= 10;
  }
  millivolts = whole * 1000 + fraction;
  return millivolts <= 65535;
}

bool ParseAdvance(std::string_view s, int& advance) {
  const bool negative = !s.empty() && s[0] == '-';
  unsigned v = 0;
  if (!Unsigned(negative ? s.substr(1) : s, negative ? 100 : 155, v)) return false;
  advance = negative ? -static_cast<int>(v) : static_cast<int>(v);
  return true;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '"')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '"')) s.remove_suffix(1);
  return s;
}

// Calls take(field) for each comma-separated field; stops early when take returns false.
template <class F> bool EachField(std::string_view line, F take) {
  for (;;) {
    const std::size_t comma = line.find(',');
    if (!take(line.substr(0, comma))) return false;
    if (comma == std::string_view::npos) return true;
    line.remove_prefix(comma + 1);
  }
}

} // namespace

int TRecording::Value(TMonitorCsvColumn c, std::size_t row) const {
  if (!Has(c) || row >= Rows()) return 0;
  switch (c) {
  case TMonitorCsvColumn::Time:
    return static_cast<int>(TimeMs[row] - TimeMs.front());
  case TMonitorCsvColumn::Rpm:
    return Rpm[row];
  case TMonitorCsvColumn::Advance:
    return Advance[row];
  case TMonitorCsvColumn::MaxAdvance:
    return MaxAdvance[row];
  case TMonitorCsvColumn::Voltage:
    return Millivolts[row];
  case TMonitorCsvColumn::ProgrammingCount:
    return ProgrammingCount[row];
  case TMonitorCsvColumn::SaveCountdown:
    return SaveCountdown[row];
  case TMonitorCsvColumn::Version:
    return Version[row];
  default:
    return (Flags[row] >> (Col(c) - MonitorCsvFirstFlag)) & 1;
  }
}

void TRecordingReader::Feed(std::string_view bytes) {
  if (Rec.Refusal != TRecordingRefusal::None) return;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    const std::string_view part = bytes.substr(0, end);
    if (!PendingTooLong && Pending.size() + part.size() > RecordingLineLimit) {
      PendingTooLong = true;
      Pending.clear();
    }
    if (end == std::string_view::npos) {
      if (!PendingTooLong) Pending.append(part);
      return;
    }
    bytes.remove_prefix(end + 1);
    ++LineNumber;
    if (PendingTooLong) {
      PendingTooLong = false;
      Skip();
    } else if (Pending.empty()) {
      Line(part);
    } else {
      Pending.append(part);
      Line(Pending);
      Pending.clear();
    }
    if (Rec.Refusal != TRecordingRefusal::None) return;
  }
}

TRecording TRecordingReader::Finish() {
  if (Rec.Refusal == TRecordingRefusal::None && (PendingTooLong || !Pending.empty())) {
    ++LineNumber;
    if (PendingTooLong)
      Skip();
    else
      Line(Pending);
  }
  if (!HeaderSeen && Rec.Refusal == TRecordingRefusal::None)
    Rec.Refusal = TRecordingRefusal::NoHeader;
  if (Rec.Refusal != TRecordingRefusal::None) {
    const TRecordingRefusal refusal = Rec.Refusal;
    Rec = TRecording{};
    Rec.Refusal = refusal;
  }
  TRecording done = std::move(Rec);
  *this = TRecordingReader{};
  return done;
}

void TRecordingReader::Skip() {
  if (!HeaderSeen) {
    // A first line longer than any header of ours.
    Rec.Refusal = TRecordingRefusal::NotARecording;
    return;
  }
  if (Rec.SkippedLines++ == 0) Rec.FirstSkippedLine = LineNumber;
}

void TRecordingReader::Line(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.empty()) return; // a blank line holds nothing to lose
  if (!HeaderSeen) {
    Header(line);
    return;
  }
  if (!Row(line)) Skip();
}

void TRecordingReader::Header(std::string_view line) {
  // A spreadsheet may have put a byte order mark before it.
  if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
  FieldColumn.clear();
  std::uint32_t present = 0;
  EachField(line, [&](std::string_view name) {
    name = Trimmed(name);
    int column = -1;
    for (int c = 0; c < MonitorCsvColumnCount; ++c) {
      if (name == MonitorCsvColumnName(static_cast<TMonitorCsvColumn>(c)) &&
          (present >> c & 1u) == 0)
        column = c;
    }
    if (column >= 0) present |= 1u << column;
    FieldColumn.push_back(column);
    return FieldColumn.size() <= RecordingLineLimit;
  });
  const std::uint32_t time = 1u << Col(TMonitorCsvColumn::Time);
  if ((present & time) == 0 || present == time) {
    std::int64_t ms;
    int offset;
    const std::string_view first = line.substr(0, line.find(','));
    Rec.Refusal = ParseTime(Trimmed(first), ms, offset) ? TRecordingRefusal::NoHeader
                                                        : TRecordingRefusal::NotARecording;
    return;
  }
  Rec.Present = present;
  HeaderSeen = true;
}

bool TRecordingReader::Row(std::string_view line) {
  std::int64_t time = 0;
  int offset = 0, advance = 0;
  unsigned rpm = 0, mv = 0, maxAdvance = 0, count = 0, countdown = 0, version = 0;
  std::uint16_t flags = 0;
  std::size_t field = 0;
  const bool read = EachField(line, [&](std::string_view s) {
    if (field >= FieldColumn.size()) return false;
    const int column = FieldColumn[field++];
    switch (static_cast<TMonitorCsvColumn>(column)) {
    case TMonitorCsvColumn::Time:
      return ParseTime(s, time, offset);
    case TMonitorCsvColumn::Rpm:
      return Unsigned(s, 65535, rpm);
    case TMonitorCsvColumn::Advance:
      return ParseAdvance(s, advance);
    case TMonitorCsvColumn::MaxAdvance:
      return Unsigned(s, 255, maxAdvance);
    case TMonitorCsvColumn::Voltage:
      return ParseVolts(s, mv);
    case TMonitorCsvColumn::ProgrammingCount:
      return Unsigned(s, 65535, count);
    case TMonitorCsvColumn::SaveCountdown:
      return Unsigned(s, 65535, countdown);
    case TMonitorCsvColumn::Version:
      return Unsigned(s, 255, version);
    default:
      if (column < 0) return true; // another program's column: any text
      if (s != "0" && s != "1") return false;
      if (s == "1") flags |= static_cast<std::uint16_t>(1u << (column - MonitorCsvFirstFlag));
      return true;
    }
  });
  // A row before the one above it would break every look-up by time.
  if (!read || field != FieldColumn.size()) return false;
  if (!Rec.TimeMs.empty() && time < Rec.TimeMs.back()) return false;
  if (Rec.TimeMs.empty()) Rec.UtcOffsetMinutes = offset;
  Rec.TimeMs.push_back(time);
  Rec.Rpm.push_back(static_cast<std::uint16_t>(rpm));
  Rec.Millivolts.push_back(static_cast<std::uint16_t>(mv));
  Rec.ProgrammingCount.push_back(static_cast<std::uint16_t>(count));
  Rec.SaveCountdown.push_back(static_cast<std::uint16_t>(countdown));
  Rec.Advance.push_back(static_cast<std::int16_t>(advance));
  Rec.MaxAdvance.push_back(static_cast<std::uint8_t>(maxAdvance));
  Rec.Version.push_back(static_cast<std::uint8_t>(version));
  Rec.Flags.push_back(flags);
  return true;
}

TRecording ReadRecordingText(std::string_view text) {
  TRecordingReader reader;
  reader.Feed(text);
  return reader.Finish();
}

bool ReadRecordingFile(const std::string& path, TRecording& recording, TFailureReport& failure) {
  recording = TRecording{};
  const int fd = OpenFileSafely(path, failure, RecordingFileLimit);
  if (fd < 0) return false;
  TRecordingReader reader;
  std::vector<char> buffer(64 * 1024);
  std::size_t total = 0;
  for (;;) {
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got == 0) break;
    if (got < 0 && errno == EINTR) continue;
    // A read error or a file that grows past the limit while it is read.
    if (got < 0 || (total += static_cast<std::size_t>(got)) > RecordingFileLimit) {
      failure = {
          got < 0 ? TFailure::NotRead : TFailure::TooLarge, path, {}, got < 0 ? errno : EFBIG};
      ::close(fd);
      return false;
    }
    reader.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
  }
  ::close(fd);
  recording = reader.Finish();
  return recording.Refusal == TRecordingRefusal::None;
}
