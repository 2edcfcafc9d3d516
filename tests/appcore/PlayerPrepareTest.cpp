// TPlayerPrepareFilter on crafted lyrics against the expected results, whole and fed byte by byte.
#include <gtest/gtest.h>

#include "app/core/PlayerPrepare.h"

namespace {

struct TPrepareCase {
  const char* Name;
  TPrepareOptions Options;
  std::string Input;
  std::string Expected;
};

const TPrepareOptions kAll{};  // expand, remove word tags, hundredths, keep ID lines
const TPrepareOptions kKeepWords{true, false, true, false};
const TPrepareOptions kNothing{false, false, false, false};
const TPrepareOptions kDropIds{false, false, false, true};

// The texts are code page 932 bytes, as the filter reads them.
const TPrepareCase kCases[] = {
    {"three tags on one line go where their times fall", kAll,
     "[ti:song]\r\n[00:10.00][01:20.00][00:50.00]\x83T\x83r\r\n[00:20.00]A\r\n[01:00.00]B\r\n[02:00.00]C\r\n",
     "[ti:song]\r\n[00:10.00]\x83T\x83r\r\n[00:20.00]A\r\n[00:50.00]\x83T\x83r\r\n[01:00.00]B\r\n[01:20.00]\x83T\x83r\r\n[02:00.00]C\r\n"},
    {"copies left over come at the end, still without a last break", kAll,
     "[00:01.00][00:09.00]x\n[00:02.00]y",
     "[00:01.00]x\n[00:02.00]y\n[00:09.00]x"},
    {"a negative offset makes the lyrics later", kAll,
     "[offset:-500]\r\n[00:01.00]a\r\n[00:02.50]b\r\n",
     "[00:01.50]a\r\n[00:03.00]b\r\n"},
    {"a positive offset makes them sooner and holds at zero", kAll,
     "[ar:x]\r\n[offset:+1500]\r\n[00:01.00]a\r\n[00:02.50]b\r\n",
     "[ar:x]\r\n[00:00.00]a\r\n[00:01.00]b\r\n"},
    {"word tags go, line tags get hundredths", kAll,
     "[00:01:00]\x82\xa0<00:01.500>\x82\xa2<00:02.000>\x82\xa4\r\n[00:03.250]\x82\xa6[00:03.500]\x82\xa8\r\n",
     "[00:01.00]\x82\xa0\x82\xa2\x82\xa4\r\n[00:03.25]\x82\xa6\x82\xa8\r\n"},
    {"kept word tags move with their copy and the offset", kKeepWords,
     "[offset:1000]\r\n[00:11.00][00:41.00]<00:11.00>\x82\xe7<00:12.500>\x82\xe7\r\n[00:30.00]x\r\n",
     "[00:10.00]<00:10.00>\x82\xe7<00:11.50>\x82\xe7\r\n[00:29.00]x\r\n[00:40.00]<00:40.00>\x82\xe7<00:41.50>\x82\xe7\r\n"},
    {"nothing chosen: only the offset, each tag keeping its form", kNothing,
     "[offset:-10]\r\n[00:01:00][00:02.000]x<00:01.50>y\r\n",
     "[00:01:01][00:02.010]x<00:01.51>y\r\n"},
    {"ID lines and karaoke metadata lines go when asked", kDropIds,
     "@Title=t\r\n[ti:t]\r\n\r\n[00:01.00]a\r\n",
     "\r\n[00:01.00]a\r\n"},
    {"untimed lines and malformed tags stay where they stand", kAll,
     "[00:05.00][00:01.00]a\r\nplain [99:9]\r\n\x81[00:02.00]z\r\n[00:03.00]b\r\n",
     "[00:01.00]a\r\nplain [99:9]\r\n\x81[00:02.00]z\r\n[00:03.00]b\r\n[00:05.00]a\r\n"},
};

class PlayerPrepareTest : public ::testing::TestWithParam<TPrepareCase> {};

TEST_P(PlayerPrepareTest, GivesTheExpectedText) {
  const TPrepareCase& c = GetParam();
  TPlayerPrepareFilter whole(c.Options, std::nullopt);
  EXPECT_EQ(whole.Apply(c.Input), c.Expected);
  // Fed a byte at a time, a line cut anywhere gives the same.
  TPlayerPrepareFilter bytes(c.Options, std::nullopt);
  std::string out;
  for (char b : c.Input) bytes.Write(std::string_view(&b, 1), out);
  bytes.Finish(out);
  EXPECT_EQ(out, c.Expected);
}

std::string CaseName(const ::testing::TestParamInfo<TPrepareCase>& param) { return std::to_string(param.index); }

INSTANTIATE_TEST_SUITE_P(Cases, PlayerPrepareTest, ::testing::ValuesIn(kCases), CaseName);

TEST(PlayerPrepareCountsTest, CountEachChangeAndTheLinesThatStillOverflow) {
  TPlayerPrepareFilter filter(kAll, TPlayerDisplay{4, 1});
  filter.Apply(
      "[offset:2000]\r\n[ti:x]\r\n[00:01.000][00:09.00]ab<00:01.50>cd\r\n[00:05:00]abcdefgh\r\n[ti:long long long]\r\n");
  const TPrepareCounts& counts = filter.Counts();
  EXPECT_EQ(counts.LinesAdded, 1u);
  EXPECT_EQ(counts.Offset, 2000);
  EXPECT_EQ(counts.TagsShifted, 3u);  // two copies and the [00:05:00] line
  EXPECT_EQ(counts.TagsClamped, 1u);
  EXPECT_EQ(counts.WordTagsRemoved, 1u);
  EXPECT_EQ(counts.TagsRewritten, 2u);  // [00:01.000] and [00:05:00]; the word tag goes
  EXPECT_EQ(counts.IdLinesRemoved, 0u);
  // "abcdefgh" needs two rows of four; the ID line is not shown by the player.
  EXPECT_EQ(counts.Overflowing, 1u);
  EXPECT_EQ(counts.FirstOverflowing, std::vector<std::size_t>{3});
}

TEST(PlayerPrepareCountsTest, RefusesAnOffsetItCannotApplyToEveryTag) {
  const std::pair<const char*, const char*> bad[] = {
      {"[00:01.00]a\r\n[offset:100]\r\n", "2 行目: [offset:] はタイムタグのある行より前に置いてください"},
      {"[offset:100]\r\n[offset:100]\r\n", "2 行目: [offset:] が 2 つ目です。1 つにしてください"},
      {"[offset:1.5]\r\n", "1 行目: [offset:] の値はミリ秒の整数にしてください: 1.5"},
  };
  for (const auto& [text, message] : bad) {
    TPlayerPrepareFilter filter(kAll, std::nullopt);
    try {
      filter.Apply(text);
      ADD_FAILURE() << text;
    } catch (const ETextEncodingError& e) {
      EXPECT_STREQ(e.what(), message);
    }
  }
}

}  // namespace
