// libFuzzer target: editing sessions on the headless host.
#include "tests/fuzz/FuzzChecks.h"
#include "tests/fuzz/targets/FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return RunFuzzCheck<CheckEditingSession>(data, size);
}
