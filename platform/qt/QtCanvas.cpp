// QtCanvas: text, fills and pen lines drawn into the backing pixmap with the platform's pixel rules.
#include "platform/qt/QtCanvas.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "platform/qt/QtConvert.h"

namespace {

// The pixels of a line from `from` to `to` with the end pixel left out, as the platform's LineTo draws them.
std::vector<QPoint> LinePixels(QPoint from, QPoint to) {
  std::vector<QPoint> points;
  const int dx = std::abs(to.x() - from.x());
  const int dy = -std::abs(to.y() - from.y());
  const int sx = from.x() < to.x() ? 1 : -1;
  const int sy = from.y() < to.y() ? 1 : -1;
  int error = dx + dy;
  QPoint p = from;
  while (p != to) {
    points.push_back(p);
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      p.rx() += sx;
    }
    if (twice <= dx) {
      error += dx;
      p.ry() += sy;
    }
  }
  return points;
}

}  // namespace

QtCanvas::QtCanvas() = default;

QtCanvas::~QtCanvas() { endPainting(); }

void QtCanvas::endPainting() const { FPainter.reset(); }

const QPixmap& QtCanvas::pixmap() const {
  endPainting();
  return FPixmap;
}

void QtCanvas::setClipRegion(const QRegion& region) {
  FClip = region;
  if (FPainter) FPainter->setClipRegion(region);
}

void QtCanvas::clearClipRegion() {
  FClip.reset();
  if (FPainter) FPainter->setClipping(false);
}

void QtCanvas::resize(const QSize& size, qreal devicePixelRatio, const QColor& fill) {
  endPainting();
  if (size.isEmpty()) {
    FPixmap = QPixmap();
    return;
  }
  QPixmap next(size * devicePixelRatio);
  next.setDevicePixelRatio(devicePixelRatio);
  next.fill(fill);
  if (!FPixmap.isNull()) {
    QPainter painter(&next);
    painter.drawPixmap(0, 0, FPixmap);
  }
  FPixmap = next;
}

TRect QtCanvas::ClipBox() const {
  const QRect client(QPoint(0, 0), size());
  return RectFromQRect(FClip ? FClip->boundingRect() & client : client);
}

QSize QtCanvas::size() const { return FPixmap.isNull() ? QSize() : FPixmap.deviceIndependentSize().toSize(); }

QRegion QtCanvas::scroll(int dx, int dy, const QRect& area, const QRect& clip) {
  endPainting();
  const QRect client(QPoint(0, 0), size());
  const QRect source = area & client;
  const QRect limit = clip & client;
  const QRect target = source.translated(dx, dy) & limit;
  const qreal ratio = FPixmap.devicePixelRatio();
  const auto devicePixels = [ratio](const QRect& r) {
    return QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio).toAlignedRect();
  };
  if (!target.isEmpty() && source == limit) {
    // Pixels that move inside one rectangle move in place: no copy of the area is made.
    FPixmap.scroll(qRound(dx * ratio), qRound(dy * ratio), devicePixels(source));
  } else if (!target.isEmpty()) {
    QPixmap moved = FPixmap.copy(devicePixels(target.translated(-dx, -dy)));
    moved.setDevicePixelRatio(ratio);
    QPainter painter(&FPixmap);
    painter.drawPixmap(target.topLeft(), moved);
  }
  return QRegion(source & limit) - QRegion(target);
}

const QtCellFont& QtCanvas::cellFont() const {
  if (!FFont) {
    FFonts.push_back(std::make_unique<QtCellFont>(TLogFont{}));
    FFont = FFonts.back().get();
  }
  return *FFont;
}

TTextMetric QtCanvas::GetTextMetrics() const { return cellFont().textMetric(); }

int QtCanvas::TextWidth(std::string_view text) const {
  // A double-byte character takes two cells for its two bytes, anything else one cell a byte.
  return static_cast<int>(text.size()) * cellFont().cellWidth();
}

int QtCanvas::TextHeight(std::string_view) const { return cellFont().height(); }

void QtCanvas::SetFont(const TLogFont& font) {
  const auto known = std::find_if(FFonts.begin(), FFonts.end(),
                                  [&](const std::unique_ptr<QtCellFont>& f) { return f->logFont() == font; });
  if (known != FFonts.end()) {
    FFont = known->get();
    return;
  }
  FFonts.push_back(std::make_unique<QtCellFont>(font));
  FFont = FFonts.back().get();
}

void QtCanvas::SetPen(TColor color, int width, TPenStyle style, TPenMode mode) {
  FPen = color;
  FPenWidth = std::max(1, width);
  FPenStyle = style;
  FPenMode = mode;
}

template <typename Paint>
void QtCanvas::paint(const QRect& bounds, Paint&& paintWith) {
  if (FPixmap.isNull()) return;
  QRect touched = bounds & QRect(QPoint(0, 0), size());
  if (FClip) touched &= FClip->boundingRect();
  if (touched.isEmpty()) return;
  if (!FPainter) {
    FPainter = std::make_unique<QPainter>(&FPixmap);
    if (FClip) FPainter->setClipRegion(*FClip);
  }
  // Each operation starts from the painter's state as it was opened.
  FPainter->save();
  paintWith(*FPainter);
  FPainter->restore();
  if (FOnTouched) FOnTouched(touched);
}

void QtCanvas::FillRect(const TRect& rect) {
  const QRect area = QRectFromRect(rect);
  paint(area, [&](QPainter& painter) { painter.fillRect(area, QColorFromColor(FBrush)); });
}

void QtCanvas::TextOut(int x, int y, std::string_view text) {
  const QtCellFont& font = cellFont();
  drawText(QRect(x, y, QtCellFont::cellsOfAnsi(text) * font.cellWidth(), font.height()), nullptr, x, y, text);
}

void QtCanvas::TextRect(const TRect& clip, int x, int y, std::string_view text) {
  const QRect area = QRectFromRect(clip);
  drawText(area, &area, x, y, text);
}

void QtCanvas::drawText(const QRect& opaque, const QRect* clip, int x, int y, std::string_view text) {
  const QtCellFont& font = cellFont();
  const std::vector<QtCellGlyph> glyphs = QtCellFont::glyphsFromAnsi(text);
  // Glyphs stay inside their row of cells: a fallback face with a taller
  // ascent must not leave pixels that a later repaint of the row misses.
  QRect cells(x, y, QtCellFont::cellsOf(glyphs) * font.cellWidth(), font.height());
  if (clip) cells &= *clip;
  paint(opaque, [&](QPainter& painter) {
    if (clip) painter.setClipRect(*clip, Qt::IntersectClip);
    painter.fillRect(opaque, QColorFromColor(FBkColor));
    painter.setClipRect(cells, Qt::IntersectClip);
    painter.setPen(QColorFromColor(FTextColor));
    font.draw(painter, x, y, glyphs, FUnderline);
  });
}

void QtCanvas::MoveTo(int x, int y) { FPenPos = TPoint{x, y}; }

void QtCanvas::LineTo(int x, int y) {
  const QPoint from = QPointFromPoint(FPenPos);
  const QPoint to(x, y);
  FPenPos = TPoint{x, y};
  if (FPenStyle == TPenStyle::psClear || from == to) return;

  const int w = FPenWidth;
  const auto square = [w](QPoint p) { return QRect(p.x() - w / 2, p.y() - w / 2, w, w); };
  // Rectangles that never overlap, so that an XOR pen inverts each pixel once.
  std::vector<QRect> pixels;
  if (FPenStyle == TPenStyle::psSolid && (from.x() == to.x() || from.y() == to.y())) {
    // A straight run is one rectangle: from the start up to the pixel before the end.
    const QPoint last = to - QPoint(from.x() < to.x() ? 1 : from.x() > to.x() ? -1 : 0,
                                    from.y() < to.y() ? 1 : from.y() > to.y() ? -1 : 0);
    pixels.push_back(square(from) | square(last));
  } else {
    // A dotted pen sets every other pixel, starting with the first.
    QRegion wide;
    const std::vector<QPoint> points = LinePixels(from, to);
    for (std::size_t i = 0; i < points.size(); ++i) {
      if (FPenStyle != TPenStyle::psSolid && i % 2 != 0) continue;
      // A pen one pixel wide sets distinct pixels; wider squares overlap and are merged.
      if (w == 1)
        pixels.push_back(square(points[i]));
      else
        wide += square(points[i]);
    }
    pixels.insert(pixels.end(), wide.begin(), wide.end());
  }
  QRect bounds;
  for (const QRect& rect : pixels) bounds |= rect;
  paint(bounds, [&](QPainter& painter) {
    switch (FPenMode) {
      case TPenMode::pmXor:
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
      case TPenMode::pmNot:
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        break;
      case TPenMode::pmCopy:
        break;
    }
    const QColor color = QColorFromColor(FPen);
    for (const QRect& rect : pixels) painter.fillRect(rect, color);
  });
}

void QtCanvas::SetPixel(int x, int y, TColor color) {
  const QRect pixel(x, y, 1, 1);
  paint(pixel, [&](QPainter& painter) { painter.fillRect(pixel, QColorFromColor(color)); });
}
