// The colour picker's item list: groups from the tables, names in either language, half-width katakana made full-width.
#include "widgets/ColorComboBoxList.h"

#include <algorithm>
#include <array>
#include <span>

#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/LeadByte.h"
#include "widgets/ColorComboBoxTables.h"

namespace {

// Full-width code page 932 forms of the half-width bytes 0xA1 to 0xDF
// (JIS X 0201 to JIS X 0208), two bytes each.
constexpr std::array<std::uint16_t, 63> kFullWidthKana = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348, 0x8383, 0x8385,
    0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C, 0x834E, 0x8350, 0x8352,
    0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B,
    0x836C, 0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384,
    0x8386, 0x8388, 0x8389, 0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B};

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

bool TakesVoicedMark(unsigned char b) { return (b >= 0xB6 && b <= 0xC4) || (b >= 0xCA && b <= 0xCE); }
bool TakesSemiVoicedMark(unsigned char b) { return b >= 0xCA && b <= 0xCE; }

void AppendWide(std::string& out, unsigned code) {
  out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

std::string Ansi(const char* utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }

std::span<const TColorTableEntry> Table(TColorGroup group) {
  switch (group) {
    case TColorGroup::Default:
      return kDefaultColorTable;
    case TColorGroup::Basic:
      return kBasicColorTable;
    case TColorGroup::System:
      return kSystemColorTable;
    case TColorGroup::Extra:
      return kExtraColorTable;
    case TColorGroup::Custom:
      return kCustomColorTable;
    case TColorGroup::User:
      break;
  }
  return {};
}

std::string UserText(const TUserColor& color, bool japanese) {
  if (japanese || color.EnglishName.empty()) return color.DisplayName;
  return color.EnglishName;
}

}  // namespace

std::string ZenKakuKana(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (IsDBCSLeadByte(b) && i + 1 < text.size()) {
      out += text.substr(i, 2);
      ++i;
      continue;
    }
    if (b < 0xA1 || b > 0xDF) {
      out += static_cast<char>(b);
      continue;
    }
    unsigned code = kFullWidthKana[b - 0xA1];
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (next == kVoicedMark && TakesVoicedMark(b)) {
      code += 1;
      ++i;
    } else if (next == kSemiVoicedMark && TakesSemiVoicedMark(b)) {
      code += 2;
      ++i;
    }
    AppendWide(out, code);
  }
  return out;
}

std::vector<TColorItem> BuildColorList(const TColorListOptions& options, const std::vector<TUserColor>& userColors) {
  std::vector<TColorItem> items;
  auto finish = [&options](std::string text) { return options.ZenKakuKana ? ZenKakuKana(text) : text; };
  auto addTable = [&](TColorGroup group) {
    const auto table = Table(group);
    for (std::size_t i = 0; i < table.size(); ++i) {
      const TColorTableEntry& entry = table[i];
      items.push_back({finish(Ansi(options.JapaneseText ? entry.JapaneseName : entry.EnglishName)), entry.Color, group,
                       static_cast<std::uint8_t>(i)});
    }
  };
  if (options.ShowDefaultColor) addTable(TColorGroup::Default);
  if (options.ShowBasicColor) addTable(TColorGroup::Basic);
  if (options.ShowSysColor) addTable(TColorGroup::System);
  if (options.ShowExtraColor) addTable(TColorGroup::Extra);
  if (options.ShowUserColor) {
    // The item keeps its place in a byte, as the table entries do.
    const std::size_t count = std::min<std::size_t>(userColors.size(), 255);
    for (std::size_t i = 0; i < count; ++i) {
      items.push_back({finish(UserText(userColors[i], options.JapaneseText)), userColors[i].Color, TColorGroup::User,
                       static_cast<std::uint8_t>(i)});
    }
  }
  if (options.ShowCustomColor) addTable(TColorGroup::Custom);
  return items;
}

std::string OtherLanguageText(const std::vector<TColorItem>& items, int index, const TColorListOptions& options,
                              const std::vector<TUserColor>& userColors) {
  if (index < 0 || static_cast<std::size_t>(index) >= items.size()) {
    throw EListError("Index が有効範囲にありません");
  }
  const TColorItem& item = items[static_cast<std::size_t>(index)];
  std::string text;
  if (item.Group == TColorGroup::User) {
    if (item.Index >= userColors.size()) throw EListError("Index が有効範囲にありません");
    const TUserColor& user = userColors[item.Index];
    text = options.JapaneseText ? user.EnglishName : user.DisplayName;
  } else {
    const TColorTableEntry& entry = Table(item.Group)[item.Index];
    text = Ansi(options.JapaneseText ? entry.EnglishName : entry.JapaneseName);
  }
  return options.ZenKakuKana ? ZenKakuKana(text) : text;
}

int FindColorItem(const std::vector<TColorItem>& items, TColor color, TColor customColor) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    const TColor itemColor = items[i].Group == TColorGroup::Custom ? customColor : items[i].Color;
    if (itemColor == color) return static_cast<int>(i);
  }
  return -1;
}

TColorItemLayout LayoutColorItem(int left, int top, int width, int height, int itemHeight, bool showText,
                                 TColor brushColor) {
  TColorItemLayout layout;
  int swatchWidth = showText ? height - 4 : width - 4;
  int inset = 0;
  if (swatchWidth > 32) {
    swatchWidth = 32;
    inset = std::max(0, (height - 37) / 2);
  }
  if (brushColor == clDefaultColorMarker) {
    swatchWidth = -2;
  } else {
    layout.Swatch = true;
    layout.Outline = itemHeight >= 16;
    layout.Left = left + 2;
    layout.Top = top + inset + 3;
    layout.Right = left + 2 + swatchWidth;
    layout.Bottom = top + height - 2 - inset;
  }
  layout.TextX = left + swatchWidth + 4;
  return layout;
}
