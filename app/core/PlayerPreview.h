// TPlayerPreview: one lyrics line as the player shows it, in pages of LCD-like cell grids drawn on a canvas.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/KeptPlayerLayout.h"
#include "app/core/PlayerLayout.h"
#include "platform/Canvas.h"

// Where the parts of the preview go for a font and a display: a heading of
// two text lines, then each page as a label line above a grid of
// LineCount rows of HalfCount cells, one page below the other. A cell is a
// half-width character cell of the font with a one-pixel grid line on its
// left and top.
struct TPreviewGeometry {
  int Left = 0;
  int Top = 0;
  int CellWidth = 0;   // font pixels of a half-width cell
  int CellHeight = 0;  // font pixels of a row
  int HeadingHeight = 0;
  int PageHeight = 0;  // label, grid and the gap after it
  TPlayerDisplay Display;

  TPreviewGeometry(const ITextMeasurer& font, const TRect& area, TPlayerDisplay display);
  // The top left pixel of the text of cell `cell` in row `row` of page `page` (all from 0).
  TPoint CellOrigin(std::size_t page, int row, int cell) const;
  // The grid of a page, its outer border included.
  TRect Grid(std::size_t page) const;
  int GridWidth() const { return Display.HalfCount * (CellWidth + 1) + 1; }
  int GridHeight() const { return Display.LineCount * (CellHeight + 1) + 1; }
};

// What the heading tells besides the line itself.
struct TPreviewHeading {
  int LineNumber = 1;     // the logical line shown, from 1
  // Lines of the whole text that need more than one page; none while they are still being counted.
  std::optional<int> OverflowLines = 0;
};

class TPlayerPreview {
 public:
  // A display without cells or rows is shown as one of a single cell or row,
  // and one of more than a thousand as one of a thousand. An ID tag line is
  // not shown on the player: its page stays empty and the heading says why.
  TPlayerPreview(std::string_view line, TPlayerDisplay display);

  // Shows line instead, laid out again only from its first changed byte on.
  void ShowLine(std::string_view line);

  const TPlayerLayout& Layout() const { return FKept.Layout(); }
  TPlayerDisplay Display() const { return FDisplay; }
  std::size_t Pages() const { return Layout().Pages(FDisplay.LineCount); }

  // Fills area and draws the heading and as many pages as fit in it, in the
  // canvas's current font. Pages after the first are framed in red and
  // labelled as overflowing. A row that starts with a character kept off a
  // line start (。、」 and the like) shows that character in red on pink, and the
  // heading names the first such row. The first sungBytes bytes of the
  // layout's text are coloured as a karaoke player colours what was sung.
  void Draw(ICanvas& canvas, const TRect& area, const TPreviewHeading& heading, std::size_t sungBytes = 0) const;
  // The width that shows a whole grid. The heading is not counted: a long
  // one is cut at the panel's edge rather than take the editor's room.
  int Width(const ITextMeasurer& font) const;

 private:
  // The two heading lines in code page 932.
  std::array<std::string, 2> HeadingLines(const TPreviewHeading& heading) const;
  void DrawHeading(ICanvas& canvas, const TPreviewGeometry& at, const TPreviewHeading& heading) const;
  // Cells right of visibleCells and rows from bottom down are left out.
  void DrawPage(ICanvas& canvas, const TPreviewGeometry& at, std::size_t page, int visibleCells, int bottom,
                std::size_t sungBytes) const;

  TPlayerDisplay FDisplay;
  bool FIdLine = false;
  // The layout and the rows that start with a character kept off a line start (LineStartRules.h).
  TKeptPlayerLayout FKept;
};
