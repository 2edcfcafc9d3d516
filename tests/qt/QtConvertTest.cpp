// The conversions between the platform types and Qt's: rectangles, colours, code page 932 text, fonts, keys, cursors.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>

#include "platform/qt/QtConvert.h"
#include "platform/qt/QtSystemColors.h"

namespace {

TEST(QtConvert, RectanglesKeepTheirExclusiveEdges) {
  const TRect rect{3, 4, 13, 24};
  EXPECT_EQ(QRectFromRect(rect), QRect(3, 4, 10, 20));
  EXPECT_EQ(RectFromQRect(QRectFromRect(rect)), rect);
  EXPECT_TRUE(QRectFromRect(TRect{5, 5, 5, 9}).isEmpty());
}

TEST(QtConvert, ColoursAreBlueGreenRedAndSystemColoursResolve) {
  EXPECT_EQ(QColorFromColor(RGB(10, 20, 30)), QColor(10, 20, 30));
  EXPECT_EQ(QColorFromColor(0x00FF0000), QColor(Qt::blue));
  EXPECT_EQ(ColorFromQColor(QColor(10, 20, 30)), RGB(10, 20, 30));
  InstallSystemColorResolver();
  EXPECT_EQ(QColorFromColor(clWindow), QGuiApplication::palette().color(QPalette::Base));
}

TEST(QtConvert, AnsiTextConvertsBothWays) {
  EXPECT_EQ(QStringFromAnsi("\x93\xfa\x96\x7b" "a\xb1"), QString::fromUtf8("日本aｱ"));
  EXPECT_EQ(AnsiFromQString(QString::fromUtf8("日本aｱ")), "\x93\xfa\x96\x7b" "a\xb1");
  EXPECT_EQ(QStringFromAnsi("\x85\x40"), QString(QChar(0xFFFD))) << "an undefined pair is one replacement character";
  EXPECT_EQ(AnsiFromQString(QString::fromUtf8("x😀y")), "x?y");
}

TEST(QtConvert, FixedPitchFontFallsBackToMonospaceAndJapanese) {
  TLogFont logFont;
  logFont.lfHeight = 19;
  logFont.lfPitchAndFamily = FIXED_PITCH;
  logFont.lfFaceName = "FixedSys";
  const QFont font = QFontFromLogFont(logFont);
  EXPECT_EQ(font.families().front(), "FixedSys");
  EXPECT_TRUE(font.families().contains(QString::fromLatin1(kJapaneseFallbackFamily)));
  EXPECT_EQ(font.styleHint(), QFont::Monospace);
  // "FixedSys" is not installed here: the face standing in for it has one advance for every ASCII character.
  const QFontMetrics metrics(font);
  EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')), metrics.horizontalAdvance(QLatin1Char('W')))
      << QFontInfo(font).family().toStdString();
  EXPECT_FALSE(font.kerning());
}

TEST(QtConvert, FontStyleFieldsCarryOver) {
  TLogFont logFont;
  logFont.lfHeight = -12;
  logFont.lfWeight = FW_BOLD;
  logFont.lfItalic = 1;
  logFont.lfUnderline = 1;
  const QFont font = QFontFromLogFont(logFont);
  EXPECT_EQ(font.pixelSize(), 12);
  EXPECT_EQ(font.weight(), QFont::Bold);
  EXPECT_TRUE(font.italic());
  EXPECT_TRUE(font.underline());
  EXPECT_NE(font.styleHint(), QFont::Monospace);
}

TEST(QtConvert, VirtualKeys) {
  struct Case {
    int Key;
    Qt::KeyboardModifiers Modifiers;
    WORD Vk;
  };
  const Case cases[] = {
      {Qt::Key_Q, Qt::NoModifier, 'Q'},
      {Qt::Key_0, Qt::NoModifier, '0'},
      {Qt::Key_0, Qt::KeypadModifier, 0x60},
      {Qt::Key_Asterisk, Qt::KeypadModifier, 0x6A},
      {Qt::Key_Left, Qt::KeypadModifier, VK_LEFT},
      {Qt::Key_F1, Qt::NoModifier, 0x70},
      {Qt::Key_F12, Qt::NoModifier, 0x7B},
      {Qt::Key_Backtab, Qt::ShiftModifier, VK_TAB},
      {Qt::Key_Space, Qt::NoModifier, VK_SPACE},
      {Qt::Key_Control, Qt::NoModifier, VK_CONTROL},
      {Qt::Key_Henkan, Qt::NoModifier, VK_CONVERT},
      {Qt::Key_Greater, Qt::ShiftModifier, VK_OEM_PERIOD},
      {Qt::Key_unknown, Qt::NoModifier, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(VirtualKeyFromQtKey(c.Key, c.Modifiers), c.Vk) << std::hex << c.Key;
}

TEST(QtConvert, ShiftStateAndCursors) {
  EXPECT_EQ(ShiftStateFromQt(Qt::ShiftModifier | Qt::AltModifier, Qt::RightButton), ssShift | ssAlt | ssRight);
  EXPECT_EQ(ShiftStateFromQt(Qt::ControlModifier, Qt::LeftButton | Qt::MiddleButton), ssCtrl | ssLeft | ssMiddle);
  EXPECT_EQ(CursorShapeFromCursor(crIBeam), Qt::IBeamCursor);
  EXPECT_EQ(CursorShapeFromCursor(crDrag), Qt::DragMoveCursor);
  EXPECT_EQ(CursorShapeFromCursor(crHandLink), Qt::PointingHandCursor);
  EXPECT_EQ(CursorShapeFromCursor(crNoDrop), Qt::ForbiddenCursor);
}

}  // namespace
