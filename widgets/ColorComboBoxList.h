// The colour picker's item list without the toolkit: its groups, its texts and the half-width katakana conversion.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Colors.h"

// A user colour of the picker; the names are code page 932 text.
struct TUserColor {
  TColor Color = clBlack;
  std::string DisplayName;
  std::string EnglishName;
  friend bool operator==(const TUserColor&, const TUserColor&) = default;
};

// The groups of the list, in list order.
enum class TColorGroup : std::uint8_t { Default, Basic, System, Extra, User, Custom };

// One entry of the list: its text (code page 932) and colour, and where its
// table entry lies, so that the other language's name can be found again.
struct TColorItem {
  std::string Text;
  TColor Color = clBlack;
  TColorGroup Group = TColorGroup::Basic;
  std::uint8_t Index = 0;
};

struct TColorListOptions {
  bool JapaneseText = true;
  bool ZenKakuKana = true;
  bool ShowDefaultColor = false;
  bool ShowBasicColor = true;
  bool ShowSysColor = false;
  bool ShowExtraColor = false;
  bool ShowUserColor = true;
  bool ShowCustomColor = true;
  friend bool operator==(const TColorListOptions&, const TColorListOptions&) = default;
};

// Half-width katakana (0xA1 to 0xDF) of code page 932 text turned into their
// full-width forms; a half-width kana followed by a voiced or semi-voiced
// mark that it can carry becomes one voiced or semi-voiced character.
// Double-byte characters pass unchanged.
std::string ZenKakuKana(std::string_view text);

// The groups that the options show, in order; the user colours only when
// there are any. At most 255 user colours are listed.
std::vector<TColorItem> BuildColorList(const TColorListOptions& options, const std::vector<TUserColor>& userColors);

// The item's name in the language the list does not show. Raises EListError
// "Index が有効範囲にありません" for an index outside the list.
std::string OtherLanguageText(const std::vector<TColorItem>& items, int index, const TColorListOptions& options,
                              const std::vector<TUserColor>& userColors);

// The first item whose colour is exactly color, or -1. The custom entry
// counts as customColor.
int FindColorItem(const std::vector<TColorItem>& items, TColor color, TColor customColor);

// Where an owner-drawn item puts its swatch and its text.
struct TColorItemLayout {
  bool Swatch = false;
  bool Outline = false;
  // Swatch corners; right and bottom exclusive.
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int TextX = 0;
};

// Item rectangle (left, top, width, height), the box's item height and
// whether the text is shown; a brush colour of the default marker draws no
// swatch.
TColorItemLayout LayoutColorItem(int left, int top, int width, int height, int itemHeight, bool showText,
                                 TColor brushColor);
