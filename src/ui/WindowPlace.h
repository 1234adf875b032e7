// Where the main window starts on its screen. Rectangles in pixels; sizes are outer sizes
// (frame included) unless named otherwise.
#pragma once

struct TBox {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool operator==(const TBox&) const = default;
};

// The wanted outer size, no larger than the screen's available area (the screen less its
// panels), so the status bar and the bottom rows are never off screen. A window cut in
// height scrolls and is given the width of the scroll bar where there is room, and the
// other way round.
TBox LimitSize(TBox window, const TBox& available, int scrollBar = 0);

// The window of the given outer size centred on the screen, (screen - window) / 2 truncated
// toward zero, and then moved into the available area if a panel covers part of it.
TBox CentreWindow(int width, int height, const TBox& screen, const TBox& available,
                  int scrollBar = 0);

// The window wholly on the available area: no larger than it, and moved in where it sticks
// out (a place kept from a larger screen, or from a screen no longer attached). scrollBar
// as for LimitSize.
TBox KeepOnArea(TBox window, const TBox& available, int scrollBar = 0);

// Of several screens' available areas, the one a window belongs to: the one it overlaps
// most, else the nearest. -1 when there is none.
int AreaOf(const TBox& window, const TBox* areas, int count);

// Where a tool window first opens, given its wanted outer size and the main window's outer
// box: beside the main window on the side with more room, when at least minimumWidth fits
// there; else over the main window with its right edge at overRight and its top at overTop
// (the part of the main window that matters least), as wide as it wants. Always wholly on
// the available area.
TBox PlaceBeside(int width, int height, const TBox& main, const TBox& available, int minimumWidth,
                 int overRight, int overTop);
