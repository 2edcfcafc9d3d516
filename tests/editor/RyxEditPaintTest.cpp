// Painting read back from the recording canvas: rows, selection, marks, links, quote rows, gutter and the owner's hooks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "platform/LeadByte.h"
#include "tests/TempDir.h"
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
    edit.SetWordWrap(false);
    host.HeadlessCanvas().TakeOps();
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

// The pixels the recorded operations give on a screen with the headless
// metrics: what a glyph draws is named by its bytes and the pixel column
// inside its cell, so two recordings show the same picture exactly when
// their screens compare equal, whatever calls drew them.
class TPixelScreen {
 public:
  struct TPixel {
    TColor Bk = 0xFF000000;  // never painted
    std::uint16_t Glyph = 0;
    int Column = -1;
    TColor Fg = 0;
    bool Underline = false;
    friend bool operator==(const TPixel&, const TPixel&) = default;
  };

  TPixelScreen(int width, int height) : FWidth(width), FHeight(height), FPixels(static_cast<std::size_t>(width * height)) {}

  void Apply(const std::vector<TCanvasOp>& ops) {
    for (const TCanvasOp& op : ops) {
      if (op.Op == "fill") Fill(op.Rect, op.Color);
      if (op.Op == "pixel") Set(op.X, op.Y, TPixel{op.Color});
      if (op.Op == "line") Line(op, TPixel{op.Color});
      if (op.Op == "text") Text(op);
    }
  }
  const TPixel& At(int x, int y) const { return FPixels[static_cast<std::size_t>(y * FWidth + x)]; }

 private:
  void Set(int x, int y, const TPixel& pixel) {
    if (x >= 0 && y >= 0 && x < FWidth && y < FHeight) FPixels[static_cast<std::size_t>(y * FWidth + x)] = pixel;
  }
  void Fill(const TRect& r, TColor color) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) Set(x, y, TPixel{color});
  }
  // The end pixel is left out, as LineTo does.
  void Line(const TCanvasOp& op, const TPixel& pixel) {
    int x = op.X;
    int y = op.Y;
    const int dx = std::abs(op.X2 - x);
    const int dy = -std::abs(op.Y2 - y);
    int error = dx + dy;
    while (x != op.X2 || y != op.Y2) {
      Set(x, y, pixel);
      const int twice = 2 * error;
      if (twice >= dy) error += dy, x += op.X < op.X2 ? 1 : -1;
      if (twice <= dx) error += dx, y += op.Y < op.Y2 ? 1 : -1;
    }
  }
  void Text(const TCanvasOp& op) {
    std::vector<int> widths;
    for (std::size_t i = 0; i < op.Text.size();) {
      const bool pair = IsDBCSLeadByte(static_cast<unsigned char>(op.Text[i])) && i + 1 < op.Text.size();
      widths.push_back(pair ? 16 : 8);
      i += pair ? 2 : 1;
    }
    int total = 0;
    for (const int w : widths) total += w;
    const TRect area = op.Clip ? *op.Clip : TRect{op.X, op.Y, op.X + total, op.Y + 16};
    Fill(area, op.Bk);
    int x = op.X;
    std::size_t i = 0;
    for (const int w : widths) {
      const auto glyph = static_cast<std::uint16_t>(static_cast<unsigned char>(op.Text[i]) << 8 |
                                                    (w == 16 ? static_cast<unsigned char>(op.Text[i + 1]) : 0));
      for (int px = std::max(x, area.Left); px < std::min(x + w, area.Right); ++px)
        for (int py = std::max(op.Y, area.Top); py < std::min(op.Y + 16, area.Bottom); ++py)
          Set(px, py, TPixel{op.Bk, glyph, px - x, op.Color, op.Underline});
      x += w;
      i += w == 16 ? 2 : 1;
    }
  }

  int FWidth;
  int FHeight;
  std::vector<TPixel> FPixels;
};

// A row of random pieces: letters, double-byte characters, full-width
// spaces, tabs, links and tags, quote characters, a lead byte at the end.
std::string RandomPaintRow(std::mt19937& rng) {
  static const std::vector<std::string> pieces = {"ab", "Q", "\t", "\x82\xA0", "\x88\x9F", "\x81\x40", " ",
                                                  "http://ex.com/p", "HTTP://X.Y", "tag:a.b", ">", "\xB1", "\x81\t"};
  std::string row;
  const std::size_t count = rng() % 9;
  for (std::size_t i = 0; i < count; ++i) row += pieces[rng() % pieces.size()];
  if (rng() % 6 == 0) row += "\x88";
  return row;
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

TEST(RyxEditPaint, AScrolledViewShowsTheSamePixelsAsAViewWideEnoughForEveryRow) {
  // 16 px cells keep the dot phase of the full-width space boxes the same in both views.
  std::mt19937 rng(6116);
  for (int round = 0; round < 30; ++round) {
    std::string text;
    const std::size_t rows = 1 + rng() % 10;
    for (std::size_t r = 0; r < rows; ++r) text += (r ? "\r\n" : "") + RandomPaintRow(rng);
    const int tabCount = 1 + static_cast<int>(rng() % 8);
    const bool singleByte = rng() % 4 == 0;
    const bool showTab = rng() % 2 == 0;
    const bool colour = rng() % 3 != 0;
    const bool select = rng() % 2 == 0;
    const int line1 = static_cast<int>(rng() % rows);
    const int line2 = static_cast<int>(rng() % rows);
    const unsigned col1 = rng() % 30;
    const unsigned col2 = rng() % 30;
    const int scroll = static_cast<int>(rng() % 700);
    auto paint = [&](Fixture& f) {
      f.edit.SetTabCount(tabCount);
      f.edit.SetSingleByteMode(singleByte);
      f.edit.SetShowTAB(showTab);
      f.edit.SetColorPrintF(colour);
      f.edit.SetInyostr(">");
      f.edit.SetSelColor(kSel);
      f.edit.SetAllText(text);
      if (select) {
        const auto column = [&](int line, unsigned col) {
          return static_cast<int>(col % (f.edit.Lines().Get(line).size() - 1));
        };
        f.edit.Perform(EM_SETSEL, MakeLong(static_cast<WORD>(column(line1, col1)), static_cast<WORD>(line1)),
                       MakeLong(static_cast<WORD>(column(line2, col2)), static_cast<WORD>(line2)));
      }
    };
    Fixture wide(1300, 265);
    paint(wide);
    ASSERT_EQ(wide.edit.ScrollX(), 0);
    TPixelScreen wideScreen(1300, 265);
    wideScreen.Apply(wide.Paint());

    Fixture narrow(200, 265);
    paint(narrow);
    narrow.edit.Perform(WM_HSCROLL, MakeLong(SB_THUMBTRACK, static_cast<WORD>(scroll)), 0);
    TPixelScreen narrowScreen(200, 265);
    narrowScreen.Apply(narrow.Paint());

    const int shift = narrow.edit.ScrollX();
    const int left = narrow.edit.TextLeft();
    const int bottom = std::min(265, 4 + 18 * narrow.edit.VisibleLines());
    std::string differs;
    for (int y = 4; y < bottom && differs.empty(); ++y)
      for (int x = left; x < left + narrow.edit.TextWidth() && differs.empty(); ++x)
        if (!(narrowScreen.At(x, y) == wideScreen.At(x + shift, y)))
          differs = "pixel " + std::to_string(x) + "," + std::to_string(y);
    ASSERT_EQ(differs, "") << "round " << round << " scrolled " << shift;
  }
}

TEST(RyxEditPaint, OpeningAFilePaintsOnceThroughThePaintMessage) {
  Fixture f;
  f.Show("old\r\ntext");
  const TTempDir folder;
  const auto file = folder.WriteFile("song.txt", "new\r\nlines");
  f.host.TakeInvalidations();
  f.edit.ClearAll();
  ASSERT_TRUE(f.edit.LoadFromFile(file));
  // Neither the cleared nor the loaded document is drawn at once; the whole client waits for one paint.
  EXPECT_TRUE(OfKind(f.host.HeadlessCanvas().TakeOps(), "text").empty());
  const auto invalid = f.host.TakeInvalidations();
  EXPECT_TRUE(std::any_of(invalid.begin(), invalid.end(), [](const TRect& r) { return r == TRect{0, 0, 440, 265}; }));
  const auto ops = f.Paint();
  EXPECT_NE(FindText(ops, "new"), nullptr);
  EXPECT_NE(FindText(ops, "lines"), nullptr);
  EXPECT_EQ(FindText(ops, "old"), nullptr);
  // Other replacements of the text still paint at once.
  EXPECT_NE(FindText(f.Show("set"), "set"), nullptr);
}

TEST(RyxEditPaint, CaretLineUnderlineSpansFromTheLeftMargin) {
  Fixture f;
  f.edit.SetShowUnderLine(true);
  f.edit.SetUlineColor(clRed);
  const auto ops = f.Show("abc\r\nd");
  EXPECT_TRUE(HasLine(ops, 10, 4 + 16, 440, 4 + 16, clRed));
}

}  // namespace
