// THeadlessCanvas: a recording canvas with fixed glyph metrics, for tests and the scripted driver.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Canvas.h"

// One recorded drawing operation. Op is "text", "line", "fill", "pixel" or
// "font"; the fields that do not belong to an op stay at their defaults.
struct TCanvasOp {
  std::string Op;
  int X = 0;
  int Y = 0;
  int X2 = 0;
  int Y2 = 0;
  std::string Text;
  TColor Color = 0;
  TColor Bk = 0;
  bool Underline = false;
  TRect Rect;
  std::optional<TRect> Clip;
};

// Every half-width byte is HalfWidth pixels wide, every double-byte
// character FullWidth, and every cell CellHeight high; the average
// character width is HalfWidth.
class THeadlessCanvas : public ICanvas {
 public:
  THeadlessCanvas(int halfWidth = 8, int fullWidth = 16, int cellHeight = 16);

  TTextMetric GetTextMetrics() const override;
  int TextWidth(std::string_view text) const override;
  int TextHeight(std::string_view text) const override;
  // The half width when a double-byte character is exactly two of them.
  int ByteCellWidth() const override;

  void SetFont(const TLogFont& font) override;
  void SetBrushColor(TColor color) override { FBrush = color; }
  TColor BrushColor() const override { return FBrush; }
  void SetPen(TColor color, int width, TPenStyle style, TPenMode mode) override;
  TColor PenColor() const override { return FPen; }
  void SetTextColor(TColor color) override { FTextColor = color; }
  TColor TextColor() const override { return FTextColor; }
  void SetBkColor(TColor color) override { FBkColor = color; }
  TColor BkColor() const override { return FBkColor; }
  void SetTextUnderline(bool underline) override { FUnderline = underline; }

  void FillRect(const TRect& rect) override;
  void TextOut(int x, int y, std::string_view text) override;
  void TextRect(const TRect& clip, int x, int y, std::string_view text) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void SetPixel(int x, int y, TColor color) override;

  const TLogFont& Font() const { return FFont; }
  const std::vector<TCanvasOp>& Ops() const { return FOps; }
  // Returns the operations recorded since the last call and forgets them.
  std::vector<TCanvasOp> TakeOps();

 private:
  int FHalfWidth;
  int FFullWidth;
  int FCellHeight;
  TLogFont FFont;
  TColor FBrush = clWhite;
  TColor FPen = clBlack;
  TColor FTextColor = clBlack;
  TColor FBkColor = clWhite;
  bool FUnderline = false;
  TPoint FPenPos;
  std::vector<TCanvasOp> FOps;
};
