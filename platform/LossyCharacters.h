// Finds the characters of a UTF-8 text that code page 932 has no form for.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct TLossyReport {
  std::size_t Count = 0;
  std::vector<std::string> Samples;
  std::size_t FirstOffset = 0;
  // Characters that are written as a look-alike character instead (see UnicodeToAnsi).
  std::size_t Folded = 0;
};

// Characters of a UTF-8 text that code page 932 cannot hold (they would become "?").
// Count counts every such character, repeats included; Samples holds the first
// distinct ones (at most sampleLimit) as UTF-8; FirstOffset is the byte offset
// of the first one (0 when Count is 0). An ill-formed UTF-8 sequence counts as
// one such character and is shown as U+FFFD, which is what the text decodes to.
// Folded counts the characters that UnicodeToAnsi folds.
TLossyReport FindLossyCharacters(std::string_view utf8, std::size_t sampleLimit = 5);
