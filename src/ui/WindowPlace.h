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
