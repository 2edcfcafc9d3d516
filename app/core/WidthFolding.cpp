// FoldWidth: the half-width katakana table and the voiced-mark joins.
#include "app/core/WidthFolding.h"

namespace {

constexpr char16_t kHalfVoiced = 0xFF9E;
constexpr char16_t kHalfSemiVoiced = 0xFF9F;

// U+FF61 to U+FF9F in order: the full-width form of each half-width character.
constexpr char16_t kFullOfHalf[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5,
    0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC,
    0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4,
    0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};
static_assert(std::size(kFullOfHalf) == 0xFF9F - 0xFF61 + 1);

bool IsHaRow(char16_t kana) { return kana >= 0x30CF && kana <= 0x30DB && (kana - 0x30CF) % 3 == 0; }

// The kana with the mark joined, or 0 when the two do not make one character.
char16_t Joined(char16_t kana, char16_t mark) {
  if (mark == kHalfSemiVoiced) return IsHaRow(kana) ? static_cast<char16_t>(kana + 2) : u'\0';
  if (kana == 0x30A6) return 0x30F4;  // ウ to ヴ
  // カ to ト (the small ッ among them takes no mark) and the ハ row take the next code.
  const bool kaToTo =
      kana >= 0x30AB && kana <= 0x30C8 && kana != 0x30C3 && (kana <= 0x30C1 ? kana % 2 == 1 : kana % 2 == 0);
  return kaToTo || IsHaRow(kana) ? static_cast<char16_t>(kana + 1) : u'\0';
}

}  // namespace

std::u16string FoldWidth(const std::u16string& text, std::vector<std::size_t>* sourceIndex) {
  std::u16string folded;
  folded.reserve(text.size());
  if (sourceIndex) sourceIndex->clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    char16_t out = c;
    if (c >= 0xFF01 && c <= 0xFF5E) {
      out = static_cast<char16_t>(c - 0xFF01 + 0x21);
    } else if (c == 0x3000) {
      out = u' ';
    } else if (c >= 0xFF61 && c <= 0xFF9F) {
      out = kFullOfHalf[c - 0xFF61];
      const char16_t next = i + 1 < text.size() ? text[i + 1] : u'\0';
      if (const char16_t joined = (next == kHalfVoiced || next == kHalfSemiVoiced) ? Joined(out, next) : u'\0') {
        folded += joined;
        if (sourceIndex) sourceIndex->push_back(i);
        ++i;
        continue;
      }
    }
    folded += out;
    if (sourceIndex) sourceIndex->push_back(i);
  }
  return folded;
}
