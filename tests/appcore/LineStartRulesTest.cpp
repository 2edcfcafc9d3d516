// Tests of the line-start rule: the characters, the check's message and the preview's mark.
#include "app/core/LineStartRules.h"

#include <gtest/gtest.h>

#include "app/core/PlayerPreview.h"
#include "app/core/TagCheck.h"
#include "platform/CodePage.h"
#include "platform/headless/HeadlessCanvas.h"

namespace {

std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }

TEST(LineStartRules, KnowsTheCharactersKeptOffALineStart) {
  for (const char* kept : {"。", "、", "」", "』", "）", "〉", "ー", "…", "ぁ", "っ", "ャ", "ヶ", "ゝ", "々", "！", "｡", "ｯ", "ﾞ"}) {
    const std::string text = Sjis(kept) + "x";
    EXPECT_EQ(KeptOffLineStart(text), Sjis(kept)) << kept;
  }
  for (const char* free : {"あ", "ア", "漢", "「", "（", "a", ")", "ｱ", "", "\x81"}) {
    EXPECT_EQ(KeptOffLineStart(Sjis(free) + "x"), "") << free;
  }
}

TEST(LineStartRules, TheCheckReportsEachRowAfterTheFirst) {
  const struct {
    std::string Line;
    TPlayerDisplay Display;
    std::vector<std::string> Messages;
  } cases[] = {
      {"[00:01.00]あいうえ。", {8, 3}, {"表示の 2 行目が「。」で始まります"}},
      // Tags take no cells; a kept-off character that opens the line is the lyric's own.
      {"。<00:01.50>あいう」えおか、", {8, 3},
       {"表示の 2 行目が「」」で始まります", "表示の 3 行目が「、」で始まります"}},
      {"あいうえ。", {8, 1},
       {"プレーヤーの表示に 2 行必要です (8 桁 1 行に収まりません)", "表示の 2 行目が「。」で始まります"}},
      {"あいう。え", {8, 3}, {}},
      {"[ti:あいうえ。]", {8, 3}, {}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> messages;
    TTagChecker checker([&](const TTagProblem& problem) {
      EXPECT_EQ(problem.Line, 1u);
      messages.push_back(problem.Message);
    }, c.Display);
    checker.AddLine(1, Sjis(c.Line));
    checker.Finish();
    EXPECT_EQ(messages, c.Messages) << c.Line;
  }
}

TEST(LineStartRules, ThePreviewShowsTheCharacterInRedAndNamesTheRow) {
  THeadlessCanvas canvas;
  TPlayerPreview(Sjis("あいうえ。おかきっく"), {8, 3}).Draw(canvas, TRect{0, 0, 400, 400}, TPreviewHeading{4, 0});
  std::vector<std::pair<std::string, bool>> glyphs;
  std::string heading;
  for (const TCanvasOp& op : canvas.Ops()) {
    if (op.Op != "text") continue;
    if (heading.empty()) heading = op.Text;
    if (op.Text.size() == 2) glyphs.emplace_back(op.Text, op.Color == RGB(208, 0, 0) && op.Bk == RGB(255, 196, 196));
  }
  EXPECT_EQ(heading, Sjis("4 行目: 3 行 / 1 ページ 表示の 2 行目が「。」で始まります"));
  const std::vector<std::pair<std::string, bool>> expected = {
      {Sjis("あ"), false}, {Sjis("い"), false}, {Sjis("う"), false}, {Sjis("え"), false}, {Sjis("。"), true},
      {Sjis("お"), false}, {Sjis("か"), false}, {Sjis("き"), false}, {Sjis("っ"), true}, {Sjis("く"), false}};
  EXPECT_EQ(glyphs, expected);
}

}  // namespace
