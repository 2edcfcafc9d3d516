// Tests of the player preview: which characters land in which cells of which page, drawn on the headless canvas.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/core/PlayerPreview.h"
#include "platform/CodePage.h"
#include "platform/LeadByte.h"
#include "platform/headless/HeadlessCanvas.h"

namespace {

std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }

// What the grids show, read back from the canvas: for each page the text of
// each row, cells left empty before a character written as "_", rows
// without characters at a page's end left out.
using TShownPages = std::vector<std::vector<std::string>>;

TShownPages ReadGrids(const std::vector<TCanvasOp>& ops, const TPreviewGeometry& at, std::size_t pages) {
  std::map<std::pair<int, int>, std::tuple<std::size_t, int, int>> cellAt;
  for (std::size_t page = 0; page < pages; ++page) {
    for (int row = 0; row < at.Display.LineCount; ++row) {
      for (int cell = 0; cell < at.Display.HalfCount; ++cell) {
        const TPoint p = at.CellOrigin(page, row, cell);
        cellAt[{p.X, p.Y}] = {page, row, cell};
      }
    }
  }
  TShownPages shown(pages, std::vector<std::string>(static_cast<std::size_t>(at.Display.LineCount)));
  std::vector<std::vector<int>> nextCell(pages, std::vector<int>(static_cast<std::size_t>(at.Display.LineCount)));
  for (const TCanvasOp& op : ops) {
    if (op.Op != "text") continue;
    const auto found = cellAt.find({op.X, op.Y});
    if (found == cellAt.end()) continue;
    const auto [page, row, cell] = found->second;
    std::string& text = shown[page][static_cast<std::size_t>(row)];
    int& next = nextCell[page][static_cast<std::size_t>(row)];
    for (; next < cell; ++next) text += "_";
    text += op.Text;
    next += IsDBCSLeadByte(static_cast<unsigned char>(op.Text[0])) ? 2 : 1;
  }
  for (auto& page : shown) {
    while (!page.empty() && page.back().empty()) page.pop_back();
  }
  return shown;
}

TEST(PlayerPreviewTest, CharactersFillTheCellsRowByRowAndPageByPage) {
  struct TCase {
    std::string line;
    TPlayerDisplay display;
    std::vector<std::vector<std::string>> pages;
  };
  // Lines and rows in UTF-8, except the raw Shift-JIS bytes of the case marked so.
  const std::vector<TCase> cases = {
      // A double-byte character never straddles a row's last cell.
      {"abcdあ", {5, 2}, {{"abcd", "あ"}}},
      {"abcdeあ", {5, 2}, {{"abcde", "あ"}}},
      {"あいう", {3, 2}, {{"あ", "い"}, {"う"}}},
      {"aあいう", {4, 1}, {{"aあ"}, {"いう"}}},
      // Tags of every form take no cells.
      {"[00:01.00]あい<00:01.50>う[00:02:00]え", {4, 1}, {{"あい"}, {"うえ"}}},
      // A character wider than a row still gets a row of its own.
      {"aあb", {1, 3}, {{"a", "あ", "b"}}},
      {"ｱｲｳ", {2, 1}, {{"ｱｲ"}, {"ｳ"}}},
      {"", {16, 3}, {{}}},
      // A display without cells or rows shows one of each.
      {"ab", {0, 0}, {{"a"}, {"b"}}},
      // The player does not show ID tags.
      {"[ti:abcdefgh]", {4, 1}, {{}}},
      {"@Title=abcdefgh", {4, 1}, {{}}},
      // A tab is a blank cell on the player.
      {"a\tb", {8, 1}, {{"a b"}}},
  };
  std::vector<TCase> sjisCases;
  for (const TCase& c : cases) {
    TCase converted{Sjis(c.line), c.display, {}};
    for (const auto& page : c.pages) {
      converted.pages.emplace_back();
      for (const std::string& row : page) converted.pages.back().push_back(Sjis(row));
    }
    sjisCases.push_back(converted);
  }
  // "ー" (0x81 0x5B) ends in the byte of "[": what follows is text, not a tag.
  sjisCases.push_back({"\x81[00:01.00]", {6, 2}, {{"\x81[00:0", "1.00]"}}});
  for (const TCase& c : sjisCases) {
    THeadlessCanvas canvas;
    const TPlayerPreview preview(c.line, c.display);
    const TRect area{0, 0, 2000, 4000};
    preview.Draw(canvas, area, TPreviewHeading{7, 0});
    const TPreviewGeometry at(canvas, area, c.display);
    const TShownPages expected(c.pages.begin(), c.pages.end());
    EXPECT_EQ(ReadGrids(canvas.Ops(), at, preview.Pages()), expected) << c.line;

    // Every page after the first, and the heading when there are such pages, says the line overflows.
    int marks = 0;
    for (const TCanvasOp& op : canvas.Ops()) {
      if (op.Op == "text" && op.Text.find(Sjis("はみ出し")) != std::string::npos) ++marks;
    }
    EXPECT_EQ(marks, preview.Pages() > 1 ? static_cast<int>(preview.Pages()) : 0) << c.line;

    // No grid line runs through a double-byte character (one that fits a row at all).
    for (const TCanvasOp& glyph : canvas.Ops()) {
      if (c.display.HalfCount < 2) break;
      if (glyph.Op != "text" || glyph.Text.size() != 2 || !IsDBCSLeadByte(static_cast<unsigned char>(glyph.Text[0])))
        continue;
      for (const TCanvasOp& rule : canvas.Ops()) {
        const bool through = rule.Op == "line" && rule.X == rule.X2 && rule.X > glyph.X &&
                             rule.X < glyph.X + 2 * at.CellWidth && rule.Y <= glyph.Y && rule.Y2 > glyph.Y;
        EXPECT_FALSE(through) << c.line << " at x " << rule.X;
      }
    }
  }
}

TEST(PlayerPreviewTest, CellsSitOnAGridOfFontCellsWithOnePixelLines) {
  // Headless cells are 8 x 16: cell c of row r starts 9 c + 1 and 17 r + 1 pixels into the grid.
  THeadlessCanvas canvas;
  const TRect area{10, 20, 400, 400};
  TPlayerPreview(Sjis("aあ"), {4, 2}).Draw(canvas, area, {});
  const TPreviewGeometry at(canvas, area, {4, 2});
  const TRect grid = at.Grid(0);
  EXPECT_EQ(grid.Width(), 4 * 9 + 1);
  EXPECT_EQ(grid.Height(), 2 * 17 + 1);
  std::vector<std::pair<int, int>> drawn;
  for (const TCanvasOp& op : canvas.Ops()) {
    if (op.Op == "text" && op.Y >= grid.Top) drawn.emplace_back(op.X - grid.Left, op.Y - grid.Top);
  }
  EXPECT_EQ(drawn, (std::vector<std::pair<int, int>>{{1, 1}, {10, 1}}));
}

TEST(PlayerPreviewTest, DrawsOnlyThePagesThatFitTheArea) {
  THeadlessCanvas canvas;
  const std::string line(200, 'x');
  const TPlayerPreview preview(line, {4, 2});
  ASSERT_EQ(preview.Pages(), 25u);
  const TRect area{0, 0, 300, 200};
  preview.Draw(canvas, area, {});
  int glyphs = 0;
  for (const TCanvasOp& op : canvas.Ops()) {
    if (op.Op == "text") {
      EXPECT_LT(op.Y, area.Bottom);
      if (op.Text == "x") ++glyphs;
    }
  }
  EXPECT_GT(glyphs, 0);
  EXPECT_LT(glyphs, 200);
}

TEST(PlayerPreviewTest, TheHeadingTellsTheOverflowingLinesOnceTheyAreCounted) {
  struct TCase {
    std::optional<int> count;
    std::string text;
    bool marked;  // in the colour of overflow rather than that of the line's heading, which fits
  };
  const std::vector<TCase> cases = {
      {std::nullopt, "はみ出す行: 数えています… (6×2)", false},
      {0, "はみ出す行: 0 (6×2)", false},
      {3, "はみ出す行: 3 (6×2)", true},
  };
  for (const TCase& c : cases) {
    THeadlessCanvas canvas;
    TPlayerPreview(Sjis("ab"), {6, 2}).Draw(canvas, TRect{0, 0, 400, 400}, TPreviewHeading{1, c.count});
    std::vector<TCanvasOp> texts;
    for (const TCanvasOp& op : canvas.Ops()) {
      if (op.Op == "text") texts.push_back(op);
    }
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0].Text, Sjis("1 行目: 1 行 / 1 ページ"));
    EXPECT_EQ(texts[1].Text, Sjis(c.text));
    EXPECT_EQ(texts[1].Color != texts[0].Color, c.marked) << c.text;
  }
}

}  // namespace
