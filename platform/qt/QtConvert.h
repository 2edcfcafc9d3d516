// Conversions between the platform layer's Win32-style types and Qt's, one direction per name.
#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <string>
#include <string_view>

#include "platform/Colors.h"
#include "platform/ControlHost.h"
#include "platform/Font.h"
#include "platform/Types.h"

// The face that draws Japanese characters when the requested face has none.
inline constexpr char kJapaneseFallbackFamily[] = "IPAGothic";

// TRect's right and bottom edges are exclusive, as QRect's width and height are.
QRect QRectFromRect(const TRect& rect);
TRect RectFromQRect(const QRect& rect);
QPoint QPointFromPoint(const TPoint& point);
TPoint PointFromQPoint(const QPoint& point);

// A system colour is resolved to RGB first.
QColor QColorFromColor(TColor color);
TColor ColorFromQColor(const QColor& color);

// Code page 932 text; a character that code page 932 does not define becomes U+FFFD.
QString QStringFromAnsi(std::string_view ansi);
// A character without a code page 932 form becomes "?".
std::string AnsiFromQString(const QString& text);
std::u16string_view U16FromQString(const QString& text);

// A positive lfHeight is the character cell height: the pixel size is the one
// whose QFontMetrics::height() comes nearest to it (the smaller on a tie). A
// negative lfHeight is the character (em) height. FIXED_PITCH asks for a
// monospace face, so that a face missing here (such as "FixedSys") falls back
// to the system's fixed font; Japanese characters fall back to IPAGothic.
// lfWidth and lfCharSet are not used: the fallbacks cover every character set.
QFont QFontFromLogFont(const TLogFont& font);

Qt::CursorShape CursorShapeFromCursor(TCursor cursor);

// The virtual-key code of a Qt key, or 0 for a key that has none.
WORD VirtualKeyFromQtKey(int key, Qt::KeyboardModifiers modifiers);

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
