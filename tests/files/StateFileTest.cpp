#include <cstring>

#include "files/StateFile.h"
#include "support/TempHomeTest.h"

namespace {

struct TStateFileTest : TTempHomeTest {
  std::string path;
  void SetUp() override {
    TTempHomeTest::SetUp();
    path = (dir / "_vantel.ini").string();
  }
  static TDeviceImage Filled(std::uint8_t value) {
    TDeviceImage image;
    std::memset(&image, value, sizeof image);
    return image;
  }
};

} // namespace

TEST_F(TStateFileTest, WritesTenLinesOfTenFieldsAndReadsThemBack) {
  TDeviceImage image = Filled(0);
  image.Bytes()[0] = 255;
  image.Bytes()[1] = 7;
  image.Bytes()[10] = 42;
  image.Bytes()[99] = 100;
  TFailureReport error;
  ASSERT_TRUE(WriteStateFile(path, image, error)) << DescribeFailure(error, LangEnglish);
  std::string expected = "  255     7     0     0     0     0     0     0     0     0 \r\n"
                         "   42     0     0     0     0     0     0     0     0     0 \r\n";
  for (int line = 2; line < 9; ++line)
    expected += "    0     0     0     0     0     0     0     0     0     0 \r\n";
  expected += "    0     0     0     0     0     0     0     0     0   100 \r\n";
  EXPECT_EQ(Slurp(path), expected);

  TDeviceImage read = Filled(0xEE);
  ReadStateFile(path, read);
  EXPECT_EQ(std::memcmp(&image, &read, sizeof read), 0);
}

TEST_F(TStateFileTest, ReadingStopsAtEndTokenOrHundredthNumber) {
  std::string fifty, many;
  for (int i = 0; i < 50; ++i) fifty += std::to_string(i + 1) + (i % 10 == 9 ? "\n" : " ");
  for (int i = 0; i < 150; ++i) many += std::to_string(i + 1) + " ";
  struct {
    const char* name;
    std::string text;
    int restored; // bytes 0..restored-1 take i+1, the rest keep 0xEE
  } const table[] = {
      {"empty", "", 0},
      {"fifty numbers: block 0 only", fifty, 50},
      {"150 numbers", many, 100},
      {"token ends the reading", "1 2 3 x 5 6", 3},
      {"digits then letters", "1 2 3 4a 5", 3},
      {"signed", "1 -2 3", 1},
      {"tabs and CR LF", "1\t2\r\n3\r\n", 3},
  };
  for (const auto& row : table) {
    Put(path, row.text);
    struct {
      TDeviceImage image;
      std::uint8_t guard[8]; // nothing beyond the image is written
    } probe;
    std::memset(&probe, 0xEE, sizeof probe);
    ReadStateFile(path, probe.image);
    for (int i = 0; i < ImageSize; ++i)
      ASSERT_EQ(probe.image.Bytes()[i], i < row.restored ? i + 1 : 0xEE) << row.name << " " << i;
    for (std::uint8_t g : probe.guard) ASSERT_EQ(g, 0xEE) << row.name;
  }
  std::filesystem::remove(path);
  TDeviceImage image = Filled(0xEE);
  ReadStateFile(path, image); // missing file
  EXPECT_EQ(image.Bytes()[0], 0xEE);
}

TEST_F(TStateFileTest, OverLongNumbersKeepTheirLowEightBits) {
  // 2^64 + 1 and 10^30 + 300 overflow every integer type.
  Put(path,
      "256 511 18446744073709551617 1000000000000000000000000000300 0000000000000000000000042");
  TDeviceImage image = Filled(0xEE);
  ReadStateFile(path, image);
  const std::uint8_t expected[] = {0, 255, 1, 44, 42, 0xEE};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(image.Bytes()[i], expected[i]) << i;
}
