// Conversions between the platform layer's Win32-style types and Qt's.
#include "platform/qt/QtConvert.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>

#include "platform/CodePage.h"
#include "platform/qt/FontFaces.h"

namespace {

// Virtual-key codes that only this translation needs.
constexpr WORD kVkPause = 0x13;
constexpr WORD kVkCapital = 0x14;
constexpr WORD kVkKana = 0x15;
constexpr WORD kVkKanji = 0x19;
constexpr WORD kVkSnapshot = 0x2C;
constexpr WORD kVkLWin = 0x5B;
constexpr WORD kVkApps = 0x5D;
constexpr WORD kVkNumpad0 = 0x60;
constexpr WORD kVkMultiply = 0x6A;
constexpr WORD kVkAdd = 0x6B;
constexpr WORD kVkSubtract = 0x6D;
constexpr WORD kVkDecimal = 0x6E;
constexpr WORD kVkDivide = 0x6F;
constexpr WORD kVkF1 = 0x70;
constexpr WORD kVkNumLock = 0x90;
constexpr WORD kVkScroll = 0x91;
constexpr WORD kVkOem1 = 0xBA;
constexpr WORD kVkOemPlus = 0xBB;
constexpr WORD kVkOemMinus = 0xBD;
constexpr WORD kVkOem2 = 0xBF;
constexpr WORD kVkOem3 = 0xC0;
constexpr WORD kVkOem4 = 0xDB;
constexpr WORD kVkOem5 = 0xDC;
constexpr WORD kVkOem6 = 0xDD;
constexpr WORD kVkOem7 = 0xDE;
constexpr WORD kVkOem102 = 0xE2;
constexpr WORD kVkOemAttn = 0xF0;
constexpr WORD kVkOemCopy = 0xF2;

WORD KeypadKey(int key) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<WORD>(kVkNumpad0 + (key - Qt::Key_0));
  switch (key) {
    case Qt::Key_Asterisk: return kVkMultiply;
    case Qt::Key_Plus: return kVkAdd;
    case Qt::Key_Minus: return kVkSubtract;
    case Qt::Key_Period:
    case Qt::Key_Comma: return kVkDecimal;
    case Qt::Key_Slash: return kVkDivide;
    default: return 0;
  }
}

// Qt names a printable key by the character it types, shift applied; the
// platform names the key itself. Shifted signs go back to their key as laid
// out on a Japanese keyboard.
WORD SignKey(int key) {
  switch (key) {
    case Qt::Key_Exclam: return '1';
    case Qt::Key_QuoteDbl: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_Ampersand: return '6';
    case Qt::Key_Apostrophe: return '7';
    case Qt::Key_ParenLeft: return '8';
    case Qt::Key_ParenRight: return '9';
    case Qt::Key_Colon:
    case Qt::Key_Asterisk: return kVkOem1;
    case Qt::Key_Semicolon:
    case Qt::Key_Plus: return kVkOemPlus;
    case Qt::Key_Comma:
    case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Minus:
    case Qt::Key_Equal: return kVkOemMinus;
    case Qt::Key_Period:
    case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Slash:
    case Qt::Key_Question: return kVkOem2;
    case Qt::Key_At:
    case Qt::Key_QuoteLeft: return kVkOem3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return kVkOem4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
    case Qt::Key_yen: return kVkOem5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return kVkOem6;
    case Qt::Key_AsciiCircum:
    case Qt::Key_AsciiTilde: return kVkOem7;
    case Qt::Key_Underscore: return kVkOem102;
    default: return 0;
  }
}

int CellHeightAt(QFont font, int pixelSize) {
  font.setPixelSize(pixelSize);
  return QFontMetrics(font).height();
}

}  // namespace

QRect QRectFromRect(const TRect& rect) { return QRect(rect.Left, rect.Top, rect.Width(), rect.Height()); }

TRect RectFromQRect(const QRect& rect) {
  return TRect{rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height()};
}

QPoint QPointFromPoint(const TPoint& point) { return QPoint(point.X, point.Y); }

TPoint PointFromQPoint(const QPoint& point) { return TPoint{point.x(), point.y()}; }

QColor QColorFromColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor ColorFromQColor(const QColor& color) { return RGB(color.red(), color.green(), color.blue()); }

QString QStringFromAnsi(std::string_view ansi) {
  const std::u16string text = AnsiToUnicode(ansi);
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string_view U16FromQString(const QString& text) {
  return std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

std::string AnsiFromQString(const QString& text) { return UnicodeToAnsi(U16FromQString(text)); }

QFont QFontFromLogFont(const TLogFont& logFont) {
  const bool fixedPitch = (logFont.lfPitchAndFamily & 0x03) == FIXED_PITCH;
  QStringList families;
  const QString face = QString::fromStdString(logFont.lfFaceName);
  if (!face.isEmpty()) families << face;
  // A fixed face that is not installed gives way to a Japanese one whose
  // full-width characters are exactly two half-width cells, so that kanji
  // sit in the cells the editor and its guides count.
  if (fixedPitch && (face.isEmpty() || !QFontDatabase::hasFamily(face))) {
    const QString japanese = JapaneseMonospaceFamily();
    if (!japanese.isEmpty()) families << japanese;
  }
  // The system's fixed font may be named by an alias ("monospace") that a
  // family list does not resolve, so it goes in by the face it resolves to.
  if (fixedPitch) families << QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family();
  families << QString::fromLatin1(kJapaneseFallbackFamily);

  QFont font = QGuiApplication::font();
  font.setFamilies(families);
  font.setStyleHint(fixedPitch ? QFont::Monospace : QFont::AnyStyle);
  font.setFixedPitch(fixedPitch);
  // Kerning would move characters out of their cells.
  font.setKerning(false);
  if (logFont.lfWeight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp(logFont.lfWeight, 1, 1000)));
  font.setItalic(logFont.lfItalic != 0);
  font.setUnderline(logFont.lfUnderline != 0);

  if (logFont.lfHeight < 0) {
    font.setPixelSize(-logFont.lfHeight);
  } else if (logFont.lfHeight > 0) {
    const int wanted = logFont.lfHeight;
    // Cell heights grow about linearly with the pixel size: estimate from a
    // large size, then look at the neighbours of the estimate.
    constexpr int kProbe = 100;
    const int estimate = std::max(1, (wanted * kProbe + CellHeightAt(font, kProbe) / 2) / CellHeightAt(font, kProbe));
    int best = estimate;
    int bestError = std::abs(CellHeightAt(font, estimate) - wanted);
    for (int size = std::max(1, estimate - 2); size <= estimate + 2; ++size) {
      const int height = CellHeightAt(font, size);
      const int error = std::abs(height - wanted);
      if (error < bestError || (error == bestError && size < best)) {
        best = size;
        bestError = error;
      }
    }
    font.setPixelSize(best);
  }
  return font;
}

Qt::CursorShape CursorShapeFromCursor(TCursor cursor) {
  switch (cursor) {
    case crIBeam: return Qt::IBeamCursor;
    case crDrag: return Qt::DragMoveCursor;
    case crNoDrop: return Qt::ForbiddenCursor;
    case crHandPoint:
    case crHandLink: return Qt::PointingHandCursor;
    default: return Qt::ArrowCursor;
  }
}

WORD VirtualKeyFromQtKey(int key, Qt::KeyboardModifiers modifiers) {
  if (modifiers & Qt::KeypadModifier) {
    if (const WORD vk = KeypadKey(key)) return vk;
  }
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return static_cast<WORD>(key);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<WORD>(kVkF1 + (key - Qt::Key_F1));
  switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return VK_MENU;
    case Qt::Key_Pause: return kVkPause;
    case Qt::Key_CapsLock: return kVkCapital;
    case Qt::Key_Kana_Lock:
    case Qt::Key_Katakana: return kVkKana;
    case Qt::Key_Zenkaku_Hankaku:
    case Qt::Key_Zenkaku:
    case Qt::Key_Hankaku:
    case Qt::Key_Kanji: return kVkKanji;
    case Qt::Key_Henkan: return VK_CONVERT;
    case Qt::Key_Muhenkan: return VK_NONCONVERT;
    case Qt::Key_Hiragana_Katakana:
    case Qt::Key_Hiragana: return kVkOemCopy;
    case Qt::Key_Eisu_toggle:
    case Qt::Key_Eisu_Shift: return kVkOemAttn;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Print: return kVkSnapshot;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R: return kVkLWin;
    case Qt::Key_Menu: return kVkApps;
    case Qt::Key_NumLock: return kVkNumLock;
    case Qt::Key_ScrollLock: return kVkScroll;
    default: return SignKey(key);
  }
}

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  TShiftState shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= ssShift;
  if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
  if (modifiers & Qt::AltModifier) shift |= ssAlt;
  if (buttons & Qt::LeftButton) shift |= ssLeft;
  if (buttons & Qt::RightButton) shift |= ssRight;
  if (buttons & Qt::MiddleButton) shift |= ssMiddle;
  return shift;
}
