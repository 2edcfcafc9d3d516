// libFuzzer target: the line store's loaders, split rule and saving.
#include "tests/fuzz/FuzzChecks.h"
#include "tests/fuzz/targets/FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return RunFuzzCheck<CheckLoaders>(data, size);
}
