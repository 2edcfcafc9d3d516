// Word mode on a headless editor and a player on a fake clock: units stamped in turn, joins and splits, nudges,
// replays, undo.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/core/SyncSession.h"
#include "app/core/WordSession.h"
#include "app/core/WordUnitMark.h"
#include "app/core/WordUnits.h"
#include "platform/CodePage.h"
#include "platform/LeadByte.h"
#include "platform/headless/FakeAudioPlayer.h"
#include "platform/headless/HeadlessCanvas.h"
#include "tests/editor/EditorFixture.h"

namespace {

using namespace std::chrono_literals;

std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }
std::string Utf8(const std::string& sjis) { return UnicodeToUtf8(AnsiToUnicode(sjis)); }

// An editor holding a lyrics text and a player on a fake clock, a song of one minute open and playing.
class WordSessionTest : public ::testing::TestWithParam<int> {
 protected:
  WordSessionTest() : FEditor(Sjis("[ti:星]\r\n夜空に\r\n\r\nファイト"), 265, GetParam()) {
    FPlayer.SetSongLength(60000ms);
    FPlayer.Open("song.wav");
    FPlayer.Play();
    FEditor.Caret(1, 0);
    FWords.ReadFileForm("song.lrc");
  }
  std::string Line(int line) const { return Utf8(FLines.LogicalLineText(line)); }
  void PlayTo(TMillis position) { FClock.Advance(position - FPlayer.StreamPosition()); }
  // The logical caret as "line:the text from the caret to the line's end".
  std::string CaretAt() const {
    const TLogicalPos caret = FEditor.LogicalCaret();
    return std::to_string(caret.Line) + ":" +
           Utf8(FLines.LogicalLineText(caret.Line).substr(static_cast<std::size_t>(caret.Col)));
  }

  TFakeClock FClock;
  TFakeAudioPlayer FPlayer{FClock};
  TEditorFixture FEditor;
  TSyncSession FLines{FEditor.edit, FPlayer};
  TWordSession FWords{FLines, FEditor.edit};
};

TEST_P(WordSessionTest, UnitsAreStampedInTurnOnToTheNextLineAndEachStepUndoesAlone) {
  std::vector<std::string> texts{FEditor.Text()};
  const struct {
    TMillis At;
    bool End;
    const char* Line1;
    const char* Caret;
  } steps[] = {
      {1000ms, false, "[00:01.00]<00:01.00>夜空に", "1:空に"},
      {1500ms, false, "[00:01.00]<00:01.00>夜<00:01.50>空に", "1:に"},
      {2000ms, false, "[00:01.00]<00:01.00>夜<00:01.50>空<00:02.00>に", "3:ファイト"},  // past the empty line
      // On the next line's first unit, the end goes to the line before.
      {2600ms, true, "[00:01.00]<00:01.00>夜<00:01.50>空<00:02.00>に<00:02.60>", "3:ファイト"},
  };
  for (const auto& step : steps) {
    PlayTo(step.At);
    if (step.End)
      FWords.StampEnd();
    else
      FWords.Stamp();
    EXPECT_EQ(Line(1), step.Line1);
    EXPECT_EQ(CaretAt(), step.Caret) << step.Line1;
    texts.push_back(FEditor.Text());
  }
  PlayTo(3000ms);
  FWords.Stamp();
  EXPECT_EQ(Line(3), "[00:03.00]<00:03.00>ファイト");
  EXPECT_EQ(CaretAt(), "3:イト");
  texts.push_back(FEditor.Text());
  for (std::size_t i = texts.size() - 1; i > 0; --i) {
    FEditor.edit.Undo();
    EXPECT_EQ(FEditor.Text(), texts[i - 1]) << i;
  }
}

TEST_P(WordSessionTest, JoinsAndSplitsAreRememberedByTheTagsWritten) {
  FEditor.Caret(3, 0);
  EXPECT_EQ(FWords.Split(), "単語の途中で分けてください");
  FEditor.Caret(3, 2);  // between フ and ァ
  FWords.Split();
  FEditor.Caret(3, 4);  // on イ
  FWords.Join();
  FEditor.Caret(3, 0);
  for (const TMillis at : {1000ms, 1200ms, 1400ms}) {
    PlayTo(at);
    FWords.Stamp();
  }
  EXPECT_EQ(Line(3), "[00:01.00]<00:01.00>フ<00:01.20>ァ<00:01.40>イト");
  // Joining across a tag takes the tag out, as one undo step.
  const std::string before = FEditor.Text();
  FEditor.Caret(3, 22);  // on ァ, after its tag
  EXPECT_EQ(Utf8(Sjis(FWords.Join())), "4 行目 「ァイト」 にしました");
  EXPECT_EQ(Line(3), "[00:01.00]<00:01.00>フ<00:01.20>ァイト");
  FEditor.edit.Undo();
  EXPECT_EQ(FEditor.Text(), before);
}

TEST_P(WordSessionTest, NudgeReplayAndRemovalActOnTheCaretsUnit) {
  FEditor.edit.SetAllText(Sjis("[00:01.00]<00:01.00>夜<00:02.00>空<00:03.00>に\r\n[00:04.00]次"));
  FWords.ReadFileForm("song.lrc");
  FEditor.Caret(0, 32);  // on 空
  FWords.Nudge(-100ms);
  EXPECT_EQ(Line(0), "[00:01.00]<00:01.00>夜<00:01.90>空<00:03.00>に");
  EXPECT_EQ(FEditor.LogicalCaret(), (TLogicalPos{0, 32}));
  EXPECT_EQ(FPlayer.StreamPosition(), 900ms);
  FWords.Replay();
  EXPECT_EQ(FPlayer.StreamPosition(), 1900ms);
  FClock.Advance(1100ms);
  FLines.Tick();
  EXPECT_FALSE(FPlayer.Playing());  // the next unit's time ends it
  FEditor.Caret(0, 44);             // on に: to the next line's tag
  FWords.Replay();
  FClock.Advance(999ms);
  FLines.Tick();
  EXPECT_TRUE(FPlayer.Playing());
  FClock.Advance(1ms);
  FLines.Tick();
  EXPECT_FALSE(FPlayer.Playing());
  FEditor.Caret(0, 32);
  FWords.RemoveTag();
  EXPECT_EQ(Line(0), "[00:01.00]<00:01.00>夜空<00:03.00>に");
  EXPECT_EQ(FWords.Nudge(100ms), "この単語にはタイムタグがありません");
  // The first unit of a line nudges the line tag with it.
  FEditor.Caret(0, 0);
  FWords.Nudge(1000ms);
  EXPECT_EQ(Line(0), "[00:02.00]<00:02.00>夜空<00:03.00>に");
}

TEST_P(WordSessionTest, AKraFileGetsInlineTagsAndTheHighlightFollowsTheCaretsUnit) {
  FWords.ReadFileForm("song.kra");
  for (const TMillis at : {1000ms, 1500ms, 2000ms}) {
    PlayTo(at);
    FWords.Stamp();
  }
  EXPECT_EQ(Line(1), "[00:01:00]夜[00:01:50]空[00:02:00]に");
  FEditor.Caret(1, 12);  // on 空's tag
  const auto unit = FWords.CaretUnit();
  ASSERT_TRUE(unit);
  EXPECT_EQ(unit->Line, 1);
  EXPECT_EQ(Utf8(FLines.LogicalLineText(1).substr(unit->Start, unit->End - unit->Start)), "空");
  FEditor.Caret(2, 0);
  EXPECT_FALSE(FWords.CaretUnit());  // an empty line has none
  // Nor has a line too long to be sung: the mark is read at every caret move.
  FEditor.edit.SetAllText(std::string(TWordSession::kMarkedLineBytes + 1, 'a') + "\r\n" +
                          std::string(TWordSession::kMarkedLineBytes, 'a'));
  FEditor.Caret(0, 0);
  EXPECT_FALSE(FWords.CaretUnit());
  FEditor.Caret(1, 0);
  EXPECT_TRUE(FWords.CaretUnit());
}

// Random word-mode actions at random carets: only tags ever change (the
// lines without their tags stay as they were), and undo takes every step back.
TEST_P(WordSessionTest, RandomActionsOnlyEverEditTagsAndUndoReturnsToTheStart) {
  std::mt19937 random(2712);
  for (int round = 0; round < 12; ++round) {
    FEditor.edit.SetAllText(
        Sjis("[ti:x]\r\n夜空にひかる星\r\nきゃりーぱみゅ ｶﾞｯｺｳ\r\n\r\nHello world!\r\n"
             "[00:09.00]<00:09.00>きみの<00:09.50>名前<00:10.00>"));
    FWords.ReadFileForm(round % 2 ? "song.kra" : "song.lrc");
    const int lines = 6;
    std::vector<std::string> tagFree;
    for (int line = 0; line < lines; ++line) tagFree.push_back(TagFreeText(FLines.LogicalLineText(line)));
    const std::string original = FEditor.Text();
    PlayTo(0ms);
    for (int step = 0; step < 40; ++step) {
      const int line = static_cast<int>(random() % lines);
      const std::string text = FLines.LogicalLineText(line);
      // The caret on a character boundary, tags included.
      std::vector<std::size_t> boundaries;
      for (std::size_t at = 0; at < text.size(); at += IsDBCSLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1)
        boundaries.push_back(at);
      boundaries.push_back(text.size());
      const TDisplayPos caret =
          FEditor.edit.ToDisplay({line, static_cast<int>(boundaries[random() % boundaries.size()])});
      FEditor.Caret(caret.Line, caret.Col);
      FClock.Advance(TMillis{static_cast<long long>(random() % 700)});
      switch (random() % 7) {
        case 0:
        case 1:
          FWords.Stamp();
          break;
        case 2:
          FWords.StampEnd();
          break;
        case 3:
          FWords.Nudge(random() % 2 ? 100ms : -1000ms);
          break;
        case 4:
          FWords.RemoveTag();
          break;
        case 5:
          FWords.Join();
          break;
        default:
          FWords.Split();
          break;
      }
      for (int l = 0; l < lines; ++l) ASSERT_EQ(TagFreeText(FLines.LogicalLineText(l)), tagFree[l]) << step;
    }
    EXPECT_NE(FEditor.Text(), original) << round;  // the steps did write tags
    for (int undo = 0; undo < 40; ++undo) FEditor.edit.Undo();
    EXPECT_EQ(FEditor.Text(), original) << round;
  }
}

INSTANTIATE_TEST_SUITE_P(Wraps, WordSessionTest, ::testing::Values(kUnwrapped, kWrapColumn));

// The mark of the next unit: a bar under its characters in each row it spans, where word wrap breaks it too.
TEST(WordUnitMarkTest, TheBarLiesUnderTheUnitsCharactersInEveryRowItSpans) {
  TEditorFixture editor(Sjis("x\r\nあいうえおかきくけこ"), 265, kWrapColumn);
  THeadlessCanvas canvas;
  const TRyxEdit& edit = editor.edit;
  DrawMarkedUnit(canvas, edit, TMarkedUnit{1, 8, 12}, 0, edit.Lines().Count() - 1);  // "おか", over the break
  std::vector<TRect> bars;
  for (const TCanvasOp& op : canvas.Ops())
    if (op.Op == "fill") bars.push_back(op.Rect);
  const int left = edit.TextLeft();
  const auto bottom = [&](int row) { return edit.TopMargin() + (row + 1) * edit.LineHeight(); };
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_EQ(bars[0], (TRect{left + 64, bottom(1) - 3, left + 81, bottom(1)}));
  EXPECT_EQ(bars[1], (TRect{left, bottom(2) - 3, left + 17, bottom(2)}));
  // Rows out of the painted range are left alone.
  canvas.TakeOps();
  DrawMarkedUnit(canvas, edit, TMarkedUnit{1, 8, 12}, 0, 0);
  EXPECT_TRUE(canvas.Ops().empty());
}

}  // namespace
