#include <gtest/gtest.h>

#include "ui/WindowPlace.h"

TEST(WindowPlace, StartsCentredAndNoLargerThanTheAvailableArea) {
  const TBox screen{0, 0, 1366, 768};
  const struct {
    int Width, Height;
    TBox Available, Expected;
  } cases[] = {
      {900, 790, screen, {233, 0, 900, 768}},               // laptop: as tall as the screen
      {901, 701, screen, {232, 33, 901, 701}},              // fits: the centring truncates
      {900, 790, {0, 0, 1366, 740}, {233, 0, 900, 740}},    // a panel along the bottom
      {900, 600, {0, 40, 1366, 728}, {233, 84, 900, 600}},  // a panel along the top
      {1600, 700, {60, 0, 1306, 768}, {60, 34, 1306, 700}}, // a panel on the left, too wide
  };
  for (const auto& c : cases) {
    const TBox placed = CentreWindow(c.Width, c.Height, screen, c.Available);
    EXPECT_EQ(placed, c.Expected) << c.Width << "x" << c.Height << ": " << placed.Left << ","
                                  << placed.Top << " " << placed.Width << "x" << placed.Height;
  }
  // A stored window keeps its place; only its size is held to the available area.
  EXPECT_EQ(LimitSize({-300, 500, 1000, 900}, screen), (TBox{-300, 500, 1000, 768}));
  EXPECT_EQ(LimitSize({10, 20, 700, 500}, screen), (TBox{10, 20, 700, 500}));
  // Cut in one direction: room for the scroll bar that appears in the other.
  EXPECT_EQ(LimitSize({0, 0, 890, 790}, screen, 15), (TBox{0, 0, 905, 768}));
  EXPECT_EQ(LimitSize({0, 0, 1400, 500}, screen, 15), (TBox{0, 0, 1366, 515}));
  EXPECT_EQ(LimitSize({0, 0, 1360, 790}, screen, 15), (TBox{0, 0, 1366, 768}));
  EXPECT_EQ(LimitSize({0, 0, 890, 700}, screen, 15), (TBox{0, 0, 890, 700}));
  EXPECT_EQ(CentreWindow(890, 790, screen, screen, 15), (TBox{230, 0, 905, 768}));
}
