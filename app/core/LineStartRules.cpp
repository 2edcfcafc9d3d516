// The line-start rule: one lookup of the first character's code in a set taken from its Unicode list.
#include "app/core/LineStartRules.h"

#include <bitset>
#include <memory>
#include <string>

#include "platform/CodePage.h"
#include "platform/LeadByte.h"

namespace {

constexpr char16_t kKeptOff[] =
    u"、。，．・：；？！゛゜ヽヾゝゞ々〻ー―‐…‥"
    u"」』）〕］｝〉》】〙〗’”"
    u"ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶ"
    u"｡｣､･ｰﾞﾟｧｨｩｪｫｬｭｮｯ";

// By code page 932 code: a single byte, or lead byte * 256 + trail byte.
std::unique_ptr<const std::bitset<0x10000>> BuildSet() {
  auto set = std::make_unique<std::bitset<0x10000>>();
  for (const char16_t c : std::u16string_view(kKeptOff)) {
    std::size_t missing = 0;
    const std::string code = UnicodeToAnsi(std::u16string_view(&c, 1), &missing);
    if (missing > 0) continue;  // not in code page 932 (ゕ ゖ): no text holds it
    const auto first = static_cast<unsigned char>(code[0]);
    set->set(code.size() == 2 ? (first << 8 | static_cast<unsigned char>(code[1])) : first);
  }
  return set;
}

const std::bitset<0x10000>& KeptOffCodes() {
  static const std::unique_ptr<const std::bitset<0x10000>> set = BuildSet();
  return *set;
}

}  // namespace

std::string_view KeptOffLineStart(std::string_view text) {
  if (text.empty()) return {};
  const auto first = static_cast<unsigned char>(text[0]);
  const bool pair = IsDBCSLeadByte(first) && text.size() > 1;
  const unsigned code = pair ? (first << 8 | static_cast<unsigned char>(text[1])) : first;
  return KeptOffCodes().test(code) ? text.substr(0, pair ? 2 : 1) : std::string_view();
}

std::vector<std::size_t> RowsStartingKeptOff(const TPlayerLayout& layout) {
  std::vector<std::size_t> rows;
  for (std::size_t row = 1; row < layout.Rows.size(); ++row) {
    const TPlayerRow& at = layout.Rows[row];
    if (!KeptOffLineStart(std::string_view(layout.Text).substr(at.Start, at.Length)).empty()) rows.push_back(row);
  }
  return rows;
}
