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

TEST(WindowPlace, AKeptPlaceComesWhollyOntoTheScreen) {
  const TBox laptop{0, 0, 1366, 740}; // a panel along the bottom
  const struct {
    TBox Kept, Expected;
  } cases[] = {
      {{100, 50, 800, 600}, {100, 50, 800, 600}},     // on the area: kept as it was
      {{300, 0, 1500, 1200}, {0, 0, 1366, 740}},      // from a larger screen: as large as this one
      {{900, 200, 800, 600}, {566, 140, 800, 600}},   // past the right and bottom edges
      {{-2000, -900, 640, 480}, {0, 0, 640, 480}},    // on a screen no longer attached
      {{1366, 740, 300, 200}, {1066, 540, 300, 200}}, // just beyond the corner
  };
  for (const auto& c : cases) {
    const TBox kept = KeepOnArea(c.Kept, laptop);
    EXPECT_EQ(kept, c.Expected) << c.Kept.Left << "," << c.Kept.Top << ": " << kept.Left << ","
                                << kept.Top << " " << kept.Width << "x" << kept.Height;
  }

  // Two screens side by side: a window belongs to the one it overlaps most, else the nearest.
  const TBox areas[] = {{0, 0, 1920, 1050}, {1920, 0, 1366, 768}};
  EXPECT_EQ(AreaOf({1800, 100, 400, 300}, areas, 2), 1);
  EXPECT_EQ(AreaOf({1800, 100, 400, 300}, areas + 1, 1), 0);
  EXPECT_EQ(AreaOf({1700, 100, 400, 300}, areas, 2), 0);
  EXPECT_EQ(AreaOf({5000, 100, 400, 300}, areas, 2), 1); // right of the second screen
  EXPECT_EQ(AreaOf({-900, 2000, 400, 300}, areas, 2), 0);
  EXPECT_EQ(AreaOf({0, 0, 10, 10}, areas, 0), -1);
}

TEST(WindowPlace, AToolWindowOpensBesideTheMainWindowElseOverItsLeastPart) {
  const TBox fullHd{0, 0, 1920, 1050}, laptop{0, 0, 1366, 768};
  const TBox mainFullHd{545, 147, 830, 756}, mainLaptop{268, 0, 830, 768};
  const struct {
    TBox Main, Available, Expected;
  } cases[] = {
      // Room on both sides: the right one, as wide as the room, level with the main window.
      {mainFullHd, fullHd, {1375, 147, 545, 660}},
      // More room on the left: there, cut to the room; on the right when only it has room.
      {{1000, 100, 830, 756}, fullHd, {240, 100, 760, 660}},
      {{0, 100, 830, 756}, fullHd, {830, 100, 760, 660}},
      {{700, 100, 830, 756}, fullHd, {0, 100, 700, 660}}, // right 390, left 700
      // No room for a graph: over the main window, right edge at overRight, below overTop.
      {mainLaptop, laptop, {68, 95, 760, 660}},
      // Too tall below overTop by a little: shorter; by much: moved up on the area.
      {mainLaptop, {0, 0, 1366, 720}, {68, 95, 760, 625}},
      {mainLaptop, {0, 0, 1366, 500}, {68, 0, 760, 500}},
  };
  for (const auto& c : cases) {
    const int overRight = c.Main.Left + 560, overTop = c.Main.Top + 95;
    const TBox placed = PlaceBeside(760, 660, c.Main, c.Available, 500, overRight, overTop);
    EXPECT_EQ(placed, c.Expected) << c.Main.Left << ": " << placed.Left << "," << placed.Top << " "
                                  << placed.Width << "x" << placed.Height;
    // Wholly on the area, whatever the case.
    EXPECT_GE(placed.Left, c.Available.Left);
    EXPECT_GE(placed.Top, c.Available.Top);
    EXPECT_LE(placed.Left + placed.Width, c.Available.Left + c.Available.Width);
    EXPECT_LE(placed.Top + placed.Height, c.Available.Top + c.Available.Height);
  }
}
