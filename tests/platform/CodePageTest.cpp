// Tests of the code page 932, UTF-16 and UTF-8 conversions.
#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "tests/TestData.h"

namespace {

constexpr auto npos = std::string_view::npos;

std::vector<std::string> SplitLf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(CodePage, AsciiIncludingControlsStaysAsItIs) {
  std::string ascii;
  std::u16string unicode;
  for (char c = 0; c < 0x7F; ++c) {
    ascii.push_back(static_cast<char>(c + 1));
    unicode.push_back(static_cast<char16_t>(c + 1));
  }
  EXPECT_EQ(AnsiToUnicode(ascii), unicode);
  EXPECT_EQ(UnicodeToAnsi(unicode), ascii);
  EXPECT_EQ(AnsiToUnicode(std::string(1, '\0')), std::u16string(1, u'\0'));
}

TEST(CodePage, DecodesSingleAndDoubleByteCharacters) {
  EXPECT_EQ(AnsiToUnicode("\xB1\xDF"), u"\uFF71\uFF9F");  // half-width katakana
  EXPECT_EQ(AnsiToUnicode("\x82\xA0\x81\x40"), u"\u3042\u3000");
  EXPECT_EQ(AnsiToUnicode("\x81\x5B"), u"\u30FC");  // trail byte "["
}

TEST(CodePage, DecodesTheVendorExtensions) {
  EXPECT_EQ(AnsiToUnicode("\x87\x40"), u"\u2460");  // NEC row 13
  EXPECT_EQ(AnsiToUnicode("\xED\x40"), u"\u7E8A");  // NEC-selected IBM
  EXPECT_EQ(AnsiToUnicode("\xFA\x40"), u"\u2170");  // IBM
  EXPECT_EQ(AnsiToUnicode("\xF0\x40\xF9\xFC"), u"\uE000\uE757");  // user-defined area
}

TEST(CodePage, EncodesDuplicatesAsTheWindowsTableDoes) {
  EXPECT_EQ(UnicodeToAnsi(u"\u2252"), "\x81\xE0");  // not NEC 0x8790
  EXPECT_EQ(UnicodeToAnsi(u"\u2170"), "\xFA\x40");  // not NEC-selected 0xEEEF
  EXPECT_EQ(UnicodeToAnsi(u"\u7E8A"), "\xFA\x5C");
  EXPECT_EQ(UnicodeToAnsi(u"\u2160"), "\x87\x54");  // NEC row 13 before IBM 0xFA4A
  EXPECT_EQ(UnicodeToAnsi(u"\uFFE2"), "\x81\xCA");
}

TEST(CodePage, UsesFallbacksAndReplacesTheRestByQuestionMarks) {
  EXPECT_EQ(UnicodeToAnsi(u"\u301C\u00A5"), "\x81\x60\\");
  std::size_t replaced = 99;
  EXPECT_EQ(UnicodeToAnsi(u"a\u00E9b\U0001F600c\xD800", &replaced), "a?b?c?");
  EXPECT_EQ(replaced, 3u);
  EXPECT_EQ(UnicodeToAnsi(u"abc", &replaced), "abc");
  EXPECT_EQ(replaced, 0u);
}

TEST(CodePage, LeadByteAlwaysTakesTheNextByte) {
  EXPECT_EQ(AnsiToUnicode("\x81\r\nA"), u"\uFFFD\nA");
  EXPECT_EQ(AnsiToUnicode("\x85[00]"), u"\uFFFD" u"00]");  // an undefined pair keeps its "["
  EXPECT_EQ(AnsiToUnicode("A\x82"), u"A\uFFFD");           // lone lead byte at the end
  EXPECT_EQ(AnsiToUnicode("\x80\xA0\xFD\xFE\xFF"), u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
}

TEST(CodePage, FindsTheFirstInvalidCharacter) {
  EXPECT_EQ(FindInvalidAnsi(""), npos);
  EXPECT_EQ(FindInvalidAnsi("A\x82\xA0\xB1\x87\x90"), npos);
  EXPECT_EQ(FindInvalidAnsi("AB\x80"), 2u);
  EXPECT_EQ(FindInvalidAnsi("\x82\xA0\x85\x40"), 2u);
  EXPECT_EQ(FindInvalidAnsi("\x82\xA0\x82"), 2u);
  // The second byte of 0x82 0x81 is a lead byte value, but it is taken as a trail.
  EXPECT_EQ(FindInvalidAnsi("\x81\x81\x81"), 2u);
  EXPECT_TRUE(IsValidAnsi("\x81\x81"));
  EXPECT_FALSE(IsValidAnsi("\x81\x0D\x0A"));
}

TEST(CodePage, Utf8RoundTrip) {
  const std::u16string text = u"A\u00E9\u3042\uFF71\U0001F600";
  const std::string utf8 = UnicodeToUtf8(text);
  EXPECT_EQ(utf8, "A\xC3\xA9\xE3\x81\x82\xEF\xBD\xB1\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToUnicode(utf8), text);
  EXPECT_TRUE(IsValidUtf8(utf8));
  EXPECT_EQ(UnicodeToUtf8(u"a\xDC00"), "a\xEF\xBF\xBD");
}

TEST(CodePage, RejectsIllFormedUtf8) {
  struct Case {
    const char* bytes;
    std::size_t offset;
  };
  const Case cases[] = {
      {"ab\x80", 2},                 // stray continuation byte
      {"\xE3\x81", 0},               // cut off at the end
      {"a\xE3\x41\x82", 1},          // missing continuation byte
      {"\xC0\xAF", 0},               // overlong
      {"\xED\xA0\x80", 0},           // surrogate
      {"\xF4\x90\x80\x80", 0},       // above U+10FFFF
      {"\xE3\x81\x82\xFF", 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindInvalidUtf8(c.bytes), c.offset) << c.bytes;
    EXPECT_FALSE(IsValidUtf8(c.bytes));
  }
  EXPECT_EQ(Utf8ToUnicode("a\x80" "b"), u"a\uFFFDb");
}

TEST(CodePage, LosslessDecodingEscapesOnlyWhatCannotComeBack) {
  EXPECT_EQ(AnsiToUnicodeLossless("A\x82\xA0\xF0\x40"), u"A\u3042\uE000");
  // Undefined byte, undefined pair holding a "[", duplicate NEC code, lone lead byte.
  EXPECT_EQ(AnsiToUnicodeLossless("\x80"), u"\U000F0080");
  EXPECT_EQ(AnsiToUnicodeLossless("\x85["), u"\U000F855B");
  EXPECT_EQ(AnsiToUnicodeLossless("\x87\x90"), u"\U000F8790");
  EXPECT_EQ(AnsiToUnicodeLossless("a\x82"), u"a\U000F0082");
}

TEST(CodePage, LosslessRoundTripOfArbitraryBytes) {
  std::mt19937 random(932);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 200; ++round) {
    std::string bytes(static_cast<std::size_t>(round), '\0');
    for (char& b : bytes) b = static_cast<char>(byte(random));
    ASSERT_EQ(UnicodeToAnsiLossless(AnsiToUnicodeLossless(bytes)), bytes) << "round " << round;
  }
}

TEST(CodePage, EncoderReferenceRoundTripsThroughUnicode) {
  VERSELET_REQUIRE_TESTDATA();
  const std::string ref = testdata::ReadBytes(testdata::Dir() / "sjis/encodingrs_shift_jis_out_ref.txt");
  ASSERT_FALSE(ref.empty());
  EXPECT_TRUE(IsValidAnsi(ref));
  EXPECT_EQ(UnicodeToAnsi(AnsiToUnicode(ref)), ref);
}

TEST(CodePage, DecoderTableMatchesCodePage932) {
  VERSELET_REQUIRE_TESTDATA();
  const std::string in = testdata::ReadBytes(testdata::Dir() / "sjis/encodingrs_shift_jis_in.txt");
  const std::vector<std::string> lines = SplitLf(in);
  ASSERT_EQ(lines.size(), 11284u);
  int invalid = 0;
  int changing = 0;
  for (std::size_t i = 4; i < lines.size(); ++i) {
    if (!IsValidAnsi(lines[i])) {
      ++invalid;
    } else if (UnicodeToAnsi(AnsiToUnicode(lines[i])) != lines[i]) {
      ++changing;
    }
  }
  EXPECT_EQ(invalid, 1676);
  EXPECT_EQ(changing, 398);
  EXPECT_EQ(UnicodeToAnsiLossless(AnsiToUnicodeLossless(in)), in);
}

TEST(CodePage, RealShiftJisFilesAreValidAndRoundTrip) {
  VERSELET_REQUIRE_TESTDATA();
  for (const char* name : {"sjis/gotext_rashomon-shift-jis.txt", "sjis/aozora2html_chukiichiran_kinyurei.txt",
                           "sjis/kenall_import-test.csv.txt"}) {
    const std::string bytes = testdata::ReadBytes(testdata::Dir() / name);
    ASSERT_FALSE(bytes.empty()) << name;
    EXPECT_TRUE(IsValidAnsi(bytes)) << name;
    const std::u16string text = AnsiToUnicode(bytes);
    EXPECT_EQ(UnicodeToAnsi(text), bytes) << name;
    EXPECT_EQ(AnsiToUnicodeLossless(bytes), text) << name;
  }
}

}  // namespace
