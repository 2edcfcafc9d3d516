// TRyxEdit: the full paint, row bands, rows and row segments, the gutter, the owner's hooks and the underline.
#include <algorithm>
#include <string>
#include <utility>

#include "editor/IntMath.h"
#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"

namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr TColor kInvert = 0xFFFFFF;
// Width of the cell that holds a line-break mark, whatever the font.
constexpr int kBreakCellWidth = 8;

// a / b for a >= 0, b > 0, rounded to the nearest integer with halves to even.
int RoundDivHalfEven(int a, int b) {
  const int q = a / b;
  const int r2 = 2 * (a % b);
  return r2 > b || (r2 == b && q % 2 != 0) ? q + 1 : q;
}

}  // namespace

void TRyxEdit::Paint() {
  // A paint of a band paints the rows it crosses, not the whole view.
  const TRect box = Canvas().ClipBox();
  const int height = std::max(1, FLineHeight);
  const int first = FTopLine + std::max(0, box.Top - FTopMargin) / height;
  const int last = FTopLine + std::max(0, box.Bottom - 1 - FTopMargin) / height;
  PaintRows(first, last);
  if (OnPaint) OnPaint(this);
}

void TRyxEdit::PaintScreen() { PaintRows(FTopLine, FTopLine + FVisibleLines - 1); }

void TRyxEdit::PaintRows(int first, int last) {
  // Opening a file clears the document and then loads it: the one paint
  // message that follows shows whichever document is there by then, once.
  if (FDeferScreenPaint) {
    Host().InvalidateRect(nullptr);
    return;
  }
  const int bottom = std::min(FLines.Count() - 1, FTopLine + FVisibleLines - 1);
  if (first <= FTopLine && last >= bottom) FStalePixels = false;
  first = std::max(first, FTopLine);
  last = std::min(last, bottom);
  if (FSelActive) {
    PaintSelectionRows(first, last);
    PaintBelowText(first, last);
  } else if (FSelAll) {
    PaintAllSelected();
    PaintBelowText(first, last);
  } else {
    PaintLineRange(first, last);
    PaintBelowText(first, last);
    DrawUnderline(FCaretLine, true);
  }
  PaintTopMargin();
  FireUserDraw();
  FireUserClientDraw(first, last);
  UpdateHThumb();
}

void TRyxEdit::PaintTopMargin() {
  ICanvas& canvas = Canvas();
  canvas.SetBrushColor(FColor);
  canvas.FillRect(TRect{0, 0, Width(), FTopMargin});
}

void TRyxEdit::FireUserDraw() {
  if (!OnUserDraw) return;
  const int cell = std::max(1, FCharWidth);
  const int c1 = std::max(1, RoundDivHalfEven(FScrollX, cell));
  const int c2 = std::min(RoundDivHalfEven(Width() + FScrollX, cell), FWordWrap ? FColumn : FMaxColumns);
  OnUserDraw(this, c1, c2, FTextLeft, Width() - FVBarWidth);
  // The handler may have changed any canvas setting.
  PrepareCanvas();
}

void TRyxEdit::FireUserClientDraw(int L1, int L2) {
  if (OnUserClientDraw) OnUserClientDraw(this, FTextLeft, Width() - FVBarWidth, L1, L2);
}

void TRyxEdit::UpdateHThumb() {
  if (FHorzScrollBar) Host().SetScrollPos(SB_HORZ, CeilDiv(FScrollX, FHScrollScale), true);
  UpdateHScrollRange(true);
}

void TRyxEdit::RepaintLines(int first) {
  // A row above the view would be drawn over the top margin.
  first = std::max(first, FTopLine);
  const int last = std::min(FLines.Count() - 1, FTopLine + FVisibleLines - 1);
  PaintLineRange(first, last);
  PaintBelowText(first, last);
  DrawUnderline(FCaretLine, true);
  FireUserClientDraw(std::max(0, first - 1), last);
  UpdateHThumb();
}

int TRyxEdit::RowTop(int row) const { return (row - FTopLine) * FLineHeight + FTopMargin; }

TColor TRyxEdit::RowTextColor(const std::string& expanded) const {
  if (!FColorPrintF || expanded.empty()) return FFont.Color();
  auto charLength = [](const std::string& s, std::size_t i) {
    return IsDBCSLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2u : 1u;
  };
  const std::string first = expanded.substr(0, charLength(expanded, 0));
  // Inyostr is a set of characters: compare whole characters, so that a
  // single byte never matches the trail byte of a double-byte quote character.
  for (std::size_t i = 0; i < FInyostr.size();) {
    const std::size_t n = charLength(FInyostr, i);
    if (FInyostr.compare(i, n, first) == 0) return FInyoColor;
    i += n;
  }
  return FFont.Color();
}

std::pair<int, int> TRyxEdit::ShownSpan(const TRowLayout& layout, int from, int to) const {
  // From the pixel left of the text area, where a row band starts, to the
  // client's right edge, where a selected segment's rectangle may reach.
  return layout.DrawnSpan(from, to, FScrollX - 2, FScrollX + Width() - FTextLeft);
}

void TRyxEdit::PaintLine(int x, int y, std::string_view text) {
  ICanvas& canvas = Canvas();
  const TRowLayout layout = RowLayout(text);
  std::string_view endBytes;
  if (text.ends_with(kLineBreak) || text.ends_with(kEndMarker)) endBytes = text.substr(text.size() - 2);
  const int length = static_cast<int>(text.size() - endBytes.size());
  TTabMarks marks;
  marks[0] = -1;
  if (FShowTAB) layout.TabMarks(length, marks);
  canvas.SetTextColor(RowTextColor(layout.Expanded(0, 2)));
  const int top = y + FTopMargin;
  const int origin = FTextLeft - FScrollX;
  // Opaque output over the whole band right of x: no separate erase is needed.
  const TRect band{FTextLeft + x - 1, top, FTextLeft + FTextWidth, top + FLineHeight};
  // Only the characters in view are handed to the canvas: a row may be megabytes long.
  const auto span = ShownSpan(layout, 0, length);
  const std::string shown = layout.Expanded(span);
  const int shownX = origin + layout.XOfColumn(span.first);
  canvas.SetBkColor(FColor);
  canvas.TextRect(band, shownX, top, shown);
  DrawLineEndMark(origin + layout.XOfColumn(length), endBytes, top);
  DrawBlankMarks(band, shownX, marks, false, shown, top);
}

void TRyxEdit::PaintLineRange(int a, int b) {
  if (b < a) return;
  for (int row = a; row <= b; ++row) PaintLine(0, (row - FTopLine) * FLineHeight, FLines.Get(row));
  ColorLinks(a, b, nullptr);
}

void TRyxEdit::PaintLineSegment(int row, int fromCol, std::string_view text, bool selected, int toCol) {
  const int length = static_cast<int>(text.size());
  fromCol = std::clamp(fromCol, 0, length);
  toCol = std::clamp(toCol, 0, length);
  if (fromCol >= toCol) return;
  selected = selected || FSelAll;
  ICanvas& canvas = Canvas();
  const TRowLayout layout = RowLayout(text);
  const int y = RowTop(row);
  const int rowRight = FTextLeft + FTextWidth;
  const int x0 = FTextLeft - FScrollX + layout.XOfColumn(fromCol);
  TTabMarks marks;
  marks[0] = -1;
  if (FShowTAB) layout.TabMarks(toCol, marks);
  const std::string_view segmentEnd =
      toCol - fromCol >= 2 ? text.substr(static_cast<std::size_t>(toCol - 2), 2) : std::string_view();

  if (segmentEnd == kEndMarker) {
    toCol -= 2;
    const int xEnd = x0 + layout.Width(fromCol, toCol);
    const TRect rest{xEnd, y, rowRight, y + FLineHeight};
    // The end of the text is never shown as selected.
    if (FShowEOF) {
      canvas.SetBkColor(FColor);
      canvas.SetTextColor(FCREOFcolor);
      canvas.TextRect(rest, xEnd, y, kEndOfTextLabel);
    } else {
      canvas.SetBrushColor(FColor);
      canvas.FillRect(rest);
    }
  } else if (segmentEnd == kLineBreak) {
    toCol -= 2;
    const int xEnd = x0 + layout.Width(fromCol, toCol);
    const int cellRight = std::max(FTextLeft, xEnd + kBreakCellWidth);
    canvas.SetBrushColor(selected ? FSelColor : FColor);
    canvas.SetPen(selected ? FCREOFcolor ^ kInvert : FCREOFcolor);
    canvas.FillRect(TRect{std::max(FTextLeft, xEnd), y, cellRight, y + FLineHeight});
    canvas.SetBrushColor(FColor);
    if (FShowCR) DrawCRMark(xEnd, y);
    canvas.FillRect(TRect{cellRight, y, rowRight, y + FLineHeight});
  }

  const TRect textRect{std::max(FTextLeft, x0), y, std::max(FTextLeft, x0 + layout.Width(fromCol, toCol)),
                       y + FLineHeight};
  if (fromCol < toCol) {
    const auto span = ShownSpan(layout, fromCol, toCol);
    const std::string shown = layout.Expanded(span);
    const int shownX = x0 + layout.Width(fromCol, span.first);
    if (selected) {
      canvas.SetTextColor(FFont.Color() ^ kInvert);
      canvas.SetBkColor(FSelColor);
      canvas.TextRect(textRect, shownX, y, shown);
      DrawBlankMarks(textRect, shownX, marks, true, shown, y);
    } else {
      canvas.SetTextColor(RowTextColor(layout.Expanded(0, 2)));
      canvas.SetBkColor(FColor);
      canvas.TextRect(textRect, shownX, y, shown);
      DrawBlankMarks(textRect, shownX, marks, false, shown, y);
      ColorLinks(row, row, &textRect);
    }
  }
  // A soft-wrapped row painted to its end has no end mark to clear the rest of the band.
  if (length == toCol) {
    canvas.SetBrushColor(FColor);
    canvas.FillRect(TRect{textRect.Right, y, rowRight, y + FLineHeight});
  }
}

void TRyxEdit::PaintSelectionRows(int first, int last) {
  std::pair<int, int> from{FSelStartLine, FSelStartCol};
  std::pair<int, int> to{FSelEndLine, FSelEndCol};
  if (to < from) std::swap(from, to);
  const auto [sl, sc] = from;
  const auto [el, ec] = to;
  for (int row = first; row <= last; ++row) {
    const std::string text(FLines.Get(row));
    const int length = static_cast<int>(text.size());
    if (row < sl || row > el) {
      PaintLineSegment(row, 0, text, false, length);
    } else if (sl == el) {
      PaintLineSegment(row, 0, text, false, sc);
      PaintLineSegment(row, sc, text, true, ec);
      PaintLineSegment(row, ec, text, false, length);
    } else if (row == sl) {
      PaintLineSegment(row, 0, text, false, sc);
      PaintLineSegment(row, sc, text, true, length);
    } else if (row == el) {
      PaintLineSegment(row, 0, text, true, ec);
      PaintLineSegment(row, ec, text, false, length);
    } else {
      PaintLineSegment(row, 0, text, true, length);
    }
  }
}

void TRyxEdit::PaintAllSelected() {
  const int last = std::min(FLines.Count() - 1, FTopLine + FVisibleLines - 1);
  for (int row = std::max(FTopLine, 0); row <= last; ++row) {
    const std::string text(FLines.Get(row));
    PaintLineSegment(row, 0, text, true, static_cast<int>(text.size()));
  }
}

void TRyxEdit::PaintBelowText(int a, int b) {
  ICanvas& canvas = Canvas();
  canvas.SetBrushColor(FColor);
  const int rows = std::min(FVisibleLines, FLines.Count() - FTopLine);
  // From the bottom of the last row's text cell, so its line spacing is cleared too.
  const int top = rows * FLineHeight + FTopMargin - (FLineHeight - FFontHeight);
  canvas.FillRect(TRect{0, top, Width(), Height()});
  PaintGutter(a, b);
}

void TRyxEdit::PaintGutter(int a, int b) {
  if (b < a) return;
  ICanvas& canvas = Canvas();
  const int top = std::max(FTopMargin, RowTop(a));
  // Down to the next row, or below the view's last row to its text's bottom,
  // so that a band of rows is painted as the whole view paints it.
  const bool lastRow = b >= std::min(FLines.Count() - 1, FTopLine + FVisibleLines - 1);
  const int bottom = std::min(Height(), RowTop(b) + (lastRow ? FFontHeight : FLineHeight));
  canvas.SetBrushColor(FColor);
  canvas.FillRect(TRect{0, top, FTextLeft, bottom});
  if (!FShowLineNumber) return;
  canvas.SetPen(FCREOFcolor);
  canvas.MoveTo(FTextLeft - 4, FTopMargin);
  canvas.LineTo(FTextLeft - 4, bottom);
  canvas.SetTextColor(FCREOFcolor);
  canvas.SetBkColor(FColor);
  // Each logical line is numbered once, on its first row: wrapped continuation rows get none.
  int line = FLines.LogicalLineOf(a);
  for (int row = a; row <= b; ++row) {
    const bool starts = row == 0 || HasLineEnd(FLines.Get(row - 1));
    if (row > a && starts) ++line;
    if (!starts) continue;
    const std::string number = std::to_string(line + 1);
    canvas.TextOut(FTextLeft - 7 - canvas.TextWidth(number), RowTop(row), number);
  }
}

void TRyxEdit::DrawUnderline(int row, bool on) {
  if (!FShowUnderLine || FSelActive || FMouseSelecting || FSelAll) return;
  if (!on) {
    if (RowTop(row) + FFontHeight > FTopMargin) EraseUnderlineAt(row);
    return;
  }
  StrokeUnderline(row, FUlineColor);
  FUnderlineLine = row;
}

void TRyxEdit::MoveUnderline(int fromRow, int toRow) {
  if (!FShowUnderLine || FSelActive || FMouseSelecting) return;
  EraseUnderlineAt(fromRow);
  StrokeUnderline(toRow, FUlineColor);
  FUnderlineLine = toRow;
}

void TRyxEdit::EraseUnderlineAt(int row) {
  StrokeUnderline(row, FColor);
  // The erasing line crossed the gutter separator.
  if (FShowLineNumber) Canvas().SetPixel(FTextLeft - 4, RowTop(row) + FFontHeight, FCREOFcolor);
}

void TRyxEdit::StrokeUnderline(int row, TColor color) {
  ICanvas& canvas = Canvas();
  const int y = RowTop(row) + FFontHeight;
  canvas.SetPen(color);
  canvas.MoveTo(FLeftMargin, y);
  canvas.LineTo(ClientWidth(), y);
}
