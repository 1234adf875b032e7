// Prints where a program in this executable's place finds its logo and each manual, so a
// check can copy it beside an installed program and see what that program would find.
#include <cstdio>

#include "ui/Assets.h"
#include "ui/Manual.h"

int main() {
  std::printf("logo %s\n", FindAssetFile("logo_main.jpg").c_str());
  for (const char* code : {"en", "de", "fr", "cz"}) {
    const std::string name = std::string("manual_vantel_") + code + ".pdf";
    std::printf("manual %s\n", FindManualFile(name).c_str());
  }
  return 0;
}
