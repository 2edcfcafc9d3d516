// FindLossyCharacters: each character goes through the same code page 932 encoder the editor uses.
#include "platform/LossyCharacters.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>

#include "platform/CodePage.h"

TLossyReport FindLossyCharacters(std::string_view utf8, std::size_t sampleLimit) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8.data());
  TLossyReport report;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t start = i;
    UChar32 c = 0;
    U8_NEXT_OR_FFFD(bytes, i, utf8.size(), c);
    // ASCII always maps to itself; skip the encoder for the common case.
    if (c < 0x80) continue;
    char16_t units[U16_MAX_LENGTH];
    std::size_t length = 0;
    U16_APPEND_UNSAFE(units, length, c);
    std::size_t replaced = 0;
    std::size_t folded = 0;
    UnicodeToAnsi(std::u16string_view(units, length), &replaced, &folded);
    report.Folded += folded;
    if (replaced == 0) continue;
    if (report.Count++ == 0) report.FirstOffset = start;
    if (report.Samples.size() >= sampleLimit) continue;
    std::string sample = UnicodeToUtf8(std::u16string_view(units, length));
    if (std::find(report.Samples.begin(), report.Samples.end(), sample) == report.Samples.end()) {
      report.Samples.push_back(std::move(sample));
    }
  }
  return report;
}
