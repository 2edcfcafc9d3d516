// THeadlessCanvas: fixed metrics and the record of what was drawn.
#include "platform/headless/HeadlessCanvas.h"

#include <utility>

#include "platform/LeadByte.h"

THeadlessCanvas::THeadlessCanvas(int halfWidth, int fullWidth, int cellHeight)
    : FHalfWidth(halfWidth), FFullWidth(fullWidth), FCellHeight(cellHeight) {}

TTextMetric THeadlessCanvas::GetTextMetrics() const {
  TTextMetric tm;
  tm.tmHeight = FCellHeight;
  tm.tmAscent = FCellHeight * 3 / 4;
  tm.tmDescent = FCellHeight - tm.tmAscent;
  tm.tmAveCharWidth = FHalfWidth;
  tm.tmMaxCharWidth = FFullWidth;
  return tm;
}

int THeadlessCanvas::TextWidth(std::string_view text) const {
  if (const int cell = ByteCellWidth(); cell > 0) return cell * static_cast<int>(text.size());
  int width = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      width += FFullWidth;
      ++i;
    } else {
      width += FHalfWidth;
    }
  }
  return width;
}

int THeadlessCanvas::ByteCellWidth() const { return FFullWidth == 2 * FHalfWidth ? FHalfWidth : 0; }

int THeadlessCanvas::TextHeight(std::string_view) const { return FCellHeight; }

void THeadlessCanvas::SetFont(const TLogFont& font) {
  FFont = font;
  TCanvasOp op;
  op.Op = "font";
  op.Text = font.lfFaceName;
  op.Y = font.lfHeight;
  FOps.push_back(std::move(op));
}

void THeadlessCanvas::SetPen(TColor color, int, TPenStyle, TPenMode) { FPen = color; }

void THeadlessCanvas::FillRect(const TRect& rect) {
  TCanvasOp op;
  op.Op = "fill";
  op.Rect = rect;
  op.Color = FBrush;
  FOps.push_back(std::move(op));
}

void THeadlessCanvas::TextOut(int x, int y, std::string_view text) {
  TCanvasOp op;
  op.Op = "text";
  op.X = x;
  op.Y = y;
  op.Text = std::string(text);
  op.Color = FTextColor;
  op.Bk = FBkColor;
  op.Underline = FUnderline;
  FOps.push_back(std::move(op));
}

void THeadlessCanvas::TextRect(const TRect& clip, int x, int y, std::string_view text) {
  TextOut(x, y, text);
  FOps.back().Clip = clip;
}

void THeadlessCanvas::MoveTo(int x, int y) { FPenPos = TPoint{x, y}; }

void THeadlessCanvas::LineTo(int x, int y) {
  TCanvasOp op;
  op.Op = "line";
  op.X = FPenPos.X;
  op.Y = FPenPos.Y;
  op.X2 = x;
  op.Y2 = y;
  op.Color = FPen;
  FOps.push_back(std::move(op));
  FPenPos = TPoint{x, y};
}

void THeadlessCanvas::SetPixel(int x, int y, TColor color) {
  TCanvasOp op;
  op.Op = "pixel";
  op.X = x;
  op.Y = y;
  op.Color = color;
  FOps.push_back(std::move(op));
}

std::vector<TCanvasOp> THeadlessCanvas::TakeOps() { return std::exchange(FOps, {}); }
