// Units of karaoke lines and the word tags written for them, byte for byte, in both file forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/WordTagTools.h"
#include "app/core/WordTags.h"
#include "app/core/WordUnits.h"
#include "platform/CodePage.h"

namespace {

using namespace std::chrono_literals;

std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }
std::string Utf8(const std::string& sjis) { return UnicodeToUtf8(AnsiToUnicode(sjis)); }

// The units as "tag+text|tag+text", the end tag after a "$".
std::string Shown(const std::string& line, const TLineUnits& units) {
  std::string shown;
  for (const TWordUnit& unit : units.Units) {
    if (!shown.empty()) shown += "|";
    if (unit.Tag) shown += line.substr(unit.Tag->Start, unit.Tag->Length);
    shown += line.substr(unit.Start, unit.End - unit.Start);
  }
  if (units.EndTag) shown += "$" + line.substr(units.EndTag->Start, units.EndTag->Length);
  return Utf8(shown);
}

TEST(WordUnitsTest, LinesSplitIntoUnitsByCharacterKindAndByTheirTags) {
  const struct {
    const char* Line;
    const char* Units;
  } cases[] = {
      {"夜空にひかる星", "夜|空|に|ひ|か|る|星"},
      {"きゃりーぱみゅぱみゅ", "きゃ|りー|ぱ|みゅ|ぱ|みゅ"},  // small kana and the long mark stay
      {"ファイトッ！", "ファ|イ|トッ！"},
      {"ｶﾞｯｺｳﾉ ﾁｬｲﾑ", "ｶﾞｯ|ｺ|ｳ|ﾉ |ﾁｬ|ｲ|ﾑ"},                          // half-width kana with dakuten, a blank
      {"Hello world, ありがとう", "Hello |world, |あ|り|が|と|う"},  // ASCII by words
      {"Loveしてる 2人", "Love|し|て|る |2|人"},
      {"「君」と、僕。", "「君」|と、|僕。"},  // brackets and punctuation
      {"  空　を", "空　|を"},                 // leading blanks belong to none
      {"[00:12.30]<00:12.30>夜<00:12.80>空<00:13.20>に", "<00:12.30>夜|<00:12.80>空|<00:13.20>に"},
      {"[00:16.10]<00:16.10>きみの<00:16.90>名前を", "<00:16.10>きみの|<00:16.90>名前を"},  // tags mark units
      {"[00:12:30]夜[00:12:80]空にひかる", "夜|[00:12:80]空にひかる"},  // .kra: the line tag times the first
      {"[00:16.10]きみ<00:16.90>名前を<00:19.00> ", "き|み|<00:16.90>名前を$<00:19.00>"},  // an end tag
      {"[00:27.1x]また", "[00:27.1x]|ま|た"},                                              // a broken tag is text
      {"[ti:星のうた]", ""},                                                               // an ID tag line has none
      {"[00:10.00]", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    const std::string line = Sjis(c.Line);
    EXPECT_EQ(Shown(line, SplitUnits(line)), c.Units) << c.Line;
  }
}

TEST(WordUnitsTest, TheCaretsUnitReachesFromThePreviousUnitsEndToItsOwn) {
  // Untagged text before the first word tag is split by character; a tag marks its unit.
  const std::string line = Sjis("[00:01.00]夜 空<00:03.00>に");
  const TLineUnits units = SplitUnits(line);
  ASSERT_EQ(units.Units.size(), 3u);
  const struct {
    std::size_t Col, Index;
  } cases[] = {{0, 0}, {10, 0}, {12, 0}, {13, 1}, {14, 1}, {15, 2}, {25, 2}, {26, 2}, {27, 3}};
  for (const auto& c : cases) EXPECT_EQ(units.IndexAt(c.Col), c.Index) << c.Col;
  EXPECT_EQ(units.TimeOf(0), 1000);  // the line tag times the first
  EXPECT_EQ(units.TimeOf(1), std::nullopt);
  EXPECT_EQ(units.TimeOf(2), 3000);
  EXPECT_FALSE(units.Timed(1));
  // Tags aside, the text is what the player shows; unit starts are offsets into it.
  EXPECT_EQ(Utf8(TagFreeText(line)), "夜 空に");
  EXPECT_EQ(UnitStarts(line), (std::vector<std::size_t>{0, 3, 5}));
}

// Stamps unit after unit, as word mode does, then the end; every step shown.
std::vector<std::string> StampedInTurn(const std::string& fileName, const std::string& utf8Line) {
  std::string line = Sjis(utf8Line);
  const TWordFormat format = WordFormatOf(fileName, line);
  const std::vector<std::size_t> starts = UnitStarts(line);
  std::vector<std::string> steps;
  auto apply = [&](const TLineEdit& edit) {
    line.replace(edit.Start, edit.Length, edit.Text);
    steps.push_back(Utf8(line));
  };
  for (std::size_t i = 0; i < starts.size(); ++i)
    apply(UnitStampEdit(line, UnitsAt(line, starts), i, TMillis{12300 + 450 * static_cast<long long>(i)}, format));
  apply(*UnitEndEdit(line, UnitsAt(line, starts), 15005ms, format));
  return steps;
}

TEST(WordTagsTest, UnitsAreStampedInTheFormOfTheFile) {
  using V = std::vector<std::string>;
  EXPECT_EQ(StampedInTurn("song.lrc", "夜空 に"),
            (V{"[00:12.30]<00:12.30>夜空 に", "[00:12.30]<00:12.30>夜<00:12.75>空 に",
               "[00:12.30]<00:12.30>夜<00:12.75>空 <00:13.20>に",
               "[00:12.30]<00:12.30>夜<00:12.75>空 <00:13.20>に<00:15.01>"}));
  EXPECT_EQ(StampedInTurn("song.KRA", "夜空 に"),
            (V{"[00:12:30]夜空 に", "[00:12:30]夜[00:12:75]空 に", "[00:12:30]夜[00:12:75]空 [00:13:20]に",
               "[00:12:30]夜[00:12:75]空 [00:13:20]に[00:15:01]"}));
  // The line's own forms win over the file name's: an .lrc line with inline tags stays inline.
  EXPECT_EQ(StampedInTurn("song.lrc", "[00:01:00]夜[00:02:00]空"),
            (V{"[00:12:30]夜[00:02:00]空", "[00:12:30]夜[00:12:75]空", "[00:12:30]夜[00:12:75]空[00:15:01]"}));
  // Milliseconds stay milliseconds; a line tag without word tags gives its form to the new ones.
  EXPECT_EQ(StampedInTurn("song.lrc", "[00:01.000]歌")[0], "[00:12.300]<00:12.300>歌");
  // Leading blanks stay between the line tag and the first unit's tag.
  EXPECT_EQ(StampedInTurn("song.lrc", "  歌")[0], "[00:12.30]  <00:12.30>歌");
}

TEST(WordTagsTest, ATimedLineIsRetimedInPlaceAndTagsComeOutOneByOne) {
  const std::string line = Sjis("[00:01.00]<00:01.00>夜<00:02:00>空<00:03.000>に<00:04.00>");
  const TLineUnits units = SplitUnits(line);
  const TWordFormat format = WordFormatOf("a.lrc", line);
  auto applied = [&](const TLineEdit& edit) {
    std::string out = line;
    out.replace(edit.Start, edit.Length, edit.Text);
    return Utf8(out);
  };
  EXPECT_EQ(applied(UnitStampEdit(line, units, 0, 900ms, format)),
            "[00:00.90]<00:00.90>夜<00:02:00>空<00:03.000>に<00:04.00>");
  EXPECT_EQ(applied(UnitStampEdit(line, units, 1, 2500ms, format)),
            "[00:01.00]<00:01.00>夜<00:02:50>空<00:03.000>に<00:04.00>");
  EXPECT_EQ(applied(UnitStampEdit(line, units, 2, 3456ms, format)),
            "[00:01.00]<00:01.00>夜<00:02:00>空<00:03.456>に<00:04.00>");
  EXPECT_EQ(applied(*UnitEndEdit(line, units, 5000ms, format)),
            "[00:01.00]<00:01.00>夜<00:02:00>空<00:03.000>に<00:05.00>");
  EXPECT_EQ(applied(*UnitRemoveEdit(units, 1)), "[00:01.00]<00:01.00>夜空<00:03.000>に<00:04.00>");
  EXPECT_EQ(applied(*UnitJoinEdit(units, 1)), "[00:01.00]<00:01.00>夜<00:02:00>空に<00:04.00>");
  EXPECT_EQ(UnitJoinEdit(units, 2), std::nullopt);  // no unit after the last
  // In a .kra line the first unit's time is the line tag.
  const std::string kra = Sjis("[00:01:00]夜[00:02:00]空");
  const TLineUnits kraUnits = SplitUnits(kra);
  std::string out = kra;
  const TLineEdit removal = *UnitRemoveEdit(kraUnits, 0);
  out.replace(removal.Start, removal.Length, removal.Text);
  EXPECT_EQ(Utf8(out), "夜[00:02:00]空");
  EXPECT_EQ(UnitEndEdit(Sjis("[ti:x]"), SplitUnits(Sjis("[ti:x]")), 1s, format), std::nullopt);
}

TEST(WordTagToolsTest, LinesAreSpreadToTheNextLinesTimeAndTakenBackToTheirLineTags) {
  const struct {
    const char* FileName;
    const char* Text;
    const char* Spread;
    std::size_t Lines;
  } cases[] = {
      {"a.lrc", "[ti:x]\r\n[00:10.00]夜空に\r\n[00:13.00]<00:13.00>きみ<00:14.00>の\r\n[00:16.00]星",
       "[ti:x]\r\n[00:10.00]<00:10.00>夜<00:11.00>空<00:12.00>に\r\n[00:13.00]<00:13.00>きみ<00:14.00>の\r\n[00:16.00]"
       "星",
       1},
      // Untimed lines between wait with the line; the ASCII words are units.
      {"a.lrc", "[00:10.00]ab cd\r\n\r\nfree\r\n[00:12.00]x\n",
       "[00:10.00]<00:10.00>ab <00:11.00>cd\r\n\r\nfree\r\n[00:12.00]x\n", 1},
      {"a.kra", "[00:10:00]夜空に\r\n[00:13:00]x", "[00:10:00]夜[00:11:00]空[00:12:00]に\r\n[00:13:00]x", 1},
      {"a.lrc", "[00:10.000]あいう\r\n[00:11.000]x",
       "[00:10.000]<00:10.000>あ<00:10.333>い<00:10.666>う\r\n[00:11.000]x", 1},
      // A next time that is not later, several line tags, an ID line: left as they are.
      {"a.lrc", "[00:10.00]あい\r\n[00:09.00]x\r\n[00:01.00][00:20.00]うえ\r\n[00:30.00]",
       "[00:10.00]あい\r\n[00:09.00]x\r\n[00:01.00][00:20.00]うえ\r\n[00:30.00]", 0},
  };
  for (const auto& c : cases) {
    const std::string text = Sjis(c.Text);
    // The first line with a time tag speaks for the file's form.
    std::size_t first = 0;
    while (ParseTaggedLine(text.substr(first, text.find('\n', first) - first)).Tags.empty())
      first = text.find('\n', first) + 1;
    TSpreadWordTagsFilter spread(WordFormatOf(c.FileName, text.substr(first, text.find('\r', first) - first)));
    const std::string spreadText = spread.Apply(text);
    EXPECT_EQ(Utf8(spreadText), c.Spread) << c.Text;
    EXPECT_EQ(spread.Lines(), c.Lines) << c.Text;
    // Back to line tags, a line whose word tags were spread is what it was.
    TWordTagsToLineTagsFilter back;
    const std::string backText = back.Apply(spreadText);
    const std::string again = TWordTagsToLineTagsFilter().Apply(text);
    EXPECT_EQ(backText, again) << c.Text;
    EXPECT_EQ(ParseTaggedLine(backText).Tags.size(), ParseTaggedLine(again).Tags.size());
  }
  // A line with word tags but no line tag keeps its first time as one.
  TWordTagsToLineTagsFilter back;
  EXPECT_EQ(Utf8(back.Apply(Sjis("夜<00:12.80>空<00:13.20>に\r\n[00:01:00]a[00:02:00]b\r\nc"))),
            "[00:12.80]夜空に\r\n[00:01:00]ab\r\nc");
  EXPECT_EQ(back.Lines(), 2u);
}

}  // namespace
