// QtCellFont: cell metrics of a LOGFONT-like record and per-cell text drawing.
#include "platform/qt/QtCellFont.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/CodePage.h"
#include "platform/LeadByte.h"
#include "platform/qt/QtConvert.h"

namespace {

bool IsControl(char32_t c) { return c < 0x20 || c == 0x7F; }

QString StringOf(char32_t c) { return QString::fromUcs4(&c, 1); }

}  // namespace

QtCellFont::QtCellFont(const TLogFont& logFont) : FLogFont(logFont), FFont(QFontFromLogFont(logFont)) {
  // The underline is drawn across whole cells here, not glyph by glyph.
  FFont.setUnderline(false);
  const QFontMetrics metrics(FFont);
  FHeight = std::max(1, metrics.height());
  FAscent = metrics.ascent();
  if (QFontInfo(FFont).fixedPitch()) {
    FCellWidth = metrics.horizontalAdvance(QLatin1Char('0'));
  } else {
    // A proportional face gets cells as wide as its widest ASCII character,
    // so that no character runs into its neighbour.
    for (char c = 0x20; c < 0x7F; ++c) FCellWidth = std::max(FCellWidth, metrics.horizontalAdvance(QLatin1Char(c)));
  }
  FCellWidth = std::max(1, FCellWidth);
  FUnderlineThickness = std::max(1, metrics.lineWidth());
  FUnderlineTop = std::min(FHeight - FUnderlineThickness, FAscent + std::max(1, metrics.underlinePos()));
  FPixelSize = QFontInfo(FFont).pixelSize();
}

TTextMetric QtCellFont::textMetric() const {
  TTextMetric tm;
  tm.tmHeight = FHeight;
  tm.tmAscent = FAscent;
  tm.tmDescent = FHeight - FAscent;
  tm.tmAveCharWidth = FCellWidth;
  tm.tmMaxCharWidth = 2 * FCellWidth;
  return tm;
}

int QtCellFont::cellsOfAnsi(std::string_view ansi) {
  int cells = 0;
  for (std::size_t i = 0; i < ansi.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<unsigned char>(ansi[i])) && i + 1 < ansi.size()) {
      cells += 2;
      ++i;
    } else {
      cells += 1;
    }
  }
  return cells;
}

std::vector<QtCellGlyph> QtCellFont::glyphsFromAnsi(std::string_view ansi) {
  // The decoder gives one UTF-16 unit per character, by the same lead-byte rule as here.
  const std::u16string text = AnsiToUnicode(ansi);
  std::vector<QtCellGlyph> glyphs;
  glyphs.reserve(text.size());
  std::size_t unit = 0;
  for (std::size_t i = 0; i < ansi.size() && unit < text.size(); ++i, ++unit) {
    const bool pair = IsDBCSLeadByte(static_cast<unsigned char>(ansi[i])) && i + 1 < ansi.size();
    glyphs.push_back(QtCellGlyph{text[unit], pair ? 2 : 1});
    if (pair) ++i;
  }
  return glyphs;
}

std::vector<QtCellGlyph> QtCellFont::glyphsFromText(const QString& text) const {
  std::vector<QtCellGlyph> glyphs;
  for (const char32_t c : text.toUcs4()) {
    const QString one = StringOf(c);
    std::size_t replaced = 0;
    const std::string ansi = UnicodeToAnsi(U16FromQString(one), &replaced);
    const int cells = replaced == 0 ? static_cast<int>(ansi.size()) : (advance(c) > 1.5 * FCellWidth ? 2 : 1);
    glyphs.push_back(QtCellGlyph{c, std::clamp(cells, 1, 2)});
  }
  return glyphs;
}

int QtCellFont::cellsOf(const std::vector<QtCellGlyph>& glyphs) {
  int cells = 0;
  for (const QtCellGlyph& glyph : glyphs) cells += glyph.Cells;
  return cells;
}

qreal QtCellFont::advance(char32_t c) const {
  const auto it = FAdvances.constFind(c);
  if (it != FAdvances.constEnd()) return *it;
  const qreal width = QFontMetricsF(FFont).horizontalAdvance(StringOf(c));
  FAdvances.insert(c, width);
  return width;
}

const QFont& QtCellFont::sizedFont(int pixelSize) const {
  auto it = FSizedFonts.find(pixelSize);
  if (it == FSizedFonts.end()) {
    QFont font = FFont;
    font.setPixelSize(pixelSize);
    it = FSizedFonts.insert(pixelSize, font);
  }
  return *it;
}

int QtCellFont::largestFittingSize(char32_t c) const {
  // The face that draws c, which may stand in for the font's own.
  QTextLayout layout(StringOf(c), FFont);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  const QList<QGlyphRun> runs = layout.glyphRuns();
  if (runs.isEmpty() || FPixelSize <= 0) return FPixelSize;
  const QRawFont face = runs.first().rawFont();
  // The row holds the font's ascent and descent rounded to whole pixels, so
  // the face's are rounded alike: a face whose descent is 3.1 pixels fits a
  // descent of 3. At p pixels a metric m (measured at FPixelSize) rounds to
  // at most limit while m * p / FPixelSize < limit + 0.5.
  const auto largest = [this](qreal metric, int limit) {
    if (metric <= 0) return INT_MAX;
    return static_cast<int>(std::ceil((limit + 0.5) * FPixelSize / metric)) - 1;
  };
  if (face.pixelSize() <= 0) return FPixelSize;
  const qreal toPixelSize = FPixelSize / face.pixelSize();
  return std::max(1, std::min(largest(face.ascent() * toPixelSize, FAscent),
                              largest(face.descent() * toPixelSize, FHeight - FAscent)));
}

QtCellFont::Placement QtCellFont::placement(char32_t c, int cells) const {
  const int width = cells * FCellWidth;
  qreal glyphAdvance = advance(c);
  // A full-width glyph from a face whose em is not two cells wide is scaled
  // to its cells as far as the row's height allows; one that fits its cells
  // keeps the font's size, and one whose face is too tall for the row
  // shrinks by the least that fits it.
  int pixelSize = FPixelSize;
  if (cells == 2 && glyphAdvance > 0 && FPixelSize > 0) {
    pixelSize = std::min(static_cast<int>(std::lround(FPixelSize * width / glyphAdvance)), largestFittingSize(c));
  }
  const bool scaled = pixelSize != FPixelSize;
  if (scaled) glyphAdvance = glyphAdvance * pixelSize / FPixelSize;
  return Placement{scaled ? sizedFont(pixelSize) : FFont, static_cast<int>(std::lround((width - glyphAdvance) / 2))};
}

const QList<QGlyphRun>& QtCellFont::shaped(char32_t c, int cells, const QPaintDevice* device) const {
  const quint64 key = static_cast<quint64>(c) << 2 | static_cast<quint64>(cells);
  const auto known = FShaped.constFind(key);
  if (known != FShaped.constEnd()) return *known;
  const Placement place = placement(c, cells);
  // Laid out as a text-drawing call would lay the character out, fallback face included.
  QTextLayout layout(StringOf(c), place.Font, const_cast<QPaintDevice*>(device));
  layout.beginLayout();
  const QTextLine line = layout.createLine();
  layout.endLayout();
  QList<QGlyphRun> runs = layout.glyphRuns();
  for (QGlyphRun& run : runs) {
    QList<QPointF> positions = run.positions();
    for (QPointF& p : positions) p += QPointF(place.Offset, -line.ascent());
    run.setPositions(positions);
  }
  return *FShaped.insert(key, runs);
}

void QtCellFont::draw(QPainter& painter, int x, int y, const std::vector<QtCellGlyph>& glyphs, bool underline) const {
  painter.setFont(FFont);
  const int baseline = y + FAscent;
  // Each glyph is centred in its cells from the shapes cached per character,
  // with no shaping of the row: neighbours from the same face go out
  // together in one glyph run.
  QGlyphRun batch;
  QList<quint32> indexes;
  QList<QPointF> positions;
  const auto flushGlyphs = [&] {
    if (indexes.isEmpty()) return;
    batch.setGlyphIndexes(indexes);
    batch.setPositions(positions);
    painter.drawGlyphRun(QPointF(0, 0), batch);
    indexes.clear();
    positions.clear();
  };
  int cx = x;
  for (const QtCellGlyph& glyph : glyphs) {
    if (!IsControl(glyph.Char) && glyph.Char != U' ') {
      for (const QGlyphRun& shapes : shaped(glyph.Char, glyph.Cells, painter.device())) {
        if (!indexes.isEmpty() && batch.rawFont() != shapes.rawFont()) flushGlyphs();
        if (indexes.isEmpty()) batch = shapes;
        indexes += shapes.glyphIndexes();
        for (const QPointF& p : shapes.positions()) positions.append(p + QPointF(cx, baseline));
      }
    }
    cx += glyph.Cells * FCellWidth;
  }
  flushGlyphs();
  if ((underline || FLogFont.lfUnderline) && cx > x)
    painter.fillRect(QRect(x, y + FUnderlineTop, cx - x, FUnderlineThickness), painter.pen().color());
}
