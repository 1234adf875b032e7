#include "link/TestMarker.h"

#include <string_view>

#include "files/SafeRead.h"
#include "model/SettingsDir.h"

namespace {

constexpr std::string_view MarkerWord = "DIAG_UNLOCK";

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

bool ReadTestMarker(const std::string& path) {
  std::string text;
  TFailureReport failure;
  if (!ReadFileSafely(path, text, failure)) return false;
  const std::string_view words(text);
  std::size_t i = 0;
  while (i < words.size()) {
    while (i < words.size() && IsSpace(words[i])) ++i;
    std::size_t end = i;
    while (end < words.size() && !IsSpace(words[end])) ++end;
    if (words.substr(i, end - i) == MarkerWord) return true;
    i = end;
  }
  return false;
}

std::string TestMarkerPath() {
  return SettingsDirectory() + "/test_qorvin.txt";
}
