// QtCanvas: cell metrics, per-cell text, opaque and clipped output and pen lines, read back from the pixmap.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <iostream>
#include <random>
#include <string>

#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtConvert.h"

namespace {

TLogFont FixedFont(int height, const char* face = "FixedSys") {
  TLogFont font;
  font.lfHeight = height;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfPitchAndFamily = FIXED_PITCH;
  font.lfFaceName = face;
  return font;
}

bool IsDark(const QColor& color) { return color.lightness() < 128; }

class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Canvas.resize(QSize(240, 120), 1.0, Qt::white);
    Canvas.SetFont(FixedFont(19));
    Canvas.setOnTouched([this](const QRect& area) { Touched.push_back(area); });
  }
  QColor Pixel(int x, int y) const { return Canvas.pixmap().toImage().pixelColor(x, y); }
  // The dark pixels inside rect.
  std::vector<QPoint> DarkIn(const QRect& rect) const {
    const QImage image = Canvas.pixmap().toImage();
    std::vector<QPoint> dark;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
      for (int x = rect.left(); x <= rect.right(); ++x)
        if (IsDark(image.pixelColor(x, y))) dark.emplace_back(x, y);
    return dark;
  }
  int Cell() const { return Canvas.GetTextMetrics().tmAveCharWidth; }
  int Height() const { return Canvas.GetTextMetrics().tmHeight; }

  QtCanvas Canvas;
  std::vector<QRect> Touched;
};

TEST_F(CanvasTest, PositiveHeightIsTheCellHeight) {
  for (const int height : {12, 13, 16, 19, 24, 32}) {
    SCOPED_TRACE(height);
    Canvas.SetFont(FixedFont(height));
    const TTextMetric tm = Canvas.GetTextMetrics();
    EXPECT_NEAR(tm.tmHeight, height, 1);
    EXPECT_EQ(tm.tmHeight, QFontMetrics(QFontFromLogFont(FixedFont(height))).height());
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_EQ(tm.tmMaxCharWidth, 2 * tm.tmAveCharWidth);
    EXPECT_EQ(Canvas.TextHeight("A"), tm.tmHeight);
  }
}

TEST_F(CanvasTest, NegativeHeightIsTheCharacterHeight) {
  EXPECT_EQ(QFontFromLogFont(FixedFont(-16)).pixelSize(), 16);
}

TEST_F(CanvasTest, DoubleByteCharactersMeasureExactlyTwoCells) {
  const int cell = Cell();
  EXPECT_EQ(Canvas.TextWidth("\x93\xfa"), 2 * cell);                  // 日
  EXPECT_EQ(Canvas.TextWidth("\x93\xfa\x96\x7b"), 4 * cell);          // 日本
  EXPECT_EQ(Canvas.TextWidth("a\x81\x40z"), 4 * cell);                 // full-width space between letters
  EXPECT_EQ(Canvas.TextWidth("\xb1\xb2"), 2 * cell);                  // half-width katakana
  EXPECT_EQ(Canvas.TextWidth("ab\x93"), 3 * cell) << "a lone lead byte at the end is one cell";
  EXPECT_EQ(Canvas.TextWidth("\x81\x0a"), 2 * cell) << "a lead byte takes the byte after it";
  EXPECT_EQ(Canvas.TextWidth(""), 0);
}

TEST_F(CanvasTest, TextOutFillsItsCellsAndDrawsEachCharacterInsideThem) {
  Canvas.SetBkColor(clYellow);
  Canvas.SetTextColor(clBlack);
  Canvas.TextOut(10, 10, "\x93\xfa" "A");
  const int cell = Cell();
  const QRect box(10, 10, 3 * cell, Height());
  ASSERT_EQ(Touched.size(), 1u);
  EXPECT_EQ(Touched[0], box);
  EXPECT_EQ(Pixel(box.left(), box.top()), QColor(Qt::yellow));
  EXPECT_EQ(Pixel(box.right(), box.top()), QColor(Qt::yellow));
  EXPECT_EQ(Pixel(box.right() + 1, box.top() + 5), QColor(Qt::white));
  EXPECT_EQ(Pixel(box.left(), box.bottom() + 1), QColor(Qt::white));
  // The full-width glyph spans both of its cells and stays inside them; "A" stays in the third.
  const std::vector<QPoint> kanji = DarkIn(QRect(box.left(), box.top(), 2 * cell, box.height()));
  ASSERT_FALSE(kanji.empty());
  EXPECT_TRUE(std::any_of(kanji.begin(), kanji.end(), [&](QPoint p) { return p.x() < box.left() + cell; }));
  EXPECT_TRUE(std::any_of(kanji.begin(), kanji.end(), [&](QPoint p) { return p.x() >= box.left() + cell; }));
  EXPECT_FALSE(DarkIn(QRect(box.left() + 2 * cell, box.top(), cell, box.height())).empty());
}

// The columns from the leftmost to the rightmost dark pixel; 0 for none.
int InkWidth(const QImage& image) {
  int left = image.width();
  int right = -1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 128) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  return right < left ? 0 : right - left + 1;
}

// The ink of c drawn plainly in the face at its pixel size.
int PlainInkWidth(const QString& family, int pixelSize, const QString& c) {
  QFont font(family);
  font.setPixelSize(pixelSize);
  font.setStyleStrategy(QFont::NoFontMerging);
  QImage image(4 * pixelSize, 2 * pixelSize, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(QPoint(pixelSize / 2, 3 * pixelSize / 2), c);
  painter.end();
  return InkWidth(image);
}

TEST_F(CanvasTest, KanjiFillTheirTwoCellsAtEverySizeOnOffer) {
  // The sizes of the settings dialog (9 to 32 points) and every size a zoom
  // step reaches from them (2 points a step, 6 to 96). The ink of a kanji
  // spans at least 80 % of its cells, or at the smallest sizes, where two
  // cells are a pixel wider than the face's em, all the ink it has at the font's size.
  for (const char* face : {"FixedSys", "IPAGothic", "Noto Sans Mono CJK JP"}) {
    if (std::string(face) != "FixedSys" && !QFontDatabase::hasFamily(face)) {
      std::cout << "[   INFO   ] " << face << " is not installed\n";
      continue;
    }
    for (int size = 6; size <= 96; ++size) {
      TFont font;
      font.SetSize(size);
      Canvas.SetFont(FixedFont(font.Height(), face));
      const int cell = Cell();
      const QRect box(4, 4, 2 * cell, Height());
      const QRect all(0, 0, box.right() + 8, box.bottom() + 8);
      Canvas.resize(all.size(), 1.0, Qt::white);
      Canvas.SetBrushColor(clWhite);
      Canvas.FillRect(TRect{0, 0, all.width(), all.height()});
      Canvas.SetBkColor(clWhite);
      Canvas.SetTextColor(clBlack);
      Canvas.TextOut(box.left(), box.top(), "\x8a\xbf");  // 漢
      const QImage image = Canvas.pixmap().toImage().convertToFormat(QImage::Format_RGB32);
      QRect inked;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          if (qGray(image.pixel(x, y)) < 128) inked |= QRect(x, y, 1, 1);
      ASSERT_FALSE(inked.isEmpty()) << face << " " << size;
      const int plain = PlainInkWidth(QFontInfo(Canvas.cellFont().font()).family(), -font.Height(), "\u6f22");
      EXPECT_GE(inked.width() * 10, std::min(2 * cell * 8, plain * 10))
          << face << " " << size << " pt: ink " << inked.width() << " of " << 2 * cell << ", " << plain << " at its size";
      EXPECT_TRUE(box.contains(inked)) << face << " " << size << " pt: the glyph leaves its cells";
    }
  }
}

TEST_F(CanvasTest, TextRectFillsTheWholeClipAndDrawsNothingOutside) {
  Canvas.SetBkColor(clAqua);
  Canvas.TextRect(TRect{0, 0, 30, 40}, 20, 0, "WWWW");
  EXPECT_EQ(Pixel(1, 38), QColor(Qt::cyan)) << "below the text, inside the clip";
  EXPECT_TRUE(DarkIn(QRect(30, 0, 100, 40)).empty());
  EXPECT_FALSE(DarkIn(QRect(20, 0, 10, 40)).empty());
  ASSERT_EQ(Touched.size(), 1u);
  EXPECT_EQ(Touched[0], QRect(0, 0, 30, 40));
}

TEST_F(CanvasTest, UnderlineRunsAcrossEveryCell) {
  QtCellFont font(FixedFont(19));
  Canvas.SetTextColor(clBlue);
  Canvas.SetTextUnderline(true);
  Canvas.TextOut(0, 0, "a b\x93\xfa");
  const int y = font.underlineTop();
  ASSERT_LT(y, Height());
  for (int x = 0; x < 5 * Cell(); ++x) EXPECT_EQ(Pixel(x, y), QColor(Qt::blue)) << x;
  Canvas.SetTextUnderline(false);
  Canvas.SetBkColor(clWhite);
  Canvas.TextOut(0, 40, "   ");
  EXPECT_EQ(Pixel(1, 40 + y), QColor(Qt::white));
}

TEST_F(CanvasTest, LineToLeavesOutItsEndPixel) {
  Canvas.SetPen(clRed, 1, TPenStyle::psSolid, TPenMode::pmCopy);
  Canvas.MoveTo(2, 2);
  Canvas.LineTo(10, 2);
  for (int x = 2; x < 10; ++x) EXPECT_EQ(Pixel(x, 2), QColor(Qt::red)) << x;
  EXPECT_EQ(Pixel(10, 2), QColor(Qt::white));
  EXPECT_EQ(Pixel(1, 2), QColor(Qt::white));
  // The pen stays at the end: the next line starts on the pixel the last one left out.
  Canvas.LineTo(10, 8);
  for (int y = 2; y < 8; ++y) EXPECT_EQ(Pixel(10, y), QColor(Qt::red)) << y;
  EXPECT_EQ(Pixel(10, 8), QColor(Qt::white));
  Canvas.MoveTo(40, 40);
  Canvas.LineTo(35, 35);
  for (int d = 0; d < 5; ++d) EXPECT_EQ(Pixel(40 - d, 40 - d), QColor(Qt::red)) << d;
  EXPECT_EQ(Pixel(35, 35), QColor(Qt::white));
  Canvas.MoveTo(60, 10);
  Canvas.LineTo(60, 10);
  EXPECT_EQ(Pixel(60, 10), QColor(Qt::white)) << "a line of no length draws nothing";
}

TEST_F(CanvasTest, XorPenTwiceRestoresAndNotPenInverts) {
  Canvas.SetPen(clRed, 1, TPenStyle::psSolid, TPenMode::pmXor);
  Canvas.MoveTo(0, 5);
  Canvas.LineTo(20, 5);
  EXPECT_EQ(Pixel(3, 5), QColor(Qt::cyan));
  Canvas.MoveTo(0, 5);
  Canvas.LineTo(20, 5);
  EXPECT_EQ(Pixel(3, 5), QColor(Qt::white));
  Canvas.SetPen(clRed, 1, TPenStyle::psSolid, TPenMode::pmNot);
  Canvas.MoveTo(0, 6);
  Canvas.LineTo(0, 9);
  EXPECT_EQ(Pixel(0, 7), QColor(Qt::black));
}

TEST_F(CanvasTest, DottedPenSetsEveryOtherPixelAndClearPenNone) {
  Canvas.SetPen(clBlack, 1, TPenStyle::psDot, TPenMode::pmCopy);
  Canvas.MoveTo(0, 0);
  Canvas.LineTo(8, 0);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(Pixel(x, 0), x % 2 == 0 ? QColor(Qt::black) : QColor(Qt::white)) << x;
  Canvas.SetPen(clBlack, 1, TPenStyle::psClear, TPenMode::pmCopy);
  Canvas.MoveTo(0, 3);
  Canvas.LineTo(8, 3);
  EXPECT_EQ(Pixel(0, 3), QColor(Qt::white));
}

TEST_F(CanvasTest, FillRectAndSetPixelKeepToTheirPixels) {
  Canvas.SetBrushColor(clGreen);
  Canvas.FillRect(TRect{5, 5, 8, 7});
  EXPECT_EQ(Pixel(5, 5), QColor(0, 128, 0));
  EXPECT_EQ(Pixel(7, 6), QColor(0, 128, 0));
  EXPECT_EQ(Pixel(8, 5), QColor(Qt::white));
  EXPECT_EQ(Pixel(5, 7), QColor(Qt::white));
  Canvas.SetPixel(100, 50, RGB(1, 2, 3));
  EXPECT_EQ(Pixel(100, 50), QColor(1, 2, 3));
  EXPECT_EQ(Touched.back(), QRect(100, 50, 1, 1));
}

TEST_F(CanvasTest, ClipRegionConfinesDrawing) {
  Canvas.setClipRegion(QRegion(0, 0, 10, 10));
  Canvas.SetBrushColor(clRed);
  Canvas.FillRect(TRect{0, 0, 100, 100});
  Canvas.clearClipRegion();
  EXPECT_EQ(Pixel(9, 9), QColor(Qt::red));
  EXPECT_EQ(Pixel(10, 5), QColor(Qt::white));
  EXPECT_EQ(Touched.back(), QRect(0, 0, 10, 10));
}

TEST_F(CanvasTest, ScrollMovesPixelsAndReturnsTheUncoveredPart) {
  Canvas.SetBrushColor(clBlue);
  Canvas.FillRect(TRect{50, 0, 60, 10});
  const QRect area(10, 0, 100, 20);
  const QRegion uncovered = Canvas.scroll(-20, 0, area, area);
  EXPECT_EQ(Pixel(35, 5), QColor(Qt::blue));
  EXPECT_EQ(Pixel(55, 5), QColor(Qt::white));
  EXPECT_EQ(uncovered, QRegion(90, 0, 20, 20));
}

TEST_F(CanvasTest, ResizeKeepsTheOverlappingPixels) {
  Canvas.SetBrushColor(clRed);
  Canvas.FillRect(TRect{0, 0, 10, 10});
  Canvas.resize(QSize(300, 150), 1.0, Qt::green);
  EXPECT_EQ(Canvas.size(), QSize(300, 150));
  EXPECT_EQ(Pixel(5, 5), QColor(Qt::red));
  EXPECT_EQ(Pixel(260, 140), QColor(Qt::green));
}

// Each glyph drawn on its own with a text-drawing call in the font and at the
// offset its placement gives: what the canvas drew before it cached shapes.
QImage DrawnGlyphByGlyph(const QtCellFont& font, QSize size, int x, int y, const std::string& ansi) {
  QPixmap pixmap(size);
  pixmap.setDevicePixelRatio(1.0);
  pixmap.fill(Qt::white);
  const std::vector<QtCellGlyph> glyphs = QtCellFont::glyphsFromAnsi(ansi);
  {
    QPainter painter(&pixmap);
    painter.fillRect(QRect(x, y, QtCellFont::cellsOf(glyphs) * font.cellWidth(), font.height()), Qt::yellow);
    painter.setClipRect(QRect(x, y, QtCellFont::cellsOf(glyphs) * font.cellWidth(), font.height()));
    painter.setPen(Qt::black);
    int cx = x;
    for (const QtCellGlyph& glyph : glyphs) {
      if (glyph.Char != U' ') {
        const QtCellFont::Placement place = font.placement(glyph.Char, glyph.Cells);
        painter.setFont(place.Font);
        painter.drawText(QPoint(cx + place.Offset, y + font.ascent()), QString::fromUcs4(&glyph.Char, 1));
      }
      cx += glyph.Cells * font.cellWidth();
    }
  }
  return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

TEST_F(CanvasTest, CachedGlyphsDrawTheSamePixelsAsDrawingEachGlyph) {
  // Kana, kanji, full-width letters and symbols, half-width katakana and spaces.
  const std::vector<std::string> pieces = {"\x82\xA0", "\x82\xF1", "\x83\x41", "\x88\x9F", "\x8A\xBF", "\x93\xFA",
                                           "\x82\x60", "\x81\x75", "\x81\x9A", "\x81\x40", "\xB1", "\xDE", " "};
  std::mt19937 rng(19);
  for (const int height : {13, 16, 19, 24}) {
    Canvas.SetFont(FixedFont(height));
    for (int round = 0; round < 8; ++round) {
      std::string text;
      for (int i = 0; i < 12; ++i) text += pieces[rng() % pieces.size()];
      Canvas.resize(QSize(240, 60), 1.0, Qt::white);
      Canvas.SetBrushColor(clWhite);
      Canvas.FillRect(TRect{0, 0, 240, 60});
      Canvas.SetBkColor(clYellow);
      Canvas.SetTextColor(clBlack);
      const int x = 3 + static_cast<int>(rng() % 5);
      Canvas.TextOut(x, 7, text);
      const QImage expected = DrawnGlyphByGlyph(Canvas.cellFont(), QSize(240, 60), x, 7, text);
      ASSERT_TRUE(Canvas.pixmap().toImage().convertToFormat(QImage::Format_RGB32) == expected)
          << "height " << height << " round " << round;
    }
  }
}

}  // namespace
