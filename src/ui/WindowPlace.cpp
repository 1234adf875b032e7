#include "ui/WindowPlace.h"

#include <algorithm>

TBox LimitSize(TBox window, const TBox& available, int scrollBar) {
  const bool cutHeight = window.Height > available.Height;
  const bool cutWidth = window.Width > available.Width;
  if (cutHeight && !cutWidth) window.Width += scrollBar;
  if (cutWidth && !cutHeight) window.Height += scrollBar;
  window.Width = std::min(window.Width, available.Width);
  window.Height = std::min(window.Height, available.Height);
  return window;
}

TBox CentreWindow(int width, int height, const TBox& screen, const TBox& available, int scrollBar) {
  TBox window = LimitSize({0, 0, width, height}, available, scrollBar);
  window.Left = screen.Left + (screen.Width - window.Width) / 2;
  window.Top = screen.Top + (screen.Height - window.Height) / 2;
  window.Left =
      std::clamp(window.Left, available.Left, available.Left + available.Width - window.Width);
  window.Top =
      std::clamp(window.Top, available.Top, available.Top + available.Height - window.Height);
  return window;
}
