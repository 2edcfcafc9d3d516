// libFuzzer target: text dragged and dropped on the headless host, unwrapped and wrapped, against a plain model.
#include "tests/fuzz/FuzzChecks.h"
#include "tests/fuzz/targets/FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return RunFuzzCheck<CheckDragSession>(data, size);
}
