// QtCanvas: the canvas of a hosted control, drawing into a backing pixmap the size of the client area.
#pragma once

#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/Canvas.h"
#include "platform/qt/QtCellFont.h"

// Coordinates are client coordinates. Every operation reports the rectangle
// it touched, so that the widget can show it; while a clip region is set
// (a paint message repaints what was invalidated) drawing stays inside it.
class QtCanvas : public ICanvas {
 public:
  QtCanvas();
  ~QtCanvas() override;

  // A new pixmap of the given size; the old content stays where it overlaps, the rest is filled with fill.
  void resize(const QSize& size, qreal devicePixelRatio, const QColor& fill);
  // The pixmap with everything drawn so far.
  const QPixmap& pixmap() const;
  QSize size() const;
  void setOnTouched(std::function<void(const QRect&)> handler) { FOnTouched = std::move(handler); }
  void setClipRegion(const QRegion& region);
  void clearClipRegion();
  TRect ClipBox() const override;
  // Moves the pixels of scroll by (dx, dy); only pixels inside clip change.
  // Returns the part of scroll inside clip that no moved pixel covers. The
  // pixels are not reported as touched: the window moves its own with them.
  QRegion scroll(int dx, int dy, const QRect& scroll, const QRect& clip);
  const QtCellFont& cellFont() const;

  // ITextMeasurer.
  TTextMetric GetTextMetrics() const override;
  int TextWidth(std::string_view text) const override;
  int TextHeight(std::string_view text) const override;
  int ByteCellWidth() const override { return cellFont().cellWidth(); }

  // ICanvas.
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

 private:
  template <typename Paint>
  void paint(const QRect& bounds, Paint&& paintWith);
  void drawText(const QRect& opaque, const QRect* clip, int x, int y, std::string_view text);
  // Ends the painter, before the pixmap is read, moved or made anew.
  void endPainting() const;

  QPixmap FPixmap;
  // The pixmap's painter, open from the first drawing until the pixmap is
  // read, moved or made anew: opening one for every line and cell of text
  // would cost more than drawing them.
  mutable std::unique_ptr<QPainter> FPainter;
  std::optional<QRegion> FClip;
  std::function<void(const QRect&)> FOnTouched;
  // Fonts made so far: the editor sets the same few again and again.
  mutable std::vector<std::unique_ptr<QtCellFont>> FFonts;
  mutable const QtCellFont* FFont = nullptr;
  TColor FBrush = clWhite;
  TColor FPen = clBlack;
  int FPenWidth = 1;
  TPenStyle FPenStyle = TPenStyle::psSolid;
  TPenMode FPenMode = TPenMode::pmCopy;
  TColor FTextColor = clBlack;
  TColor FBkColor = clWhite;
  bool FUnderline = false;
  TPoint FPenPos;
};
