// Tests of the lyric clean-up commands on hand-made and real lyrics texts.
#include "app/core/LyricTools.h"

#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "tests/TestData.h"

namespace {

// Code page 932 bytes of a UTF-8 literal.
std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A byte-level look for "[dd:[0-5]d:dd]" at i, blind to character boundaries.
bool TagShapeAt(const std::string& s, std::size_t i) {
  if (i + 10 > s.size()) return false;
  const char* p = s.data() + i;
  return p[0] == '[' && IsDigit(p[1]) && IsDigit(p[2]) && p[3] == ':' && p[4] >= '0' && p[4] <= '5' &&
         IsDigit(p[5]) && p[6] == ':' && IsDigit(p[7]) && IsDigit(p[8]) && p[9] == ']';
}

struct TTagCount {
  int All = 0;
  int AtLineStart = 0;
};

TTagCount CountTagShapes(const std::string& s) {
  TTagCount count;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (!TagShapeAt(s, i)) continue;
    ++count.All;
    if (i == 0 || s[i - 1] == '\n') ++count.AtLineStart;
  }
  return count;
}

std::string WithoutTagShapes(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (TagShapeAt(s, i)) {
      i += 9;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

// The text as the editor holds a file read with LF breaks.
std::string LoadLfFile(const char* name) {
  const std::string bytes = testdata::ReadBytes(testdata::Dir() / name);
  std::string text;
  for (char c : bytes) {
    if (c == '\n') text.push_back('\r');
    text.push_back(c);
  }
  return text;
}

std::string WithoutEmptyLines(std::string s) {
  for (std::size_t i = s.find("\r\n\r\n"); i != std::string::npos; i = s.find("\r\n\r\n", i)) s.erase(i, 2);
  return s;
}

TEST(DeleteTimeTags, RemovesEveryTagAndNothingElse) {
  EXPECT_EQ(DeleteTimeTags(Sjis("[00:12:34]歌詞[00:13:00]です")), Sjis("歌詞です"));
  EXPECT_EQ(DeleteTimeTags("[99:59:99]A\r\n[60:00:00]B[01:02:03]"), "A\r\nB");
  EXPECT_EQ(DeleteTimeTags("[00:60:00][0:12:34][00:1:00][00:00:0][00:00:00"), "[00:60:00][0:12:34][00:1:00][00:00:0][00:00:00");
  EXPECT_EQ(DeleteTimeTags("[[00:01:00]]"), "[]");
  EXPECT_EQ(DeleteTimeTags(""), "");
}

TEST(DeleteTimeTags, TrailByteBracketIsNoTag) {
  // 0x81 0x5B is a long vowel mark, 0x85 0x5B an undefined pair: both swallow the "[".
  EXPECT_EQ(DeleteTimeTags("\x81[00:01:00]A"), "\x81[00:01:00]A");
  EXPECT_EQ(DeleteTimeTags("\x85[00:01:00]A"), "\x85[00:01:00]A");
  EXPECT_EQ(DeleteTimeTags(Sjis("ー") + "[00:01:00]A"), Sjis("ー") + "A");
}

TEST(DeleteTimeTags, KeepsBytesThatAreNotCodePage932) {
  // Undefined bytes and pairs, a duplicate NEC code, a pair made of a lead byte and CR, a lone lead byte.
  const std::string text = "\x80[00:01:00]A\xFF\x85\x40\x87\x90[00:02:00]\xA0\x81\r\n[00:03:00]\xFD\x82";
  EXPECT_EQ(DeleteTimeTags(text), "\x80" "A\xFF\x85\x40\x87\x90\xA0\x81\r\n\xFD\x82");
  // UTF-8 read as code page 932: "\xC3\xA9" is two half-width katakana, but
  // the 0x82 ending "\xE3\x81\x82" leads a pair with the "[" after it.
  const std::string utf8 = "\xC3\xA9[00:01:00]\xE3\x81\x82[00:02:00]";
  EXPECT_EQ(DeleteTimeTags(utf8), "\xC3\xA9\xE3\x81\x82[00:02:00]");
}

TEST(DeleteKaraokeTags, RemovesTagsAfterACharacter) {
  EXPECT_EQ(DeleteKaraokeTags(Sjis("[00:01:00]あ[00:01:50]い")), Sjis("[00:01:00]あい"));
  EXPECT_EQ(DeleteKaraokeTags(Sjis("あ[00:01:00]]]い")), Sjis("あい"));  // "+" takes extra "]"
  EXPECT_EQ(DeleteKaraokeTags("A[00:01:00]\r\nB"), "A\r\nB");
  EXPECT_EQ(DeleteKaraokeTags("A [00:01:00]"), "A ");
  EXPECT_EQ(DeleteKaraokeTags("A\r[00:01:00]"), "A\r");  // a lone CR is a character to the pattern
}

TEST(DeleteKaraokeTags, AdjacentTagsGoInOneRun) {
  std::size_t removed = 0;
  EXPECT_EQ(DeleteKaraokeTags(Sjis("さざなみの[00:24:50][00:24:85]音"), &removed), Sjis("さざなみの音"));
  EXPECT_EQ(removed, 2u);
  EXPECT_EQ(DeleteKaraokeTags(Sjis("あ[00:01:00]]][00:02:00][00:03:00]]い"), &removed), Sjis("あい"));
  EXPECT_EQ(removed, 3u);
}

TEST(DeleteKaraokeTags, KeepsTagsAtTextAndLineStart) {
  const std::string text = "[00:01:00]A\r\n[00:02:00]B\r\n\r\n[00:03:00]";
  EXPECT_EQ(DeleteKaraokeTags(text), text);
  EXPECT_EQ(DeleteKaraokeTags("[00:01:00][00:02:00]A"), "[00:01:00]A");
}

TEST(DeleteKaraokeTags, KeepsBytesThatAreNotCodePage932) {
  EXPECT_EQ(DeleteKaraokeTags("\x87\x90[00:01:00]\x80[00:02:00]\x82"), "\x87\x90\x80\x82");
  EXPECT_EQ(DeleteKaraokeTags("\x85[00:01:00]"), "\x85[00:01:00]");
}

TEST(DeleteUselessLines, DropsBlankLinesAndEndsWithALineBreak) {
  const std::string fw = "\x81\x40";  // full-width space
  EXPECT_EQ(DeleteUselessLines("A\r\n \t\r\n" + fw + "\r\n" + fw + " " + fw + "\r\n\r\nB"), "A\r\nB\r\n");
  EXPECT_EQ(DeleteUselessLines("A\r\n"), "A\r\n");
  EXPECT_EQ(DeleteUselessLines("A\r\n\r\n"), "A\r\n");
}

TEST(DeleteUselessLines, KeepsLinesAsTheyAre) {
  const std::string fw = "\x81\x40";
  EXPECT_EQ(DeleteUselessLines(fw + "\t" + fw), fw + "\t" + fw + "\r\n");  // the tab is enclosed
  EXPECT_EQ(DeleteUselessLines(" A" + fw + "\r\n"), " A" + fw + "\r\n");
  EXPECT_EQ(DeleteUselessLines("\x85\x40\r\n\x80\r\n"), "\x85\x40\r\n\x80\r\n");
  EXPECT_EQ(DeleteUselessLines(std::string("A\0B", 3)), std::string("A\0B\r\n", 5));
}

TEST(DeleteUselessLines, EveryBreakStyleEndsALine) {
  EXPECT_EQ(DeleteUselessLines("A\rB\nC\r\n\r\rD\n\n"), "A\r\nB\r\nC\r\nD\r\n");
}

TEST(DeleteUselessLines, NothingVisibleLeavesAnEmptyText) {
  EXPECT_EQ(DeleteUselessLines(""), "");
  EXPECT_EQ(DeleteUselessLines("\r\n \r\n\x81\x40\t"), "");
}

TEST(LyricCommands, CountWhatTheyRemove) {
  using TCommand = std::string (*)(const std::string&, std::size_t*);
  const std::string fw = "\x81\x40";
  const struct {
    TCommand Command;
    std::string Text;
    std::size_t Removed;
  } cases[] = {
      {DeleteTimeTags, Sjis("[00:12:34]歌詞[00:13:00]です"), 2},
      {DeleteTimeTags, "[00:60:00][0:12:34]\x81[00:01:00]", 0},
      {DeleteTimeTags, "", 0},
      {DeleteKaraokeTags, Sjis("あ[00:01:00][00:02:00]"), 2},
      {DeleteKaraokeTags, Sjis("あ[00:01:00]]]い[00:02:00]"), 2},
      {DeleteKaraokeTags, "[00:01:00]A\r\n[00:02:00]", 0},
      {DeleteUselessLines, "A\r\n \t\r\n" + fw + "\r\n\r\nB", 3},
      {DeleteUselessLines, "A\r\n\r\n", 1},
      {DeleteUselessLines, fw + "\t" + fw + "\r\nA", 0},
      {DeleteUselessLines, "", 0},
  };
  for (const auto& c : cases) {
    std::size_t removed = 99;
    c.Command(c.Text, &removed);
    EXPECT_EQ(removed, c.Removed) << ::testing::PrintToString(c.Text);
  }
}

TEST(EncodingCommands, AsciiIsUnchangedThroughUtf8AndBack) {
  std::string ascii;
  for (int c = 1; c < 0x80; ++c) ascii.push_back(static_cast<char>(c));
  EXPECT_EQ(ConvertToUtf8(ascii), ascii);
  EXPECT_EQ(ConvertToShiftJis(ascii), ascii);
}

TEST(EncodingCommands, ConvertBothWays) {
  const std::string sjis = Sjis("歌詞①ｱ\r\n～");
  EXPECT_EQ(ConvertToUtf8(sjis), "歌詞①ｱ\r\n～");
  std::size_t replaced = 99;
  EXPECT_EQ(ConvertToShiftJis("歌詞①ｱ\r\n～", &replaced), sjis);
  EXPECT_EQ(replaced, 0u);
  EXPECT_EQ(ConvertToShiftJis("A\xC3\xA9\xF0\x9F\x98\x80", &replaced), "A??");
  EXPECT_EQ(replaced, 2u);
}

TEST(EncodingCommands, ByteOrderMarkIsDropped) {
  EXPECT_EQ(ConvertToShiftJis("\xEF\xBB\xBF[00:00:00]A"), "[00:00:00]A");
}

TEST(EncodingCommands, InvalidUtf8IsRefusedNamingTheLine) {
  try {
    ConvertToShiftJis("A\r\n\xE3\x81\x82\r\n\xE3\x81");
    FAIL() << "no exception";
  } catch (const ETextEncodingError& e) {
    EXPECT_NE(e.Message().find("UTF-8 ではありません"), std::string::npos) << e.Message();
    EXPECT_NE(e.Message().find("3 行目"), std::string::npos) << e.Message();
  }
  EXPECT_THROW(ConvertToShiftJis(Sjis("歌詞")), ETextEncodingError);
}

TEST(EncodingCommands, InvalidCodePage932IsRefusedNamingTheLine) {
  try {
    ConvertToUtf8("A\r\nB\x85\x40");
    FAIL() << "no exception";
  } catch (const ETextEncodingError& e) {
    EXPECT_NE(e.Message().find("2 行目"), std::string::npos) << e.Message();
  }
  EXPECT_THROW(ConvertToUtf8("A\x82"), ETextEncodingError);
}

TEST(RealLyrics, LrcFilesHaveNoColonTagsToRemove) {
  VERSELET_REQUIRE_TESTDATA();
  for (const char* name : {"real-lrc/navidrome_auld-lang-syne.lrc", "real-lrc/navidrome_auld-lang-syne.elrc.lrc",
                           "real-lrc/navidrome_test-enhanced.lrc", "real-lrc/navidrome_bom-test.lrc",
                           "real-lrc/lrc2exo_testsong.lrc"}) {
    const std::string text = LoadLfFile(name);
    ASSERT_FALSE(text.empty()) << name;
    EXPECT_EQ(DeleteTimeTags(text), text) << name;
    EXPECT_EQ(DeleteKaraokeTags(text), text) << name;
  }
}

TEST(RealLyrics, UselessLinesOfAnLrcFile) {
  VERSELET_REQUIRE_TESTDATA();
  const std::string text = LoadLfFile("real-lrc/lrc2exo_testsong.lrc");
  // Its empty lines are truly empty, and it has no final line break.
  EXPECT_EQ(DeleteUselessLines(text), WithoutEmptyLines(text) + "\r\n");
}

TEST(RealLyrics, Utf8KaraokeFileReadAsCodePage932KeepsHiddenTags) {
  VERSELET_REQUIRE_TESTDATA();
  const struct {
    const char* name;
    int hidden;
  } files[] = {{"real-kra/lrc2exopy_2_shining-star.kra", 72}, {"real-kra/lrc2exopy_3_shining-star_part.kra", 42}};
  for (const auto& file : files) {
    const std::string text = LoadLfFile(file.name);
    const std::string result = DeleteTimeTags(text);
    EXPECT_EQ(CountTagShapes(result).All, file.hidden) << file.name;
    EXPECT_EQ(WithoutTagShapes(result), WithoutTagShapes(text)) << file.name;
  }
}

TEST(RealLyrics, KaraokeFileConvertedToShiftJisLosesItsTags) {
  VERSELET_REQUIRE_TESTDATA();
  const std::string sjis = ConvertToShiftJis(LoadLfFile("real-kra/lrc2exopy_2_shining-star.kra"));
  const std::string untagged = DeleteTimeTags(sjis);
  EXPECT_EQ(CountTagShapes(untagged).All, 0);

  // Without the ruby readings it is the plain lyric plus the file's last line.
  std::string plain;
  for (std::size_t i = 0; i < untagged.size(); ++i) {
    if (untagged[i] == '(') {
      i = untagged.find(')', i);
      ASSERT_NE(i, std::string::npos);
    } else {
      plain.push_back(untagged[i]);
    }
  }
  const std::string expected = LoadLfFile("real-kra/lrc2exopy_1_shining-star_plain.txt") + "\r\n@TimeRatio=1";
  EXPECT_EQ(ConvertToUtf8(plain), expected);
}

TEST(RealLyrics, KaraokeTagsLeaveOnlyLineStartTags) {
  VERSELET_REQUIRE_TESTDATA();
  const struct {
    const char* name;
    int lineStart;
  } files[] = {{"real-kra/lrc2exopy_2_shining-star.kra", 19}, {"real-kra/lrc2exopy_3_shining-star_part.kra", 8}};
  for (const auto& file : files) {
    const std::string text = ConvertToShiftJis(LoadLfFile(file.name));
    std::size_t removed = 0;
    const std::string once = DeleteKaraokeTags(text, &removed);
    EXPECT_EQ(CountTagShapes(once).AtLineStart, file.lineStart) << file.name;
    EXPECT_EQ(CountTagShapes(once).All, file.lineStart) << file.name;
    EXPECT_EQ(removed, static_cast<std::size_t>(CountTagShapes(text).All - file.lineStart)) << file.name;
    EXPECT_EQ(WithoutTagShapes(once), WithoutTagShapes(text)) << file.name;
    EXPECT_EQ(DeleteKaraokeTags(once), once) << file.name;
  }
}

}  // namespace
