// The fuzz checks' reader of their input: bytes taken one by one or in runs, 0 once the input is used up.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

class TReader {
 public:
  explicit TReader(std::string_view bytes) : FBytes(bytes) {}
  bool Done() const { return FPos >= FBytes.size(); }
  unsigned Byte() { return Done() ? 0u : static_cast<unsigned char>(FBytes[FPos++]); }
  std::string_view Take(std::size_t n) {
    const std::string_view taken = FBytes.substr(std::min(FPos, FBytes.size()), n);
    FPos += taken.size();
    return taken;
  }

 private:
  std::string_view FBytes;
  std::size_t FPos = 0;
};
