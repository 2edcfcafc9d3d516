// Markers read from lyrics lines, and a marker dragged on a headless editor: the text follows each move, the whole drag is one undo step.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/core/MarkerDrag.h"
#include "app/core/SyncSession.h"
#include "app/core/TimeTags.h"
#include "platform/CodePage.h"
#include "platform/headless/FakeAudioPlayer.h"
#include "tests/editor/EditorFixture.h"

namespace {

using namespace std::chrono_literals;

std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }

TEST(TagMarkersTest, EveryLineAndWordTagIsAMarkerAndMovesInItsOwnForm) {
  const struct {
    const char* Line;
    std::vector<TTagMarker> Markers;
    std::size_t Moved;
    const char* After;  // the line with tag `Moved` at 83:04.56(7)
  } cases[] = {
      {"[00:12.34]<00:12.34>さざ<00:13.00>なみ<00:14.50>",
       {{4, 0, 12340ms, false}, {4, 1, 12340ms, true}, {4, 2, 13000ms, true}, {4, 3, 14500ms, true}},
       2, "[00:12.34]<00:12.34>さざ<83:04.57>なみ<00:14.50>"},
      {"[00:01:00]き[00:01:50]ょう", {{4, 0, 1000ms, false}, {4, 1, 1500ms, true}}, 1, "[00:01:00]き[83:04:57]ょう"},
      {"[01:02.345]歌", {{4, 0, 62345ms, false}}, 0, "[83:04.567]歌"},
      {"[00:01.00][00:30.00]繰り返し", {{4, 0, 1000ms, false}, {4, 1, 30000ms, false}}, 1,
       "[00:01.00][83:04.57]繰り返し"},
      {"[ti:曲名]", {}, 0, nullptr},
      {"タグのない行 [0:1.0]", {}, 0, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Line);
    const std::string line = Sjis(c.Line);
    std::vector<TTagMarker> markers;
    AppendTagMarkers(4, line, markers);
    EXPECT_EQ(markers, c.Markers);
    const auto edit = MovedTagEdit(line, c.Moved, 4984567ms);
    ASSERT_EQ(edit.has_value(), c.After != nullptr);
    if (!edit) continue;
    std::string moved = line;
    moved.replace(edit->Start, edit->Length, edit->Text);
    EXPECT_EQ(moved, Sjis(c.After));
  }
}

class MarkerDragTest : public ::testing::Test {
 protected:
  MarkerDragTest() {
    FPlayer.SetSongLength(60000ms);
    FPlayer.Open("song.wav");
  }
  std::string Line(int line) const { return FSession.LogicalLineText(line); }
  // The marker `tag` of logical line `line` as the strip reads it.
  TTagMarker MarkerOf(int line, std::size_t tag) const {
    std::vector<TTagMarker> markers;
    AppendTagMarkers(line, Line(line), markers);
    return markers.at(tag);
  }

  TFakeClock FClock;
  TFakeAudioPlayer FPlayer{FClock};
  TEditorFixture FEditor{Sjis("[ti:曲名]\r\n[00:01.00]<00:01.00>さざ<00:01.50>なみ\r\n[00:03:00]音[00:03:40]が"), 265, kWrapColumn};
  TSyncSession FSession{FEditor.edit, FPlayer};
  TMarkerDrag FDrag{FEditor.edit, FSession};
};

TEST_F(MarkerDragTest, TheMarkersOfRowsAreThoseOfTheLinesThatTakeThemIn) {
  // Wrapped at a small column: tags straddle rows, and a row range may start or end inside a line.
  const TRyxStrings& rows = FEditor.edit.Lines();
  for (int first = 0; first < rows.Count(); ++first) {
    for (int last = first; last < rows.Count(); ++last) {
      std::vector<TTagMarker> expected;
      for (int line = rows.LogicalLineOf(first); line <= rows.LogicalLineOf(last); ++line)
        AppendTagMarkers(line, Line(line), expected);
      std::vector<TTagMarker> got;
      AppendRowMarkers(rows, first, last, got);
      ASSERT_EQ(got, expected) << first << ".." << last;
    }
  }
  // Only the start of a very long line is read for them.
  FEditor.edit.SetAllText("[00:01.00]" + std::string(kMarkedBytes, 'a') + "<00:02.00>b\r\n[00:03.00]c");
  std::vector<TTagMarker> got;
  AppendRowMarkers(rows, 0, rows.Count() - 1, got);
  EXPECT_EQ(got, (std::vector<TTagMarker>{{0, 0, 1000ms, false}, {1, 0, 3000ms, false}}));
}

TEST_F(MarkerDragTest, RandomDragsFollowInTheTextAndEachIsOneUndoStep) {
  // Wrapped at a small column, so that tags straddle rows; each drag checked against the line written by hand.
  std::mt19937 random(21);
  const std::string start = FEditor.Text();
  std::vector<std::string> afterEachDrag{start};
  for (int drag = 0; drag < 12; ++drag) {
    const int line = 1 + static_cast<int>(random() % 2);
    const std::size_t tag = random() % (line == 1 ? 3 : 2);
    const TTagMarker marker = MarkerOf(line, tag);
    const std::string before = Line(line);
    FDrag.Begin(marker, FPlayer.Duration());
    TMillis at = marker.Time;
    for (int move = 0; move < 8; ++move) {
      at = TMillis{static_cast<long long>(random() % 70000) - 5000};
      FDrag.MoveTo(at);
      // The model: the tag written by hand at the time held to the song.
      const TTaggedLine parsed = ParseTaggedLine(before);
      std::string expected = before;
      std::string written;
      AppendTimeTag(written, parsed.Tags[tag], std::clamp(at, 0ms, 60000ms).count());
      expected.replace(parsed.Tags[tag].Start, parsed.Tags[tag].Length, written);
      ASSERT_EQ(Line(line), expected) << drag << "/" << move;
    }
    FDrag.End();
    afterEachDrag.push_back(FEditor.Text());
  }
  // Undo takes the drags back one by one, redo brings them again.
  for (std::size_t i = afterEachDrag.size() - 1; i > 0; --i) {
    FEditor.edit.Undo();
    ASSERT_EQ(FEditor.Text(), afterEachDrag[i - 1]) << i;
  }
  FEditor.edit.Undo();
  EXPECT_EQ(FEditor.Text(), start);
  for (std::size_t i = 1; i < afterEachDrag.size(); ++i) {
    FEditor.edit.Redo();
    ASSERT_EQ(FEditor.Text(), afterEachDrag[i]) << i;
  }
}

TEST_F(MarkerDragTest, ADragBackToItsStartLeavesNoStepAndAnEditBetweenMovesStays) {
  FEditor.Caret(0, 0);
  FEditor.edit.TypeText("x");
  const std::string typed = FEditor.Text();
  const std::size_t steps = FEditor.edit.UndoList().size();
  FDrag.Begin(MarkerOf(2, 1), FPlayer.Duration());
  EXPECT_EQ(FDrag.MoveTo(5000ms), "3 行目: ワードタグ 00:05.00");
  EXPECT_EQ(FDrag.MoveTo(3402ms), "3 行目: ワードタグ 00:03.40");  // as the tag holds it
  FDrag.End();
  EXPECT_EQ(FEditor.Text(), typed);
  EXPECT_EQ(FEditor.edit.UndoList().size(), steps);

  // Typing while a drag goes on: the drag's step is no longer the newest, and stays.
  FDrag.Begin(MarkerOf(1, 2), FPlayer.Duration());
  FDrag.MoveTo(2000ms);
  FEditor.Caret(0, 0);
  FEditor.edit.TypeText("y");
  FDrag.MoveTo(2500ms);
  FDrag.End();
  EXPECT_EQ(Line(0), Sjis("yx[ti:曲名]"));
  EXPECT_EQ(Line(1), Sjis("[00:01.00]<00:01.00>さざ<00:02.50>なみ"));
  FEditor.edit.Undo();
  EXPECT_EQ(Line(1), Sjis("[00:01.00]<00:01.00>さざ<00:02.00>なみ"));
  FEditor.edit.Undo();
  FEditor.edit.Undo();
  EXPECT_EQ(FEditor.Text(), typed);
}

TEST_F(MarkerDragTest, AReadOnlyTextOrALostTagIsLeftAlone) {
  const std::string start = FEditor.Text();
  FEditor.edit.SetReadOnly(true);
  FDrag.Begin(MarkerOf(1, 0), FPlayer.Duration());
  EXPECT_EQ(FDrag.MoveTo(9000ms), "");
  EXPECT_EQ(FEditor.Text(), start);
  FEditor.edit.SetReadOnly(false);
  FDrag.Begin(TTagMarker{0, 0, 0ms, false}, FPlayer.Duration());  // an ID tag line holds no time tag
  EXPECT_EQ(FDrag.MoveTo(9000ms), "");
  EXPECT_FALSE(FDrag.Active());
  EXPECT_EQ(FEditor.Text(), start);
}

}  // namespace
