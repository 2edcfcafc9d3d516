// Tests of the lyrics format conversions: SRT, ASS karaoke, enhanced LRC and .kra.
#include <gtest/gtest.h>

#include <random>

#include "app/core/FormatConversion.h"
#include "app/core/LrcFormat.h"
#include "app/core/StoredLyricsText.h"
#include "platform/CodePage.h"

namespace {

// Code page 932 from the UTF-8 of the test source.
std::string Sjis(std::string_view utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }

std::string Convert(std::string_view utf8, TLyricsFormat from, TLyricsFormat to, std::string* report = nullptr,
                    const TConversionOptions& options = {}) {
  const TConversion conversion = ConvertLyricsFormat(Sjis(utf8), from, to, options);
  if (report) *report = conversion.Report.Describe();
  return UnicodeToUtf8(AnsiToUnicode(conversion.Text));
}

constexpr auto kSrt = TLyricsFormat::Srt;
constexpr auto kAss = TLyricsFormat::Ass;
constexpr auto kLrc = TLyricsFormat::Lrc;
constexpr auto kKra = TLyricsFormat::Kra;

const std::string kAssEvents =
    "[Events]\r\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n";

struct TCase {
  const char* Name;
  TLyricsFormat From;
  TLyricsFormat To;
  std::string Source;
  std::string Expected;
  std::string Report;  // a part of the report, or "" for none
};

class Conversions : public ::testing::TestWithParam<TCase> {};

TEST_P(Conversions, GiveTheExpectedTextAndReport) {
  const TCase& c = GetParam();
  std::string report;
  const std::string converted = Convert(c.Source, c.From, c.To, &report);
  // The header of a script is checked on its own.
  EXPECT_EQ(c.To == TLyricsFormat::Ass ? converted.substr(converted.find("Dialogue:")) : converted, c.Expected);
  if (c.Report.empty()) EXPECT_EQ(report, "");
  else EXPECT_NE(report.find(c.Report), std::string::npos) << report;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Conversions,
    ::testing::Values(
        // Each cue line gets the cue's tag; an end differing from the next start is a line of its own.
        TCase{"SrtToLrc", kSrt, kLrc,
              "1\r\n00:00:12,300 --> 00:00:15,000\r\nさざなみの\r\n\r\n2\r\n00:00:15,000 --> 00:00:18,000\r\n"
              "音\r\n二行目\r\n\r\n3\r\n00:01:20,005 --> 00:01:30,000\r\n最後\r\n",
              "[00:12.30]さざなみの\r\n[00:15.00]音\r\n[00:15.00]二行目\r\n[00:18.00]\r\n[01:20.005]最後\r\n"
              "[01:30.00]\r\n",
              ""},
        // Without numbers, LF breaks, "." before milliseconds, formatting tags and positions left out.
        TCase{"SrtLoose", kSrt, kKra,
              "00:00:01.000 --> 00:00:06,000 X1:10 X2:20\n<i>斜体</i>の{\\an8}歌\n", "[00:01:00]斜体の歌\r\n",
              "SRT の位置指定 1 個、SRT の書式タグ 3 個"},
        TCase{"LrcToSrt", kLrc, kSrt,
              "[ti:題]\r\n[00:12.30]<00:12.30>さざ<00:13.00>なみ\r\n[00:15.00]音\r\n[00:15.00]二行目\r\n説明\r\n",
              "1\r\n00:00:12,300 --> 00:00:15,000\r\nさざなみ\r\n\r\n2\r\n00:00:15,000 --> 00:00:20,000\r\n"
              "音\r\n二行目\r\n\r\n",
              "ID タグの行 1 個、タイムタグのない行 1 個、ワードタグ 1 個"},
        // A line with two line tags is shown at both, in the order of time.
        TCase{"RepeatedChorus", kLrc, kSrt, "[00:30.00][00:10.00]サビ\r\n[00:20.00]間\r\n",
              "1\r\n00:00:10,000 --> 00:00:20,000\r\nサビ\r\n\r\n2\r\n00:00:20,000 --> 00:00:30,000\r\n間\r\n\r\n"
              "3\r\n00:00:30,000 --> 00:00:35,000\r\nサビ\r\n\r\n",
              ""},
        // Syllables from the line's start; a trail byte "{" (ボ) or "\" (ソ) opens no tag.
        TCase{"AssToLrc", kAss, kLrc,
              kAssEvents + "Dialogue: 0,0:00:12.30,0:00:14.00,Default,,0,0,0,,{\\k50}ボ{\\kf30\\b1}ソ{\\ko20}a,b\r\n",
              "[00:12.30]<00:12.30>ボ<00:12.80>ソ<00:13.10>a,b<00:13.30>\r\n[00:14.00]\r\n", "ASS の書式タグ 1 個"},
        TCase{"AssToKra", kAss, kKra,
              "[V4+ Styles]\r\nStyle: Default,Arial\r\nStyle: Red,Arial\r\n" + kAssEvents +
                  "Comment: 0,0:00:00.00,0:00:01.00,Default,,0,0,0,,x\r\n"
                  "Dialogue: 0,0:00:02.00,0:00:03.00,Red,,0,0,0,,{\\K50}歌{\\K50}詞\\Nです\r\n",
              "[00:02:00]歌[00:02:50]詞 です\r\n[00:03:00]\r\n",
              "ASS のスタイル 2 個、ASS のコメント行 1 個、ASS の改行 (空白にしたもの) 1 個"},
        TCase{"KraToAss", kKra, kAss, "[00:01:00]歌[00:01:25]詞[00:01:60]\r\n[00:02:00]次\r\n",
              "Dialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,{\\k25}歌{\\k35}詞\r\n"
              "Dialogue: 0,0:00:02.00,0:00:07.00,Default,,0,0,0,,次\r\n",
              ""},
        TCase{"LrcToKra", kLrc, kKra, "[ti:題]\r\n[00:12.30]<00:12.30>さ<00:12.80>ざ\r\n説明\r\n[00:13.00]<00:13.50>間\r\n",
              "[ti:題]\r\n[00:12:30]さ[00:12:80]ざ\r\n説明\r\n[00:13:00]間\r\n", "行頭の間"},
        TCase{"KraToLrc", kKra, kLrc, "@Title=題\r\n[00:12:30]さ[00:12:80]ざ[00:13:000]\r\n",
              "@Title=題\r\n[00:12.30]<00:12.30>さ<00:12.80>ざ<00:13.000>\r\n", ""}),
    [](const ::testing::TestParamInfo<TCase>& param) { return std::string(param.param.Name); });

TEST(FormatConversion, AssScriptHasAValidHeaderAndTheFillAskedFor) {
  TConversionOptions sweep;
  sweep.Fill = TKaraokeFill::Sweep;
  const std::string script = Convert("[00:01.00]<00:01.00>a<00:01.50>b\r\n", kLrc, kAss, nullptr, sweep);
  for (const char* part : {"[Script Info]\r\nScriptType: v4.00+\r\n", "\r\n[V4+ Styles]\r\nFormat: Name,",
                           "\r\nStyle: Default,", "\r\n[Events]\r\nFormat: Layer, Start, End, Style,"})
    EXPECT_NE(script.find(part), std::string::npos) << part;
  EXPECT_EQ(script.substr(script.find("Dialogue:")), "Dialogue: 0,0:00:01.00,0:00:06.00,Default,,0,0,0,,{\\kf50}a{\\kf450}b\r\n");
}

TEST(FormatConversion, MalformedTimingsAreReportedWithTheirLine) {
  const struct {
    TLyricsFormat From;
    std::string Source;
    std::size_t Line;
  } cases[] = {
      {kSrt, "1\r\n00:00:01,000 --> 00:00:02,000\r\na\r\n\r\n2\r\n00:00:03,00 --> 00:00:04,000\r\nb\r\n", 6},
      {kSrt, "1\r\n00:61:01,000 --> 00:00:02,000\r\n", 2},
      {kSrt, "1\r\n00:00:05,000 --> 00:00:02,000\r\n", 2},
      {kSrt, "\r\n\r\n7\r\n", 3},
      {kSrt, "1\r\n00:00:01,000 --> 00:00:02,000\r\na\r\n\r\nb\r\n", 5},
      {kAss, kAssEvents + "Dialogue: 0,0:00:01.0,0:00:02.00,Default,,0,0,0,,a\r\n", 3},
      {kAss, kAssEvents + "Dialogue: 0,0:00:01.00\r\n", 3},
      {kAss, "[Events]\r\nDialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,a\r\n", 2},
      {kLrc, "[00:01.00]a\r\n[00:27.1x]b\r\n", 2},
      {kKra, "[00:01:00]a[00:02:0]b\r\n", 1},
  };
  for (const auto& c : cases) {
    for (const TLyricsFormat to : kLyricsFormats) {
      try {
        ConvertLyricsFormat(Sjis(c.Source), c.From, to);
        ADD_FAILURE() << c.Source << " to " << LyricsFormatName(to);
      } catch (const EFormatError& e) {
        EXPECT_EQ(e.Line(), c.Line) << c.Source;
        EXPECT_TRUE(std::string(e.what()).starts_with(std::to_string(c.Line) + " 行目: ")) << e.what();
      }
    }
  }
}

// A random timed text: lines with and without word tags, end lines, ID lines, in order of time.
// With fine, some tags are in milliseconds.
std::string RandomLrc(std::mt19937& random, TTagForm form, bool fine) {
  std::string text = "[ti:x]\r\n";
  long long at = 0;
  const char* words[] = {"歌", "ボ", "a b", "ソ{", "詞"};
  const auto tag = [&](bool word, long long millis) {
    std::string out;
    AppendFormTag(out, form, word, millis);
    return out;
  };
  for (int i = 0; i < 12; ++i) {
    at += 10 * static_cast<long long>(random() % 500 + 1) + (fine && random() % 4 == 0 ? 5 : 0);
    std::string line = tag(false, at);
    const int count = static_cast<int>(random() % 4);
    long long word = at;
    line += form == TTagForm::Lrc && count > 0 ? tag(true, at) : "";
    line += Sjis(words[random() % 5]);
    for (int w = 0; w < count; ++w) {
      word += 10 * static_cast<long long>(random() % 50 + 1);
      line += tag(true, word) + (w + 1 == count && random() % 2 ? "" : Sjis(words[random() % 5]));
    }
    text += line + "\r\n";
    at = word;
    if (random() % 3 == 0) {
      at += 10 * static_cast<long long>(random() % 50 + 1);
      text += tag(false, at) + "\r\n";
    }
  }
  return text;
}

// The lines with a line tag: what survives a trip through SRT or ASS (ID lines do not).
std::string TimedPart(const std::string& text) { return text.substr(text.find("\r\n") + 2); }

TEST(FormatConversion, RandomTextsComeBackFromEveryFormat) {
  std::mt19937 random(28);
  for (int round = 0; round < 200; ++round) {
    const TTagForm form = round % 2 ? TTagForm::Kra : TTagForm::Lrc;
    const TLyricsFormat own = round % 2 ? kKra : kLrc;
    const bool fine = round % 4 >= 2;
    const std::string text = RandomLrc(random, form, fine);
    const std::string other = ConvertLyricsFormat(text, own, own == kLrc ? kKra : kLrc).Text;
    EXPECT_EQ(ConvertLyricsFormat(other, own == kLrc ? kKra : kLrc, own).Text, text);
    // ASS keeps word times in hundredths: only texts without milliseconds come back.
    const std::string ass = ConvertLyricsFormat(text, own, kAss).Text;
    if (!fine) {
      EXPECT_EQ(ConvertLyricsFormat(ass, kAss, own).Text, TimedPart(text)) << text;
    }
    const std::string srt = ConvertLyricsFormat(text, own, kSrt).Text;
    const std::string lines = ConvertLyricsFormat(ConvertLyricsFormat(text, own, kLrc).Text, kLrc, kSrt).Text;
    EXPECT_EQ(srt, lines);
    // Without word tags, LRC to SRT and back gives the same tags.
    const std::string plain = ConvertLyricsFormat(srt, kSrt, own).Text;
    EXPECT_EQ(ConvertLyricsFormat(ConvertLyricsFormat(plain, own, kSrt).Text, kSrt, own).Text, plain);
  }
}

}  // namespace

namespace {

TEST(StoredLyricsText, SyltPartsBecomeLineAndWordTags) {
  const struct {
    std::vector<TSyncedText> Parts;
    std::string Lrc;
  } cases[] = {
      // A part per line.
      {{{12300, "さざなみの"}, {15000, "音"}}, "[00:12.30]さざなみの\r\n[00:15.00]音\r\n"},
      // Syllables, a line break opening or closing a line.
      {{{1000, "さざ"}, {1500, "なみ\n"}, {2000, "音"}, {2255, "\nまた"}},
       "[00:01.00]さざ<00:01.50>なみ\r\n[00:02.00]音\r\n[00:02.255]また\r\n"},
      {{}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SyncedTextAsLrc(c.Parts), c.Lrc);
}

TEST(StoredLyricsText, LineBreaksAreLfWhenStoredAndCrLfInTheEditor) {
  EXPECT_EQ(LyricsTextToStore("a\r\nb\rc\n\r\n"), "a\nb\nc");
  EXPECT_EQ(StoredLyricsText({TLyricsFrame::Uslt, "a\nb\r\nc", {}}), "a\r\nb\r\nc\r\n");
}

}  // namespace
