#include "link/TestMarker.h"

#include <cstring>
#include <fstream>

#include "model/SettingsDir.h"

namespace {

constexpr char MarkerWord[] = "DIAG_UNLOCK";
constexpr std::size_t MarkerLength = sizeof MarkerWord - 1;

bool IsSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

bool ReadTestMarker(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  // Only the first characters of a word are kept; a longer word is counted, never stored,
  // so no word can overrun the buffer and none that is longer can match.
  char word[MarkerLength + 1];
  std::size_t length = 0;
  std::streambuf* source = in.rdbuf();
  for (;;) {
    const int c = source->sbumpc();
    const bool end = c == std::char_traits<char>::eof();
    if (end || IsSpace(c)) {
      if (length == MarkerLength && std::memcmp(word, MarkerWord, MarkerLength) == 0) return true;
      length = 0;
      if (end) return false;
      continue;
    }
    if (length < MarkerLength) word[length] = static_cast<char>(c);
    if (length <= MarkerLength) ++length;
  }
}

std::string TestMarkerPath() {
  return SettingsDirectory() + "/test_qorvin.txt";
}
