// TUtf8Passage: table lookups both ways, the characters without a code page 932 form queued.
#include "app/core/Utf8Passage.h"

#include <unicode/utf8.h>

#include <cstdint>
#include <stdexcept>
#include <utility>

#include "platform/CodePage.h"
#include "platform/LeadByte.h"

namespace {

// Row 0x85 is empty in code page 932.
constexpr std::uint16_t kStandIn = 0x8540;
constexpr std::size_t kMaxSequence = 4;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::size_t TUtf8Passage::Scan(std::string_view data, bool final, std::string& out) {
  if (FAtStart) {
    if (data.size() < kByteOrderMark.size() && kByteOrderMark.starts_with(data) && !final) return 0;
    FAtStart = false;
    if (data.starts_with(kByteOrderMark)) {
      out.append(kByteOrderMark);
      data.remove_prefix(kByteOrderMark.size());
      return kByteOrderMark.size() + Scan(data, final, out);
    }
  }
  const std::uint16_t* codes = AnsiCodesOfBmp();
  const auto* p = reinterpret_cast<const std::uint8_t*>(data.data());
  const std::size_t n = data.size();
  TLineCounter::TCursor lines(FLines, data);
  FShiftJis.clear();
  std::size_t i = 0;
  while (i < n) {
    if (p[i] < 0x80) {
      FShiftJis.push_back(static_cast<char>(p[i++]));
      continue;
    }
    if (!final && n - i < kMaxSequence) break;  // the sequence may go on in the next block
    const std::size_t from = i;
    UChar32 c = 0;
    U8_NEXT(p, i, n, c);
    if (c < 0) FailEncoding("テキストが UTF-8 ではありません", lines.LineAt(from));
    std::uint16_t code = c <= 0xFFFF ? codes[c] : kNoAnsiCode;
    if (code == kNoAnsiCode || IsFoldedToAnsi(static_cast<char16_t>(c))) {
      FStandIns.emplace_back(data.substr(from, i - from));
      code = kStandIn;
    }
    if (code > 0xFF) FShiftJis.push_back(static_cast<char>(code >> 8));
    FShiftJis.push_back(static_cast<char>(code & 0xFF));
  }
  lines.LineAt(i);
  FBack.clear();
  FInner->Write(FShiftJis, FBack);
  if (final) FInner->Finish(FBack);
  Restore(FBack, out);
  return i;
}

void TUtf8Passage::Restore(std::string_view shiftJis, std::string& out) {
  if (!FLead.empty()) {
    // The character cut by the end of the inner filter's last output; rare, so joining costs little.
    FLead.append(shiftJis);
    const std::string joined = std::exchange(FLead, std::string());
    return Restore(joined, out);
  }
  const std::uint32_t* utf8 = Utf8OfAnsiCodes();
  for (std::size_t i = 0; i < shiftJis.size();) {
    const auto b = static_cast<unsigned char>(shiftJis[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    const bool pair = IsDBCSLeadByte(b);
    if (pair && i + 1 == shiftJis.size()) {
      FLead.assign(1, static_cast<char>(b));
      return;
    }
    const std::uint16_t code = pair ? static_cast<std::uint16_t>(b << 8 | static_cast<unsigned char>(shiftJis[i + 1])) : b;
    i += pair ? 2 : 1;
    if (code == kStandIn) {
      if (FStandIns.empty()) throw std::logic_error("TUtf8Passage: the filter gave back a character it was not given");
      out.append(FStandIns.front());
      FStandIns.pop_front();
      continue;
    }
    const std::uint32_t packed = utf8[code];
    for (std::uint32_t k = 0; k < (packed >> 24); ++k) out.push_back(static_cast<char>(packed >> (8 * k) & 0xFF));
  }
}
