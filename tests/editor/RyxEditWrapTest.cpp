// Word wrap: the split rule case by case, and the wrap paths of caret, editing, undo and gutter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/RyxEditWrapRule.h"
#include "tests/editor/AngleMarkup.h"
#include "tests/editor/EditorFixture.h"

namespace {

using namespace std::string_literals;

const std::string kA = "\x82\xA0";      // あ
const std::string kNichi = "\x93\xFA";  // 日

// Every byte 8 pixels wide, measured rather than computed, as a proportional canvas is.
class TMeasuredCells : public ITextMeasurer {
 public:
  TTextMetric GetTextMetrics() const override { return {}; }
  int TextWidth(std::string_view text) const override { return 8 * static_cast<int>(text.size()); }
  int TextHeight(std::string_view) const override { return 16; }
};

std::vector<std::string> Cut(std::string_view line, const TWrapRule& rule) {
  std::vector<std::string> pieces;
  while (!line.empty()) {
    const auto n = static_cast<std::size_t>(WrapPieceLength(line, rule));
    pieces.emplace_back(line.substr(0, n));
    line.remove_prefix(n);
  }
  return pieces;
}

TEST(RyxEditWrapRule, CutsAtTheLastByteThatFitsAndNeverInsideACharacter) {
  const TMeasuredCells cells;
  struct Case {
    std::string line;
    int column;
    bool singleByte;
    int widthLimit;
    std::vector<std::string> pieces;
  };
  const std::vector<Case> cases{
      {"abcdefghijklmno\r\n", 10, false, 0, {"abcdefghij", "klmno\r\n"}},
      {"abcdefghijklmnopqrstu\r\n", 10, false, 0, {"abcdefghij", "klmnopqrst", "u\r\n"}},
      // Content exactly Column wide leaves its terminator a display line of its own; one less stays whole.
      {"abcdefghij\r\n", 10, false, 0, {"abcdefghij", "\r\n"}},
      {"abcdefghij\0\0"s, 10, false, 0, {"abcdefghij", "\0\0"s}},
      {"abcdefghi\r\n", 10, false, 0, {"abcdefghi\r\n"}},
      // A double-byte character that would be split goes whole to the next piece, unless bytes are characters.
      {"abcdefghi" + kA + "\r\n", 10, false, 0, {"abcdefghi", kA + "\r\n"}},
      {"abcdefghi" + kA + "\r\n", 10, true, 0, {"abcdefghi\x82", "\xA0\r\n"}},
      // Tabs expand per piece (TabCount 4): 9, 10 and 11 columns.
      {"ab\tcdefg\r\n", 10, false, 0, {"ab\tcdefg\r\n"}},
      {"ab\tcdefgh\r\n", 10, false, 0, {"ab\tcdefgh", "\r\n"}},
      {"ab\tcdefghi\r\n", 10, false, 0, {"ab\tcdefgh", "i\r\n"}},
      {"abcdefghij\tk\r\n", 10, false, 0, {"abcdefghij", "\tk\r\n"}},
      // A content CR never ends a piece.
      {"abcdefghi\rxyz\r\n", 10, false, 0, {"abcdefghi", "\rxyz\r\n"}},
      // The pixel limit (AutoWrap) cuts earlier than Column.
      {"abcdefghijklmno\r\n", 72, false, 8 * 12, {"abcdefghijkl", "mno\r\n"}},
      {kA + kA + kA + "\0\0"s, 72, false, 8 * 5, {kA + kA, kA + "\0\0"s}},
      // Glyphs wider than the limit go one character a piece; a lone lead byte
      // before the line's end is a character of its own, never paired with the
      // terminator's first byte.
      {kA + "\r\n", 72, false, 4, {kA, "\r\n"}},
      {"\x82\r\n", 72, false, 4, {"\x82", "\r\n"}},
      {"a\x82\0\0"s, 72, false, 4, {"a", "\x82", "\0\0"s}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.line) + " column " + std::to_string(c.column));
    const TWrapRule rule{c.column, 4, c.singleByte, c.widthLimit, &cells};
    EXPECT_EQ(Cut(c.line, rule), c.pieces);
  }
}

struct Wrapped : TEditorFixture {
  explicit Wrapped(const std::string& text, int column = 10) : TEditorFixture(text, 265, column) {}
  TDisplayPos At() const { return {edit.CaretLine(), edit.CaretCol()}; }
};

TEST(RyxEditWrap, CaretAndAnchorKeepTheirLogicalPlaceAcrossWrapSwitches) {
  Wrapped f("abcdefghijklmno\r\nxy");
  EXPECT_EQ(f.Rows(), (std::vector<std::string>{"abcdefghij", "klmno\r\n", "xy\0\0"s}));
  f.Select(0, 3, 0, 10);
  // Logical column 10 shows at the start of the second piece.
  EXPECT_EQ(f.At(), (TDisplayPos{1, 0}));
  int col = 10, line = 0;
  f.edit.LogicalToDisplay(col, line);
  EXPECT_EQ(std::pair(line, col), std::pair(1, 0));
  col = 3;
  f.edit.DisplayToLogical(col, line);
  EXPECT_EQ(std::pair(line, col), std::pair(0, 13));
  f.edit.SetWordWrap(false);
  EXPECT_EQ(f.At(), (TDisplayPos{0, 10}));
  EXPECT_EQ(f.edit.SelStart(), (TPoint{3, 0}));
  f.edit.SetWordWrap(true);
  EXPECT_EQ(f.At(), (TDisplayPos{1, 0}));
  EXPECT_EQ(f.edit.SelStart(), (TPoint{3, 0}));
  EXPECT_EQ(f.Text(), "abcdefghijklmno\r\nxy");
  EXPECT_EQ(f.edit.ScrollX(), 0);
  f.edit.SetColumn(5);
  EXPECT_EQ(f.edit.Column(), 10);
  EXPECT_EQ(f.Broken(), "");
}

TEST(RyxEditWrap, TypingAndDeletingMoveTextBetweenPiecesWithTheCaret) {
  Wrapped f("abcdefghijklm");
  f.Caret(0, 5);
  f.Do("type:X");
  EXPECT_EQ(f.Rows(), (std::vector<std::string>{"abcdeXfghi", "jklm\0\0"s}));
  EXPECT_EQ(f.At(), (TDisplayPos{0, 6}));
  // At the end of a full piece the caret goes on with the overflowing character.
  f.Caret(0, 10);
  f.Do("type:Y");
  EXPECT_EQ(f.Rows(), (std::vector<std::string>{"abcdeXfghi", "Yjklm\0\0"s}));
  EXPECT_EQ(f.At(), (TDisplayPos{1, 1}));
}

TEST(RyxEditWrap, ABreakOrALeadByteTypedAtAPieceEndLeavesTheCaretOnTheText) {
  Wrapped f("\t\t\tz");
  ASSERT_EQ(f.Rows(), (std::vector<std::string>{"\t", "\t", "\tz\0\0"s}));
  f.Caret(0, 0);
  f.Do("End");
  ASSERT_EQ(f.At(), (TDisplayPos{0, 1}));
  f.Do("Return");
  EXPECT_EQ(f.Text(), "\t\r\n\t\tz");
  EXPECT_EQ(f.LogicalCaret(), (TLogicalPos{1, 0}));
  // A lead byte pasted before a TAB of the next piece takes it as its trail.
  f.edit.SetAllText("abcdefghij\tz");
  f.Caret(0, 9);
  f.Do("End");
  f.Do("paste:\x82");
  EXPECT_EQ(f.Text(), "abcdefghij\x82\tz");
  EXPECT_EQ(f.Broken(), "");
}

TEST(RyxEditWrap, DeletingUntilALineFitsRemovesTheSurplusRowOnly) {
  Wrapped f("abcdefghijk\r\nzz");
  EXPECT_EQ(f.Rows(), (std::vector<std::string>{"abcdefghij", "k\r\n", "zz\0\0"s}));
  f.Caret(0, 11);
  f.Do("Back");
  EXPECT_EQ(f.Rows(), (std::vector<std::string>{"abcdefghij", "\r\n", "zz\0\0"s}));
  f.Do("Back");
  EXPECT_EQ(f.Rows(), (std::vector<std::string>{"abcdefghi\r\n", "zz\0\0"s}));
  EXPECT_EQ(f.LogicalCaret(), (TLogicalPos{0, 9}));
  // Delete at the end of a soft piece takes the next piece's first character.
  f.edit.SetAllText("abcdefghijklm");
  f.Caret(0, 9);
  f.Do("End");
  EXPECT_EQ(f.At(), (TDisplayPos{0, 10}));
  f.Do("Delete");
  EXPECT_EQ(f.Text(), "abcdefghijlm");
  EXPECT_EQ(f.Broken(), "");
}

TEST(RyxEditWrap, CaretKeysCrossSoftWraps) {
  Wrapped f("abcdefghi" + kA + "xyz\r\nq");
  EXPECT_EQ(f.Rows(), (std::vector<std::string>{"abcdefghi", kA + "xyz\r\n", "q\0\0"s}));
  f.Caret(0, 8);
  f.Do("Right");
  // Past the last character of a soft piece: the next piece's start, never its end.
  EXPECT_EQ(f.At(), (TDisplayPos{1, 0}));
  f.Do("Right");
  EXPECT_EQ(f.At(), (TDisplayPos{1, 2}));
  f.Do("Home");
  EXPECT_EQ(f.At(), (TDisplayPos{1, 0}));
  f.Do("Left");
  EXPECT_EQ(f.At(), (TDisplayPos{0, 8}));
  f.Do("End");
  EXPECT_EQ(f.At(), (TDisplayPos{0, 9}));
  f.Do("Down");
  EXPECT_EQ(f.At().Line, 1);
  // Left into a piece that ends in a double-byte character stops before it.
  f.edit.SetAllText("abcdefgh" + kA + "xyz");
  f.Caret(0, 10);
  EXPECT_EQ(f.At(), (TDisplayPos{1, 0}));
  f.Do("Left");
  EXPECT_EQ(f.At(), (TDisplayPos{0, 8}));
  f.Do("Shift+Right");
  f.Do("Shift+Right");
  f.Do("copy");
  EXPECT_EQ(f.host.Clipboard(), kA + "x");
  // A press in the gutter by a continuation piece selects its whole logical line.
  f.Do("press:1,-1");
  f.Do("release");
  f.Do("copy");
  EXPECT_EQ(f.host.Clipboard(), "abcdefgh" + kA + "xyz");
  EXPECT_EQ(f.At(), (TDisplayPos{0, 0}));
  // Ctrl+Delete at the end of a soft piece deletes the word that starts the next one.
  f.edit.SetAllText("abcdefghij klm");
  f.Caret(0, 9);
  f.Do("End");
  f.Do("Ctrl+Delete");
  EXPECT_EQ(f.Text(), "abcdefghijklm");
  EXPECT_EQ(f.Broken(), "");
}

TEST(RyxEditWrap, UndoAfterARewrapAtAnotherWidthLandsOnTheRightText) {
  Wrapped f("0123456789abcdefghij\r\nKLMNOPQRSTUVWXYZ");
  f.Caret(1, 12);
  f.Do("type:!");
  f.Caret(0, 15);
  f.Do("Back");
  f.Do("Insert");
  f.Caret(0, 8);
  f.Do("ime:" + kNichi + kNichi);
  const std::string edited = f.Text();
  EXPECT_EQ(edited, "01234567" + kNichi + kNichi + "cdfghij\r\nKLMNOPQRSTUV!WXYZ");
  f.edit.SetColumn(16);
  f.Do("Ctrl+Z");
  EXPECT_EQ(f.Text(), "0123456789abcdfghij\r\nKLMNOPQRSTUV!WXYZ");
  f.edit.SetColumn(13);
  f.Do("Ctrl+Z");
  f.Do("Ctrl+Z");
  EXPECT_EQ(f.Text(), "0123456789abcdefghij\r\nKLMNOPQRSTUVWXYZ");
  f.edit.SetWordWrap(false);
  for (int i = 0; i < 3; ++i) f.edit.Redo();
  EXPECT_EQ(f.Text(), edited);
  EXPECT_EQ(f.Broken(), "");
}

TEST(RyxEditWrap, WrapsAndMeasuresBeforeThereIsAWindow) {
  TRyxEdit edit;
  edit.SetColumn(10);
  edit.SetAllText("abcdefghijklmno\r\n\txy");
  ASSERT_EQ(edit.Lines().Count(), 3);
  EXPECT_EQ(edit.Lines().Get(0), "abcdefghij");
  EXPECT_EQ(edit.GetAllText(), "abcdefghijklmno\r\n\txy");
  // Without a canvas x counts columns of the expansion.
  EXPECT_EQ(edit.TextXOfColumn(edit.Lines().Get(2), 2), edit.TabCount() + 1);
  edit.SetWordWrap(false);
  EXPECT_EQ(edit.Lines().Count(), 2);
}

TEST(RyxEditWrap, EachLogicalLineIsNumberedOnceInTheGutter) {
  Wrapped f("abcdefghijklmnopqrstuvwxy\r\nz");
  f.edit.SetShowLineNumber(true);
  f.edit.Redesign();
  f.host.HeadlessCanvas().TakeOps();
  f.edit.RefreshView();
  std::vector<std::pair<int, std::string>> numbers;
  for (const TCanvasOp& op : f.host.HeadlessCanvas().TakeOps())
    if (op.Op == "text" && op.X < f.edit.TextLeft() && !op.Text.empty() && std::isdigit(static_cast<unsigned char>(op.Text[0])))
      numbers.emplace_back((op.Y - f.edit.TopMargin()) / f.edit.LineHeight(), op.Text);
  EXPECT_EQ(numbers, (std::vector<std::pair<int, std::string>>{{0, "1"}, {3, "2"}}));
}

TEST(RyxEditWrap, MouseAndAutoWrapFollowTheWindow) {
  Wrapped f(std::string(30, 'a') + "\r\nb", 72);
  EXPECT_EQ(f.edit.Lines().Count(), 2);
  f.edit.SetAutoWrap(true);
  f.Do("size:130,265");  // a text area of 120 pixels: 15 cells
  EXPECT_EQ(f.Rows(), (std::vector<std::string>{std::string(15, 'a'), std::string(15, 'a'), "\r\n", "b\0\0"s}));
  f.Do("size:50,265");  // never under ten cells
  EXPECT_EQ(f.edit.Lines().Get(0), std::string(10, 'a'));
  f.Do("press:1,3");
  EXPECT_EQ(f.LogicalCaret(), (TLogicalPos{0, 13}));
  EXPECT_EQ(f.Text(), std::string(30, 'a') + "\r\nb");
  EXPECT_EQ(f.Broken(), "");
}

std::vector<std::string> CutCounted(std::string_view line, int column, int widthLimit = 0) {
  const TAngleMarkup markup;
  const TMeasuredCells cells;
  TWrapRule rule;
  rule.Column = column;
  rule.Counting = &markup;
  rule.WidthLimit = widthLimit;
  rule.Measurer = &cells;
  rule.SilentLine = markup.IsSilentLine(line);
  return Cut(line, rule);
}

TEST(RyxEditWrapRule, CountingPassesOverMarkupAndNeverCutsInsideIt) {
  using V = std::vector<std::string>;
  const struct {
    std::string Line;
    int Column;
    int WidthLimit;
    V Pieces;
  } cases[] = {
      // Markup takes no column: ten letters fit with every tag between them.
      {"<1>ab<2>cd<3>efghij<4>kl\r\n", 10, 0, V{"<1>ab<2>cd<3>efghij", "<4>kl\r\n"}},
      // A full row keeps the markup and line break after it: nothing counted follows.
      {"abcdefghij<9>\r\n", 10, 0, V{"abcdefghij<9>\r\n"}},
      // A double-byte character that does not fit goes on, its tag before it too.
      {"abcdefghi<7>" + kA + "z", 10, 0, V{"abcdefghi", "<7>" + kA + "z"}},
      // An unclosed "<" is text.
      {"<abcdefghijklmnopq", 10, 0, V{"<abcdefghi", "jklmnopq"}},
      // A tab counts one column, as the reader counts it.
      {"\t\t\t\t\t\t\t\t\t\tx", 10, 0, V{"\t\t\t\t\t\t\t\t\t\t", "x"}},
      // A silent line is cut by nothing but the width.
      {"#abcdefghijklmnop\r\n", 10, 0, V{"#abcdefghijklmnop\r\n"}},
      {"#abcdefghijklmnop\r\n", 10, 80, V{"#abcdefghi", "jklmnop\r\n"}},
      // The window's width cuts before a markup it would cut through, or past one that opens the piece.
      {"abcdefg<12345>hij", 10, 80, V{"abcdefg", "<12345>hij"}},
      {"<12345678>abc", 10, 40, V{"<12345678>", "abc"}},
  };
  for (const auto& c : cases) EXPECT_EQ(CutCounted(c.Line, c.Column, c.WidthLimit), c.Pieces) << c.Line;
}

}  // namespace
