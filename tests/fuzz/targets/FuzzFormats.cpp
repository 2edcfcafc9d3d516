// libFuzzer target: the lyrics format conversions, the first byte choosing the format read.
#include "tests/fuzz/FuzzChecks.h"
#include "tests/fuzz/targets/FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return RunFuzzCheck<CheckFormats>(data, size);
}
