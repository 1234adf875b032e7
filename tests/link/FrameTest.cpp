#include <gtest/gtest.h>

#include "link/Frame.h"

TEST(Frame, CheckBytesPayloadsAndCorruption) {
  TDeviceImage image{};
  for (int i = 0; i < ImageSize; ++i) image.Bytes()[i] = static_cast<std::uint8_t>(200 - i);
  struct Case {
    std::uint8_t Command;
    bool Zero;
    int Block; // -1: fifty zero bytes
    int Check; // -1: not a worked example
  };
  for (const Case c :
       {Case{0x30, true, -1, 0xCF}, Case{0x40, true, -1, 0xBF}, Case{0x41, true, -1, 0xBE},
        Case{0xC0, true, -1, 0x3F}, Case{0x41, false, 1, -1}, Case{0x00, false, 0, -1},
        Case{0x01, false, 1, -1}}) {
    TLinkFrame f;
    f.fill(0xEE);
    BuildBlockFrame(f, c.Command, c.Zero, image);
    ASSERT_TRUE(FrameCheckOk(f.data()));
    EXPECT_TRUE(c.Check < 0 || f[51] == c.Check) << int(c.Command);
    for (int i = 0; i < PayloadSize; ++i)
      ASSERT_EQ(f[1 + i], c.Block < 0 ? 0 : image.Block(c.Block)[i]) << int(c.Command);
    for (int i = 0; i < FrameSize; ++i) {
      TLinkFrame bad = f;
      bad[i] ^= 0x10;
      ASSERT_FALSE(FrameCheckOk(bad.data())) << "byte " << i;
    }
  }
  TLinkFrame monitor, expected{};
  monitor.fill(0x55);
  BuildMonitorRequest(monitor);
  expected[0] = 0x30;
  expected[51] = 0xCF;
  EXPECT_EQ(monitor, expected);
}
