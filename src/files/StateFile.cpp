#include "files/StateFile.h"

#include <cstdio>

#include "files/SafeRead.h"
#include "files/SafeWrite.h"
#include "files/Tokens.h"

std::string StateFileText(const TDeviceImage& image) {
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
  return std::string(text, used);
}

bool WriteStateFile(const std::string& path, const TDeviceImage& image, TFailureReport& failure) {
  return WriteFileSafely(path, StateFileText(image), failure, TFolder::Create);
}

void ReadStateText(std::string_view text, TDeviceImage& image) {
  TTokenReader words(text);
  std::string_view word;
  std::uint8_t* bytes = image.Bytes();
  for (int k = 0; k < ImageSize && words.Next(word); ++k) {
    // Digits only; anything else in a word ends the reading, and the bytes from here on keep
    // their values.
    unsigned value = 0;
    for (const char c : word) {
      if (c < '0' || c > '9') return;
      // Only the low 8 bits are kept, so an over-long number keeps the low bits of its
      // value without overflowing.
      value = (value * 10 + static_cast<unsigned>(c - '0')) & 0xFFu;
    }
    bytes[k] = static_cast<std::uint8_t>(value);
  }
}

void ReadStateFile(const std::string& path, TDeviceImage& image) {
  std::string text;
  TFailureReport failure;
  if (ReadFileSafely(path, text, failure)) ReadStateText(text, image);
}
