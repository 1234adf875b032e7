#include "files/Profile.h"

#include <cerrno>
#include <cstdint>
#include <limits>
#include <utility>

#include "files/SafeRead.h"
#include "files/SafeWrite.h"

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string Trim(const std::string& s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// The section name of a header line, or nullopt when the line is no header.
std::optional<std::string> HeaderName(const std::string& line) {
  const std::string t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return std::nullopt;
  const std::size_t close = t.find(']');
  if (close == std::string::npos) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

bool IsComment(const std::string& trimmed) {
  return !trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '#');
}

// One line holds one value: a line end inside it would start a line of its own.
std::string OneLine(const std::string& value) {
  return value.substr(0, value.find_first_of("\r\n"));
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

} // namespace

std::optional<int> ParseProfileInteger(const std::string& raw) {
  const std::string t = Trim(raw);
  std::size_t i = 0;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X'))
    i = 2;
  else if (t.size() > 1 && t[0] == '$')
    i = 1;
  if (i != 0) {
    // Up to 32 bits, taken as a two's complement int like the profile services do.
    if (t.size() - i > 8) return std::nullopt;
    std::uint32_t v = 0;
    for (; i < t.size(); ++i) {
      const int d = HexDigit(t[i]);
      if (d < 0) return std::nullopt;
      v = v * 16 + static_cast<std::uint32_t>(d);
    }
    return static_cast<int>(v);
  }

  bool negative = false;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
  if (i == t.size()) return std::nullopt;
  long long v = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return std::nullopt;
    v = v * 10 + (t[i] - '0');
    if (v > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return std::nullopt;
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<int>::max()) return std::nullopt;
  return static_cast<int>(v);
}

TProfileFile::TProfileFile(std::string path) : FilePath(std::move(path)) {
  std::string text;
  TFailureReport failure;
  if (!ReadFileSafely(FilePath, text, failure)) {
    // Missing, even its folder: nothing to keep.
    const bool missing = failure.What == TFailure::NotOpened &&
                         (failure.Errno == ENOENT || failure.Errno == ENOTDIR);
    if (!missing) NotLoaded = failure;
    return;
  }
  std::size_t start = 0;
  // A byte-order mark would otherwise hide the first section header. An editor may have put
  // a second one before the first; skipping all of them also means the file is never written
  // back beginning with one, which the next reading would drop with the line it starts.
  while (text.compare(start, 3, "\xEF\xBB\xBF") == 0) start += 3;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::size_t cut = end;
    if (cut > start && text[cut - 1] == '\r') --cut;
    Lines.push_back(text.substr(start, cut - start));
    start = end + 1;
  }
}

std::optional<TProfileFile::TSpan> TProfileFile::FindSection(const std::string& section) const {
  const std::string wanted = Trim(section);
  for (std::size_t i = 0; i < Lines.size(); ++i) {
    const auto name = HeaderName(Lines[i]);
    if (!name || !SameName(*name, wanted)) continue;
    std::size_t end = i + 1;
    while (end < Lines.size() && !HeaderName(Lines[end])) ++end;
    return TSpan{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> TProfileFile::FindKey(const TSpan& span, const std::string& key) const {
  const std::string wanted = Trim(key);
  for (std::size_t i = span.Header + 1; i < span.End; ++i) {
    const std::string& line = Lines[i];
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string name = Trim(line.substr(0, eq));
    if (IsComment(name)) continue;
    if (SameName(name, wanted)) return i;
  }
  return std::nullopt;
}

std::string TProfileFile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& def) const {
  const auto span = FindSection(section);
  if (!span) return def;
  const auto line = FindKey(*span, key);
  if (!line) return def;
  const std::string& text = Lines[*line];
  return Trim(text.substr(text.find('=') + 1));
}

int TProfileFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
  const auto span = FindSection(section);
  if (!span) return def;
  const auto line = FindKey(*span, key);
  if (!line) return def;
  const std::string& text = Lines[*line];
  return ParseProfileInteger(text.substr(text.find('=') + 1)).value_or(def);
}

void TProfileFile::WriteString(const std::string& section, const std::string& key,
                               const std::string& value) {
  const std::string entry = Trim(key) + "=" + OneLine(value);
  const auto span = FindSection(section);
  if (!span) {
    std::string header = "["; // appended: "[" + text makes gcc 12 warn falsely
    header += Trim(section);
    header += ']';
    Lines.push_back(std::move(header));
    Lines.push_back(entry);
    return;
  }
  if (const auto line = FindKey(*span, key)) {
    Lines[*line] = entry;
    return;
  }
  // After the section's last non-empty line, so a blank line before the next header stays.
  std::size_t at = span->End;
  while (at > span->Header + 1 && Trim(Lines[at - 1]).empty()) --at;
  Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
}

void TProfileFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

bool TProfileFile::Flush(TFailureReport& failure) {
  std::string text;
  for (const std::string& line : Lines) {
    text += line;
    text += "\r\n";
  }
  if (NotLoaded) {
    failure = *NotLoaded;
    return false;
  }
  if (text.size() > ReadLimitBytes) {
    failure = {TFailure::TooLarge, FilePath, {}, EFBIG};
    return false;
  }
  return WriteFileSafely(FilePath, text, failure, TFolder::Create);
}
