// Tests of the look-alike table: each entry folds in the encoder, the lossy-character scan and back.
#include "platform/LookAlikeFolds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/CodePage.h"
#include "platform/LossyCharacters.h"

namespace {

TEST(LookAlikeFolds, EachEntryIsWrittenAsItsLookAlikeAndCounted) {
  for (const TLookAlikeFold& fold : LookAlikeFolds()) {
    SCOPED_TRACE(testing::Message() << std::hex << "U+" << static_cast<unsigned>(fold.From));
    std::size_t replaced = 9;
    std::size_t folded = 9;
    const std::string written = UnicodeToAnsi(std::u16string(1, fold.From), &replaced, &folded);
    EXPECT_EQ(replaced, 0u);
    EXPECT_EQ(folded, 1u);
    EXPECT_EQ(AnsiToUnicode(written), std::u16string(1, fold.To));
    EXPECT_TRUE(IsFoldedToAnsi(fold.From));
    // The look-alike itself is code page 932's own character.
    UnicodeToAnsi(std::u16string(1, fold.To), &replaced, &folded);
    EXPECT_EQ(replaced + folded, 0u);
    EXPECT_FALSE(IsFoldedToAnsi(fold.To));
    const TLossyReport report = FindLossyCharacters(UnicodeToUtf8(std::u16string(3, fold.From)));
    EXPECT_EQ(report.Count, 0u);
    EXPECT_EQ(report.Folded, 3u);
  }
}

TEST(LookAlikeFolds, HoldsTheMappingDifferencesUsersMeetEveryDay) {
  const TLookAlikeFold expected[] = {{u'\u301C', u'\uFF5E'}, {u'\u2016', u'\u2225'}, {u'\u2212', u'\uFF0D'},
                                     {u'\u2014', u'\u2015'}, {u'\u00A2', u'\uFFE0'}, {u'\u00A3', u'\uFFE1'},
                                     {u'\u00AC', u'\uFFE2'}};
  const auto folds = LookAlikeFolds();
  for (const TLookAlikeFold& fold : expected) {
    EXPECT_TRUE(std::any_of(folds.begin(), folds.end(),
                            [&](const TLookAlikeFold& f) { return f.From == fold.From && f.To == fold.To; }))
        << std::hex << static_cast<unsigned>(fold.From);
  }
}

TEST(LookAlikeFolds, TheConvertersOwnFallbacksAreCountedAndTheRestStaysLossy) {
  std::size_t replaced = 0;
  std::size_t folded = 0;
  // An old form of a kanji is written as its common form; é has no form at all.
  EXPECT_EQ(UnicodeToAnsi(u"\u4FE0a\u00E9\u4FA0", &replaced, &folded), UnicodeToAnsi(u"\u4FA0a?\u4FA0"));
  EXPECT_EQ(replaced, 1u);
  EXPECT_EQ(folded, 1u);
  EXPECT_EQ(FindLossyCharacters("\u00E9").Folded, 0u);
}

}  // namespace
