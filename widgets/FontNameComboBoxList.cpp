// The font picker's lists: duplicate reports, filter properties, the type-replacement rule and filtering.
#include "widgets/FontNameComboBoxList.h"

#include <algorithm>
#include <set>

namespace {

char Fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool ContainsName(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(), [&name](const std::string& n) { return SameFontName(n, name); });
}

constexpr TFontNameFilter kTypeMembers[] = {fnfDevice, fnfVector, fnfRaster, fnfTrueType};
constexpr TFontNameFilter kMustBeCollected[] = {fnfPrinter, fnfSymbolFont, fnfJapanese, fnfFixedPitch, fnfLyingFont};
constexpr TFontNameFilter kAllMembers[] = {fnfDevice,     fnfVector,   fnfRaster,     fnfTrueType, fnfPrinter,
                                           fnfSymbolFont, fnfJapanese, fnfFixedPitch, fnfLyingFont};

}  // namespace

bool SameFontName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Fold(x) == Fold(y); });
}

bool FontNameLess(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Fold(x) < Fold(y); });
}

void AddFontReport(std::vector<TFontEntry>& list, std::string name, std::uint32_t flags) {
  if (!list.empty() && SameFontName(list.back().Name, name)) return;
  list.push_back({std::move(name), flags});
}

TFontNameFilters FontFilterProperties(const TFontEntry& font) {
  TFontNameFilters properties;
  const std::uint32_t flags = font.Flags;
  const auto charset = static_cast<std::uint8_t>(flags >> kFontCharsetShift);
  if (flags & kDeviceFontType) properties.Include(fnfDevice);
  if (flags & kVectorFontFlag) properties.Include(fnfVector);
  if (flags & kRasterFontType) properties.Include(fnfRaster);
  if (flags & kTrueTypeFontType) properties.Include(fnfTrueType);
  if (flags & kPrinterFontFlag) properties.Include(fnfPrinter);
  if (charset == kSymbolCharset) properties.Include(fnfSymbolFont);
  if (charset == kShiftJisCharset) properties.Include(fnfJapanese);
  if (flags & kFixedPitchFontFlag) properties.Include(fnfFixedPitch);
  if (!font.Name.empty() && font.Name.front() == '@') properties.Include(fnfLyingFont);
  return properties;
}

TFontNameFilters ReplaceTypeFilters(TFontNameFilters oldValue, TFontNameFilters newValue) {
  for (const TFontNameFilter type : kTypeMembers) {
    if (newValue.Contains(type) && !oldValue.Contains(type)) {
      for (const TFontNameFilter other : kTypeMembers) newValue.Exclude(other);
      newValue.Include(type);
      return newValue;
    }
  }
  return newValue;
}

std::vector<TFontEntry> FilterFonts(const std::vector<TFontEntry>& fonts, TFontNameFilters collect,
                                    TFontNameFilters exclusive, const std::vector<std::string>& visibleNames,
                                    const std::vector<std::string>& invisibleNames) {
  std::vector<TFontEntry> listed;
  for (const TFontEntry& font : fonts) {
    if (ContainsName(visibleNames, font.Name)) {
      listed.push_back(font);
      continue;
    }
    if (ContainsName(invisibleNames, font.Name)) continue;
    TFontNameFilters properties = FontFilterProperties(font);
    // Only a font that the screen lacks counts as a printer font here.
    if (!(font.Flags & kPrinterOnlyFontFlag)) properties.Exclude(fnfPrinter);
    const auto lacks = [&](TFontNameFilter member) { return properties.Contains(member) && !collect.Contains(member); };
    if (std::any_of(std::begin(kMustBeCollected), std::end(kMustBeCollected), lacks)) continue;
    const auto collected = [&](TFontNameFilter type) { return properties.Contains(type) && collect.Contains(type); };
    if (std::none_of(std::begin(kTypeMembers), std::end(kTypeMembers), collected)) continue;
    const auto missing = [&](TFontNameFilter member) {
      return exclusive.Contains(member) && !properties.Contains(member);
    };
    if (std::any_of(std::begin(kAllMembers), std::end(kAllMembers), missing)) continue;
    listed.push_back(font);
  }
  return listed;
}

void RemoveFontNames(std::vector<std::string>& list, const std::vector<std::string>& names) {
  std::erase_if(list, [&names](const std::string& name) { return ContainsName(names, name); });
}

void LeaveOutOtherCjkRegions(std::vector<TFontEntry>& list) {
  std::set<std::string> names;
  for (const TFontEntry& font : list) names.insert(font.Name);
  const auto otherRegion = [&names](const TFontEntry& font) {
    const std::string& name = font.Name;
    for (const std::string_view region : {" HK", " KR", " SC", " TC"}) {
      if (name.size() > region.size() && name.compare(name.size() - region.size(), region.size(), region) == 0 &&
          name.find("CJK") != std::string::npos)
        return names.count(name.substr(0, name.size() - region.size()) + " JP") > 0;
    }
    return false;
  };
  list.erase(std::remove_if(list.begin(), list.end(), otherRegion), list.end());
}
