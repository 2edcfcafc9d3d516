// What the editor needs to measure and draw text: a measuring interface and the canvas that extends it.
#pragma once

#include <climits>
#include <string_view>

#include "platform/Colors.h"
#include "platform/Font.h"
#include "platform/Types.h"

// Measuring only: code that lays text out takes one of these and cannot draw by accident.
// Text is code page 932 bytes.
class ITextMeasurer {
 public:
  virtual ~ITextMeasurer() = default;
  virtual TTextMetric GetTextMetrics() const = 0;
  virtual int TextWidth(std::string_view text) const = 0;
  virtual int TextHeight(std::string_view text) const = 0;
  // Pixels per byte when every text is that many pixels wide for each of its
  // bytes (half-width characters one cell, double-byte characters two, a lead
  // byte without its trail one), so that layout can map columns to x by
  // arithmetic; 0 when widths have to be measured.
  virtual int ByteCellWidth() const { return 0; }
};

enum class TPenStyle { psSolid, psDot, psClear };
enum class TPenMode { pmCopy, pmXor, pmNot };

class ICanvas : public ITextMeasurer {
 public:
  virtual void SetFont(const TLogFont& font) = 0;

  virtual void SetBrushColor(TColor color) = 0;
  virtual TColor BrushColor() const = 0;
  virtual void SetPen(TColor color, int width = 1, TPenStyle style = TPenStyle::psSolid,
                      TPenMode mode = TPenMode::pmCopy) = 0;
  virtual TColor PenColor() const = 0;
  virtual void SetTextColor(TColor color) = 0;
  virtual TColor TextColor() const = 0;
  // Background of opaque text output.
  virtual void SetBkColor(TColor color) = 0;
  virtual TColor BkColor() const = 0;
  // Links are drawn underlined; the style stays until changed.
  virtual void SetTextUnderline(bool underline) = 0;

  // Fills with the brush colour.
  virtual void FillRect(const TRect& rect) = 0;
  // Opaque text output: each character cell is filled with the background colour first.
  virtual void TextOut(int x, int y, std::string_view text) = 0;
  // Opaque text output clipped to clip; the part of clip not covered by text is filled too.
  virtual void TextRect(const TRect& clip, int x, int y, std::string_view text) = 0;
  // Pen lines; LineTo excludes its end pixel.
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;
  virtual void SetPixel(int x, int y, TColor color) = 0;
  // The bounding box of what the paint in progress can change; a canvas
  // that clips nothing answers with a box that holds every pixel.
  virtual TRect ClipBox() const { return TRect{INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2}; }
};
