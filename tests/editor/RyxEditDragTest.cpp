// Text drag-and-drop and the popup menu on the headless backend, checked against a plain model of the text.
#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/editor/EditorFixture.h"

namespace {

// The offset in the whole text of a row and column.
std::size_t OffsetOf(const std::vector<std::string>& rows, int line, int col) {
  std::size_t offset = 0;
  for (int row = 0; row < line; ++row) offset += rows[static_cast<std::size_t>(row)].size();
  return offset + static_cast<std::size_t>(col);
}

// The plain model of a drop: the text as one string, the selection and the
// drop point as offsets into it. A drop on the selection, its ends included,
// changes nothing; a move takes the bytes out and puts them in where the
// drop point's neighbours are; a copy only puts them in.
std::string DroppedText(std::string text, std::size_t from, std::size_t to, std::size_t drop, bool copy) {
  if (drop >= from && drop <= to) return text;
  const std::string moved = text.substr(from, to - from);
  if (copy) return text.insert(drop, moved);
  text.erase(from, to - from);
  return text.insert(drop > to ? drop - moved.size() : drop, moved);
}

struct DragCase {
  const char* name;
  std::string text;
  // Steps that select the text and press inside it.
  std::vector<std::string> select;
  int dropRow;
  int dropCol;
  bool ctrl;
  std::string expected;
  // Undo steps that bring the text back.
  int undoSteps;
};

void PrintTo(const DragCase& c, std::ostream* out) { *out << c.name; }

class RyxEditDrag : public ::testing::TestWithParam<DragCase> {};

TEST_P(RyxEditDrag, DropsAsTheModelSaysAndUndoesBack) {
  const DragCase& c = GetParam();
  TEditorFixture f(c.text);
  for (const std::string& step : c.select) f.Do(step);
  ASSERT_EQ(f.host.Drags().size(), 1u) << "the press inside the selection starts a drag at once";
  int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
  ASSERT_TRUE(f.edit.GetSelBounds(startCol, startLine, endLine, endCol));
  const std::vector<std::string> rows = f.Rows();
  const std::size_t from = OffsetOf(rows, startLine, startCol);
  const std::size_t to = OffsetOf(rows, endLine, endCol);
  EXPECT_EQ(f.host.Drags().front(), f.Text().substr(from, to - from)) << "the drag offers the selected text";

  const std::string at = std::to_string(c.dropRow) + "," + std::to_string(c.dropCol);
  f.Do("move:" + at);
  EXPECT_TRUE(f.edit.SelActive()) << "the selection stays while the caret marks the drop point";
  const std::size_t drop = OffsetOf(rows, f.edit.CaretLine(), f.edit.CaretCol());
  f.Do("drop:" + at + (c.ctrl ? ",1" : ""));
  EXPECT_EQ(f.Text(), c.expected);
  EXPECT_EQ(f.Text(), DroppedText(c.text, from, to, drop, c.ctrl));
  EXPECT_EQ(f.Broken(), "");
  EXPECT_FALSE(f.edit.SelActive());
  EXPECT_EQ(f.changes, c.undoSteps == 0 ? 0 : 1) << "one OnChange for a drop, none for a cancelled one";
  for (int step = 0; step < c.undoSteps; ++step) f.edit.Undo();
  EXPECT_EQ(f.Text(), c.text);
  EXPECT_TRUE(f.edit.UndoList().empty());
  EXPECT_EQ(f.Broken(), "");
}

const std::string kLines = "one\r\ntwo\r\nthree\r\nfour";

INSTANTIATE_TEST_SUITE_P(
    Cases, RyxEditDrag,
    ::testing::Values(
        DragCase{"MoveDown", kLines, {"sel:0,0,0,3", "press:0,1"}, 2, 2, false, "\r\ntwo\r\nthoneree\r\nfour", 2},
        DragCase{"MoveUp", kLines, {"sel:2,3,2,5", "press:2,4"}, 0, 1, false, "oeene\r\ntwo\r\nthr\r\nfour", 2},
        DragCase{"MoveLinesDownPastABreak", kLines, {"sel:0,1,1,2", "press:1,0"}, 3, 2, false,
                 "oo\r\nthree\r\nfone\r\ntwur", 2},
        DragCase{"CtrlCopies", kLines, {"sel:1,0,1,3", "press:1,1"}, 3, 4, true, "one\r\ntwo\r\nthree\r\nfourtwo", 1},
        DragCase{"DropInsideCancels", kLines, {"sel:0,1,2,2", "press:1,1"}, 1, 2, false, kLines, 0},
        DragCase{"DropOnTheEndCancels", kLines, {"sel:0,1,2,2", "press:1,1"}, 2, 2, false, kLines, 0},
        DragCase{"CtrlDropOnTheStartCancels", kLines, {"sel:0,1,2,2", "press:1,1"}, 0, 1, true, kLines, 0},
        // The line with its break, dropped where the next line starts, is where it was.
        DragCase{"GutterLineOnTheNextLineStart", kLines, {"press:1,-1", "release", "press:1,1"}, 2, 0, false, kLines, 0},
        DragCase{"GutterLineToTheEnd", kLines, {"press:0,-1", "release", "press:0,1"}, 3, 4, false,
                 "two\r\nthree\r\nfourone\r\n", 2},
        DragCase{"SameLineToTheRight", "abcdefgh", {"sel:0,1,0,3", "press:0,2"}, 0, 6, false, "adefbcgh", 2},
        DragCase{"SameLineToTheLeft", "abcdefgh", {"sel:0,5,0,7", "press:0,6"}, 0, 2, false, "abfgcdeh", 2},
        // Lines ending in a break, dropped on the line right after them: the
        // text goes between the bytes the drop point stood between.
        DragCase{"LinesWithBreakOnTheNextLine", kLines, {"sel:0,1,2,0", "press:1,1"}, 2, 3, false,
                 "othrne\r\ntwo\r\nee\r\nfour", 2},
        DragCase{"LinesWithBreakFurtherDown", kLines, {"sel:0,1,2,0", "press:1,1"}, 3, 2, false,
                 "othree\r\nfone\r\ntwo\r\nur", 2}),
    [](const ::testing::TestParamInfo<DragCase>& each) { return std::string(each.param.name); });

// Every drop point of every row, the ends of soft-wrapped rows included (the
// same place in the text as the next row's start), for selections that start
// or end where a row is cut or end with a line break; moved and copied, with
// the text after each undo and redo step as the model says.
class RyxEditDropSweep : public ::testing::TestWithParam<int> {};

TEST_P(RyxEditDropSweep, EveryDropPointFollowsTheModelThroughUndoAndRedo) {
  // Wrapped at 10, the first and third lines are cut: the first before its
  // double-byte character, which does not fit the row.
  const std::string text = "abcdefghi\x82\xA0klmn\r\nopq\r\nrstuvwxyz0123\r\n45";
  // Anchor and caret as lines of the text.
  const std::vector<std::array<int, 4>> selections{{0, 9, 0, 13}, {0, 3, 0, 9}, {0, 9, 1, 0}, {1, 0, 2, 0},
                                                   {0, 11, 2, 0}, {2, 10, 3, 1}, {1, 1, 2, 10}, {3, 0, 2, 10}};
  for (const auto& [anchorLine, anchorCol, caretLine, caretCol] : selections) {
    TEditorFixture probe(text, 265, GetParam());
    const int rowCount = probe.edit.Lines().Count();
    for (int row = 0; row < rowCount; ++row) {
      const std::string rowText(probe.edit.Lines().Get(row));
      const TByteTypes kinds(rowText, false);
      for (int col = 0; col <= ContentLength(rowText); col += kinds.At(col + 1) == kLeadByte ? 2 : 1) {
        for (const bool copy : {false, true}) {
          const std::string where = "selection " + std::to_string(anchorLine) + ":" + std::to_string(anchorCol) + "-" +
                                    std::to_string(caretLine) + ":" + std::to_string(caretCol) + " dropped on row " +
                                    std::to_string(row) + " column " + std::to_string(col) + (copy ? " with Ctrl" : "");
          TEditorFixture f(text, 265, GetParam());
          f.Select(anchorLine, anchorCol, caretLine, caretCol);
          int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
          ASSERT_TRUE(f.edit.GetSelBounds(startCol, startLine, endLine, endCol));
          const std::vector<std::string> rows = f.Rows();
          const std::size_t from = OffsetOf(rows, startLine, startCol);
          const std::size_t to = OffsetOf(rows, endLine, endCol);
          auto x = [&](int r, int c) {
            return f.edit.TextLeft() + f.edit.TextXOfColumn(rows[static_cast<std::size_t>(r)], c) + 1;
          };
          f.edit.MouseDown(TMouseButton::mbLeft, 0, x(startLine, startCol), f.RowY(startLine));
          ASSERT_EQ(f.host.Drags().size(), 1u) << where;
          bool accept = false;
          f.edit.DragOver(&f.edit, x(row, col), f.RowY(row), TDragState::dsDragMove, accept);
          ASSERT_EQ(f.edit.CaretLine(), row) << where;
          ASSERT_EQ(f.edit.CaretCol(), col) << where;
          f.host.SetKeyDown(VK_CONTROL, copy);
          f.Do("release");
          f.host.SetKeyDown(VK_CONTROL, false);
          const std::size_t drop = OffsetOf(rows, row, col);
          const std::string dropped = DroppedText(text, from, to, drop, copy);
          ASSERT_EQ(f.Text(), dropped) << where;
          ASSERT_EQ(f.Broken(), "") << where;
          ASSERT_EQ(f.changes, drop < from || drop > to ? 1 : 0) << where;
          // Undo goes back through the text without the moved bytes; redo returns the same way.
          std::vector<std::string> steps{text};
          if (drop < from || drop > to) {
            if (!copy) steps.push_back(std::string(text).erase(from, to - from));
            steps.push_back(dropped);
          }
          for (std::size_t step = steps.size() - 1; step-- > 0;) {
            f.edit.Undo();
            ASSERT_EQ(f.Text(), steps[step]) << where << ", undo back to step " << step;
            ASSERT_EQ(f.Broken(), "") << where;
          }
          ASSERT_TRUE(f.edit.UndoList().empty()) << where;
          for (std::size_t step = 1; step < steps.size(); ++step) {
            f.edit.Redo();
            ASSERT_EQ(f.Text(), steps[step]) << where << ", redo to step " << step;
            ASSERT_EQ(f.Broken(), "") << where;
          }
          ASSERT_TRUE(f.edit.RedoList().empty()) << where;
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Forms, RyxEditDropSweep, ::testing::Values(kUnwrapped, kWrapColumn));

class RyxEditDragMode : public ::testing::Test {
 protected:
  RyxEditDragMode() : f(kLines) { f.edit.SetDragMode(TDragMode::dmManual); }
  TEditorFixture f;
};

TEST_F(RyxEditDragMode, ManualWithoutAHandlerIsAnOrdinaryPress) {
  f.Do("sel:0,0,1,2");
  f.Do("press:0,2");
  EXPECT_TRUE(f.host.Drags().empty());
  EXPECT_FALSE(f.edit.SelActive());
  EXPECT_EQ(f.edit.CaretLine(), 0);
  EXPECT_EQ(f.edit.CaretCol(), 2);
}

TEST_F(RyxEditDragMode, ManualHandlerThatRefusesClearsTheSelection) {
  std::string offered;
  f.edit.OnManualStartDrag = [&](TObject*, const std::string& text, bool& canDrag) {
    offered = text;
    canDrag = false;
  };
  f.Do("sel:0,0,1,2");
  f.Do("press:0,2");
  EXPECT_EQ(offered, "one\r\ntw");
  EXPECT_TRUE(f.host.Drags().empty());
  EXPECT_FALSE(f.edit.SelActive());
}

TEST_F(RyxEditDragMode, ManualHandlerThatBeginsTheDragMovesTheText) {
  f.edit.OnManualStartDrag = [&](TObject*, const std::string& text, bool& canDrag) {
    EXPECT_TRUE(canDrag);
    f.edit.BeginDrag(text);
  };
  f.Do("sel:0,0,0,3");
  f.Do("press:0,1");
  ASSERT_EQ(f.host.Drags(), std::vector<std::string>{"one"});
  f.Do("drop:1,3");
  EXPECT_EQ(f.Text(), "\r\ntwoone\r\nthree\r\nfour");
}

TEST(RyxEditDragReadOnly, ADragStartsButTheDropChangesNothing) {
  TEditorFixture f(kLines);
  f.Do("readonly:1");
  f.Do("sel:0,0,0,3");
  f.Do("press:0,1");
  EXPECT_EQ(f.host.Drags().size(), 1u);
  f.Do("drop:2,2");
  EXPECT_EQ(f.Text(), kLines);
  EXPECT_FALSE(f.edit.SelActive());
  EXPECT_TRUE(f.edit.UndoList().empty());
  EXPECT_EQ(f.changes, 0);
}

TEST(RyxEditDragCursor, CtrlSwitchesToTheCopyCursorAndTheEndRestoresTheMoveCursor) {
  TEditorFixture f(kLines);
  f.Do("sel:0,0,0,3");
  f.Do("press:0,1");
  EXPECT_EQ(f.host.DragCursor(), crDragMove);
  f.host.SetKeyDown(VK_CONTROL, true);
  f.edit.Perform(WM_KEYDOWN, VK_CONTROL, 0);
  EXPECT_EQ(f.host.DragCursor(), crDragCopy);
  f.host.SetKeyDown(VK_CONTROL, false);
  f.edit.Perform(WM_KEYUP, VK_CONTROL, 0);
  EXPECT_EQ(f.host.DragCursor(), crDragMove);
  f.host.SetKeyDown(VK_CONTROL, true);
  f.edit.Perform(WM_KEYDOWN, VK_CONTROL, 0);
  f.Do("drop:2,1,1");
  EXPECT_EQ(f.host.DragCursor(), crDragMove);
  EXPECT_EQ(f.edit.DragCursor(), crDragMove);
  EXPECT_EQ(f.Text(), "one\r\ntwo\r\ntonehree\r\nfour");
}

TEST(RyxEditDragElsewhere, LeavesTheTextAndTheSelectionAndPutsTheCaretBack) {
  TEditorFixture f(kLines);
  f.Do("sel:0,1,1,2");
  f.Do("press:0,2");
  f.Do("move:3,1");
  EXPECT_EQ(f.edit.CaretLine(), 3) << "the caret marks the drop point";
  EXPECT_TRUE(f.edit.SelActive()) << "the selection stays while the drag runs";
  f.Do("dropelsewhere");
  EXPECT_EQ(f.Text(), kLines);
  EXPECT_TRUE(f.edit.SelActive());
  EXPECT_EQ(f.edit.CaretLine(), 1);
  EXPECT_EQ(f.edit.CaretCol(), 2);
  EXPECT_EQ(f.edit.SelText(), "ne\r\ntw");
  EXPECT_EQ(f.changes, 0);
  // The control is idle again: a move without the button extends nothing.
  f.Do("move:3,3");
  EXPECT_EQ(f.edit.CaretLine(), 1);
}

TEST(RyxEditForeignDrop, InsertsAtTheDropPointAsOneStepUnlessReadOnly) {
  TEditorFixture f(kLines);
  f.Do("sel:0,0,0,2");
  TTextDragObject foreign;
  bool accept = false;
  f.edit.DragOver(&foreign, f.CellX(1), f.RowY(2), TDragState::dsDragEnter, accept);
  EXPECT_TRUE(accept);
  f.edit.DragOver(&foreign, f.CellX(2), f.RowY(2), TDragState::dsDragMove, accept);
  foreign.Text = "\x82\xA0\r\nX";
  f.edit.DragDrop(&foreign, f.CellX(2), f.RowY(2));
  EXPECT_EQ(f.Text(), "one\r\ntwo\r\nth\x82\xA0\r\nXree\r\nfour");
  EXPECT_FALSE(f.edit.SelActive()) << "the selection elsewhere goes";
  EXPECT_EQ(f.changes, 1);
  f.edit.Undo();
  EXPECT_EQ(f.Text(), kLines);
  EXPECT_EQ(f.Broken(), "");

  // A drag that leaves puts the caret back.
  f.Do("caret:0,1");
  f.edit.DragOver(&foreign, f.CellX(3), f.RowY(3), TDragState::dsDragEnter, accept);
  EXPECT_EQ(f.edit.CaretLine(), 3);
  f.edit.DragOver(&foreign, 0, 0, TDragState::dsDragLeave, accept);
  EXPECT_EQ(f.edit.CaretLine(), 0);
  EXPECT_EQ(f.edit.CaretCol(), 1);

  f.Do("readonly:1");
  f.edit.DragOver(&foreign, f.CellX(2), f.RowY(2), TDragState::dsDragEnter, accept);
  EXPECT_FALSE(accept);
  f.edit.DragDrop(&foreign, f.CellX(2), f.RowY(2));
  EXPECT_EQ(f.Text(), kLines);
}

class TRecordingMenu : public IPopupMenu {
 public:
  void Popup(int screenX, int screenY) override { Points.push_back({screenX, screenY}); }
  std::vector<TPoint> Points;
};

TEST(RyxEditPopupMenu, OpensAtTheRightPressAndBelowTheCaretLeavingCaretAndSelection) {
  TEditorFixture f(kLines);
  TRecordingMenu menu;
  f.Do("sel:0,1,1,2");
  f.edit.MouseDown(TMouseButton::mbRight, 0, 30, 50);
  EXPECT_TRUE(menu.Points.empty()) << "no menu assigned, nothing pops up";
  f.edit.SetPopupMenu(&menu);
  f.edit.MouseDown(TMouseButton::mbRight, 0, 30, 50);
  f.edit.MouseUp(TMouseButton::mbRight, 0, 30, 50);
  ASSERT_EQ(menu.Points.size(), 1u);
  EXPECT_EQ(menu.Points[0], (TPoint{30 + THeadlessHost::kScreenOrigin.X, 50 + THeadlessHost::kScreenOrigin.Y}));
  EXPECT_TRUE(f.edit.SelActive());
  EXPECT_EQ(f.edit.CaretLine(), 1);
  EXPECT_EQ(f.edit.CaretCol(), 2);
  // From the keyboard: under the caret.
  f.edit.Perform(WM_CONTEXTMENU, 0, static_cast<LPARAM>(0xFFFFFFFFu));
  ASSERT_EQ(menu.Points.size(), 2u);
  EXPECT_EQ(menu.Points[1], (TPoint{f.edit.TextLeft() + 16 + THeadlessHost::kScreenOrigin.X,
                                    f.edit.TopMargin() + 2 * f.edit.LineHeight() + THeadlessHost::kScreenOrigin.Y}));
  EXPECT_TRUE(f.edit.SelActive());
}

}  // namespace
