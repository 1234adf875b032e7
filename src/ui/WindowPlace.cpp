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

TBox KeepOnArea(TBox window, const TBox& available, int scrollBar) {
  window = LimitSize(window, available, scrollBar);
  window.Left =
      std::clamp(window.Left, available.Left, available.Left + available.Width - window.Width);
  window.Top =
      std::clamp(window.Top, available.Top, available.Top + available.Height - window.Height);
  return window;
}

namespace {

long long Overlap(const TBox& a, const TBox& b) {
  const long long w = std::min(a.Left + a.Width, b.Left + b.Width) - std::max(a.Left, b.Left);
  const long long h = std::min(a.Top + a.Height, b.Top + b.Height) - std::max(a.Top, b.Top);
  return w > 0 && h > 0 ? w * h : 0;
}

// Squared distance between the centres, in doubled pixels so that halves stay whole.
long long CentreDistance(const TBox& a, const TBox& b) {
  const long long dx = (2LL * a.Left + a.Width) - (2LL * b.Left + b.Width);
  const long long dy = (2LL * a.Top + a.Height) - (2LL * b.Top + b.Height);
  return dx * dx + dy * dy;
}

} // namespace

int AreaOf(const TBox& window, const TBox* areas, int count) {
  int best = -1;
  long long bestOverlap = 0;
  for (int i = 0; i < count; ++i) {
    const long long overlap = Overlap(window, areas[i]);
    if (overlap > bestOverlap) best = i, bestOverlap = overlap;
  }
  if (best >= 0) return best;
  long long bestDistance = 0;
  for (int i = 0; i < count; ++i) {
    const long long distance = CentreDistance(window, areas[i]);
    if (best < 0 || distance < bestDistance) best = i, bestDistance = distance;
  }
  return best;
}

TBox PlaceBeside(int width, int height, const TBox& main, const TBox& available, int minimumWidth,
                 int overRight, int overTop) {
  const int areaRight = available.Left + available.Width;
  const int roomRight = areaRight - (main.Left + main.Width);
  const int roomLeft = main.Left - available.Left;
  TBox tool{0, main.Top, width, height};
  if (std::max(roomLeft, roomRight) >= minimumWidth) {
    const bool right = roomRight >= roomLeft;
    tool.Width = std::min(width, right ? roomRight : roomLeft);
    tool.Left = right ? main.Left + main.Width : main.Left - tool.Width;
  } else {
    tool.Left = overRight - width;
    tool.Top = overTop;
    // Shorter rather than up over what lies above overTop, while most of it stays.
    const int below = available.Top + available.Height - overTop;
    if (below < height && below >= height * 2 / 3) tool.Height = below;
  }
  return KeepOnArea(tool, available);
}
