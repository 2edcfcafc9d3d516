// Tests of finding and replacing in Shift-JIS text: character boundaries, groups, wrap-around, positions.
#include "app/core/TextSearch.h"

#include <gtest/gtest.h>

#include <random>

#include "app/core/TextPositions.h"
#include "app/core/WidthFolding.h"
#include "editor/Ryxstrings.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/LeadByte.h"

namespace {

std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }
std::u16string U16(const std::string& utf8) { return Utf8ToUnicode(utf8); }

TTextSearch Search(const std::string& pattern, bool regex, bool matchCase = false) {
  return TTextSearch({U16(pattern), regex, matchCase});
}

TEST(TextSearchTest, ReplaceAllMatchesWholeCharactersOnly) {
  struct TCase {
    const char* Name;
    std::string Pattern;
    bool Regex;
    bool MatchCase;
    std::string Text;  // UTF-8
    std::string Replacement;
    std::size_t Count;
    std::string Expected;  // UTF-8
  };
  const TCase cases[] = {
      // "ー" is 0x81 0x5B: its trail byte is a "[" to a byte search.
      {"bracket beside a long vowel", "[", false, false, "ラー[1]ー", "(", 1, "ラー(1]ー"},
      {"regex bracket digit", "\\[[0-9]", true, false, "ー0ー[1ー", "<", 1, "ー0ー<ー"},
      {"backslash trail byte", "\\", false, false, "ソ表\\", "/", 1, "ソ表/"},
      {"plain text is literal", "a.c", false, false, "abc a.c", "x", 1, "abc x"},
      {"ignore ASCII case", "abc", false, false, "ABC abc AbC", "-", 3, "- - -"},
      {"match ASCII case", "abc", false, true, "ABC abc AbC", "-", 1, "ABC - AbC"},
      {"groups around Japanese", "\\[(\\d+):(\\d+)\\]", true, false, "[01:23]歌[45:06]", "<$2.$1>", 2,
       "<23.01>歌<06.45>"},
      {"dollar is literal in plain mode", "歌", false, false, "歌と歌", "$1$&", 2, "$1$&と$1$&"},
      // The empty end after the last line break is no line of its own.
      {"line anchors", "^", true, false, "一\r\n二\r\n", "> ", 2, "> 一\r\n> 二\r\n"},
      {"line end before CR LF", "る$", true, false, "走る\r\n見る", "った", 2, "走った\r\n見った"},
      {"dot stays on its line", "一.", true, false, "一\r\n一二", "X", 1, "一\r\nX"},
      {"no match", "ン", false, false, "アイウ", "x", 0, "アイウ"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTextSearch search({U16(c.Pattern), c.Regex, c.MatchCase});
    std::size_t count = 99;
    EXPECT_EQ(search.ReplaceAll(Sjis(c.Text), U16(c.Replacement), count), Sjis(c.Expected));
    EXPECT_EQ(count, c.Count);
  }
}

TEST(TextSearchTest, BytesThatAreNoCharacterSurviveAReplacement) {
  // An undefined double-byte code, then a lone lead byte at the very end.
  const std::string text = "a\x85\x40[a\x81";
  std::size_t count = 0;
  EXPECT_EQ(Search("a", false).ReplaceAll(text, u"bb", count), "bb\x85\x40[bb\x81");
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(Search("[", false).ReplaceAll(text, u"", count),
            "a\x85\x40"
            "a\x81");
}

TEST(TextSearchTest, FindNextWrapsRoundAndSkipsTheEmptySelection) {
  const std::string text = Sjis("ab歌ab歌");  // bytes: a b 歌(2) a b 歌(2)
  struct TCase {
    const char* Name;
    std::string Pattern;
    std::size_t SelStart, SelEnd;
    bool Forward;
    TTextMatch Expected;
    bool Wrapped;
  };
  const TCase cases[] = {
      {"from the start", "ab", 0, 0, true, {0, 2}, false},
      {"after the first match", "ab", 0, 2, true, {4, 6}, false},
      {"past the last wraps", "ab", 4, 6, true, {0, 2}, true},
      {"backward from the end", "ab", 8, 8, false, {4, 6}, false},
      {"backward before the first wraps", "ab", 0, 2, false, {4, 6}, true},
      {"double-byte match", "歌", 3, 3, true, {6, 8}, false},
      {"empty match at the caret is passed", "^", 0, 0, true, {0, 0}, true},
      {"empty match after the caret", "b*$", 0, 0, true, {8, 8}, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto search = Search(c.Pattern, true);
    const auto found = search.FindNext(text, c.SelStart, c.SelEnd, c.Forward);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->Match, c.Expected);
    EXPECT_EQ(found->Wrapped, c.Wrapped);
  }
  EXPECT_FALSE(Search("ン", false).FindNext(text, 0, 0, true).has_value());
}

TEST(TextSearchTest, ReplacementForTakesOnlyAnExactMatch) {
  const std::string text = Sjis("[12]歌[34]");
  auto search = Search("\\[(\\d)(\\d)\\]", true);
  EXPECT_EQ(search.ReplacementFor(text, {6, 10}, u"$2$1"), "43");
  EXPECT_FALSE(search.ReplacementFor(text, {6, 9}, u"$2$1").has_value());
  EXPECT_FALSE(search.ReplacementFor(text, {4, 6}, u"$2$1").has_value());
}

TEST(TextSearchTest, BadPatternRaisesConvertError) {
  EXPECT_THROW(Search("[", true).FindNext("abc", 0, 0, true), EConvertError);
  EXPECT_NO_THROW(Search("[", false).FindNext("abc", 0, 0, true));
}

// Random lyrics-like texts against a plain model: the "[" that are characters, read by the lead-byte rule.
TEST(TextSearchTest, RandomTextsCountOnlyBracketCharacters) {
  std::mt19937 random(20261208);
  const std::string pieces[] = {"[", "]", "a", "\r\n", Sjis("ー"), Sjis("表"), Sjis("ソ"), "0", "\x81"};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int n = static_cast<int>(random() % 40);
    for (int i = 0; i < n; ++i) text += pieces[random() % std::size(pieces)];
    std::size_t expected = 0;
    std::string model;
    for (std::size_t i = 0; i < text.size();) {
      const bool pair = IsDBCSLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
      if (!pair && text[i] == '[') {
        ++expected;
        model += "{";
      } else {
        model.append(text, i, pair ? 2 : 1);
      }
      i += pair ? 2 : 1;
    }
    std::size_t count = 0;
    ASSERT_EQ(Search("[", false).ReplaceAll(text, u"{", count), model) << round;
    ASSERT_EQ(count, expected) << round;
  }
}

TEST(TextPositionsTest, OffsetsAndRowsRoundTrip) {
  TRyxStrings lines;
  lines.SetText(Sjis("一行目\r\n\r\nabc"));
  const std::string text = lines.GetText();
  const TTextPositions positions(lines);
  const struct {
    std::size_t Offset;
    TRowCol Position;
  } cases[] = {{0, {0, 0}}, {6, {0, 6}}, {8, {1, 0}}, {10, {2, 0}}, {13, {2, 3}}};
  for (const auto& c : cases) {
    EXPECT_EQ(positions.PositionOf(c.Offset), c.Position) << c.Offset;
    EXPECT_EQ(positions.OffsetOf(c.Position), c.Offset) << c.Offset;
  }
  EXPECT_EQ(text.size(), 13u);
}

}  // namespace

namespace {

TEST(TextSearchTest, IgnoringWidthMatchesBothFormsAndKeepsTheRealText) {
  struct TCase {
    const char* Name;
    std::string Pattern;
    bool Regex;
    std::string Text;
    std::string Replacement;
    std::string Expected;
  };
  const TCase cases[] = {
      {"half-width kana with a voiced mark", "ガ", false, "ｶﾞｶガ", "[x]", "[x]ｶ[x]"},
      {"full-width letters and digits", "A1", false, "Ａ１ a1 A1", "-", "- - -"},
      {"a full-width pattern finds ASCII", "［", false, "[ー［", "(", "(ー("},
      {"a full-width operator stays literal", "＊", true, "a*b", "x", "axb"},
      {"groups take the text as it is", "(ﾊﾟ)(Ｘ)", true, "パＸ ﾊﾟX", "$2$1", "Ｘパ Xﾊﾟ"},
      {"the ideographic space is a space", "a　b", false, "a b a　b", "_", "_ _"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTextSearch search({U16(c.Pattern), c.Regex, false, true});
    std::size_t count = 0;
    EXPECT_EQ(search.ReplaceAll(Sjis(c.Text), U16(c.Replacement), count), Sjis(c.Expected));
  }
  // Without the option each form finds only itself.
  std::size_t count = 0;
  Search("ガ", false).ReplaceAll(Sjis("ｶﾞｶガ"), u"x", count);
  EXPECT_EQ(count, 1u);
}

}  // namespace

namespace {

TEST(WidthFoldingTest, JoinsOnlyMarksThatMakeOneCharacter) {
  const struct {
    const char* Text;
    const char* Folded;
    std::vector<std::size_t> Source;
  } cases[] = {
      {"ｶﾞﾂﾞﾃﾞﾊﾟｳﾞ", "ガヅデパヴ", {0, 2, 4, 6, 8}},
      {"ｱﾞｯﾞｶﾟ", "ア゛ッ゛カ゜", {0, 1, 2, 3, 4, 5}},  // no voiced form: the mark stays a mark
      {"ﾞｶ", "゛カ", {0, 1}},
      {"｢ｰ｣Ｚ～", "「ー」Z~", {0, 1, 2, 3, 4}},
  };
  for (const auto& c : cases) {
    std::vector<std::size_t> source;
    EXPECT_EQ(FoldWidth(U16(c.Text), &source), U16(c.Folded)) << c.Text;
    EXPECT_EQ(source, c.Source) << c.Text;
  }
}

}  // namespace

// The look before a search lets a line through exactly when it holds the
// pattern's bytes, ASCII letters in either case, and finds the first and
// last place where they start: random lines and patterns against a plain
// search of both lowered, lines long enough to take several lanes of the
// look and a rest.
TEST(TextSearchTest, TheByteLookFindsExactlyThePlacesThatHoldThePattern) {
  const auto lowered = [](std::string s) {
    for (char& c : s) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return s;
  };
  const std::vector<std::string> pieces = {"a", "B", "ab", "AB", "b", "x", "@", Sjis("あ"), "\x82", "\xa0", " ", "`", "Z"};
  std::mt19937 random(3);
  // Patterns of whole characters (a byte that is none has no look); lines of any bytes.
  const auto some = [&](std::size_t most, std::size_t kinds) {
    std::string s;
    for (std::size_t n = random() % (most + 1); n > 0; --n) s += pieces[random() % kinds];
    return s;
  };
  for (int round = 0; round < 3000; ++round) {
    std::string pattern = some(4, 8);
    if (pattern.empty()) pattern = "a";
    const TTextSearch search(TSearchOptions{AnsiToUnicode(pattern), false, false, false});
    const std::string line = some(round % 2 ? 12 : 60, pieces.size());
    const std::string low = lowered(line);
    const bool holds = low.find(lowered(pattern)) != std::string::npos;
    ASSERT_EQ(search.MayMatch(line), holds) << testing::PrintToString(line) << " / " << testing::PrintToString(pattern);
    ASSERT_EQ(search.BytePattern().Find(line), low.find(lowered(pattern))) << testing::PrintToString(line);
    ASSERT_EQ(search.BytePattern().FindLast(line), low.rfind(lowered(pattern))) << testing::PrintToString(line);
  }
}
