// Locating the shared real-world test files; tests skip when they are absent.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace testdata {

// The folder of shared test files, or an empty path when this checkout has none.
inline std::filesystem::path Dir() {
  std::filesystem::path dir(VERSELET_TESTDATA_DIR);
  std::error_code ec;
  return std::filesystem::is_directory(dir, ec) ? dir : std::filesystem::path();
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace testdata

// Skips the current test when the shared test files are not there.
#define VERSELET_REQUIRE_TESTDATA()                                        \
  do {                                                                     \
    if (testdata::Dir().empty()) GTEST_SKIP() << "shared testdata absent"; \
  } while (0)
