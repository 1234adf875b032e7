#include <gtest/gtest.h>

#include "link/Frame.h"

TEST(Frame, WorkedCheckBytes) {
  const TDeviceImage image{};
  struct Case {
    std::uint8_t Command;
    std::uint8_t Check;
  };
  for (const Case c : {Case{0x30, 0xCF}, Case{0x40, 0xBF}, Case{0x41, 0xBE}, Case{0xC0, 0x3F}}) {
    TLinkFrame frame{};
    BuildBlockFrame(frame, c.Command, true, image);
    EXPECT_EQ(frame[51], c.Check) << int(c.Command);
    EXPECT_TRUE(FrameCheckOk(frame.data()));
  }
  TLinkFrame monitor;
  monitor.fill(0x55);
  BuildMonitorRequest(monitor);
  TLinkFrame expected{};
  expected[0] = 0x30;
  expected[51] = 0xCF;
  EXPECT_EQ(monitor, expected);
}

TEST(Frame, AnySingleCorruptedByteFailsTheCheck) {
  TDeviceImage image{};
  for (int i = 0; i < ImageSize; ++i) image.Bytes()[i] = static_cast<std::uint8_t>(i * 7 + 3);
  TLinkFrame frame;
  BuildBlockFrame(frame, 0x01, false, image);
  ASSERT_TRUE(FrameCheckOk(frame.data()));
  for (int i = 0; i < FrameSize; ++i) {
    TLinkFrame bad = frame;
    bad[i] ^= 0x10;
    EXPECT_FALSE(FrameCheckOk(bad.data())) << "byte " << i;
  }
}

TEST(Frame, ReadCarriesZerosAndWritesOrVerifyCarryTheImageBlock) {
  TDeviceImage image{};
  for (int i = 0; i < ImageSize; ++i) image.Bytes()[i] = static_cast<std::uint8_t>(200 - i);
  struct Case {
    std::uint8_t Command;
    bool Zero;
    int Block; // -1: zero payload
  };
  for (const Case c : {Case{0x40, true, -1}, Case{0x41, true, -1}, Case{0x41, false, 1},
                       Case{0x00, false, 0}, Case{0x01, false, 1}}) {
    TLinkFrame frame;
    frame.fill(0xEE);
    BuildBlockFrame(frame, c.Command, c.Zero, image);
    EXPECT_EQ(frame[0], c.Command);
    for (int i = 0; i < PayloadSize; ++i)
      ASSERT_EQ(frame[1 + i], c.Block < 0 ? 0 : image.Block(c.Block)[i])
          << int(c.Command) << " byte " << i;
    EXPECT_TRUE(FrameCheckOk(frame.data()));
  }
}
