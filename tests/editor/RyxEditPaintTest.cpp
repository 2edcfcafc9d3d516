// Painting read back from the recording canvas: rows, selection, marks, links, quote rows, gutter and the owner's hooks.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "platform/headless/HeadlessHost.h"

namespace {

using namespace std::string_literals;

// Headless metrics: 8 px per half-width byte, 16 per double-byte character,
// cell 16 (row pitch 18 with the default 10 % spacing). Defaults: LeftMargin
// 10 and TopMargin 4, so row r's text starts at (10, 4 + 18 r).
struct Fixture {
  explicit Fixture(int width = 440, int height = 265, int cellHeight = 16)
      : host(width, height, 8, 16, cellHeight) {
    host.Attach(edit);
  }
  std::vector<TCanvasOp> Show(const std::string& text) {
    edit.SetAllText(text);
    return host.HeadlessCanvas().TakeOps();
  }
  std::vector<TCanvasOp> Paint() {
    host.HeadlessCanvas().TakeOps();
    edit.Perform(WM_PAINT, 0, 0);
    return host.HeadlessCanvas().TakeOps();
  }
  THeadlessHost host;
  TRyxEdit edit;
};

constexpr TColor kSel = clNavy;

std::vector<TCanvasOp> OfKind(const std::vector<TCanvasOp>& ops, const std::string& kind) {
  std::vector<TCanvasOp> out;
  std::copy_if(ops.begin(), ops.end(), std::back_inserter(out), [&](const TCanvasOp& op) { return op.Op == kind; });
  return out;
}

const TCanvasOp* FindText(const std::vector<TCanvasOp>& ops, const std::string& text) {
  const auto it = std::find_if(ops.begin(), ops.end(),
                               [&](const TCanvasOp& op) { return op.Op == "text" && op.Text == text; });
  return it == ops.end() ? nullptr : &*it;
}

bool HasLine(const std::vector<TCanvasOp>& ops, int x1, int y1, int x2, int y2, TColor color) {
  return std::any_of(ops.begin(), ops.end(), [&](const TCanvasOp& op) {
    return op.Op == "line" && op.X == x1 && op.Y == y1 && op.X2 == x2 && op.Y2 == y2 && op.Color == color;
  });
}

// The start pixels of the one-pixel dots, in drawing order.
std::vector<TPoint> Dots(const std::vector<TCanvasOp>& ops) {
  std::vector<TPoint> dots;
  for (const TCanvasOp& op : ops)
    if (op.Op == "line" && std::abs(op.X2 - op.X) + std::abs(op.Y2 - op.Y) == 1) dots.push_back({op.X, op.Y});
  return dots;
}

TEST(RyxEditPaint, EmptyDocumentShowsEOFAtTheTextOrigin) {
  Fixture f;
  const auto ops = f.Show("");
  const TCanvasOp* eof = FindText(ops, "[EOF]");
  ASSERT_NE(eof, nullptr);
  EXPECT_EQ(eof->X, 10);
  EXPECT_EQ(eof->Y, 4);
  EXPECT_EQ(eof->Color, clTeal);
  EXPECT_EQ(eof->Bk, clWhite);
  const auto fills = OfKind(ops, "fill");
  // Below the text cell of the only row, and the top-margin strip.
  EXPECT_TRUE(std::any_of(fills.begin(), fills.end(), [](const TCanvasOp& op) {
    return op.Rect == TRect{0, 20, 456, 265} && op.Color == clWhite;
  }));
  EXPECT_TRUE(std::any_of(fills.begin(), fills.end(), [](const TCanvasOp& op) {
    return op.Rect == TRect{0, 0, 456, 4} && op.Color == clWhite;
  }));

  f.edit.SetShowEOF(false);
  const auto hidden = f.Paint();
  EXPECT_EQ(FindText(hidden, "[EOF]"), nullptr);
}

TEST(RyxEditPaint, GutterNumbersAreRightAlignedSevenPixelsLeftOfTheText) {
  Fixture f;
  f.edit.SetLeftMargin(2);
  f.edit.SetShowLineNumber(true);
  f.edit.Redesign();
  ASSERT_EQ(f.edit.TextLeft(), 2 + 5 * 8 + 7);
  const auto empty = f.Show("");
  const TCanvasOp* eof = FindText(empty, "[EOF]");
  ASSERT_NE(eof, nullptr);
  EXPECT_EQ(eof->X, 49);

  std::string text;
  for (int i = 0; i < 11; ++i) text += "x\r\n";
  const auto ops = f.Show(text + "x");
  for (int row = 0; row < 12; ++row) {
    const std::string number = std::to_string(row + 1);
    const TCanvasOp* op = FindText(ops, number);
    ASSERT_NE(op, nullptr) << number;
    EXPECT_EQ(op->X + 8 * static_cast<int>(number.size()), 49 - 7) << number;
    EXPECT_EQ(op->Y, 4 + 18 * row);
    EXPECT_EQ(op->Color, clTeal);
  }
  EXPECT_TRUE(HasLine(ops, 45, 4, 45, 4 + 18 * 11 + 16, clTeal));
}

TEST(RyxEditPaint, LineBreakArrowStandsFourPixelsRightOfTheText) {
  Fixture f;
  auto ops = f.Show("abc\r\nx");
  const TCanvasOp* abc = FindText(ops, "abc");
  ASSERT_NE(abc, nullptr);
  EXPECT_EQ(abc->X, 10);
  EXPECT_EQ(abc->Clip, (TRect{9, 4, 440, 22}));
  // Text ends at x 34; mark gap 3 and mark height 13 of a 16 px cell.
  EXPECT_TRUE(HasLine(ops, 38, 7, 38, 17, clTeal));
  EXPECT_TRUE(HasLine(ops, 38, 17, 35, 14, clTeal));
  EXPECT_TRUE(HasLine(ops, 38, 17, 41, 14, clTeal));

  f.edit.SetShowCR(false);
  ops = f.Paint();
  EXPECT_TRUE(OfKind(ops, "line").empty());
}

TEST(RyxEditPaint, FullPaintSplitsRowsAtTheSelection) {
  Fixture f;
  f.edit.SetSelColor(kSel);
  f.Show("ab\r\ncd\r\nef");
  f.edit.Perform(EM_SETSEL, MakeLong(1, 0), MakeLong(1, 2));
  const auto ops = f.Paint();
  std::vector<std::pair<std::string, TColor>> texts;
  for (const TCanvasOp& op : OfKind(ops, "text")) texts.emplace_back(op.Text, op.Bk);
  const std::vector<std::pair<std::string, TColor>> expected = {
      {"a", clWhite}, {"b", kSel}, {"cd", kSel}, {"e", kSel}, {"[EOF]", clWhite}, {"f", clWhite}};
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(FindText(ops, "b")->Color, clWhite);  // inverted black
  // The selected line breaks: an 8 px cell in the selection colour, the arrow inverted.
  for (const int y : {4, 22}) {
    EXPECT_TRUE(std::any_of(ops.begin(), ops.end(), [&](const TCanvasOp& op) {
      return op.Op == "fill" && op.Rect == TRect{26, y, 34, y + 18} && op.Color == kSel;
    }));
    EXPECT_TRUE(HasLine(ops, 30, y + 3, 30, y + 13, clTeal ^ 0xFFFFFF));
  }
}

TEST(RyxEditPaint, SelectionToTheEndNeverShowsEOFSelected) {
  Fixture f;
  f.edit.SetSelColor(kSel);
  f.Show("ab\r\ncd");
  f.host.HeadlessCanvas().TakeOps();
  // Column 4 is the stored length of "cd" and its end marker.
  f.edit.Perform(EM_SETSEL, MakeLong(0, 1), MakeLong(4, 1));
  for (const auto& ops : {f.host.HeadlessCanvas().TakeOps(), f.Paint()}) {
    const TCanvasOp* cd = FindText(ops, "cd");
    ASSERT_NE(cd, nullptr);
    EXPECT_EQ(cd->Bk, kSel);
    const TCanvasOp* eof = FindText(ops, "[EOF]");
    ASSERT_NE(eof, nullptr);
    EXPECT_EQ(eof->X, 10 + 16);
    EXPECT_EQ(eof->Y, 22);
    EXPECT_EQ(eof->Bk, clWhite);
    EXPECT_EQ(eof->Color, clTeal);
  }
}

TEST(RyxEditPaint, ClearingASelectionRepaintsItUnselected) {
  Fixture f;
  f.edit.SetSelColor(kSel);
  int changes = 0;
  std::vector<std::pair<int, int>> clientDraws;
  f.edit.OnSelectionChange = [&](TObject*) { ++changes; };
  f.Show("abcdef");
  f.host.HeadlessCanvas().TakeOps();
  f.edit.Perform(EM_SETSEL, MakeLong(1, 0), MakeLong(4, 0));
  const auto selecting = f.host.HeadlessCanvas().TakeOps();
  ASSERT_NE(FindText(selecting, "bcd"), nullptr);
  ASSERT_EQ(FindText(selecting, "bcd")->Bk, kSel);
  changes = 0;
  f.edit.OnUserClientDraw = [&](TObject*, int, int, int L1, int L2) { clientDraws.emplace_back(L1, L2); };
  f.edit.Perform(f.edit.MsgSetCaretPos(), 0, MakeLong(0, 0));
  const auto ops = f.host.HeadlessCanvas().TakeOps();
  const TCanvasOp* bcd = FindText(ops, "bcd");
  ASSERT_NE(bcd, nullptr);
  EXPECT_EQ(bcd->Bk, clWhite);
  EXPECT_EQ(bcd->X, 18);
  EXPECT_FALSE(f.edit.SelActive());
  EXPECT_GE(changes, 1);
  ASSERT_FALSE(clientDraws.empty());
  EXPECT_EQ(clientDraws.front(), std::make_pair(0, 0));
}

TEST(RyxEditPaint, FullWidthSpaceBoxIsDottedInEdgeOrder) {
  Fixture f;
  auto ops = f.Show("a\x81\x40" "b");
  // The space spans x 18..34: box 21..31 by 6..18.
  const std::vector<TPoint> dots = Dots(ops);
  ASSERT_EQ(dots.size(), 22u);
  EXPECT_EQ(dots[0], (TPoint{31, 6}));   // right edge downward
  EXPECT_EQ(dots[6], (TPoint{31, 18}));  // bottom edge leftward
  EXPECT_EQ(dots[11], (TPoint{21, 18}));  // left edge upward
  EXPECT_EQ(dots[17], (TPoint{21, 6}));   // top edge rightward
  EXPECT_EQ(dots[21], (TPoint{29, 6}));
  EXPECT_TRUE(HasLine(ops, 31, 6, 31, 7, clTeal));

  f.edit.SetSingleByteMode(true);
  EXPECT_TRUE(Dots(f.Paint()).empty());
  f.edit.SetSingleByteMode(false);
  f.edit.SetShowDblSpace(false);
  EXPECT_TRUE(Dots(f.Paint()).empty());
}

TEST(RyxEditPaint, DotPhaseRunsOnFromOneEdgeToTheNext) {
  // A 17 px cell gives edges of 13 points: the last dot of the right edge is
  // completed by the first point of the bottom edge, which stays blank.
  Fixture f(440, 265, 17);
  const std::vector<TPoint> dots = Dots(f.Show("a\x81\x40"));
  ASSERT_EQ(dots.size(), 23u);
  EXPECT_EQ(dots[6], (TPoint{31, 18}));
  EXPECT_EQ(std::count(dots.begin(), dots.end(), TPoint{31, 19}), 0);
  EXPECT_EQ(dots[7], (TPoint{30, 19}));
}

TEST(RyxEditPaint, TabArrowsForTheFirstHundredTabs) {
  Fixture f(1000, 265);
  f.edit.SetShowTAB(true);
  f.edit.SetTabCount(4);
  auto ops = f.Show("a\tb");
  EXPECT_TRUE(HasLine(ops, 19, 12, 25, 12, clTeal));
  EXPECT_TRUE(HasLine(ops, 25, 12, 22, 9, clTeal));
  EXPECT_TRUE(HasLine(ops, 25, 12, 22, 15, clTeal));

  f.edit.SetTabCount(1);
  ops = f.Show(std::string(120, '\t'));
  const auto lines = OfKind(ops, "line");
  const auto shafts = std::count_if(lines.begin(), lines.end(),
                                    [](const TCanvasOp& op) { return op.Y == op.Y2 && op.X2 - op.X == 6; });
  EXPECT_EQ(shafts, 100);
}

TEST(RyxEditPaint, LinkWithACapitalisedSchemeIsUnderlinedUpToTheSpace) {
  Fixture f;
  const std::string row = "see HTTP://Example.com/x y";
  const auto ops = f.Show(row);
  std::vector<TCanvasOp> links;
  for (const TCanvasOp& op : OfKind(ops, "text"))
    if (op.Underline) links.push_back(op);
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0].Text, row);
  EXPECT_EQ(links[0].X, 10);
  EXPECT_EQ(links[0].Color, clBlue);
  // From the H (column 4) to the end of the "x" before the space (column 24).
  EXPECT_EQ(links[0].Clip, (TRect{10 + 4 * 8, 4, 10 + 24 * 8, 22}));

  f.edit.SetColorPrintF(false);
  const auto plain = OfKind(f.Paint(), "text");
  EXPECT_TRUE(std::none_of(plain.begin(), plain.end(), [](const TCanvasOp& op) { return op.Underline; }));
}

TEST(RyxEditPaint, QuoteRowsAreJudgedByTheirFirstCharacter) {
  Fixture f;
  auto colours = [&](const std::vector<TCanvasOp>& ops) {
    return std::vector<TColor>{FindText(ops, ">quoted")->Color, FindText(ops, " >not")->Color,
                               FindText(ops, "#hash")->Color};
  };
  EXPECT_EQ(colours(f.Show(">quoted\r\n >not\r\n#hash")), (std::vector<TColor>{clGray, clBlack, clBlack}));
  f.edit.SetInyostr(">#");
  EXPECT_EQ(colours(f.Paint()), (std::vector<TColor>{clGray, clBlack, clGray}));
  f.edit.SetColorPrintF(false);
  EXPECT_EQ(colours(f.Paint()), (std::vector<TColor>{clBlack, clBlack, clBlack}));
}

TEST(RyxEditPaint, OwnerHooksGetTheTextAreaAndTheCanvasIsResetAfterUserDraw) {
  Fixture f;
  f.edit.SetLeftMargin(2);
  f.edit.SetShowLineNumber(true);
  f.edit.Redesign();
  std::vector<int> userDraw;
  std::vector<int> clientDraw;
  TColor brushSeen = 0;
  TColor penSeen = 0;
  ICanvas& canvas = f.host.HeadlessCanvas();
  f.edit.OnUserDraw = [&](TObject*, int c1, int c2, int x1, int x2) {
    userDraw = {c1, c2, x1, x2};
    canvas.SetBrushColor(clRed);
    canvas.SetPen(clRed);
  };
  f.edit.OnUserClientDraw = [&](TObject*, int x1, int x2, int L1, int L2) {
    clientDraw = {x1, x2, L1, L2};
    brushSeen = canvas.BrushColor();
    penSeen = canvas.PenColor();
  };
  const auto ops = f.Show("a\r\nb\r\nc");
  // Width 456 is the client area and the 16 px vertical bar; 456 / 8 = 57 cells.
  EXPECT_EQ(userDraw, (std::vector<int>{1, 57, 49, 440}));
  EXPECT_EQ(clientDraw, (std::vector<int>{49, 440, 0, 2}));
  EXPECT_EQ(brushSeen, clWhite);
  EXPECT_EQ(penSeen, clTeal);
  EXPECT_EQ(ops.back().Op, "font");  // the canvas font made again after the owner drew
}

TEST(RyxEditPaint, CaretLineUnderlineSpansFromTheLeftMargin) {
  Fixture f;
  f.edit.SetShowUnderLine(true);
  f.edit.SetUlineColor(clRed);
  const auto ops = f.Show("abc\r\nd");
  EXPECT_TRUE(HasLine(ops, 10, 4 + 16, 440, 4 + 16, clRed));
}

}  // namespace
