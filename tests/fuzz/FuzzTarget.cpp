// libFuzzer entry: clang++ -fsanitize=fuzzer.
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckOneInput(data, size);
  return 0;
}
