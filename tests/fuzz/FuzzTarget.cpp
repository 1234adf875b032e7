// libFuzzer entry for one check, chosen by VANTEL_FUZZ_CHECK when the target is compiled
// (clang++ -fsanitize=fuzzer).
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  VANTEL_FUZZ_CHECK(data, size);
  return 0;
}
