// Tests of the width and kana conversions: every code page 932 character against ICU, tags kept, rows counted.
#include "app/core/KanaWidthConversion.h"

#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/LeadByte.h"
#include "platform/Transliterator.h"

namespace {

std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }

std::string Convert(TKanaWidthTarget target, const std::string& text) {
  TKanaWidthConverter converter(target);
  std::string out;
  converter.Convert(text, out);
  return out;
}

const std::pair<TKanaWidthTarget, const char*> kTargets[] = {
    {TKanaWidthTarget::Halfwidth, "Fullwidth-Halfwidth"},
    {TKanaWidthTarget::Fullwidth, "Halfwidth-Fullwidth"},
    {TKanaWidthTarget::Katakana, "Hiragana-Katakana"},
    {TKanaWidthTarget::Hiragana, "Katakana-Hiragana"},
};

TEST(KanaWidthConversion, EveryCharacterOfCodePage932IsWhatIcuMakesOfIt) {
  for (const auto& [target, id] : kTargets) {
    SCOPED_TRACE(id);
    TKanaWidthConverter converter(target);
    const TTransliterator icu(id);
    std::size_t changed = 0;
    for (unsigned code = 0x20; code <= 0xFFFF; ++code) {
      const bool pair = code > 0xFF;
      if (pair != IsDBCSLeadByte(static_cast<unsigned char>(pair ? code >> 8 : code)) || code == 0x7F) continue;
      std::string bytes;
      if (pair) bytes.push_back(static_cast<char>(code >> 8));
      bytes.push_back(static_cast<char>(code & 0xFF));
      const std::u16string unicode = AnsiToUnicode(bytes);
      if (unicode == u"\uFFFD" || UnicodeToAnsi(unicode) != bytes) continue;  // no character of its own
      std::size_t missing = 0;
      const std::string made = UnicodeToAnsi(icu.Apply(unicode), &missing);
      const std::string expected = missing == 0 ? made : bytes;
      std::string out;
      changed += converter.Convert(bytes, out);
      ASSERT_EQ(out, expected) << std::hex << code;
    }
    EXPECT_GT(changed, 50u);
  }
}

TEST(KanaWidthConversion, VoicedKanaTagsAndCharactersShiftJisLacks) {
  const struct {
    TKanaWidthTarget Target;
    const char* Text;
    const char* Expected;
  } cases[] = {
      {TKanaWidthTarget::Halfwidth, "[00:01.00]ガパ Ａ１　ー<00:02.00>。", "[00:01.00]ｶﾞﾊﾟ A1 ｰ<00:02.00>｡"},
      {TKanaWidthTarget::Fullwidth, "[00:01.00]ｶﾞﾊﾟ A1<00:02.00>ﾜﾞ", "[00:01.00]ガパ　Ａ１<00:02.00>ﾜﾞ"},
      {TKanaWidthTarget::Fullwidth, "[ti:ｶﾞA]\r\n@Title=ｶﾞ", "[ti:ｶﾞA]\r\n@Title=ｶﾞ"},
      {TKanaWidthTarget::Halfwidth, "￣", "￣"},  // its half-width form ¯ is not in Shift-JIS
      {TKanaWidthTarget::Katakana, "ぱゝ\r\nあ", "パヽ\r\nア"},
      {TKanaWidthTarget::Hiragana, "パヴｶﾞ", "ぱヴが"},  // ゔ is not in Shift-JIS
  };
  for (const auto& c : cases) EXPECT_EQ(Convert(c.Target, Sjis(c.Text)), Sjis(c.Expected)) << c.Text;
  // Bytes that are no character stay.
  EXPECT_EQ(Convert(TKanaWidthTarget::Fullwidth, "\x85\x40" "a\x81"), "\x85\x40\x82\x81\x81");
}

TEST(KanaWidthConversion, TheFilterCountsThePlayerRowsOfTheLinesItChanged) {
  TKanaWidthFilter filter(TKanaWidthTarget::Halfwidth, 8);
  const std::string out = filter.Apply(Sjis("アイウエオカキク\r\nabc\r\nガギ"));
  EXPECT_EQ(out, Sjis("ｱｲｳｴｵｶｷｸ\r\nabc\r\nｶﾞｷﾞ"));
  EXPECT_EQ(filter.Changed(), 10u);
  EXPECT_EQ(filter.RowsBefore(), 3u);
  EXPECT_EQ(filter.RowsAfter(), 2u);
}

}  // namespace
