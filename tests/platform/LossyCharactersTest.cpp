// Tests of FindLossyCharacters: which characters code page 932 would turn into "?".
#include "platform/LossyCharacters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/CodePage.h"

namespace {

struct TLossyCase {
  const char* Name;
  std::string Text;
  std::size_t Limit;
  std::size_t Count;
  std::vector<std::string> Samples;
  std::size_t FirstOffset;
};

TEST(LossyCharacters, ReportsCountSamplesAndFirstOffset) {
  const TLossyCase cases[] = {
      {"empty", "", 5, 0, {}, 0},
      {"ascii and controls", "abc\r\n\t~\\", 5, 0, {}, 0},
      {"kana, kanji, vendor extensions", "あ漢ｱ①ⅰ髙", 5, 0, {}, 0},
      {"look-alike wave dash is not lost", "\u301C", 5, 0, {}, 0},
      {"look-alike cent, pound and not signs are not lost", "\u00A2\u00A3\u00AC", 5, 0, {}, 0},
      {"accented letter", "caf\u00E9", 5, 1, {"\u00E9"}, 3},
      {"emoji after kana", "あ\U0001F600", 5, 1, {"\U0001F600"}, 3},
      {"repeats counted, shown once", "\u00E9x\u00E9\u00E9", 5, 3, {"\u00E9"}, 0},
      {"samples in order of first use", "a\u00E9\uD55C\u00E9\u0101", 5, 4, {"\u00E9", "\uD55C", "\u0101"}, 1},
      {"limit caps the samples, not the count", "\u00E9\uD55C\u0101\U0001F600", 2, 4,
       {"\u00E9", "\uD55C"}, 0},
      {"zero limit", "\u00E9", 0, 1, {}, 0},
      {"ill-formed byte shows as U+FFFD", "ab\xFF" "c", 5, 1, {"\uFFFD"}, 2},
      {"cut-off sequence at the end", "a\xE3\x81", 5, 1, {"\uFFFD"}, 1},
  };
  for (const TLossyCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TLossyReport report = FindLossyCharacters(c.Text, c.Limit);
    EXPECT_EQ(report.Count, c.Count);
    EXPECT_EQ(report.Samples, c.Samples);
    EXPECT_EQ(report.FirstOffset, c.FirstOffset);
  }
}

// The count must be exactly the number of "?" the encoder writes for the text.
TEST(LossyCharacters, CountMatchesTheEncoderOverEveryBmpCharacter) {
  std::u16string units;
  for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    units.push_back(static_cast<char16_t>(c));
  }
  const std::string text = UnicodeToUtf8(units);
  std::size_t replaced = 0;
  UnicodeToAnsi(units, &replaced);
  const TLossyReport report = FindLossyCharacters(text);
  EXPECT_EQ(report.Count, replaced);
  EXPECT_GT(report.Count, 0u);
  EXPECT_EQ(report.Samples.size(), 5u);
  EXPECT_EQ(report.FirstOffset, 0u);  // U+0080 has no code page 932 form
}

}  // namespace
