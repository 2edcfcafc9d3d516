// The font picker's lists without the toolkit: font property bits, filter sets and the per-box filtering.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Property bits of a font family (FontFlags).
inline constexpr std::uint32_t kRasterFontType = 0x1;
inline constexpr std::uint32_t kDeviceFontType = 0x2;
inline constexpr std::uint32_t kTrueTypeFontType = 0x4;
inline constexpr std::uint32_t kVectorFontFlag = 0x200;
inline constexpr std::uint32_t kFixedPitchFontFlag = 0x400;
inline constexpr std::uint32_t kPrinterOnlyFontFlag = 0x800;
inline constexpr std::uint32_t kPrinterFontFlag = 0x80000000;
inline constexpr int kFontCharsetShift = 16;
inline constexpr std::uint8_t kSymbolCharset = 2;
inline constexpr std::uint8_t kShiftJisCharset = 128;

// A family name (UTF-8) with its property bits; the character set sits in bits 16 to 23.
struct TFontEntry {
  std::string Name;
  std::uint32_t Flags = 0;
  friend bool operator==(const TFontEntry&, const TFontEntry&) = default;
};

enum TFontNameFilter {
  fnfDevice,
  fnfVector,
  fnfRaster,
  fnfTrueType,
  fnfPrinter,
  fnfSymbolFont,
  fnfJapanese,
  fnfFixedPitch,
  fnfLyingFont
};

// A set of TFontNameFilter members.
class TFontNameFilters {
 public:
  constexpr TFontNameFilters() = default;
  constexpr TFontNameFilters(std::initializer_list<TFontNameFilter> members) {
    for (const TFontNameFilter member : members) FBits |= Bit(member);
  }
  constexpr bool Contains(TFontNameFilter member) const { return (FBits & Bit(member)) != 0; }
  constexpr void Include(TFontNameFilter member) { FBits |= Bit(member); }
  constexpr void Exclude(TFontNameFilter member) { FBits &= ~Bit(member); }
  constexpr bool Empty() const { return FBits == 0; }
  friend constexpr bool operator==(TFontNameFilters, TFontNameFilters) = default;

 private:
  static constexpr unsigned Bit(TFontNameFilter member) { return 1u << static_cast<unsigned>(member); }
  unsigned FBits = 0;
};

// Every member but fnfLyingFont.
inline constexpr TFontNameFilters kDefaultCollectFilters = {fnfDevice,  fnfVector,     fnfRaster,   fnfTrueType,
                                                            fnfPrinter, fnfSymbolFont, fnfJapanese, fnfFixedPitch};

// Names compare without regard to ASCII case.
bool SameFontName(std::string_view a, std::string_view b);
bool FontNameLess(std::string_view a, std::string_view b);

// Adds a family as enumeration reports it, unless it repeats the name added
// last (the same family reported for another character set).
void AddFontReport(std::vector<TFontEntry>& list, std::string name, std::uint32_t flags);

// Takes out the regional variants (HK, KR, SC, TC) of a CJK family whose
// Japanese variant (JP) is in the list too: they cover Japanese text as well,
// but draw some kanji in another region's shapes.
void LeaveOutOtherCjkRegions(std::vector<TFontEntry>& list);

// The filter members a font has.
TFontNameFilters FontFilterProperties(const TFontEntry& font);

// A font has one type only, so a new value of ExclusiveFilters keeps at most
// one type member: the first (device, vector, raster, TrueType) that the old
// value lacked replaces the others; a value that adds no type stays as it is.
TFontNameFilters ReplaceTypeFilters(TFontNameFilters oldValue, TFontNameFilters newValue);

// The fonts of the global list that a box shows: the visible names always,
// the invisible names never, the others when they pass the filters.
std::vector<TFontEntry> FilterFonts(const std::vector<TFontEntry>& fonts, TFontNameFilters collect,
                                    TFontNameFilters exclusive, const std::vector<std::string>& visibleNames,
                                    const std::vector<std::string>& invisibleNames);

// Removes from list every name of names.
void RemoveFontNames(std::vector<std::string>& list, const std::vector<std::string>& names);
