#include "model/CurveTable.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/Conversions.h"

namespace {

// Far beyond every range, and still exact in an int after rounding.
constexpr double ValueLimit = 1e7;

// The byte length of a blank at s[i] (a space, a tab, a no-break, narrow no-break or thin
// space as locales put between thousands), 0 for none.
std::size_t BlankAt(std::string_view s, std::size_t i) {
  const char c = s[i];
  if (c == ' ' || c == '\t' || c == '\v' || c == '\f') return 1;
  const std::string_view rest = s.substr(i);
  if (rest.starts_with("\xC2\xA0")) return 2;
  if (rest.starts_with("\xE2\x80\xAF") || rest.starts_with("\xE2\x80\x89")) return 3;
  return 0;
}

std::size_t BlankBefore(std::string_view s) {
  for (std::size_t n : {1u, 2u, 3u})
    if (s.size() >= n && BlankAt(s, s.size() - n) == n) return n;
  return 0;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && BlankAt(s, 0) > 0) s.remove_prefix(BlankAt(s, 0));
  while (!s.empty() && BlankBefore(s) > 0) s.remove_suffix(BlankBefore(s));
  return s;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// One value. In the speed column a single mark followed by exactly three digits groups
// thousands ("1.500", "1,500"): a speed of one and a half rpm means nothing. Elsewhere
// one mark alone is the decimal mark; of a point and a comma together the last one is.
bool ParseNumber(std::string_view field, bool speed, double& out) {
  std::string_view s = Trim(field);
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = Trim(s.substr(1, s.size() - 2));
  bool negative = false;
  if (s.starts_with("-") || s.starts_with("+")) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  } else if (s.starts_with("\xE2\x88\x92")) { // the minus sign
    negative = true;
    s.remove_prefix(3);
  }
  if (s.ends_with("\xC2\xB0")) s = Trim(s.substr(0, s.size() - 2)); // a degree sign

  int points = 0, commas = 0;
  std::size_t lastPoint = 0, lastComma = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '.') ++points, lastPoint = i;
    if (s[i] == ',') ++commas, lastComma = i;
  }
  char decimal = 0;
  if (points > 0 && commas > 0) {
    decimal = lastPoint > lastComma ? '.' : ',';
    if ((decimal == '.' ? points : commas) > 1) return false;
  } else if (points + commas == 1) {
    const std::size_t at = points == 1 ? lastPoint : lastComma;
    std::size_t after = 0;
    while (at + 1 + after < s.size() && IsDigit(s[at + 1 + after])) ++after;
    bool shortLead = at >= 1 && at <= 3;
    for (std::size_t i = 0; i < at; ++i) shortLead = shortLead && IsDigit(s[i]);
    const bool grouping = speed && shortLead && after == 3 && at + 4 == s.size();
    if (!grouping) decimal = s[at];
  }

  double value = 0, scale = 0; // scale: the place of the next fraction digit, 0 before the mark
  int digits = 0, groupDigits = 0, groups = 0;
  for (std::size_t i = 0; i < s.size();) {
    const char c = s[i];
    if (IsDigit(c)) {
      ++digits;
      if (scale == 0) {
        ++groupDigits;
        value = std::min(value * 10 + (c - '0'), ValueLimit);
      } else {
        value += (c - '0') * scale;
        scale /= 10;
      }
      ++i;
      continue;
    }
    if (scale != 0) return false; // only digits follow the decimal mark
    if (c == decimal) {
      if (groups > 0 && groupDigits != 3) return false;
      scale = 0.1;
      ++i;
      continue;
    }
    const std::size_t blank = BlankAt(s, i);
    if (blank == 0 && c != '.' && c != ',' && c != '\'') return false;
    // A thousands separator: one to three digits before the first, three between them.
    if (groups == 0 ? (groupDigits < 1 || groupDigits > 3) : groupDigits != 3) return false;
    ++groups;
    groupDigits = 0;
    i += blank > 0 ? blank : 1;
  }
  if (digits == 0) return false;
  if (groups > 0 && scale == 0 && groupDigits != 3) return false;
  value = std::min(value, ValueLimit);
  out = negative ? -value : value;
  return true;
}

// Fields between separators, trimmed, empty ones left out (a spreadsheet adds empty
// columns). Commas inside double quotes do not separate.
std::vector<std::string_view> Split(std::string_view line, char separator) {
  std::vector<std::string_view> fields;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= line.size(); ++i) {
    if (i < line.size() && line[i] == '"') quoted = !quoted;
    if (i < line.size() && (line[i] != separator || quoted)) continue;
    const std::string_view field = Trim(line.substr(start, i - start));
    if (!field.empty()) fields.push_back(field);
    start = i + 1;
  }
  return fields;
}

std::vector<std::string_view> SplitAtBlanks(std::string_view line) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && BlankAt(line, i) > 0) i += BlankAt(line, i);
    const std::size_t start = i;
    while (i < line.size() && BlankAt(line, i) == 0) ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

bool IsNumber(std::string_view field) {
  double ignored = 0;
  return ParseNumber(field, false, ignored);
}

TCurveTableError FromFields(const std::vector<std::string_view>& fields, TCurveTablePoint& point) {
  double rpm = 0, advance = 0;
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (!ParseNumber(fields[i], i == 0, i == 0 ? rpm : advance))
      return TCurveTableError::NotANumber;
  if (fields.size() < 2) return TCurveTableError::OneValue;
  if (fields.size() > 2) return TCurveTableError::TooManyValues;
  point = {static_cast<int>(std::lround(rpm)), static_cast<int>(std::lround(advance))};
  return TCurveTableError::None;
}

// Blanks both separate the columns and group thousands ("15 000 10"): the first split
// into two numbers wins. A speed has at most three groups and an advance one, so a longer
// line is no point, and is not tried split by split (a pasted page would take ages).
TCurveTableError FromBlanks(std::string_view line, TCurveTablePoint& point) {
  constexpr std::size_t MostTokens = 6;
  const std::vector<std::string_view> tokens = SplitAtBlanks(line);
  if (tokens.size() <= 2) return FromFields(tokens, point);
  for (std::size_t k = 1; k < tokens.size() && tokens.size() <= MostTokens; ++k) {
    const char* begin = tokens.front().data();
    const std::string_view speed(begin,
                                 std::size_t(tokens[k - 1].data() + tokens[k - 1].size() - begin));
    const std::string_view advance(
        tokens[k].data(),
        std::size_t(tokens.back().data() + tokens.back().size() - tokens[k].data()));
    if (FromFields({speed, advance}, point) == TCurveTableError::None)
      return TCurveTableError::None;
  }
  for (std::string_view token : tokens)
    if (!IsNumber(token)) return TCurveTableError::NotANumber;
  return TCurveTableError::TooManyValues;
}

TCurveTableError ParseLine(std::string_view line, TCurveTablePoint& point) {
  if (line.find('\t') != std::string_view::npos) return FromFields(Split(line, '\t'), point);
  if (line.find(';') != std::string_view::npos) return FromFields(Split(line, ';'), point);
  if (line.find(',') == std::string_view::npos) return FromBlanks(line, point);
  const std::vector<std::string_view> fields = Split(line, ',');
  const TCurveTableError byCommas = FromFields(fields, point);
  if (byCommas == TCurveTableError::None) return byCommas;
  const TCurveTableError byBlanks = FromBlanks(line, point);
  if (byBlanks == TCurveTableError::None) return byBlanks;
  return fields.size() > 1 ? byCommas : byBlanks;
}

// A header names the columns: no part of it is a number.
bool IsHeader(std::string_view line) {
  std::size_t start = 0;
  for (std::size_t i = 0; i <= line.size(); ++i) {
    if (i < line.size() && std::string_view("\t;, ").find(line[i]) == std::string_view::npos)
      continue;
    if (i > start && IsNumber(line.substr(start, i - start))) return false;
    start = i + 1;
  }
  return true;
}

} // namespace

TCurveTable ParseCurveTable(std::string_view text) {
  TCurveTable table;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  int lineNumber = 0;
  bool seenLine = false;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos) {
      text = {};
    } else {
      const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
      text.remove_prefix(end + (crlf ? 2 : 1));
    }
    ++lineNumber;
    line = Trim(line);
    if (line.empty()) continue;
    const bool first = !seenLine;
    seenLine = true;
    TCurveTablePoint point;
    const TCurveTableError error = ParseLine(line, point);
    if (error != TCurveTableError::None && first && IsHeader(line)) continue;
    if (error == TCurveTableError::None && table.Count == CurvePoints) {
      table.Error = TCurveTableError::TooManyPoints;
      table.Line = lineNumber;
      return table;
    }
    if (error != TCurveTableError::None) {
      table.Error = error;
      table.Line = lineNumber;
      return table;
    }
    table.Points[table.Count++] = point;
  }
  if (table.Count == 0) table.Error = TCurveTableError::Empty;
  return table;
}

std::string CurveTableText(const TIgnParams& p, char separator, std::string_view lineEnd,
                           std::string_view header) {
  std::string text;
  if (!header.empty()) {
    text += header;
    text += lineEnd;
  }
  for (int i = 0; i < CurvePointsInUse(p); ++i) {
    text += std::to_string(SpeedToScreen(p.RpmAdv[i]));
    text += separator;
    text += std::to_string(p.Advance[i]);
    text += lineEnd;
  }
  return text;
}
