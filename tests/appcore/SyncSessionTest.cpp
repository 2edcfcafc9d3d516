// Sync mode on a headless editor and a player on a fake clock: stamp times, tag forms, nudges, replays, undo and the sung line.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "app/core/SungLines.h"
#include "app/core/SyncSession.h"
#include "app/core/TimeTags.h"
#include "platform/CodePage.h"
#include "platform/headless/FakeAudioPlayer.h"
#include "tests/editor/EditorFixture.h"

namespace {

using namespace std::chrono_literals;

std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }

TEST(SyncStampTest, StampTimeTakesLatencyAndReactionOffAndHoldsToTheSong) {
  const struct {
    TMillis Stream, Latency, Reaction;
    std::optional<TMillis> Length;
    TMillis Time;
    bool AtStart, AtEnd;
  } cases[] = {
      {12345ms, 0ms, 0ms, 60000ms, 12345ms, false, false},
      {12345ms, 200ms, 120ms, 60000ms, 12025ms, false, false},
      {250ms, 200ms, 120ms, 60000ms, 0ms, true, false},     // before the song's start
      {320ms, 200ms, 120ms, 60000ms, 0ms, false, false},    // exactly at the start: not clamped
      {61000ms, 0ms, 0ms, 60000ms, 60000ms, false, true},   // a position beyond the length
      {61000ms, 0ms, 0ms, std::nullopt, 61000ms, false, false},
      {5000ms, -30ms, 0ms, 60000ms, 5030ms, false, false},  // a reaction delay measured as early
  };
  for (const auto& c : cases) {
    const TStampTime held = StampTime(c.Stream, c.Latency, c.Reaction, c.Length);
    EXPECT_EQ(held.Time, c.Time) << c.Stream.count();
    EXPECT_EQ(held.ClampedAtStart, c.AtStart) << c.Stream.count();
    EXPECT_EQ(held.ClampedAtEnd, c.AtEnd) << c.Stream.count();
  }
}

TEST(SyncStampTest, AStampKeepsTheLinesOwnFormOrTakesTheFiles) {
  const TTagForm dot{'.', 2}, colon{':', 2}, millis{'.', 3};
  const struct {
    const char* Line;
    TTagForm FileForm;
    const char* Expected;
  } cases[] = {
      {"歌詞", dot, "[01:02.35]歌詞"},
      {"歌詞", colon, "[01:02:35]歌詞"},
      {"歌詞", millis, "[01:02.345]歌詞"},
      {"[00:01.00]歌詞", colon, "[01:02.35]歌詞"},      // the line's own form wins
      {"[00:01:00]歌詞", dot, "[01:02:35]歌詞"},
      {"[00:01.000]歌詞", dot, "[01:02.345]歌詞"},
      {"[00:01.00][00:30.00]歌詞", dot, "[01:02.35][00:30.00]歌詞"},  // the first line tag only
      {"<00:01.00>歌<00:02.00>詞", dot, "[01:02.35]<00:01.00>歌<00:02.00>詞"},  // word tags time no line
      {"[0:1.0]歌詞", dot, "[01:02.35][0:1.0]歌詞"},    // a malformed tag is text
      {"", dot, "[01:02.35]"},
  };
  for (const auto& c : cases) {
    const std::string line = Sjis(c.Line);
    const TLineEdit edit = StampEdit(line, 62345ms, c.FileForm);
    std::string stamped = line;
    stamped.replace(edit.Start, edit.Length, edit.Text);
    EXPECT_EQ(stamped, Sjis(c.Expected)) << c.Line;
  }
}

TEST(SyncStampTest, ReplayRangesEndAtTheNextLinesTimeWhenItComesLater) {
  EXPECT_EQ(LineReplayRange(5000ms, 9000ms).To, 9000ms);
  EXPECT_EQ(LineReplayRange(5000ms, 4000ms).To, std::nullopt);  // out of order: to the song's end
  EXPECT_EQ(LineReplayRange(5000ms, std::nullopt).To, std::nullopt);
  EXPECT_EQ(NudgeReplayStart(5000ms), 4000ms);
  EXPECT_EQ(NudgeReplayStart(400ms), 0ms);
}

// An editor holding a lyrics text and a player on a fake clock, a song of one minute open and playing.
class SyncSessionTest : public ::testing::Test {
 protected:
  explicit SyncSessionTest(int wrapColumn = kUnwrapped)
      : FEditor(Sjis("[ti:曲名]\r\n[ar:歌手]\r\n一行目\r\n二行目\r\n[ti:途中]\r\n三行目"), 265, wrapColumn) {
    FPlayer.SetSongLength(60000ms);
    FPlayer.Open("song.wav");
    FPlayer.Play();
    FEditor.Caret(2, 0);
    FSession.ReadFileForm();
  }
  std::string Line(int line) const {
    std::string text;
    int last = 0;
    FEditor.edit.JoinLogicalLine(FEditor.edit.Lines().FirstIndexOfLogicalLine(line), text, last);
    return StripEndMarker(StripLineEnd(text));
  }
  void PlayTo(TMillis position) { FClock.Advance(position - FPlayer.StreamPosition()); }

  TFakeClock FClock;
  TFakeAudioPlayer FPlayer{FClock};
  TEditorFixture FEditor;
  TSyncSession FSession{FEditor.edit, FPlayer};
};

TEST_F(SyncSessionTest, StampsFollowTheSongLineByLineSkippingIdTagsAndEachUndoesAlone) {
  FPlayer.SetLatency(200ms);
  FSession.SetReactionDelay(120ms);
  FEditor.Caret(0, 0);  // on an ID tag line: the first timed line takes the stamp
  const std::string original = FEditor.Text();
  std::vector<std::string> texts{original};
  for (const TMillis at : {5320ms, 9000ms, 14500ms}) {
    PlayTo(at);
    FSession.Stamp();
    texts.push_back(FEditor.Text());
  }
  EXPECT_EQ(Line(2), Sjis("[00:05.00]一行目"));
  EXPECT_EQ(Line(3), Sjis("[00:08.68]二行目"));
  EXPECT_EQ(Line(4), Sjis("[ti:途中]"));  // passed over
  EXPECT_EQ(Line(5), Sjis("[00:14.18]三行目"));
  // The last line has no line after it: the caret stays on it.
  EXPECT_EQ(FEditor.LogicalCaret().Line, 5);
  for (std::size_t i = texts.size() - 1; i > 0; --i) {
    FEditor.edit.Undo();
    EXPECT_EQ(FEditor.Text(), texts[i - 1]) << i;
  }
  FEditor.edit.Redo();
  EXPECT_EQ(FEditor.Text(), texts[1]);
}

TEST_F(SyncSessionTest, AStampOnATaggedLineReplacesItsTagInItsFormAndClampsAtTheStart) {
  FEditor.edit.SetAllText(Sjis("[00:09:50]一行目\r\n二行目"));
  FSession.ReadFileForm();
  FEditor.Caret(1, 0);
  PlayTo(3000ms);
  FSession.Stamp();
  EXPECT_EQ(Line(1), Sjis("[00:03:00]二行目"));  // the file's form
  FEditor.Caret(0, 4);
  FSession.SetReactionDelay(5000ms);
  const std::string said = FSession.Stamp();
  EXPECT_EQ(Line(0), Sjis("[00:00:00]一行目"));
  EXPECT_NE(said.find("0 秒"), std::string::npos) << said;
  FEditor.edit.Undo();
  EXPECT_EQ(Line(0), Sjis("[00:09:50]一行目"));
}

TEST_F(SyncSessionTest, AnEndLineHoldsOnlyATagAfterTheCaretsLine) {
  PlayTo(7000ms);
  FSession.InsertEndLine();
  EXPECT_EQ(Line(2), Sjis("一行目"));
  EXPECT_EQ(Line(3), Sjis("[00:07.00]"));
  EXPECT_EQ(Line(4), Sjis("二行目"));
  EXPECT_EQ(FEditor.LogicalCaret().Line, 4);
  FEditor.edit.Undo();
  EXPECT_EQ(Line(3), Sjis("二行目"));
}

TEST_F(SyncSessionTest, NudgesMoveTheTagHoldItToTheSongKeepTheCaretAndReplayFromASecondBefore) {
  FEditor.edit.SetAllText(Sjis("[00:10.00]一行目\r\n[00:00.05]二行目\r\n[00:59.95]三行目"));
  const struct {
    int Line;
    TMillis Delta;
    const char* Expected;
    TMillis ReplayFrom;
  } cases[] = {
      {0, 100ms, "[00:10.10]一行目", 9100ms},   {0, -10ms, "[00:10.09]一行目", 9090ms},
      {0, 1000ms, "[00:11.09]一行目", 10090ms}, {1, -100ms, "[00:00.00]二行目", 0ms},
      {2, 1000ms, "[01:00.00]三行目", 59000ms},
  };
  for (const auto& c : cases) {
    FEditor.Caret(c.Line, 12);  // inside the text, after the tag
    FPlayer.Pause();
    const std::string before = FEditor.Text();
    FSession.Nudge(c.Delta);
    EXPECT_EQ(Line(c.Line), Sjis(c.Expected));
    EXPECT_EQ(FEditor.LogicalCaret().Line, c.Line);
    EXPECT_EQ(FEditor.LogicalCaret().Col, 12);
    EXPECT_EQ(FPlayer.StreamPosition(), c.ReplayFrom) << c.Expected;
    EXPECT_TRUE(FPlayer.Playing());
    FEditor.edit.Undo();
    EXPECT_EQ(FEditor.Text(), before) << c.Expected;
    FEditor.edit.Redo();
  }
}

TEST_F(SyncSessionTest, ReplayPlaysTheLineToTheNextLinesTagAndStops) {
  FEditor.edit.SetAllText(Sjis("[00:10.00]一行目\r\n[ar:x]\r\n[00:12.50]二行目"));
  FEditor.Caret(0, 0);
  FPlayer.Pause();
  FSession.ReplayLine();
  EXPECT_EQ(FPlayer.StreamPosition(), 10000ms);
  EXPECT_TRUE(FPlayer.Playing());
  FClock.Advance(2400ms);
  FSession.Tick();
  EXPECT_TRUE(FPlayer.Playing());
  FClock.Advance(100ms);
  FSession.Tick();
  EXPECT_FALSE(FPlayer.Playing());
  EXPECT_FALSE(FSession.Replaying());
}

TEST_F(SyncSessionTest, MovingBetweenLinesSeeksToTheirTags) {
  FEditor.edit.SetAllText(Sjis("[00:10.00]一行目\r\n二行目\r\n[00:20.00]三行目"));
  FEditor.Caret(0, 0);
  FSession.MoveLine(1);
  EXPECT_EQ(FEditor.LogicalCaret().Line, 1);
  EXPECT_EQ(FPlayer.StreamPosition(), 0ms);  // an untagged line leaves the song where it is
  FSession.MoveLine(1);
  EXPECT_EQ(FPlayer.StreamPosition(), 20000ms);
  FSession.MoveLine(1);  // held to the last line
  EXPECT_EQ(FEditor.LogicalCaret().Line, 2);
  FSession.MoveLine(-2);
  EXPECT_EQ(FPlayer.StreamPosition(), 10000ms);
}

TEST_F(SyncSessionTest, RemovingATagIsOneStepAndALineWithoutOneIsSaidSo) {
  FEditor.edit.SetAllText(Sjis("[00:10.000]一行目\r\n二行目"));
  FEditor.Caret(0, 13);
  FSession.RemoveTag();
  EXPECT_EQ(Line(0), Sjis("一行目"));
  EXPECT_EQ(FEditor.LogicalCaret().Col, 2);
  FEditor.Caret(1, 0);
  EXPECT_NE(FSession.RemoveTag().find("タイムタグがありません"), std::string::npos);
  FEditor.edit.Undo();
  EXPECT_EQ(Line(0), Sjis("[00:10.000]一行目"));
}

// Undo takes back a bare insertion together with a removal just before it at the same place.
TEST_F(SyncSessionTest, AStampOrAnEndLineAfterARemovalThereIsStillItsOwnUndoStep) {
  for (const char* text : {"[00:10.00]一\r\nb", "[00:10.00]a\r\nb"}) {
    FEditor.edit.SetAllText(Sjis(text));
    FEditor.Caret(0, 0);
    FSession.RemoveTag();
    const std::string removed = FEditor.Text();
    FEditor.Caret(0, 0);
    FSession.Stamp();
    FEditor.edit.Undo();
    EXPECT_EQ(FEditor.Text(), removed) << text;
  }
  FEditor.edit.SetAllText("ab\r\nc");
  FEditor.Select(0, 1, 0, 2);
  FEditor.edit.DeleteCharRight();  // the line's end is where the end line goes
  const std::string deleted = FEditor.Text();
  FEditor.Caret(0, 0);
  FSession.InsertEndLine();
  EXPECT_EQ(FEditor.Text(), "a\r\n[00:00.00]\r\nc");
  FEditor.edit.Undo();
  EXPECT_EQ(FEditor.Text(), deleted);
}

TEST_F(SyncSessionTest, OverwriteModeStampsReplaceOnlyTheTag) {
  FEditor.edit.SetAllText(Sjis("[00:10.00]一行目\r\n二行目"));
  FEditor.edit.ToggleInsertMode();
  FEditor.Caret(0, 0);
  PlayTo(3000ms);
  FSession.Stamp();
  EXPECT_EQ(Line(0), Sjis("[00:03.00]一行目"));
  EXPECT_FALSE(FEditor.edit.InsertMode());
}

TEST_F(SyncSessionTest, WithoutASongNothingChanges) {
  FPlayer.Close();
  const std::string before = FEditor.Text();
  EXPECT_NE(FSession.Stamp().find("音声が開かれていません"), std::string::npos);
  EXPECT_EQ(FEditor.Text(), before);
}

// The same actions where the text is soft-wrapped at ten cells, so a tag may straddle two rows.
class SyncSessionWrappedTest : public SyncSessionTest {
 protected:
  SyncSessionWrappedTest() : SyncSessionTest(kWrapColumn) {}
};

TEST_F(SyncSessionWrappedTest, StampsAndNudgesTagsThatStraddleRows) {
  FEditor.edit.SetAllText(Sjis("[00:01.000]とても長い一行目の歌詞\r\n短い\r\n"));
  FSession.ReadFileForm();
  FEditor.Caret(0, 0);
  PlayTo(4321ms);
  FSession.Stamp();
  EXPECT_EQ(Line(0), Sjis("[00:04.321]とても長い一行目の歌詞"));
  EXPECT_EQ(FEditor.LogicalCaret().Line, 1);
  FSession.Stamp();
  EXPECT_EQ(Line(1), Sjis("[00:04.321]短い"));
  FEditor.Caret(0, 21);
  FSession.Nudge(-1000ms);
  EXPECT_EQ(Line(0), Sjis("[00:03.321]とても長い一行目の歌詞"));
  EXPECT_EQ(FEditor.LogicalCaret(), (TLogicalPos{0, 21}));
}

// Each edit of sync mode goes through the editor's one door: one change
// report, with the rows in their final form, and OnChange once after it.
TEST(SyncSessionDoorTest, EachEditIsReportedOnceAndSignalledOnceAfterTheReport) {
  const struct {
    const char* Name;
    int Line, Col;
    std::function<std::string(TSyncSession&)> Act;
  } cases[] = {
      {"stamp", 1, 0, [](TSyncSession& s) { return s.Stamp(); }},
      {"stamp over a tag", 0, 0, [](TSyncSession& s) { return s.Stamp(); }},
      {"end line", 1, 0, [](TSyncSession& s) { return s.InsertEndLine(); }},
      {"nudge", 2, 12, [](TSyncSession& s) { return s.Nudge(100ms); }},
      {"tag removed", 2, 12, [](TSyncSession& s) { return s.RemoveTag(); }},
  };
  for (const int wrap : {kUnwrapped, kWrapColumn}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.Name) + " wrap " + std::to_string(wrap));
      TFakeClock clock;
      TFakeAudioPlayer player{clock};
      player.SetSongLength(60000ms);
      player.Open("song.wav");
      player.Play();
      clock.Advance(3000ms);
      TEditorFixture editor(Sjis("[00:10.00]とても長い一行目の歌詞\r\n二行目\r\n[00:20.00]三行目"), 265, wrap);
      TSyncSession session{editor.edit, player};
      session.ReadFileForm();
      editor.Caret(c.Line, c.Col);
      const std::string before = editor.Text();
      int reports = 0;
      std::vector<int> reportsAtChange;
      editor.edit.OnLinesChanged = [&](TObject*, int, int, int) {
        ++reports;
        if (!editor.edit.WordWrap()) return;
        TRyxStrings fresh;
        editor.edit.BuildWrappedLines(fresh);
        std::vector<std::string> rows;
        for (int i = 0; i < fresh.Count(); ++i) rows.emplace_back(fresh.Get(i));
        EXPECT_EQ(editor.Rows(), rows) << "reported before the rows were rewrapped";
      };
      editor.edit.OnChange = [&](TObject*) { reportsAtChange.push_back(reports); };
      c.Act(session);
      EXPECT_NE(editor.Text(), before);
      EXPECT_EQ(reports, 1);
      EXPECT_EQ(reportsAtChange, std::vector<int>{1}) << "OnChange once, after the report";
    }
  }
}

// Unwrapped and wrapped at ten cells, where the tags of the last line straddle rows.
TEST(SungLinesTest, TheMarkFollowsTheTimeNotTheLineOrder) {
  for (const int wrap : {kUnwrapped, kWrapColumn}) {
    TEditorFixture editor(
        Sjis("[ti:x]\r\n[00:10.00]a\r\n[00:20.00]b\r\n[00:15.00]c\r\nd\r\n[00:30.00][00:05.00]e"), 265, wrap);
    TSungLines sung;
    sung.Read(editor.edit.Lines());
    const struct {
      TMillis At;
      std::optional<int> Line;
    } cases[] = {{0ms, std::nullopt}, {5000ms, 5}, {9999ms, 5}, {10000ms, 1},
                 {16000ms, 3},        {20000ms, 2}, {29000ms, 2}, {31000ms, 5}};
    for (const auto& c : cases) EXPECT_EQ(sung.LineAt(c.At), c.Line) << c.At.count() << " wrap " << wrap;
  }
}

// The oracle: the text split at its line breaks, the line tags at the head
// of each line (the first 64 bytes, as far as the mark looks), sorted by time.
std::vector<std::pair<TMillis, int>> LineTagsByTime(const std::string& text) {
  std::vector<std::pair<TMillis, int>> tags;
  std::size_t start = 0;
  for (int line = 0;; ++line) {
    const std::size_t end = text.find("\r\n", start);
    const TTaggedLine parsed = ParseTaggedLine(text.substr(start, std::min<std::size_t>(64, end - start)));
    for (std::size_t i = 0; i < parsed.LineTagCount; ++i) tags.emplace_back(TMillis{parsed.Tags[i].Millis}, line);
    if (end == std::string::npos) break;
    start = end + 2;
  }
  std::sort(tags.begin(), tags.end());
  return tags;
}

// The lines kept up to date from the editor's change reports equal a fresh
// read of the whole text after every edit, lines coming and going among
// them, and both mark the line the plain split of the text says. Chunks of
// four tags make every edit split, empty or move chunks.
TEST(SungLinesTest, RandomEditsKeepTheLinesEqualToAFreshRead) {
  for (const auto& [wrap, chunkSize] : {std::pair{kUnwrapped, 4}, {kWrapColumn, 4}, {kUnwrapped, 1024}}) {
    TEditorFixture f("[00:01.00]abc\r\n[00:03.00]de[00:02.00]\r\nxyz\r\n[00:04.00][00:00.50]longer line here\r\n", 265,
                     wrap);
    TSungLines kept(chunkSize);
    kept.Read(f.edit.Lines());
    f.edit.OnLinesChanged = [&](TObject*, int first, int oldLast, int newLast) {
      kept.Changed(f.edit.Lines(), first, oldLast, newLast);
    };
    const std::vector<std::string> steps = {
        "type:[00:07.00]", "type:[00:05.00]ab", "type:x", "Return", "Back", "Delete", "Ctrl+Z", "Ctrl+Shift+Z",
        "paste:[00:06.00]p\r\n[00:08.00]q\r\n", "paste:\r\n\r\n", "Up", "Down", "Home", "End", "Left", "Right",
        "Shift+Down", "Shift+Right", "cut", "Ctrl+Home", "Ctrl+End"};
    std::mt19937 random(21);
    for (int i = 0; i < 500; ++i) {
      const std::string step = steps[random() % steps.size()];
      f.Do(step);
      if (i % 89 == 0) f.edit.ReplaceAllText(f.edit.GetAllText() + "\r\n[00:09.00]end");
      TSungLines fresh;
      fresh.Read(f.edit.Lines());
      ASSERT_TRUE(kept == fresh) << "step " << i << " " << step << " wrap " << wrap;
      // Just before and at each tag's time, the latest line by time, then by line.
      const std::vector<std::pair<TMillis, int>> tags = LineTagsByTime(f.Text());
      for (std::size_t k = 0; k < tags.size(); ++k) {
        const TMillis at = tags[k].first;
        const auto last = std::upper_bound(tags.begin(), tags.end(), std::pair{at, std::numeric_limits<int>::max()});
        ASSERT_EQ(kept.LineAt(at), std::optional<int>(std::prev(last)->second)) << "step " << i << " wrap " << wrap;
        if (k > 0 && tags[k - 1].first == at) continue;
        ASSERT_EQ(kept.LineAt(at - 1ms), k == 0 ? std::nullopt : std::optional<int>(tags[k - 1].second)) << "step " << i;
      }
    }
  }
}

}  // namespace
