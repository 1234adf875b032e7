#include "ui/PrintFit.h"

#include <cstdint>

TPrintRect FitToPage(int imageW, int imageH, int pageW, int pageH) {
  if (imageW <= 0 || imageH <= 0 || pageW <= 0 || pageH <= 0) return {};
  // 64-bit products: a high-resolution page times a tall window overflows 32 bits.
  const std::int64_t widthAtFullHeight = std::int64_t{imageW} * pageH / imageH;
  if (widthAtFullHeight < pageW) return {0, 0, static_cast<int>(widthAtFullHeight), pageH};
  return {0, 0, pageW, static_cast<int>(std::int64_t{imageH} * pageW / imageW)};
}
