// The libFuzzer entry point over one of the shared checks: a fault found is printed and aborts the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

template <std::string (*Check)(std::string_view)>
int RunFuzzCheck(const std::uint8_t* data, std::size_t size) {
  const std::string fault = Check(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!fault.empty()) {
    std::fprintf(stderr, "fault: %s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
