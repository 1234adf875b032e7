#include <gtest/gtest.h>

#include <cstring>

#include "model/Defaults.h"
#include "model/Normalise.h"

TEST(LoadDefaultParams, WritesTheTuneAndKeepsWiringAndUnknownBytes) {
  TIgnParams p;
  std::memset(&p, 0xA5, sizeof p);
  LoadDefaultParams(p);

  const std::uint8_t expected[BlockSize] = {
      0xA5, 2,  10,   100, 150, 6,  2,  0xA5, 0xA5, 1,  120, 20, 100, 0xA5, 0xA5, 0xA5, 1,
      100,  0,  0xA5, 10,  20,  30, 40, 50,   60,   70, 80,  90, 100, 110,  120,  130,  140,
      150,  10, 10,   10,  10,  10, 10, 10,   10,   10, 10,  10, 10,  10,   10,   10};
  EXPECT_EQ(std::memcmp(&p, expected, BlockSize), 0);

  // The defaults already satisfy the normalisation.
  TIgnParams q = p;
  TLanguage language = LangEnglish;
  std::uint8_t port = 1;
  NormaliseParams(q, language, port);
  EXPECT_EQ(std::memcmp(&p, &q, sizeof p), 0);
}
