// Font descriptions: the LOGFONT-like record handed to a canvas, text metrics, and TFont.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Colors.h"

inline constexpr std::uint8_t ANSI_CHARSET = 0;
inline constexpr std::uint8_t DEFAULT_CHARSET = 1;
inline constexpr std::uint8_t SHIFTJIS_CHARSET = 128;
inline constexpr std::uint8_t FIXED_PITCH = 1;
inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_BOLD = 700;

// What a canvas needs to pick a font. lfHeight > 0 is the character cell
// height in pixels, < 0 the character height; lfFaceName is UTF-8.
struct TLogFont {
  int lfHeight = 0;
  int lfWidth = 0;
  int lfWeight = 0;
  std::uint8_t lfItalic = 0;
  std::uint8_t lfUnderline = 0;
  std::uint8_t lfCharSet = 0;
  std::uint8_t lfPitchAndFamily = 0;
  std::string lfFaceName;
  friend bool operator==(const TLogFont&, const TLogFont&) = default;
};

struct TTextMetric {
  int tmHeight = 0;
  int tmAscent = 0;
  int tmDescent = 0;
  int tmAveCharWidth = 0;
  int tmMaxCharWidth = 0;
};

using TFontStyles = unsigned;
inline constexpr TFontStyles fsBold = 1u << 0;
inline constexpr TFontStyles fsItalic = 1u << 1;
inline constexpr TFontStyles fsUnderline = 1u << 2;
inline constexpr TFontStyles fsStrikeOut = 1u << 3;

// A font as components carry it: a face name, a size in points or a height
// in pixels (kept in step at 96 pixels per inch), a colour, a style and a
// character set.
class TFont {
 public:
  static constexpr int PixelsPerInch = 96;

  const std::string& Name() const { return FName; }
  void SetName(const std::string& name) { FName = name; }
  int Height() const { return FHeight; }
  // Kept within +-INT_MAX, so that either sign of it can be taken.
  void SetHeight(int height);
  // Point size derived from the height; a negative height is a character height.
  int Size() const;
  void SetSize(int points);
  TColor Color() const { return FColor; }
  void SetColor(TColor color) { FColor = color; }
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles style) { FStyle = style; }
  std::uint8_t Charset() const { return FCharset; }
  void SetCharset(std::uint8_t charset) { FCharset = charset; }

  friend bool operator==(const TFont&, const TFont&) = default;

 private:
  std::string FName = "FixedSys";
  int FHeight = -19;
  TColor FColor = clBlack;
  TFontStyles FStyle = 0;
  std::uint8_t FCharset = DEFAULT_CHARSET;
};
