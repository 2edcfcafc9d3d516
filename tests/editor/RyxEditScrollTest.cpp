// The scroll messages, the wheel and the document-start and -end jumps on the headless backend.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/editor/EditorFixture.h"

namespace {

// Row pitch 18 (16 px cells, 10 % spacing) under a top margin of 4: a client
// height of 364 gives 20 whole rows, so the view may scroll 4 rows past the end.
// "line 0" to "line n-1" in a window of the given height; keys are held down
// without release, so that a repeated key counts as auto-repeat.
struct Fixture : TEditorFixture {
  explicit Fixture(int lines, int height = 364) : TEditorFixture(Numbered(lines), height) {}
  static std::string Numbered(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += "line " + std::to_string(i) + (i + 1 < lines ? "\r\n" : "");
    return text;
  }
  LRESULT VScroll(WORD code, int thumb = 0) {
    return edit.Perform(WM_VSCROLL, MakeLong(code, static_cast<WORD>(thumb)), 0);
  }
  void Key(WORD key, bool shift = false, bool ctrl = false) { TEditorFixture::Key(key, shift, ctrl, false); }
};

TEST(RyxEditVScroll, TheViewStopsAFifthOfAPagePastTheLastLine) {
  Fixture f(100);
  ASSERT_EQ(f.edit.VisibleLines(), 20);
  EXPECT_EQ(f.VScroll(SB_BOTTOM), 83);
  EXPECT_EQ(f.edit.TopLine(), 83);
  EXPECT_EQ(f.host.ScrollBar(SB_VERT).Pos, 83);
  EXPECT_EQ(f.VScroll(SB_LINEDOWN), 0);
  EXPECT_EQ(f.VScroll(SB_PAGEDOWN), 0);
  EXPECT_EQ(f.edit.TopLine(), 83);
  // A page is the rows of the text area; the top stops at 0.
  EXPECT_EQ(f.VScroll(SB_PAGEUP), -20);
  EXPECT_EQ(f.VScroll(SB_TOP), -63);
  EXPECT_EQ(f.VScroll(SB_LINEUP), 0);
  EXPECT_EQ(f.edit.TopLine(), 0);
}

TEST(RyxEditVScroll, AScrollInvalidatesTheRowsAndMovesTheCaretWithTheView) {
  Fixture f(100);
  f.Caret(5, 2);
  f.host.TakeInvalidations();
  EXPECT_EQ(f.VScroll(SB_LINEDOWN), 1);
  const auto invalid = f.host.TakeInvalidations();
  ASSERT_EQ(invalid.size(), 1u);
  EXPECT_EQ(invalid[0], (TRect{0, 4, 440, 364}));
  EXPECT_EQ(f.edit.CaretLine(), 6);
  EXPECT_EQ(f.edit.CaretCol(), 2);
  // The system caret stays on its screen row.
  EXPECT_EQ(f.host.Caret().Y(), 4 + 5 * 18);
  EXPECT_TRUE(f.host.Caret().Visible());
}

TEST(RyxEditVScroll, ShortTextKeepsADisabledBarAndTheViewAtTheTop) {
  Fixture f(10);
  EXPECT_FALSE(f.host.ScrollBar(SB_VERT).Enabled);
  EXPECT_TRUE(f.host.ScrollBar(SB_VERT).Visible);
  EXPECT_EQ(f.VScroll(SB_PAGEDOWN), 0);
  f.Caret(9, 0);
  EXPECT_EQ(f.edit.TopLine(), 0);
  f.Key(VK_DOWN);
  EXPECT_EQ(f.edit.TopLine(), 0);
  EXPECT_EQ(f.edit.CaretLine(), 9);
}

TEST(RyxEditVScroll, ThumbPositionsAreScaledToSixteenBitsAndOnlyTrackingMoves) {
  Fixture f(100000);
  EXPECT_EQ(f.host.ScrollBar(SB_VERT).Max, 24996);  // ceil(99983 / 4)
  EXPECT_EQ(f.VScroll(SB_THUMBPOSITION, 10), 0);
  EXPECT_EQ(f.edit.TopLine(), 0);
  EXPECT_EQ(f.VScroll(SB_THUMBTRACK, 10), 40);
  EXPECT_EQ(f.edit.TopLine(), 40);
  EXPECT_EQ(f.host.ScrollBar(SB_VERT).Pos, 10);
  EXPECT_EQ(f.VScroll(SB_ENDSCROLL, 0), 0);
  EXPECT_EQ(f.VScroll(SB_BOTTOM), 99983 - 40);
  EXPECT_EQ(f.host.ScrollBar(SB_VERT).Pos, 24996);
}

TEST(RyxEditVScroll, CaretScrollFixKeepsTheCaretOnItsLineDuringThumbDrags) {
  for (const bool fix : {false, true}) {
    Fixture f(100);
    f.edit.SetCaretScrollFix(fix);
    f.Caret(5, 3);
    f.VScroll(SB_THUMBTRACK, 10);
    EXPECT_EQ(f.edit.TopLine(), 10);
    EXPECT_EQ(f.edit.CaretLine(), fix ? 5 : 15) << fix;
    EXPECT_EQ(f.edit.CaretCol(), 3) << fix;
    if (fix) {
      // Out of the view, the caret comes back with the next key before it moves.
      f.Key(VK_RIGHT);
      EXPECT_EQ(f.edit.CaretLine(), 5);
      EXPECT_EQ(f.edit.CaretCol(), 4);
      EXPECT_EQ(f.edit.TopLine(), 2);  // the line comes back on the row above the band's height
    }
  }
}

TEST(RyxEditVScroll, ACaretBelowTheBandStaysOnItsLineWhileTheViewComes) {
  Fixture f(100);
  f.Caret(18, 0);
  ASSERT_EQ(f.edit.TopLine(), 2);  // line 18 on the band's first row
  f.VScroll(SB_TOP);
  EXPECT_EQ(f.edit.CaretLine(), 16);
  // Row 16 is the band's first row: the caret moves with the view.
  f.VScroll(SB_LINEDOWN);
  EXPECT_EQ(f.edit.CaretLine(), 17);
}

TEST(RyxEditWheel, WholeNotchesScrollTwoLinesEachAndPartNotchesNothing) {
  Fixture f(100);
  f.edit.Perform(WM_MOUSEWHEEL, MakeLong(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(f.edit.TopLine(), 2);
  f.edit.Perform(WM_MOUSEWHEEL, MakeLong(0, static_cast<WORD>(-60)), 0);
  f.edit.Perform(WM_MOUSEWHEEL, MakeLong(0, static_cast<WORD>(-60)), 0);
  EXPECT_EQ(f.edit.TopLine(), 2);
  f.edit.Perform(WM_MOUSEWHEEL, MakeLong(0, static_cast<WORD>(-360)), 0);
  EXPECT_EQ(f.edit.TopLine(), 8);
  EXPECT_EQ(f.edit.Perform(WM_MOUSEWHEEL, MakeLong(0, 240), 0), 0);
  EXPECT_EQ(f.edit.TopLine(), 4);
}

TEST(RyxEditVScroll, HeldArrowKeysAccelerateAfterFourScrollsUntilReleased) {
  Fixture f(100);
  f.edit.SetScrollStep(3);
  f.Caret(16, 0);
  auto held = [&f](WORD key, int presses) {
    std::vector<int> steps;
    for (int i = 0; i < presses; ++i) {
      const int top = f.edit.TopLine();
      f.Key(key);
      steps.push_back(f.edit.TopLine() - top);
    }
    return steps;
  };
  EXPECT_EQ(held(VK_DOWN, 7), (std::vector<int>{1, 1, 1, 1, 3, 3, 3}));
  // The caret rode along on the band's first row.
  EXPECT_EQ(f.edit.CaretLine() - f.edit.TopLine(), 16);
  // Turning round counts afresh in the new direction, even without a release.
  f.Caret(f.edit.TopLine(), 0);
  EXPECT_EQ(held(VK_UP, 5), (std::vector<int>{-1, -1, -1, -1, -3}));
  f.edit.Perform(WM_KEYUP, VK_UP, 0);
  EXPECT_EQ(held(VK_UP, 1), (std::vector<int>{-1}));
  f.Caret(f.edit.TopLine() + 16, 0);
  EXPECT_EQ(held(VK_DOWN, 1), (std::vector<int>{1}));
}

struct HFixture : Fixture {
  HFixture() : Fixture(1) {
    edit.SetHorzScrollBar(true);
    edit.SetAllText(std::string(100, 'a') + "\r\nb");
  }
  LRESULT HScroll(WORD code, int thumb = 0) {
    return edit.Perform(WM_HSCROLL, MakeLong(code, static_cast<WORD>(thumb)), 0);
  }
};

TEST(RyxEditHScroll, StepsMovePixelsWithinTheWidestVisibleLine) {
  HFixture f;
  ASSERT_EQ(f.edit.TextWidth(), 430);  // step 86, page 143
  std::vector<int> draws;
  f.edit.OnUserDraw = [&](TObject*, int c1, int, int, int) { draws.push_back(c1); };
  f.host.TakeInvalidations();
  f.HScroll(SB_LINERIGHT);
  EXPECT_EQ(f.edit.ScrollX(), 86);
  EXPECT_EQ(f.edit.CaretX(), -86);
  EXPECT_EQ(f.host.Caret().X(), -5);
  EXPECT_EQ(f.host.ScrollBar(SB_HORZ).Pos, 86);
  const auto invalid = f.host.TakeInvalidations();
  ASSERT_EQ(invalid.size(), 1u);
  EXPECT_EQ(invalid[0], (TRect{10, 0, 440, 364}));
  f.HScroll(SB_PAGERIGHT);
  EXPECT_EQ(f.edit.ScrollX(), 229);
  EXPECT_EQ(draws, (std::vector<int>{11, 29}));  // scroll x in half-width cells, rounded
  // The widest line is 816 px: the view stops a step before its end.
  f.HScroll(SB_THUMBTRACK, 1000);
  EXPECT_EQ(f.edit.ScrollX(), 816 - 86);
  EXPECT_EQ(f.HScroll(SB_LINERIGHT), 0);
  EXPECT_EQ(f.edit.ScrollX(), 730);
  // SB_LEFT and SB_RIGHT are not scroll requests here.
  f.HScroll(SB_LEFT);
  EXPECT_EQ(f.edit.ScrollX(), 730);
  f.HScroll(SB_PAGELEFT);
  EXPECT_EQ(f.edit.ScrollX(), 730 - 143);
  f.HScroll(SB_THUMBTRACK, 0);
  EXPECT_EQ(f.edit.ScrollX(), 0);
  f.HScroll(SB_LINELEFT);
  EXPECT_EQ(f.edit.ScrollX(), 0);
}

TEST(RyxEditHScroll, ARequestToTheRightNeverMovesTheViewLeft) {
  HFixture f;
  std::string text = std::string(112, 'a');
  for (int i = 0; i < 30; ++i) text += "\r\n" + std::string(60, 'a');
  f.edit.SetAllText(text);
  f.edit.SetCaretScrollFix(true);
  f.Key(VK_END);
  ASSERT_EQ(f.edit.ScrollX(), 896 - 430 + 10);
  // With the long line out of the view the range ends at 496 - 86, left of the view.
  f.VScroll(SB_THUMBTRACK, 5);
  f.edit.Perform(WM_PAINT, 0, 0);
  EXPECT_EQ(f.HScroll(SB_LINERIGHT), 0);
  EXPECT_EQ(f.edit.ScrollX(), 476);
  f.HScroll(SB_LINELEFT);
  EXPECT_EQ(f.edit.ScrollX(), 476 - 86);
}

TEST(RyxEditHScroll, NothingToScrollWhenTheVisibleLinesFit) {
  Fixture f(3);
  f.edit.SetHorzScrollBar(true);
  f.edit.Perform(WM_HSCROLL, SB_PAGERIGHT, 0);
  EXPECT_EQ(f.edit.ScrollX(), 0);
  EXPECT_FALSE(f.host.ScrollBar(SB_HORZ).Enabled);
}

TEST(RyxEditJumps, CtrlHomeAndCtrlEndGoToTheTextEndsAndShiftSelects) {
  Fixture f(100);
  f.Caret(1, 2);
  f.Key(VK_END, false, true);
  EXPECT_EQ(f.edit.CaretLine(), 99);
  EXPECT_EQ(f.edit.CaretCol(), 7);
  EXPECT_EQ(f.edit.TopLine(), 83);
  EXPECT_FALSE(f.edit.SelActive());
  EXPECT_EQ(f.edit.SelStart(), (TPoint{7, 99}));
  f.Key(VK_HOME, false, true);
  EXPECT_EQ(f.edit.CaretLine(), 0);
  EXPECT_EQ(f.edit.TopLine(), 0);
  EXPECT_EQ(f.host.ScrollBar(SB_VERT).Pos, 0);

  f.Caret(1, 2);
  f.Key(VK_END, true, true);
  EXPECT_TRUE(f.edit.SelActive());
  EXPECT_EQ(f.edit.SelStart(), (TPoint{2, 1}));
  EXPECT_EQ(f.edit.SelEnd(), (TPoint{7, 99}));
  // With Shift the selection's moving end follows; without, the selection goes.
  f.Key(VK_HOME, true, true);
  EXPECT_EQ(f.edit.SelStart(), (TPoint{2, 1}));
  EXPECT_EQ(f.edit.SelEnd(), (TPoint{0, 0}));
  f.Key(VK_END, false, true);
  EXPECT_FALSE(f.edit.SelActive());
  EXPECT_EQ(f.edit.SelStart(), (TPoint{7, 99}));
}

TEST(RyxEditJumps, CtrlEndScrollsTheLastLineIntoViewAndNothingHappensAtTheEnds) {
  Fixture f(2);
  f.edit.SetAllText("a\r\n" + std::string(80, 'b'));
  int moves = 0;
  f.edit.OnMoveCaret = [&](TObject*) { ++moves; };
  f.Key(VK_HOME, false, true);
  EXPECT_EQ(moves, 0);
  f.Key(VK_END, false, true);
  EXPECT_EQ(f.edit.CaretCol(), 80);
  EXPECT_EQ(f.edit.ScrollX(), 640 - 430 + 10);
  EXPECT_EQ(f.edit.CaretX(), 420);
  EXPECT_EQ(moves, 1);
  f.Key(VK_END, false, true);
  EXPECT_EQ(moves, 1);
}

}  // namespace
