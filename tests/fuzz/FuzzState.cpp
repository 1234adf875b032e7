// The state file's text reader: whatever the text, it fills a leading run of the image
// with the same bytes whatever the image held, leaves the rest and writes nothing outside;
// what it read is written and read back unchanged.
#include <cstring>
#include <string_view>

#include "FuzzCheck.h"
#include "files/StateFile.h"

namespace {

using TGuardedImage = TGuarded<TDeviceImage>;

// Two images that differ in every byte, so each byte the reader sets shows in both.
void Fill(TGuardedImage& g, std::uint8_t flip) {
  for (int i = 0; i < ImageSize; ++i) g.Value.Bytes()[i] = static_cast<std::uint8_t>(i * 7) ^ flip;
}

void ReadGuarded(std::string_view text, TGuardedImage& g) {
  ReadStateText(text, g.Value);
  if (!g.Intact()) FuzzFail("write outside the image");
}

} // namespace

void CheckStateInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TGuardedImage a, b;
  Fill(a, 0x00);
  Fill(b, 0xFF);
  const TDeviceImage beforeA = a.Value, beforeB = b.Value;
  ReadGuarded(text, a);
  ReadGuarded(text, b);

  // The bytes taken are the same in both; from the first byte that differs on, both kept theirs.
  int taken = 0;
  while (taken < ImageSize && a.Value.Bytes()[taken] == b.Value.Bytes()[taken]) ++taken;
  if (std::memcmp(a.Value.Bytes() + taken, beforeA.Bytes() + taken, ImageSize - taken) != 0 ||
      std::memcmp(b.Value.Bytes() + taken, beforeB.Bytes() + taken, ImageSize - taken) != 0)
    FuzzFail("a byte after the numbers read changed");

  const std::string written = StateFileText(a.Value);
  if (written.size() != static_cast<std::size_t>(ImageSize) * 6 + 20) FuzzFail("written size");
  TGuardedImage c;
  Fill(c, 0x5A);
  ReadGuarded(written, c);
  if (std::memcmp(c.Value.Bytes(), a.Value.Bytes(), ImageSize) != 0) FuzzFail("round trip");
}
