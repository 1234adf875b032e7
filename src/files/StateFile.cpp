#include "files/StateFile.h"

#include <cstdio>

#include "files/SafeRead.h"
#include "files/SafeWrite.h"

bool WriteStateFile(const std::string& path, const TDeviceImage& image, TFailureReport& failure) {
  constexpr int PerLine = 10;
  char text[ImageSize * 6 + (ImageSize / PerLine) * 2 + 1];
  std::size_t used = 0;
  const std::uint8_t* bytes = image.Bytes();
  for (int i = 0; i < ImageSize; ++i) {
    used += static_cast<std::size_t>(
        std::snprintf(text + used, sizeof text - used, "%5u ", static_cast<unsigned>(bytes[i])));
    if (i % PerLine == PerLine - 1) {
      text[used++] = '\r';
      text[used++] = '\n';
    }
  }
  return WriteFileSafely(path, std::string_view(text, used), failure, TFolder::Create);
}

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

void ReadStateFile(const std::string& path, TDeviceImage& image) {
  std::string text;
  TFailureReport failure;
  if (!ReadFileSafely(path, text, failure)) return;

  std::uint8_t* bytes = image.Bytes();
  std::size_t i = 0;
  for (int k = 0; k < ImageSize; ++k) {
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (i == text.size()) return;
    // Digits up to the next blank; anything else in the token ends the reading, and the
    // bytes from here on keep their values.
    std::size_t end = i;
    while (end < text.size() && !IsSpace(text[end])) ++end;
    unsigned value = 0;
    for (std::size_t j = i; j < end; ++j) {
      if (text[j] < '0' || text[j] > '9') return;
      // Only the low 8 bits are kept, so an over-long number keeps the low bits of its
      // value without overflowing.
      value = (value * 10 + static_cast<unsigned>(text[j] - '0')) & 0xFFu;
    }
    bytes[k] = static_cast<std::uint8_t>(value);
    i = end;
  }
}
