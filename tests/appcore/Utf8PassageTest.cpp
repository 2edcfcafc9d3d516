// Tests of TUtf8Passage: a Shift-JIS filter over UTF-8 gives what it gives over the same text in Shift-JIS.
#include "app/core/Utf8Passage.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/core/LyricTools.h"
#include "app/core/TimeTagEdits.h"
#include "app/core/TimeTagFilter.h"
#include "app/core/UselessLineFilter.h"

namespace {

// UTF-8 pieces: tags, ASCII, kana, full-width and half-width spaces, line
// breaks, and characters without an exact code page 932 form (a heart, an
// emoji, the wave dash that Shift-JIS holds only as its look-alike).
const std::vector<std::string> kPieces = {
    "[00:01:00]", "[00:02.50]", "<00:03.00>", "a", " ", "\t", "\r\n", "\n", "\r", "]", "[",
    "\xE6\xAD\x8C",      // 歌
    "\xE3\x80\x80",      // full-width space
    "\xEF\xBD\xB1",      // half-width katakana ｱ
    "\xE2\x99\xA5",      // ♥
    "\xF0\x9F\x98\x80",  // 😀
    "\xE3\x80\x9C",      // 〜 (wave dash)
};

// The same characters with an exact code page 932 form of their own in
// their place, one for each: ■ □ ◆.
const std::vector<std::pair<std::string, std::string>> kExact = {
    {"\xE2\x99\xA5", "\xE2\x96\xA0"}, {"\xF0\x9F\x98\x80", "\xE2\x96\xA1"}, {"\xE3\x80\x9C", "\xE2\x97\x86"}};

std::string Swap(std::string text, bool back) {
  for (const auto& [inexact, exact] : kExact) {
    const std::string& from = back ? exact : inexact;
    const std::string& to = back ? inexact : exact;
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
  }
  return text;
}

TEST(Utf8Passage, GivesTheShiftJisResultInUtf8InAnyBlocks) {
  const std::vector<std::pair<const char*, std::function<std::unique_ptr<TBlockFilter>()>>> filters = {
      {"time tags", [] { return std::make_unique<TTimeTagFilter>(TTimeTagFilter::TScope::All); }},
      {"karaoke tags", [] { return std::make_unique<TTimeTagFilter>(TTimeTagFilter::TScope::AfterCharacter); }},
      {"blank lines", [] { return std::make_unique<TUselessLineFilter>(); }},
      {"all time tags", [] { return std::make_unique<TAllTimeTagFilter>(); }},
      {"shift", [] { return std::make_unique<TTagShiftFilter>(1500); }},
  };
  std::mt19937 random(7);
  std::uniform_int_distribution<std::size_t> piece(0, kPieces.size() - 1);
  std::uniform_int_distribution<std::size_t> length(0, 40);
  std::uniform_int_distribution<std::size_t> block(1, 7);
  for (int round = 0; round < 300; ++round) {
    std::string text = round % 3 == 0 ? "\xEF\xBB\xBF" : "";
    for (std::size_t n = length(random); n > 0; --n) text += kPieces[piece(random)];
    for (const auto& [name, make] : filters) {
      SCOPED_TRACE(::testing::PrintToString(text) + " " + name);
      // Through Shift-JIS, with the characters Shift-JIS lacks swapped for ones it has, and back.
      std::string body = Swap(text, false);
      const bool marked = body.starts_with("\xEF\xBB\xBF");
      if (marked) body.erase(0, 3);
      const std::string expected =
          (marked ? "\xEF\xBB\xBF" : "") + Swap(ConvertToUtf8(make()->Apply(ConvertToShiftJis(body))), true);
      TUtf8Passage passage(make());
      std::string out;
      for (std::size_t at = 0; at < text.size();) {
        const std::size_t size = std::min(block(random), text.size() - at);
        passage.Write(std::string_view(text).substr(at, size), out);
        at += size;
      }
      passage.Finish(out);
      EXPECT_EQ(out, expected);
    }
  }
}

TEST(Utf8Passage, IllFormedUtf8IsReportedWithItsLine) {
  TUtf8Passage passage(std::make_unique<TTimeTagFilter>(TTimeTagFilter::TScope::All));
  try {
    passage.Apply("\xEF\xBB\xBF[00:01:00]a\r\nb\xE6\xAD\r\n");
    FAIL() << "no error";
  } catch (const ETextEncodingError& e) {
    EXPECT_EQ(std::string(e.what()), "テキストが UTF-8 ではありません (2 行目)。変換しませんでした。");
  }
}

}  // namespace
