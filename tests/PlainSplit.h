// The line store's split rule written as plainly as it reads, for the tests and fuzzers to check the store against.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A piece ends after CR LF, or after a NUL and the byte that follows it; the
// last piece runs to the end of the text.
inline std::vector<std::string> PlainSplit(std::string_view text) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '\0' || (text[i] == '\r' && text[i + 1] == '\n')) {
      pieces.emplace_back(text.substr(start, i + 2 - start));
      start = i + 2;
      ++i;
    }
  }
  if (start < text.size()) pieces.emplace_back(text.substr(start));
  return pieces;
}
