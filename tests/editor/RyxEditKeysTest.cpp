// The key dispatch and the caret moves on the headless backend: characters, words, lines, pages and selections.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "editor/RyxEdit.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/editor/EditorFixture.h"

namespace {

using namespace std::string_literals;

constexpr TColor kSel = clNavy;

// 8 px per half-width byte, 16 per double-byte character, row pitch 18 under a
// top margin of 4; 364 px of height give 20 rows with a band of 4 at each edge.
struct Fixture : TEditorFixture {
  explicit Fixture(const std::string& text, int height = 364) : TEditorFixture(text, height) {
    edit.SetSelColor(kSel);
  }
  // The caret columns after each of n presses.
  std::vector<int> Cols(WORD key, int n, bool ctrl = false) {
    std::vector<int> cols;
    for (int i = 0; i < n; ++i) {
      Key(key, false, ctrl);
      cols.push_back(edit.CaretCol());
    }
    return cols;
  }
  std::pair<int, int> At() const { return {edit.CaretLine(), edit.CaretCol()}; }
};

using Pos = std::pair<int, int>;
// Text drawn and the background it was drawn on.
using TextList = std::vector<std::pair<std::string, TColor>>;

TextList Texts(const std::vector<TCanvasOp>& ops) {
  TextList texts;
  for (const TCanvasOp& op : ops)
    if (op.Op == "text") texts.emplace_back(op.Text, op.Bk);
  return texts;
}

TEST(RyxEditCharMoves, RightAndLeftStepOverWholeCharactersAndAcrossLines) {
  Fixture f("a\x82\xA0" "b\r\n\x82\xA2\r\nc");
  EXPECT_EQ(f.Cols(VK_RIGHT, 4), (std::vector<int>{1, 3, 4, 0}));
  EXPECT_EQ(f.edit.CaretLine(), 1);
  EXPECT_EQ(f.edit.CaretX(), 0);
  f.Key(VK_RIGHT);
  EXPECT_EQ(f.At(), (Pos{1, 2}));
  EXPECT_EQ(f.edit.CaretX(), 16);
  f.Key(VK_RIGHT);
  f.Key(VK_RIGHT);
  EXPECT_EQ(f.At(), (Pos{2, 1}));
  // On the end-of-text marker there is nothing to the right.
  f.Key(VK_RIGHT);
  EXPECT_EQ(f.At(), (Pos{2, 1}));
  // Left at column 0 stands before the line break of the line above.
  f.Key(VK_LEFT);
  f.Key(VK_LEFT);
  EXPECT_EQ(f.At(), (Pos{1, 2}));
  EXPECT_EQ(f.Cols(VK_LEFT, 1), (std::vector<int>{0}));
  f.Key(VK_LEFT);
  EXPECT_EQ(f.At(), (Pos{0, 4}));
  EXPECT_EQ(f.edit.CaretX(), 32);
  EXPECT_EQ(f.Cols(VK_LEFT, 4), (std::vector<int>{3, 1, 0, 0}));
  EXPECT_EQ(f.edit.CaretLine(), 0);
}

TEST(RyxEditCharMoves, SingleByteModeStepsThroughTheBytesOfAPair) {
  Fixture f("\x82\xA0\x82\xA2");
  f.edit.SetSingleByteMode(true);
  EXPECT_EQ(f.Cols(VK_RIGHT, 5), (std::vector<int>{1, 2, 3, 4, 4}));
  EXPECT_EQ(f.Cols(VK_LEFT, 2), (std::vector<int>{3, 2}));
}

TEST(RyxEditCharMoves, AMoveRightPastTheViewScrollsByWholeSteps) {
  Fixture f(std::string(80, 'a') + "\r\nb");
  f.edit.SetHorzScrollBar(true);
  // The caret may come within 10 px of the right edge (430 px of text area).
  for (int i = 0; i < 52; ++i) f.Key(VK_RIGHT);
  EXPECT_EQ(f.edit.ScrollX(), 0);
  f.Key(VK_RIGHT);
  EXPECT_EQ(f.edit.ScrollX(), 86);
  EXPECT_EQ(f.edit.CaretX(), 53 * 8 - 86);
  // Left at column 0 of the next line shows the line end; Home returns the view.
  f.Key(VK_END, false, true);
  f.Key(VK_HOME);
  EXPECT_EQ(f.edit.ScrollX(), 0);
  f.Key(VK_LEFT);
  EXPECT_EQ(f.At(), (Pos{0, 80}));
  EXPECT_EQ(f.edit.ScrollX(), 640 - 430 + 10);
  EXPECT_EQ(f.edit.CaretX(), 420);
}

TEST(RyxEditWordMoves, CtrlRightAndLeftCoverOneRunOfOneClass) {
  const struct {
    std::string text;
    std::vector<int> right;
  } cases[] = {
      {"abc  def", {3, 5, 8}},
      // Four hiragana, then four katakana.
      {"\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x83\x41\x83\x43\x83\x45\x83\x47", {8, 16}},
      // Digits and letters are one class; signs another; half-width katakana a third.
      {"ab12+-\xB1\xB2", {4, 6, 8}},
      // Kanji, full-width digits, full-width symbols (the full-width space).
      {"\x88\x9F\x88\xA0\x82\x4F\x82\x60\x81\x40\x81\x41", {4, 8, 12}},
  };
  for (const auto& c : cases) {
    Fixture f(c.text);
    EXPECT_EQ(f.Cols(VK_RIGHT, static_cast<int>(c.right.size()), true), c.right) << c.text;
    std::vector<int> left(c.right.rbegin() + 1, c.right.rend());
    left.push_back(0);
    EXPECT_EQ(f.Cols(VK_LEFT, static_cast<int>(left.size()), true), left) << c.text;
  }
}

TEST(RyxEditWordMoves, CtrlRightStopsBeforeTabsAndLineEndsAndCtrlLeftPassesNoTab) {
  Fixture f("ab\tcd\r\nef");
  EXPECT_EQ(f.Cols(VK_RIGHT, 4, true), (std::vector<int>{2, 3, 5, 0}));
  EXPECT_EQ(f.Cols(VK_RIGHT, 2, true), (std::vector<int>{2, 2}));
  f.Caret(0, 5);
  EXPECT_EQ(f.Cols(VK_LEFT, 3, true), (std::vector<int>{3, 2, 0}));
  // A tab is passed alone, and its x comes from the expansion.
  f.edit.SetTabCount(4);
  f.Caret(0, 2);
  f.Key(VK_RIGHT, false, true);
  EXPECT_EQ(f.edit.CaretX(), 32);
}

// The word keys from every character start of random lines, against a model
// that pairs the bytes from the line start, unwrapped and wrapped at ten
// columns: a word goes on over the end of a soft-wrapped piece, so the keys
// move over and delete the same bytes in both forms. 0x89 and 0x9F are lead
// and trail values alike, so only the bytes before a run of them tell where
// its characters start; each double-byte character here is a kanji, "a" and
// "@" are letters, "+" a sign, and a tab stops a word.
TEST(RyxEditWordMoves, WordKeysFromEveryCharacterStartMatchAModelWrappedOrNot) {
  constexpr int kTab = -1;
  const std::string bytes = "a@+\t\x89\x9F\x89\x9F\x89\x9F";
  std::mt19937 random(302);
  for (int round = 0; round < 60; ++round) {
    std::string line(1 + random() % 40, 'a');
    for (char& c : line) c = bytes[random() % bytes.size()];
    std::vector<int> starts;
    std::vector<int> classes;
    const int n = static_cast<int>(line.size());
    for (int i = 0; i < n; ++i) {
      starts.push_back(i);
      const char c = line[static_cast<std::size_t>(i)];
      const bool lead = c == '\x89' || c == '\x9F';
      classes.push_back(lead ? 2 : c == '\t' ? kTab : c == '+' ? 7 : 6);
      if (lead && i + 1 < n) ++i;
    }
    starts.push_back(n);
    const int chars = static_cast<int>(classes.size());
    auto classOf = [&](int k) { return classes[static_cast<std::size_t>(k)]; };
    auto startOf = [&](int k) { return starts[static_cast<std::size_t>(k)]; };
    // The other end of the word at character k, in characters; a tab is a word alone.
    auto wordEnd = [&](int k) {
      int j = k + 1;
      if (classOf(k) != kTab)
        for (j = k; j < chars && classOf(j) == classOf(k);) ++j;
      return j;
    };
    auto wordStart = [&](int k) {
      int j = k - 1;
      if (classOf(k - 1) != kTab)
        for (j = k - 1; j > 0 && classOf(j - 1) == classOf(k - 1);) --j;
      return j;
    };
    auto without = [&](int from, int to) {
      return line.substr(0, static_cast<std::size_t>(startOf(from))) + line.substr(static_cast<std::size_t>(startOf(to)));
    };
    for (const int wrap : {kUnwrapped, kWrapColumn}) {
      SCOPED_TRACE(line + (wrap ? " wrapped" : " unwrapped"));
      TEditorFixture f(line, 364, wrap);
      auto check = [&](int k, WORD key, int expectedCol, const std::string& expectedText) {
        f.Caret(0, startOf(k));
        f.Key(key, false, true);
        EXPECT_EQ(f.LogicalCaret(), (TLogicalPos{0, expectedCol})) << "key " << key << " from " << startOf(k);
        EXPECT_EQ(f.Text(), expectedText) << "key " << key << " from " << startOf(k);
        if (f.Text() != line) {
          f.Key('Z', false, true);
          ASSERT_EQ(f.Text(), line);
        }
      };
      for (int k = 0; k <= chars; ++k) {
        if (k < chars) {
          check(k, VK_RIGHT, startOf(wordEnd(k)), line);
          check(k, VK_DELETE, startOf(k), without(k, wordEnd(k)));
        }
        if (k > 0) {
          check(k, VK_LEFT, startOf(wordStart(k)), line);
          check(k, VK_BACK, startOf(wordStart(k)), without(wordStart(k), k));
        }
      }
    }
  }
}

TEST(RyxEditLineMoves, HomeEndAndTheirCtrlFormsGoToTheLineEnds) {
  Fixture f("abc\r\n\x82\xA0x");
  f.Caret(1, 2);
  f.Key(VK_HOME);
  EXPECT_EQ(f.At(), (Pos{1, 0}));
  f.Key(VK_END);
  EXPECT_EQ(f.At(), (Pos{1, 3}));
  EXPECT_EQ(f.edit.CaretX(), 24);
  f.Key(VK_OEM_COMMA, false, true);
  EXPECT_EQ(f.At(), (Pos{1, 0}));
  f.Caret(0, 1);
  f.Key(VK_OEM_PERIOD, false, true);
  EXPECT_EQ(f.At(), (Pos{0, 3}));
}

TEST(RyxEditLineMoves, UpAndDownKeepTheGoalXAcrossShortLines) {
  Fixture f("abcdef\r\nab\r\n\x82\xA0\x82\xA0\x82\xA0\r\nabcdefgh");
  f.Caret(0, 5);
  f.Key(VK_DOWN);
  EXPECT_EQ(f.At(), (Pos{1, 2}));
  // x 40 lies between 32 and 48: the nearer boundary, never inside the pair.
  f.Key(VK_DOWN);
  EXPECT_EQ(f.At(), (Pos{2, 4}));
  f.Key(VK_DOWN);
  EXPECT_EQ(f.At(), (Pos{3, 5}));
  f.Key(VK_UP);
  f.Key(VK_UP);
  f.Key(VK_UP);
  EXPECT_EQ(f.At(), (Pos{0, 5}));
  // A horizontal move sets a new goal.
  f.Caret(1, 2);
  f.Key(VK_LEFT);
  f.Key(VK_UP);
  EXPECT_EQ(f.At(), (Pos{0, 1}));
  f.Key(VK_UP);
  EXPECT_EQ(f.At(), (Pos{0, 1}));
  f.Caret(3, 8);
  f.Key(VK_DOWN);
  EXPECT_EQ(f.At(), (Pos{3, 8}));
}

std::string Numbered(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += "line " + std::to_string(i) + (i + 1 < lines ? "\r\n" : "");
  return text;
}

TEST(RyxEditPageMoves, PagesScrollTheViewAndTheCaretTogether) {
  Fixture f(Numbered(100));
  f.Caret(3, 2);
  f.Key(VK_NEXT);
  EXPECT_EQ(f.edit.TopLine(), 20);
  EXPECT_EQ(f.At(), (Pos{23, 2}));
  f.Key(VK_NEXT);
  f.Key(VK_NEXT);
  f.Key(VK_NEXT);
  EXPECT_EQ(f.edit.TopLine(), 80);
  // The view stops at 83; the caret still goes a whole page, clamped to the text.
  f.Key(VK_NEXT);
  EXPECT_EQ(f.edit.TopLine(), 83);
  EXPECT_EQ(f.At(), (Pos{99, 2}));
  f.Key(VK_PRIOR);
  EXPECT_EQ(f.edit.TopLine(), 63);
  EXPECT_EQ(f.edit.CaretLine(), 79);
  f.Key(VK_HOME, false, true);
  f.Caret(12, 0);
  // At the top the view does not move: the caret goes up a page, clamped at line 0.
  f.Key(VK_PRIOR);
  EXPECT_EQ(f.edit.TopLine(), 0);
  EXPECT_EQ(f.At(), (Pos{0, 0}));
}

TEST(RyxEditPageMoves, RightAtALineEndDeepInTheBottomBandStillReachesTheNextLine) {
  Fixture f(Numbered(100));
  f.edit.SetCaretScrollFix(true);
  f.Caret(20, 0);
  f.edit.Perform(WM_VSCROLL, SB_LINEUP, 0);
  f.edit.Perform(WM_VSCROLL, SB_LINEUP, 0);
  f.edit.SetCaretScrollFix(false);
  ASSERT_EQ(f.edit.CaretLine() - f.edit.TopLine(), 18);
  f.Key(VK_END);
  // The view follows by a line while the caret, below the band's first row, goes on by itself.
  f.Key(VK_RIGHT);
  EXPECT_EQ(f.At(), (Pos{21, 0}));
  EXPECT_EQ(f.edit.TopLine(), 3);
}

TEST(RyxEditPageMoves, UpInTheTopBandScrollsAndAtTheTopMovesTheCaret) {
  Fixture f(Numbered(100));
  f.edit.Perform(WM_VSCROLL, MakeLong(SB_THUMBTRACK, 10), 0);
  f.Caret(12, 0);
  ASSERT_EQ(f.edit.TopLine(), 10);
  f.Key(VK_UP);
  EXPECT_EQ(f.edit.TopLine(), 9);
  EXPECT_EQ(f.edit.CaretLine(), 11);
  f.Key(VK_HOME, false, true);
  f.Caret(2, 0);
  f.Key(VK_UP);
  EXPECT_EQ(f.edit.CaretLine(), 1);
  EXPECT_EQ(f.edit.TopLine(), 0);
}

TEST(RyxEditSelectionMoves, ShiftMovesKeepTheAnchorWhereTheSelectionStarted) {
  Fixture f("abc");
  f.Caret(0, 2);
  f.host.HeadlessCanvas().TakeOps();
  f.Key(VK_RIGHT, true);
  EXPECT_EQ(Texts(f.host.HeadlessCanvas().TakeOps()), (TextList{{"c", kSel}}));
  f.Key(VK_LEFT, true);
  EXPECT_EQ(Texts(f.host.HeadlessCanvas().TakeOps()), (TextList{{"c", clWhite}}));
  f.Key(VK_LEFT, true);
  EXPECT_EQ(Texts(f.host.HeadlessCanvas().TakeOps()), (TextList{{"b", kSel}}));
  EXPECT_EQ(f.edit.CaretCol(), 1);
  EXPECT_TRUE(f.edit.SelActive());
  EXPECT_EQ(f.edit.SelStart(), (TPoint{2, 0}));
  EXPECT_EQ(f.edit.SelEnd(), (TPoint{1, 0}));
  // A move without Shift drops it and repaints only what was selected.
  f.Key(VK_RIGHT);
  EXPECT_FALSE(f.edit.SelActive());
  EXPECT_EQ(Texts(f.host.HeadlessCanvas().TakeOps()), (TextList{{"b", clWhite}}));
  EXPECT_EQ(f.edit.SelStart(), (TPoint{2, 0}));
}

TEST(RyxEditSelectionMoves, ShiftDownAndUpRepaintOnlyTheRowsTheEndPasses) {
  Fixture f("abcd\r\nefgh\r\nijkl\r\nmnop");
  f.Caret(1, 2);
  f.host.HeadlessCanvas().TakeOps();
  f.Key(VK_DOWN, true);
  f.Key(VK_DOWN, true);
  EXPECT_EQ(Texts(f.host.HeadlessCanvas().TakeOps()),
            (TextList{{"gh", kSel}, {"ij", kSel}, {"kl", kSel}, {"mn", kSel}}));
  // Back up past the anchor: the rows on the way turn back, the far side of the anchor is selected.
  f.Key(VK_UP, true);
  f.Key(VK_UP, true);
  f.Key(VK_UP, true);
  EXPECT_EQ(Texts(f.host.HeadlessCanvas().TakeOps()),
            (TextList{{"mn", clWhite}, {"kl", clWhite}, {"ij", clWhite}, {"gh", clWhite}, {"ef", kSel}, {"cd", kSel}}));
  EXPECT_EQ(f.edit.SelStart(), (TPoint{2, 1}));
  EXPECT_EQ(f.edit.SelEnd(), (TPoint{2, 0}));
  int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
  ASSERT_TRUE(f.edit.GetSelBounds(startCol, startLine, endLine, endCol));
  EXPECT_EQ((std::vector<int>{startLine, startCol, endLine, endCol}), (std::vector<int>{0, 2, 1, 2}));
}

TEST(RyxEditSelectionMoves, AScrollingShiftDownExtendsTheSelectionWithTheCaret) {
  Fixture f(Numbered(100));
  f.Caret(15, 0);
  f.Key(VK_DOWN, true);
  f.Key(VK_DOWN, true);
  EXPECT_EQ(f.edit.TopLine(), 1);
  EXPECT_EQ(f.edit.SelStart(), (TPoint{0, 15}));
  EXPECT_EQ(f.edit.SelEnd(), (TPoint{0, 17}));
  EXPECT_TRUE(f.edit.SelActive());
}

// The guides the main window draws over the text: a line down one x of each
// row it is asked to draw. A fill or a text box over that x hides it again.
class TGuideScreen {
 public:
  TGuideScreen(TEditorFixture& f, int x) : FFixture(f), FX(x) {
    f.edit.OnUserClientDraw = [this](TObject*, int, int, int L1, int L2) {
      const TRyxEdit& e = FFixture.edit;
      ICanvas& canvas = FFixture.host.HeadlessCanvas();
      canvas.MoveTo(FX, e.TopMargin() + (L1 - e.TopLine()) * e.LineHeight());
      canvas.LineTo(FX, e.TopMargin() + (L2 + 1 - e.TopLine()) * e.LineHeight());
    };
  }
  // The visible rows of text without their guide after the operations drawn since the last call.
  std::vector<int> RowsWithoutGuide() {
    const TRyxEdit& e = FFixture.edit;
    const int h = e.LineHeight();
    auto span = [&](int top, int bottom, bool shown) {
      for (int y = top; y < bottom; ++y)
        if ((y - e.TopMargin()) % h == 0) FShown[y] = shown;
    };
    for (const TCanvasOp& op : FFixture.host.HeadlessCanvas().TakeOps()) {
      if (op.Op == "line" && op.X == FX && op.X2 == FX) span(op.Y, op.Y2, true);
      std::optional<TRect> box;
      if (op.Op == "fill") box = op.Rect;
      if (op.Op == "text") box = op.Clip.value_or(TRect{op.X, op.Y, op.X + FFixture.host.HeadlessCanvas().TextWidth(op.Text), op.Y + 1});
      if (box && box->Left <= FX && FX < box->Right) span(box->Top, box->Bottom, false);
    }
    std::vector<int> missing;
    for (int row = e.TopLine(); row < std::min(e.Lines().Count(), e.TopLine() + e.VisibleLines()); ++row)
      if (!FShown[e.TopMargin() + (row - e.TopLine()) * h]) missing.push_back(row);
    return missing;
  }

 private:
  TEditorFixture& FFixture;
  int FX;
  std::map<int, bool> FShown;
};

// Selections drawn out by keys and the mouse, across the pieces of wrapped
// lines and across lines, leave the guides standing over what they repaint.
TEST(RyxEditSelectionMoves, SelectingRepaintsTheGuidesOverTheRowsItPaints) {
  const std::string text = "ab\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9 cdefghijklmnop\r\nqrs tuv";
  const std::vector<std::vector<std::string>> sessions{
      {"Ctrl+Shift+Right", "Ctrl+Shift+Right", "Ctrl+Shift+Right", "Ctrl+Shift+Left", "Ctrl+Shift+Left"},
      {"Shift+End", "Shift+Right", "Shift+Down", "Shift+Down", "Shift+Up", "Shift+Home"},
      {"press:0,1", "move:1,4", "move:2,6", "move:0,3", "release", "Right"},
      {"Ctrl+A", "Left", "Ctrl+End", "Ctrl+Shift+Home"},
  };
  for (const int wrap : {kUnwrapped, kWrapColumn}) {
    for (const auto& session : sessions) {
      TEditorFixture f(text, 265, wrap);
      TGuideScreen guides(f, f.edit.TextLeft() + 3 * 8);
      f.edit.RefreshView();
      ASSERT_EQ(guides.RowsWithoutGuide(), std::vector<int>{});
      for (const std::string& step : session) {
        f.Do(step);
        EXPECT_EQ(guides.RowsWithoutGuide(), std::vector<int>{}) << step << (wrap ? " wrapped" : "");
      }
    }
  }
}

TEST(RyxEditKeyDispatch, ClipboardKeysActInEveryStageTheirModifiersReach) {
  Fixture f("abc");
  f.Caret(0, 1);
  f.Key(VK_RIGHT, true);
  // Ctrl+Shift+Insert copies, then pastes over the selection.
  f.Key(VK_INSERT, true, true);
  EXPECT_EQ(f.host.Clipboard(), "b");
  EXPECT_EQ(f.edit.GetAllText(), "abc");
  f.Key(VK_LEFT, true);
  f.Key(VK_DELETE, true);
  EXPECT_EQ(f.host.Clipboard(), "b");
  EXPECT_EQ(f.edit.GetAllText(), "ac");
  f.Key('Z', false, true);
  EXPECT_EQ(f.edit.GetAllText(), "abc");
  f.Key('A', false, true);
  EXPECT_TRUE(f.edit.SelAll());
  f.Key('C', false, true);
  EXPECT_EQ(f.host.Clipboard(), "abc");
}

TEST(RyxEditKeyDispatch, ReadOnlyRefusesTheChangingKeysButCopies) {
  Fixture f("abc");
  f.edit.SetReadOnly(true);
  f.host.SetClipboard("zz");
  f.Key(VK_RIGHT, true);
  for (WORD key : {WORD{'V'}, WORD{'X'}, WORD{'Z'}}) f.Key(key, false, true);
  f.Key(VK_INSERT, true);
  f.Key(VK_DELETE, true);
  f.Key(VK_RETURN);
  EXPECT_EQ(f.edit.GetAllText(), "abc");
  EXPECT_EQ(f.host.Clipboard(), "zz");
  f.Key(VK_INSERT, false, true);
  EXPECT_EQ(f.host.Clipboard(), "a");
  f.edit.SetReadOnly(false);
  f.Key(VK_RETURN);
  EXPECT_EQ(f.edit.GetAllText(), "\r\nbc");
}

TEST(RyxEditKeyDispatch, CaretScrollFixBringsTheCaretBackOnKeysThatDoNotMoveIt) {
  Fixture f(Numbered(100));
  f.edit.SetCaretScrollFix(true);
  f.Caret(5, 0);
  f.edit.Perform(WM_VSCROLL, MakeLong(SB_THUMBTRACK, 40), 0);
  ASSERT_EQ(f.edit.CaretLine(), 5);
  f.Key(VK_ESCAPE);
  EXPECT_EQ(f.edit.TopLine(), 2);
  f.edit.Perform(WM_VSCROLL, MakeLong(SB_THUMBTRACK, 40), 0);
  f.edit.Perform(WM_SYSKEYDOWN, VK_MENU, 0);
  EXPECT_EQ(f.edit.TopLine(), 2);
  // A held key scrolls the view and the caret together even while the fix is on.
  f.edit.Perform(WM_VSCROLL, SB_TOP, 0);
  f.Caret(16, 0);
  f.host.SetKeyDown(VK_SHIFT, false);
  f.edit.Perform(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(f.edit.TopLine(), 1);
  EXPECT_EQ(f.edit.CaretLine(), 17);
}

}  // namespace
