// Tests of the time-tag model and the filters that shift, unify and remove
// tags.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "app/core/TimeTagEdits.h"
#include "app/core/TimeTags.h"
#include "platform/CodePage.h"
#include "tests/TestData.h"

namespace {

std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }

// "L:text" for a line tag, "W:text" for a word tag, "B:text" for a bad one, in
// order.
std::vector<std::string> Describe(std::string_view line) {
  const TTaggedLine parsed = ParseTaggedLine(line);
  std::vector<std::pair<std::size_t, std::string>> items;
  for (const TTimeTag& tag : parsed.Tags) {
    items.emplace_back(tag.Start,
                       std::string(tag.Word ? "W:" : "L:") + std::string(line.substr(tag.Start, tag.Length)));
  }
  for (const TBadTimeTag& bad : parsed.Bad) {
    items.emplace_back(bad.Start, "B:" + std::string(line.substr(bad.Start, bad.Length)));
  }
  std::sort(items.begin(), items.end());
  std::vector<std::string> result;
  for (auto& item : items) result.push_back(item.second);
  return result;
}

TEST(TimeTagsTest, RecognisesEachFormAndRole) {
  struct TCase {
    std::string line;
    std::vector<std::string> expected;
  };
  const std::vector<TCase> cases = {
      {"[00:12:34]歌詞", {"L:[00:12:34]"}},
      {"[01:02.03]a[01:03.50]b", {"L:[01:02.03]", "W:[01:03.50]"}},
      {"[00:01.000][00:30.250]chorus", {"L:[00:01.000]", "L:[00:30.250]"}},
      {"[00:01.00]<00:01.00>one <00:01.50>two", {"L:[00:01.00]", "W:<00:01.00>", "W:<00:01.50>"}},
      {"x[00:01.00]", {"W:[00:01.00]"}},
      {"[1:2:3]text", {"B:[1:2:3]"}},
      {"[00:60.00]", {"B:[00:60.00]"}},
      {"[00:1a.00][00:02.00]", {"B:[00:1a.00]", "W:[00:02.00]"}},
      {"[00:01]", {"B:[00:01]"}},
      {"[00:01.0000]", {"B:[00:01.0000]"}},
      {"[100:01.00]", {"L:[100:01.00]"}},
      {"(1) [a] <b> [x:y", {}},
      {"[00:01.00 ]", {}},
      // "ー" is 81 5B: its trail byte is a "[" that opens nothing.
      {"ー00:01.00]", {}},
      {"ー[00:01.00]", {"W:[00:01.00]"}},
  };
  for (const TCase& c : cases) {
    const std::string line = Sjis(c.line);
    std::vector<std::string> expected;
    for (const std::string& item : c.expected) expected.push_back(Sjis(item));
    EXPECT_EQ(Describe(line), expected) << c.line;
  }
}

TEST(TimeTagsTest, ReadsTimesAndIdTags) {
  const TTaggedLine line = ParseTaggedLine("[02:03.45]<02:04.567>");
  ASSERT_EQ(line.Tags.size(), 2u);
  EXPECT_EQ(line.Tags[0].Millis, 123450);
  EXPECT_EQ(line.Tags[1].Millis, 124567);
  EXPECT_EQ(line.LineTagCount, 1u);

  struct TIdCase {
    std::string line;
    const char* key;  // nullptr: not an ID tag
    std::string value;
  };
  const std::vector<TIdCase> cases = {
      {"[ti:Title]", "ti", "Title"},
      {"[offset:-250]  ", "offset", "-250"},
      {Sjis("[ar:ソー]"), "ar", Sjis("ソー")},
      // A "]" that is a trail byte does not close the tag.
      {Sjis("[al:ー]"), "al", Sjis("ー")},
      {"[ti:Title] text", nullptr, ""},
      {"[00:01.00]", nullptr, ""},
      {"[:x]", nullptr, ""},
      // Karaoke metadata lines.
      {"@Title=Song", "Title", "Song"},
      {Sjis("@Artist=歌手 [00:01.00]"), "Artist", Sjis("歌手 [00:01.00]")},
      {"@TimeRatio=", "TimeRatio", ""},
      {"@=x", nullptr, ""},
      {"@Title", nullptr, ""},
      {" @Title=x", nullptr, ""},
  };
  for (const TIdCase& c : cases) {
    const TTaggedLine parsed = ParseTaggedLine(c.line);
    ASSERT_EQ(parsed.Id.has_value(), c.key != nullptr) << c.line;
    if (!c.key) continue;
    EXPECT_EQ(parsed.Id->Key, c.key);
    EXPECT_EQ(parsed.Id->Value, c.value);
  }
}

// Times written in each form: the digits of each field, rounding to
// hundredths, minutes beyond two digits, and the described time of messages.
TEST(TimeTagsTest, WritesTimesInEachForm) {
  struct TCase {
    long long Millis;
    std::size_t MinuteDigits;
    char Separator;
    std::size_t FractionDigits;
    bool Angle;
    const char* Tag;
  };
  const TCase cases[] = {
      {0, 2, '.', 2, false, "[00:00.00]"},          {5, 2, '.', 2, false, "[00:00.01]"},
      {4, 2, ':', 2, false, "[00:00:00]"},          {59995, 2, '.', 2, false, "[01:00.00]"},
      {61230, 2, '.', 2, true, "<01:01.23>"},       {61234, 2, '.', 3, false, "[01:01.234]"},
      {7, 2, '.', 3, true, "<00:00.007>"},          {6000000, 2, '.', 2, false, "[100:00.00]"},
      {3599990, 3, '.', 2, false, "[059:59.99]"},   {123456789, 1, '.', 3, false, "[2057:36.789]"},
  };
  for (const TCase& c : cases) {
    TTimeTag form;
    form.MinuteDigits = c.MinuteDigits;
    form.Separator = c.Separator;
    form.FractionDigits = c.FractionDigits;
    form.Angle = c.Angle;
    std::string written;
    AppendTimeTag(written, form, c.Millis);
    EXPECT_EQ(written, c.Tag) << c.Millis;
  }
  EXPECT_EQ(DescribeTime(61230), "01:01.23");
  EXPECT_EQ(DescribeTime(61234), "01:01.234");
  EXPECT_EQ(DescribeTime(0), "00:00.00");
}

TEST(TimeTagsTest, ShiftKeepsEachTagsFormAndClampsAtZeroAndAtTheLatestTime) {
  struct TCase {
    std::string text;
    long long offset;
    std::string expected;
    std::size_t clamped;
    std::size_t clampedAtLatest = 0;
  };
  const std::vector<TCase> cases = {
      {"[00:12:34]a[00:13:00]b\r\n", 1500, "[00:13:84]a[00:14:50]b\r\n", 0},
      {"[00:59.99]<00:59.995>\r\n[99:59.99]", 10, "[01:00.00]<01:00.005>\r\n[100:00.00]", 0},
      {"[00:01.00]x\n[00:02.000]y", -1500, "[00:00.00]x\n[00:00.500]y", 1},
      {"[ti:00:01.00]\r\n[1:2:3]\r\n", 1000, "[ti:00:01.00]\r\n[1:2:3]\r\n", 0},
      {Sjis("ー[00:01.00]ソ"), 1000, Sjis("ー[00:02.00]ソ"), 0},
      // Beyond the six minute digits a tag may have: the latest time it holds, which check still reads.
      {"[00:01.00]a<00:02.000>b[00:03:00]", 99999999000, "[999999:59.99]a<999999:59.999>b[999999:59:99]", 0, 3},
      {"[999999:59.98]a", 10, "[999999:59.99]a", 0, 0},
      {"[999999:59.98]a", 20, "[999999:59.99]a", 0, 1},
  };
  for (const TCase& c : cases) {
    TTagShiftFilter filter(c.offset);
    const std::string shifted = filter.Apply(c.text);
    EXPECT_EQ(shifted, c.expected) << c.text;
    EXPECT_EQ(filter.Clamped(), c.clamped) << c.text;
    EXPECT_EQ(filter.ClampedAtLatest(), c.clampedAtLatest) << c.text;
    for (const TTimeTag& tag : ParseTaggedLine(shifted.substr(shifted.rfind('\n') + 1)).Tags)
      EXPECT_LE(tag.Millis, LargestTagMillis(tag)) << shifted;
    EXPECT_TRUE(ParseTaggedLine(shifted.substr(shifted.rfind('\n') + 1)).Bad.empty()) << shifted;
  }
}

TEST(TimeTagsTest, UnifiesSquareTagsAndRemovesEveryForm) {
  struct TCase {
    std::string text;
    std::string dot;
    std::string colon;
    std::string removed;
  };
  const std::vector<TCase> cases = {
      {"[00:01:00]a[00:02.50]b\r\n", "[00:01.00]a[00:02.50]b\r\n", "[00:01:00]a[00:02:50]b\r\n", "ab\r\n"},
      {"[00:01.996]<00:02.00>c", "[00:02.00]<00:02.00>c", "[00:02:00]<00:02.00>c", "c"},
      {"[ar:x]\n[1:2:3]d\n", "[ar:x]\n[1:2:3]d\n", "[ar:x]\n[1:2:3]d\n", "[ar:x]\n[1:2:3]d\n"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(TTagFormFilter('.').Apply(c.text), c.dot) << c.text;
    EXPECT_EQ(TTagFormFilter(':').Apply(c.text), c.colon) << c.text;
    EXPECT_EQ(TAllTimeTagFilter().Apply(c.text), c.removed) << c.text;
  }
}

// Every file of the shared lyrics folders, read as code page 932 bytes.
std::vector<std::filesystem::path> LyricsFiles() {
  std::vector<std::filesystem::path> files;
  for (const char* folder : {"real-lrc", "real-kra", "sjis"}) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(testdata::Dir() / folder, error)) {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(TimeTagsTest, ShiftThereAndBackGivesTheRealFilesBack) {
  VERSELET_REQUIRE_TESTDATA();
  std::size_t tagged = 0;
  for (const std::filesystem::path& file : LyricsFiles()) {
    const std::string bytes = testdata::ReadBytes(file);
    TTagShiftFilter forward(1500);
    const std::string shifted = forward.Apply(bytes);
    TTagShiftFilter back(-1500);
    EXPECT_EQ(back.Apply(shifted), bytes) << file;
    EXPECT_EQ(forward.Clamped() + back.Clamped(), 0u) << file;
    // Fed in blocks of a few bytes, the filter gives the same result.
    TTagShiftFilter pieces(1500);
    std::string out;
    for (std::size_t from = 0; from < bytes.size(); from += 7)
      pieces.Write(std::string_view(bytes).substr(from, 7), out);
    pieces.Finish(out);
    EXPECT_EQ(out, shifted) << file;
    if (shifted != bytes) ++tagged;
    // Removing every tag leaves exactly the bytes between them.
    EXPECT_EQ(TAllTimeTagFilter().Apply(shifted), TAllTimeTagFilter().Apply(bytes)) << file;
  }
  EXPECT_GE(tagged, 5u);
}

// Feeds text in blocks of random sizes.
std::string FeedInBlocks(TBlockFilter& filter, std::string_view text, std::mt19937& random) {
  std::string out;
  for (std::size_t from = 0; from < text.size();) {
    const std::size_t size = std::uniform_int_distribution<std::size_t>(1, 12)(random);
    filter.Write(text.substr(from, size), out);
    from += size;
  }
  filter.Finish(out);
  return out;
}

TEST(TimeTagsTest, RandomTextsGiveTheSameResultInAnyBlocksAndShiftBack) {
  const std::vector<std::string> pieces = {"[00:01.00]", "<00:02.50>", "[00:03:00]", "[01:02.345]", "\x81[", "\x81",
                                           "[",          "]",          "a",          "\r\n",        "\n",    "\r",
                                           "[ti:x]",     "[1:2:3]",    "\x82\xA0",   "<",           "00:",   " "};
  std::mt19937 random(20261208);
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int count = std::uniform_int_distribution<int>(0, 30)(random);
    for (int i = 0; i < count; ++i)
      text += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
    const long long offset = std::uniform_int_distribution<long long>(-300, 300)(random) * 10;

    TTagShiftFilter whole(offset);
    const std::string shifted = whole.Apply(text);
    TTagShiftFilter pieces1(offset);
    EXPECT_EQ(FeedInBlocks(pieces1, text, random), shifted) << text;
    TTagShiftFilter back(-offset);
    if (whole.Clamped() == 0) {
      EXPECT_EQ(back.Apply(shifted), text) << text << " by " << offset;
    }

    TTagFormFilter dot('.');
    EXPECT_EQ(FeedInBlocks(dot, text, random), TTagFormFilter('.').Apply(text)) << text;
    TAllTimeTagFilter all;
    EXPECT_EQ(FeedInBlocks(all, text, random), TAllTimeTagFilter().Apply(text)) << text;
  }
}

}  // namespace
