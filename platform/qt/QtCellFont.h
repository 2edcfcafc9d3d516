// QtCellFont: a font laid out in fixed cells, one per half-width character and two per full-width one.
#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QString>
#include <string_view>
#include <vector>

#include "platform/Font.h"

class QPainter;
class QPaintDevice;

struct QtCellGlyph {
  char32_t Char = 0;
  int Cells = 1;
};

// The editor lays text out in cells: a half-width character is one cell, a
// full-width one exactly two, whatever advances the face (or the face that
// stands in for a missing glyph) would give. So every glyph is drawn centred
// in its own cells instead of trusting the font's advances; a full-width
// glyph from a face whose em is not two cells wide is scaled to fill its
// cells as far as the row's height allows, as a Japanese fixed face would.
class QtCellFont {
 public:
  explicit QtCellFont(const TLogFont& logFont);

  const TLogFont& logFont() const { return FLogFont; }
  const QFont& font() const { return FFont; }
  int cellWidth() const { return FCellWidth; }
  int height() const { return FHeight; }
  int ascent() const { return FAscent; }
  TTextMetric textMetric() const;

  // Cells taken by code page 932 text: two for a lead byte with a byte after it, one for any other byte.
  static int cellsOfAnsi(std::string_view ansi);
  static std::vector<QtCellGlyph> glyphsFromAnsi(std::string_view ansi);
  // A character without a code page 932 form takes the cells its glyph needs.
  std::vector<QtCellGlyph> glyphsFromText(const QString& text) const;
  static int cellsOf(const std::vector<QtCellGlyph>& glyphs);

  // Draws the glyphs from (x, y), the top left of the first cell, in the
  // painter's pen colour; control characters leave their cells empty. The
  // underline runs across all cells when asked for or when the font has one.
  void draw(QPainter& painter, int x, int y, const std::vector<QtCellGlyph>& glyphs, bool underline) const;
  // How a glyph is drawn: in this font, with its origin this far right of its cells' left edge.
  struct Placement {
    QFont Font;
    int Offset = 0;
  };
  Placement placement(char32_t c, int cells) const;
  // The rows the underline of draw covers, relative to the top of the cells.
  int underlineTop() const { return FUnderlineTop; }
  int underlineThickness() const { return FUnderlineThickness; }

 private:
  qreal advance(char32_t c) const;
  // The largest pixel size at which the face that draws c stays inside the row.
  int largestFittingSize(char32_t c) const;
  const QFont& sizedFont(int pixelSize) const;
  // The glyphs of a character as placement puts them, positioned from the
  // left edge of its cells on the baseline; shaped once per character.
  const QList<QGlyphRun>& shaped(char32_t c, int cells, const QPaintDevice* device) const;

  TLogFont FLogFont;
  QFont FFont;
  int FCellWidth = 1;
  int FHeight = 1;
  int FAscent = 1;
  int FUnderlineTop = 0;
  int FUnderlineThickness = 1;
  int FPixelSize = 0;
  mutable QHash<char32_t, qreal> FAdvances;
  mutable QHash<int, QFont> FSizedFonts;
  mutable QHash<quint64, QList<QGlyphRun>> FShaped;
};
