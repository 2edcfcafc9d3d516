// The look-alike table: the JIS and the Windows mapping of the same Shift-JIS codes.
#include "platform/LookAlikeFolds.h"

#include <array>

namespace {

constexpr std::array<TLookAlikeFold, 10> kFolds{{
    {u'\u00A2', u'\uFFE0'},  // CENT SIGN -> FULLWIDTH CENT SIGN (0x8191)
    {u'\u00A3', u'\uFFE1'},  // POUND SIGN -> FULLWIDTH POUND SIGN (0x8192)
    {u'\u00A5', u'\u005C'},  // YEN SIGN -> the byte 0x5C, which Japanese players show as a yen sign
    {u'\u00A6', u'\uFFE4'},  // BROKEN BAR -> FULLWIDTH BROKEN BAR (0xFA55)
    {u'\u00AC', u'\uFFE2'},  // NOT SIGN -> FULLWIDTH NOT SIGN (0x81CA)
    {u'\u2014', u'\u2015'},  // EM DASH -> HORIZONTAL BAR (0x815C)
    {u'\u2016', u'\u2225'},  // DOUBLE VERTICAL LINE -> PARALLEL TO (0x8161)
    {u'\u203E', u'\u007E'},  // OVERLINE -> the byte 0x7E, shown as an overline by JIS X 0201 displays
    {u'\u2212', u'\uFF0D'},  // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS (0x817C)
    {u'\u301C', u'\uFF5E'},  // WAVE DASH -> FULLWIDTH TILDE (0x8160)
}};

}  // namespace

std::span<const TLookAlikeFold> LookAlikeFolds() { return kFolds; }

std::string DescribeFolded(std::size_t count) {
  return std::to_string(count) + " 文字を Shift-JIS にある同じ形の文字に置き換えました";
}
