// The minute of monitor frames behind the strip chart and the live trail.
#include <gtest/gtest.h>

#include <array>

#include "link/MonitorRing.h"

namespace {

using TFrame = std::array<std::uint8_t, 51>;

TFrame Frame(int rpm, int millivolts, int advance, bool pickup) {
  TFrame f{};
  f[0] = 0xB0;
  f[1] = rpm & 0xFF, f[2] = (rpm >> 8) & 0xFF;
  f[3] = millivolts & 0xFF, f[4] = (millivolts >> 8) & 0xFF;
  f[31] = static_cast<std::uint8_t>(advance + 100);
  f[42] = pickup;
  f[50] = 67;
  return f;
}

} // namespace

TEST(MonitorRing, TakesEachFrameAsTheMonitorShowsIt) {
  TMonitorRing ring;
  EXPECT_EQ(ring.Newest(), nullptr);
  EXPECT_EQ(ring.FirstSince(0), 0);
  ring.Push(Frame(6071, 12600, 32, true).data(), 1000);
  ring.Push(Frame(3000, 11000, -10, false).data(), 1330);
  ASSERT_EQ(ring.Size(), 2);
  EXPECT_EQ(ring[0].Rpm, 6071);
  EXPECT_EQ(ring[0].Millivolts, 12600);
  EXPECT_EQ(ring[0].Advance, 32);
  EXPECT_TRUE(ring[0].Pickup);
  // Without a pick-up signal the speed bytes mean nothing: 0 rpm, as the main window shows.
  EXPECT_EQ(ring.Newest()->Rpm, 0);
  EXPECT_EQ(ring.Newest()->Advance, -10);
  EXPECT_FALSE(ring.Newest()->Pickup);
  EXPECT_EQ(ring.Newest()->Ms, 1330);
}

TEST(MonitorRing, KeepsTheNewestWhenFullAndFindsSamplesByTime) {
  TMonitorRing ring;
  const int total = TMonitorRing::Capacity + 25;
  for (int i = 0; i < total; ++i) ring.Push(Frame(i, 12000, 0, true).data(), 55LL * i);
  ASSERT_EQ(ring.Size(), TMonitorRing::Capacity);
  EXPECT_EQ(ring[0].Rpm, 25);
  EXPECT_EQ(ring[ring.Size() - 1].Rpm, total - 1);
  EXPECT_EQ(ring.Newest()->Rpm, total - 1);
  // A minute of frames at one per tick is all there.
  EXPECT_LE(ring[0].Ms, ring.Newest()->Ms - 60000);

  EXPECT_EQ(ring.FirstSince(0), 0);
  EXPECT_EQ(ring[ring.FirstSince(55LL * 500)].Rpm, 500);
  EXPECT_EQ(ring[ring.FirstSince(55LL * 500 - 1)].Rpm, 500);
  EXPECT_EQ(ring[ring.FirstSince(55LL * 500 + 1)].Rpm, 501);
  EXPECT_EQ(ring.FirstSince(55LL * total), ring.Size()) << "nothing that new";
}
