#include "link/TestMarker.h"

#include <string_view>

#include "files/SafeRead.h"
#include "files/Tokens.h"
#include "model/SettingsDir.h"

namespace {

constexpr std::string_view MarkerWord = "DIAG_UNLOCK";

} // namespace

bool ReadTestMarker(const std::string& path) {
  std::string text;
  TFailureReport failure;
  if (!ReadFileSafely(path, text, failure)) return false;
  TTokenReader words(text);
  for (std::string_view word; words.Next(word);)
    if (word == MarkerWord) return true;
  return false;
}

std::string TestMarkerPath() {
  return SettingsDirectory() + "/test_qorvin.txt";
}
