// libFuzzer target: a pattern searched in a text, whole and line by line, within the time limit.
#include "tests/fuzz/FuzzChecks.h"
#include "tests/fuzz/targets/FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return RunFuzzCheck<CheckSearch>(data, size);
}
