// FuncUnit: small text helpers of the application shell.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Colors.h"

// The line without the blanks around it: bytes up to 0x20 at both ends, then
// half-width and full-width spaces (0x81 0x40) at both ends. The line is code
// page 932 text, walked character by character so that the trail byte of a
// double-byte character is never taken for part of a full-width space.
std::string TrimFullWidth(const std::string& s);
// The same as a view of s.
std::string_view TrimFullWidthView(std::string_view s);
// Whether TrimFullWidth leaves nothing of s, decided at the first
// character that is no blank, as a walk over many lines wants.
bool TrimsToNothing(std::string_view s);

// The integer text rule of ParseInteger (platform/IntegerText.h).
int StrToIntDef(const std::string& text, int def);
// Raises EConvertError "'text' は整数ではありません" when text is no integer.
int StrToInt(const std::string& text);

// Replaces list with the items of text. Items are separated by the delimiter
// or by blanks (bytes up to 0x20); a run of blanks, or blanks next to a
// delimiter, count as one separator, and blanks at both ends are ignored.
// Two delimiters in a row enclose an empty item. An empty text or a NUL
// delimiter gives no items. Returns the item count.
int SplitDelimited(const std::string& text, char delimiter, std::vector<std::string>& list);

// Colour text "red green blue": exactly three integer items, each cut to its
// low 8 bits; any other item count is black. An item that is not an integer
// raises EConvertError.
TColor StrToColorDef(const std::string& text, char delimiter);
// "red green blue" of the colour, a system colour resolved first.
std::string ColorToRGBString(TColor color);

// s repeated count times; empty for a count of 0 or less.
std::string RepeatString(int count, const std::string& s);
