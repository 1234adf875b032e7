// The profile (INI) file: [section] headers and key=value lines. Read once, changed in
// memory, written once: the settings are read at start-up and written at closing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "i18n/Failure.h"

class TProfileFile {
public:
  // Loads the file when it exists; a missing or unreadable file reads as empty.
  explicit TProfileFile(std::string path);

  // The file exists but could not be read (too large, no permission): Flush then keeps it.
  const std::optional<TFailureReport>& LoadFailure() const { return NotLoaded; }

  const std::string& Path() const { return FilePath; }

  // Section and key names match without regard to ASCII letter case. A missing key, or
  // a value that is not a whole decimal, 0x or $ hexadecimal integer, yields def.
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  // The value is the rest of the line after '=', without surrounding blanks.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;

  // Rewrites an existing key in its place, else appends it at the end of its section,
  // else appends the section at the end of the file. Everything else is kept.
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteString(const std::string& section, const std::string& key, const std::string& value);

  // Writes the file (CR LF line ends) through a temporary file, creating its folder when
  // missing; on failure returns false with the report, and the old file stays as it was.
  // A file that could not be loaded is never replaced, nor is one written that the next
  // load would refuse as too large.
  bool Flush(TFailureReport& failure);

private:
  struct TSpan {
    std::size_t Header; // line of the [section] header
    std::size_t End;    // one past its last line
  };

  std::optional<TSpan> FindSection(const std::string& section) const;
  std::optional<std::size_t> FindKey(const TSpan& span, const std::string& key) const;

  std::string FilePath;
  std::vector<std::string> Lines; // without line ends
  std::optional<TFailureReport> NotLoaded;
};

// Decimal with an optional sign, or hexadecimal after 0x or $; nullopt for anything else.
std::optional<int> ParseProfileInteger(const std::string& text);
