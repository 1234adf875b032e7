// vantel-man: writes the manual page of an installed program from its --help description.
// A build step, not installed: vantel-man NAME FILE
#include <cstdio>
#include <string>

#include "usage/Usage.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: vantel-man PROGRAM FILE\n", stderr);
    return 2;
  }
  const TProgramUsage* usage = FindProgramUsage(argv[1]);
  if (usage == nullptr) {
    std::fprintf(stderr, "vantel-man: no description of %s\n", argv[1]);
    return 2;
  }
  std::FILE* out = std::fopen(argv[2], "wb");
  if (out == nullptr) {
    std::perror(argv[2]);
    return 1;
  }
  const bool written = WriteText(ManPage(*usage), out);
  if (std::fclose(out) != 0 || !written) {
    std::fprintf(stderr, "vantel-man: cannot write %s\n", argv[2]);
    std::remove(argv[2]);
    return 1;
  }
  return 0;
}
