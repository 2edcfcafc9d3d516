// The mouse on the headless backend: presses, Shift presses, gutter lines, dragged and auto-scrolled selections.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "editor/RyxEdit.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/editor/EditorFixture.h"

namespace {

constexpr TColor kSel = clNavy;

using Pos = std::pair<int, int>;
// Text drawn and the background it was drawn on.
using TextList = std::vector<std::pair<std::string, TColor>>;

// 8 px per half-width byte, 16 per double-byte character, rows 18 px high
// under a top margin of 4, the text starting at x 10: 14 whole rows.
struct Fixture : TEditorFixture {
  explicit Fixture(const std::string& text) : TEditorFixture(text) {
    edit.SetSelColor(kSel);
    edit.OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  }
  static int X(int textX) { return 10 + textX; }
  static int Y(int row) { return 4 + 18 * row + 9; }
  void Press(int x, int y, bool shift = false, TMouseButton button = TMouseButton::mbLeft) {
    host.SetKeyDown(VK_SHIFT, shift);
    edit.MouseDown(button, shift ? ssShift : 0, x, y);
    host.SetKeyDown(VK_SHIFT, false);
  }
  void Move(int x, int y) { edit.MouseMove(0, x, y); }
  void Release(int x, int y) { edit.MouseUp(TMouseButton::mbLeft, 0, x, y); }
  void Click(int x, int y, bool shift = false) {
    Press(x, y, shift);
    Release(x, y);
  }
  Pos At() const { return {edit.CaretLine(), edit.CaretCol()}; }
  std::string Selected() {
    int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
    if (!edit.GetSelBounds(startCol, startLine, endLine, endCol)) return "";
    std::string all;
    for (int line = startLine; line <= endLine; ++line) {
      const std::string row(edit.Lines().Get(line));
      const int from = line == startLine ? startCol : 0;
      const int to = line == endLine ? endCol : static_cast<int>(row.size());
      all += row.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    }
    return all;
  }
  TextList Painted() {
    TextList texts;
    for (const TCanvasOp& op : host.HeadlessCanvas().TakeOps())
      if (op.Op == "text") texts.emplace_back(op.Text, op.Bk);
    return texts;
  }

  int downs = 0;
};

std::string Numbered(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += "line " + std::to_string(i) + (i + 1 < lines ? "\r\n" : "");
  return text;
}

TEST(RyxEditMousePress, MapsThePointToAWholeCharacterAndClampsToTheText) {
  Fixture f("a\x82\xA0" "b\r\nxy\r\nlast");
  // The double-byte character spans text x 8..24: its left half goes before it, its right half after.
  f.Click(Fixture::X(8 + 7), Fixture::Y(0));
  EXPECT_EQ(f.At(), (Pos{0, 1}));
  f.Click(Fixture::X(8 + 9), Fixture::Y(0));
  EXPECT_EQ(f.At(), (Pos{0, 3}));
  EXPECT_EQ(f.edit.CaretX(), 24);
  // Right of a short line: the end of its content, before the line break.
  f.Click(Fixture::X(300), Fixture::Y(1));
  EXPECT_EQ(f.At(), (Pos{1, 2}));
  // Below the text: the last line.
  f.Click(Fixture::X(100), Fixture::Y(9));
  EXPECT_EQ(f.At(), (Pos{2, 4}));
  // Up to 4 px left of the text the press still maps inside it and selects nothing.
  f.Click(Fixture::X(-4), Fixture::Y(1));
  EXPECT_EQ(f.At(), (Pos{1, 0}));
  EXPECT_FALSE(f.edit.SelActive());
  EXPECT_EQ(f.downs, 5);
  EXPECT_TRUE(f.host.Caret().Visible());
  EXPECT_EQ(f.host.Caret().X(), Fixture::X(0));
  EXPECT_EQ(f.host.Caret().Y(), 4 + 18);
}

TEST(RyxEditMousePress, TakesTheFocusAndCommitsAComposition) {
  Fixture f("abc");
  f.host.KillFocus();
  ASSERT_FALSE(f.host.Caret().Created());
  f.Click(Fixture::X(16), Fixture::Y(0));
  EXPECT_TRUE(f.host.Focused());
  EXPECT_TRUE(f.host.Caret().Visible());
  EXPECT_EQ(f.host.Caret().X(), Fixture::X(16));
  EXPECT_EQ(f.host.ImeNotifications(), (std::vector<std::pair<DWORD, DWORD>>{{NI_COMPOSITIONSTR, CPS_COMPLETE}}));
}

TEST(RyxEditMousePress, ShiftExtendsFromTheAnchor) {
  Fixture f("abcd\r\nefgh\r\nijkl");
  f.Click(Fixture::X(8), Fixture::Y(0));
  f.host.HeadlessCanvas().TakeOps();
  f.Click(Fixture::X(16), Fixture::Y(1), true);
  EXPECT_EQ(f.At(), (Pos{1, 2}));
  EXPECT_EQ(f.Selected(), "bcd\r\nef");
  EXPECT_EQ(f.Painted(), (TextList{{"bcd", kSel}, {"ef", kSel}}));
  // A second Shift press moves the same selection's end; the anchor stays.
  f.Click(Fixture::X(24), Fixture::Y(2), true);
  EXPECT_EQ(f.edit.SelStart(), (TPoint{1, 0}));
  EXPECT_EQ(f.Selected(), "bcd\r\nefgh\r\nijk");
  // Back before the anchor: the selection turns round it.
  f.Click(Fixture::X(0), Fixture::Y(0), true);
  EXPECT_EQ(f.Selected(), "a");
}

TEST(RyxEditMousePress, ShiftAfterSelectAllKeepsTheStartAndShowsWhatIsSelected) {
  Fixture f("abcd\r\nefgh\r\nijkl");
  f.edit.SelectAll();
  f.host.HeadlessCanvas().TakeOps();
  f.Click(Fixture::X(16), Fixture::Y(1), true);
  EXPECT_FALSE(f.edit.SelAll());
  EXPECT_EQ(f.Selected(), "abcd\r\nef");
  EXPECT_EQ(f.Painted(), (TextList{{"ijkl", clWhite}, {"gh", clWhite}}));
}

TEST(RyxEditMousePress, AClickInsideASelectionPlacesTheCaretAndDropsTheSelection) {
  Fixture f("abcdef");
  f.Select(0, 1, 0, 5);
  f.host.HeadlessCanvas().TakeOps();
  // The press starts a text drag at once; released where it was pressed, the
  // drag drops the text on itself, which only drops the selection.
  f.Press(Fixture::X(24), Fixture::Y(0));
  EXPECT_TRUE(f.host.DragRunning());
  f.host.EndDrag(&f.edit, Fixture::X(24), Fixture::Y(0));
  EXPECT_FALSE(f.edit.SelActive());
  EXPECT_EQ(f.At(), (Pos{0, 3}));
  EXPECT_EQ(f.Painted(), (TextList{{"bcde", clWhite}}));
  EXPECT_EQ(f.Text(), "abcdef");
  EXPECT_EQ(f.Selected(), "");
}

TEST(RyxEditMousePress, TheRightButtonLeavesCaretAndSelectionAlone) {
  Fixture f("abcdef\r\nxyz");
  f.Select(0, 1, 0, 3);
  f.Press(Fixture::X(8), Fixture::Y(1), false, TMouseButton::mbRight);
  f.Move(Fixture::X(16), Fixture::Y(1));
  EXPECT_EQ(f.At(), (Pos{0, 3}));
  EXPECT_EQ(f.Selected(), "bc");
  EXPECT_EQ(f.downs, 1);
}

TEST(RyxEditMousePress, TheSecondPressOfADoubleClickOnlyReportsTheDoubleClick) {
  Fixture f("abc def\r\nxyz");
  int dblClicks = 0;
  f.edit.OnDblClick = [&](TObject*) { ++dblClicks; };
  f.Click(Fixture::X(8), Fixture::Y(0));
  // The platform sends the double click and then the press itself, which selects the word.
  f.edit.DblClick();
  f.Click(Fixture::X(8), Fixture::Y(0));
  EXPECT_EQ(dblClicks, 1);
  EXPECT_EQ(f.Selected(), "abc");
  EXPECT_EQ(f.downs, 1);
  // The press after it is an ordinary one again.
  f.Click(Fixture::X(16), Fixture::Y(1));
  EXPECT_EQ(f.At(), (Pos{1, 2}));
  EXPECT_EQ(f.downs, 2);
}

// A double click at the byte column of a line (its left half), as the platform delivers it.
void DoubleClickAt(Fixture& f, int row, int textX) {
  f.Click(Fixture::X(textX), Fixture::Y(row));
  f.edit.DblClick();
  f.Press(Fixture::X(textX), Fixture::Y(row));
}

TEST(RyxEditMouseWords, ADoubleClickSelectsTheRunOfOneKindOfCharacterUnderThePoint) {
  // 「[00:12.30]夜空にひかる星をカタカナでLyrics2024と」 and a line of half-width katakana.
  const std::string line = "[00:12.30]\x96\xe9\x8b\xf3\x82\xc9\x82\xd0\x82\xa9\x82\xe9\x90\xaf\x82\xf0"
                           "\x83\x4a\x83\x5e\x83\x4a\x83\x69\x82\xc5Lyrics2024\x82\xc6";
  Fixture f(line + "\r\n\xb6\xc0\xb6\xc5 abc");
  struct Case {
    int row;
    int textX;  // pixels into the text: 8 a half-width byte, 16 a double-byte character
    std::string word;
  };
  const std::vector<Case> cases = {
      {0, 80 + 4, "\x96\xe9\x8b\xf3"},                        // 夜空: kanji
      {0, 80 + 32 + 12, "\x82\xc9\x82\xd0\x82\xa9\x82\xe9"},  // にひかる: hiragana, the right half of に
      {0, 80 + 96 + 2, "\x90\xaf"},                              // 星
      {0, 80 + 112 + 2, "\x82\xf0"},                             // を
      {0, 80 + 128 + 40, "\x83\x4a\x83\x5e\x83\x4a\x83\x69"},  // カタカナ: katakana
      {0, 80 + 208 + 20, "Lyrics2024"},                         // half-width letters and digits
      {0, 80 + 208 + 79, "Lyrics2024"},                         // the right half of the last digit
      {0, 36, "12"},
      {1, 4, "\xb6\xc0\xb6\xc5"},  // half-width katakana
      {1, 52, "abc"},
  };
  for (const Case& c : cases) {
    DoubleClickAt(f, c.row, c.textX);
    EXPECT_EQ(f.Selected(), c.word) << c.row << " at " << c.textX;
    f.Release(Fixture::X(c.textX), Fixture::Y(c.row));
  }
}

TEST(RyxEditMouseWords, DraggingAfterADoubleClickExtendsByWordsAndATripleClickTakesTheLine) {
  // 「夜空に ひかる星」
  Fixture f("\x96\xe9\x8b\xf3\x82\xc9 \x82\xd0\x82\xa9\x82\xe9\x90\xaf\r\nnext");
  DoubleClickAt(f, 0, 4);
  EXPECT_EQ(f.Selected(), "\x96\xe9\x8b\xf3");
  // Into the middle of ひかる: the selection takes it whole.
  f.Move(Fixture::X(56 + 18), Fixture::Y(0));
  EXPECT_EQ(f.Selected(), "\x96\xe9\x8b\xf3\x82\xc9 \x82\xd0\x82\xa9\x82\xe9");
  // Back into the anchor word: just that word again.
  f.Move(Fixture::X(20), Fixture::Y(0));
  EXPECT_EQ(f.Selected(), "\x96\xe9\x8b\xf3");
  f.Release(Fixture::X(20), Fixture::Y(0));
  // An ordinary press and drag selects by characters again.
  f.Click(Fixture::X(8), Fixture::Y(1));
  f.Press(Fixture::X(2), Fixture::Y(0));
  f.Move(Fixture::X(18), Fixture::Y(0));
  EXPECT_EQ(f.Selected(), "\x96\xe9");
  f.Release(Fixture::X(18), Fixture::Y(0));
  // The third press of a triple click selects the whole line.
  DoubleClickAt(f, 0, 60);
  f.Release(Fixture::X(60), Fixture::Y(0));
  f.edit.DblClick();
  f.Press(Fixture::X(60), Fixture::Y(0));
  EXPECT_EQ(f.Selected(), "\x96\xe9\x8b\xf3\x82\xc9 \x82\xd0\x82\xa9\x82\xe9\x90\xaf\r\n");
}

TEST(RyxEditMouseGutter, APressSelectsTheLineWithItsBreak) {
  Fixture f("ab\r\ncd\r\nef\r\n");
  f.host.HeadlessCanvas().TakeOps();
  f.Click(5, Fixture::Y(1));
  EXPECT_EQ(f.At(), (Pos{1, 0}));
  EXPECT_EQ(f.Selected(), "cd\r\n");
  EXPECT_EQ(f.Painted(), (TextList{{"cd", kSel}}));
  // The last line holds only the end of the text: the press just moves the caret.
  f.Click(5, Fixture::Y(3));
  EXPECT_EQ(f.At(), (Pos{3, 0}));
  EXPECT_FALSE(f.edit.SelActive());
}

TEST(RyxEditMouseGutter, TheOwnerDrawsOverTheSelectedLineLast) {
  Fixture f("ab\r\ncd\r\nef\r\ngh");
  std::vector<std::pair<int, int>> draws;
  std::size_t opsAtLastDraw = 0;
  f.edit.OnUserClientDraw = [&](TObject*, int, int, int L1, int L2) {
    draws.emplace_back(L1, L2);
    opsAtLastDraw = f.host.HeadlessCanvas().Ops().size();
  };
  // A selection to clear: the clearing announces the caret at the pressed line.
  f.Press(Fixture::X(16), Fixture::Y(0));
  f.Move(Fixture::X(8), Fixture::Y(0));
  f.Release(Fixture::X(8), Fixture::Y(0));
  draws.clear();
  f.Click(5, Fixture::Y(2));
  ASSERT_FALSE(draws.empty());
  EXPECT_EQ(draws.back(), (std::pair<int, int>{1, 3}));
  EXPECT_EQ(opsAtLastDraw, f.host.HeadlessCanvas().Ops().size());
}

TEST(RyxEditMouseGutter, DraggingFromTheGutterSelectsWholeLines) {
  Fixture f("ab\r\ncd\r\nef\r\ngh");
  f.Press(5, Fixture::Y(1));
  f.Move(5, Fixture::Y(2));
  EXPECT_EQ(f.Selected(), "cd\r\n");
  f.Move(5, Fixture::Y(3));
  EXPECT_EQ(f.Selected(), "cd\r\nef\r\n");
  f.Release(5, Fixture::Y(3));
  // Upwards the pressed line stays selected with the lines above it.
  f.Press(5, Fixture::Y(2));
  f.Move(5, Fixture::Y(0));
  f.Release(5, Fixture::Y(0));
  EXPECT_EQ(f.Selected(), "ab\r\ncd\r\nef\r\n");
  EXPECT_EQ(f.At(), (Pos{0, 0}));
}

TEST(RyxEditMouseGutter, ATextSelectionDraggedDownIntoTheGutterShowsItsWholeFirstLine) {
  Fixture f("abcd\r\nefgh");
  f.Press(Fixture::X(16), Fixture::Y(0));
  f.Move(Fixture::X(24), Fixture::Y(0));
  f.host.HeadlessCanvas().TakeOps();
  f.Move(5, Fixture::Y(1));
  EXPECT_EQ(f.Selected(), "abcd\r\n");
  TextList painted = f.Painted();
  EXPECT_NE(std::find(painted.begin(), painted.end(), TextList::value_type{"ab", kSel}), painted.end());
  EXPECT_NE(std::find(painted.begin(), painted.end(), TextList::value_type{"d", kSel}), painted.end());
}

TEST(RyxEditMouseDrag, MovesExtendTheSelectionRepaintingOnlyTheDifference) {
  Fixture f("abcd\r\nefgh\r\nijkl");
  f.Press(Fixture::X(8), Fixture::Y(0));
  f.host.HeadlessCanvas().TakeOps();
  f.Move(Fixture::X(24), Fixture::Y(0));
  EXPECT_EQ(f.Painted(), (TextList{{"bc", kSel}}));
  f.Move(Fixture::X(16), Fixture::Y(0));
  EXPECT_EQ(f.Painted(), (TextList{{"c", clWhite}}));
  // The same point again repaints nothing.
  f.Move(Fixture::X(17), Fixture::Y(0));
  EXPECT_EQ(f.Painted(), TextList{});
  f.Move(Fixture::X(8), Fixture::Y(1));
  EXPECT_EQ(f.Painted(), (TextList{{"cd", kSel}, {"e", kSel}}));
  EXPECT_EQ(f.Selected(), "bcd\r\ne");
  // Back over the anchor: the far side turns selected, the passed part plain.
  f.Move(Fixture::X(0), Fixture::Y(0));
  EXPECT_EQ(f.Painted(), (TextList{{"e", clWhite}, {"a", kSel}, {"bcd", clWhite}}));
  f.Release(Fixture::X(0), Fixture::Y(0));
  EXPECT_EQ(f.Selected(), "a");
  // After the release moving the mouse selects nothing more.
  f.Move(Fixture::X(32), Fixture::Y(2));
  EXPECT_EQ(f.Selected(), "a");
  EXPECT_EQ(f.At(), (Pos{0, 0}));
}

TEST(RyxEditMouseDrag, BelowTheViewTheTimerScrollsUntilTheRelease) {
  Fixture f(Numbered(100));
  f.edit.SetCaretScrollFix(true);
  f.Press(Fixture::X(8), Fixture::Y(2));
  f.Move(Fixture::X(8), Fixture::Y(8));
  ASSERT_EQ(f.At(), (Pos{8, 1}));
  EXPECT_FALSE(f.edit.CaretScrollFix());
  f.Move(Fixture::X(8), 4 + 18 * 14 + 1);
  // Leaving the text area moves nothing by itself.
  EXPECT_EQ(f.At(), (Pos{8, 1}));
  auto tick = [&f](int n) {
    std::vector<int> tops;
    for (int i = 0; i < n; ++i) {
      f.host.TickTimers();
      tops.push_back(f.edit.TopLine());
    }
    return tops;
  };
  // One line a tick: down to the bottom band of 3 rows first, then the view scrolls with the caret.
  EXPECT_EQ(tick(5), (std::vector<int>{0, 0, 0, 1, 2}));
  EXPECT_EQ(f.edit.CaretLine(), 13);
  EXPECT_EQ(f.edit.SelStart(), (TPoint{1, 2}));
  EXPECT_EQ(f.edit.SelEnd(), (TPoint{f.edit.CaretCol(), 13}));
  // A long hold speeds up to ScrollStep lines a tick.
  EXPECT_EQ(tick(5), (std::vector<int>{3, 4, 6, 8, 10}));
  f.Release(Fixture::X(8), 300);
  EXPECT_TRUE(f.edit.CaretScrollFix());
  EXPECT_EQ(tick(2), (std::vector<int>{10, 10}));
  EXPECT_TRUE(f.edit.SelActive());
  // The next selection starts at one line a tick again.
  f.Press(Fixture::X(8), Fixture::Y(12));
  f.Move(Fixture::X(8), 300);
  EXPECT_EQ(tick(2), (std::vector<int>{11, 12}));
}

TEST(RyxEditMouseDrag, ComingBackIntoTheTextStopsTheTimer) {
  Fixture f(Numbered(100));
  f.Press(Fixture::X(8), Fixture::Y(5));
  f.Move(Fixture::X(8), 2);
  f.host.TickTimers();
  f.host.TickTimers();
  EXPECT_EQ(f.edit.CaretLine(), 3);
  f.Move(Fixture::X(8), Fixture::Y(6));
  f.host.TickTimers();
  EXPECT_EQ(f.At(), (Pos{6, 1}));
  EXPECT_EQ(f.Selected(), "ine 5\r\nl");
}

TEST(RyxEditMouseDrag, RightOfTheViewTheTimerStepsToTheEndOfTheLine) {
  Fixture f("ab\x82\xA0\r\nxyz");
  f.Press(Fixture::X(0), Fixture::Y(0));
  f.Move(f.edit.TextLeft() + f.edit.TextWidth() + 1, Fixture::Y(0));
  std::vector<int> cols;
  for (int i = 0; i < 4; ++i) {
    f.host.TickTimers();
    cols.push_back(f.edit.CaretCol());
  }
  EXPECT_EQ(cols, (std::vector<int>{1, 2, 4, 4}));
  EXPECT_EQ(f.Selected(), "ab\x82\xA0");
}

}  // namespace
