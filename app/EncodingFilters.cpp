// The encoding filters: table lookups per character, lines counted only for the messages.
#include "app/EncodingFilters.h"

#include <unicode/utf8.h>

#include <cstdint>

#include "platform/CodePage.h"
#include "platform/LeadByte.h"

namespace {

// The longest UTF-8 sequence; a shorter rest of a block may be cut off.
constexpr std::size_t kMaxSequence = 4;
constexpr char32_t kByteOrderMark = 0xFEFF;

[[noreturn]] void Fail(const std::string& what, std::size_t line) {
  throw ETextEncodingError(what + " (" + std::to_string(line) + " 行目)。変換しませんでした。");
}

}  // namespace

std::size_t TLineCounter::TCursor::LineAt(std::size_t offset) {
  FCounter.Count(FData.substr(FCounted, offset - FCounted));
  FCounted = offset;
  return FCounter.Line();
}

void TLineCounter::Count(std::string_view bytes) {
  for (const char c : bytes) {
    if (c == '\r') {
      ++FBreaks;
    } else if (c == '\n' && !FAfterCr) {
      ++FBreaks;
    }
    FAfterCr = c == '\r';
  }
}

std::size_t TUtf8Encoder::Scan(std::string_view data, bool final, std::string& out) {
  const std::uint32_t* table = Utf8OfAnsiCodes();
  const auto* p = reinterpret_cast<const unsigned char*>(data.data());
  const std::size_t n = data.size();
  const std::size_t start = out.size();
  out.resize(start + n * 3);  // a byte becomes at most three
  char* w = out.data() + start;
  TLineCounter::TCursor lines(FLines, data);
  std::size_t i = 0;
  while (i < n) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      *w++ = static_cast<char>(b);
      ++i;
      continue;
    }
    const bool pair = IsDBCSLeadByte(b) && i + 1 < n;
    if (IsDBCSLeadByte(b) && !pair && !final) break;  // its trail byte is in the next block
    const std::uint32_t packed = table[pair ? (b << 8 | p[i + 1]) : b];
    if (packed == 0) {
      out.resize(start);
      Fail("テキストに Shift-JIS でないバイトがあります", lines.LineAt(i));
    }
    const std::uint32_t length = packed >> 24;
    for (std::uint32_t k = 0; k < length; ++k) *w++ = static_cast<char>(packed >> (8 * k));
    i += pair ? 2 : 1;
  }
  out.resize(static_cast<std::size_t>(w - out.data()));
  lines.LineAt(i);
  return i;
}

std::size_t TShiftJisEncoder::Scan(std::string_view data, bool final, std::string& out) {
  const std::uint16_t* table = AnsiCodesOfBmp();
  const auto* p = reinterpret_cast<const std::uint8_t*>(data.data());
  const std::size_t n = data.size();
  const std::size_t start = out.size();
  out.resize(start + n);  // a character never grows
  char* w = out.data() + start;
  TLineCounter::TCursor lines(FLines, data);
  std::size_t i = 0;
  while (i < n) {
    const std::uint8_t b = p[i];
    if (b < 0x80) {
      *w++ = static_cast<char>(b);
      ++i;
      FAtStart = false;
      continue;
    }
    if (!final && n - i < kMaxSequence) break;  // the sequence may go on in the next block
    const std::size_t from = i;
    UChar32 c = 0;
    U8_NEXT(p, i, n, c);
    if (c < 0) {
      out.resize(start);
      Fail("テキストが UTF-8 ではありません", lines.LineAt(from));
    }
    const bool mark = FAtStart && static_cast<char32_t>(c) == kByteOrderMark;
    FAtStart = false;
    if (mark) continue;
    const std::uint16_t code = c <= 0xFFFF ? table[c] : kNoAnsiCode;
    if (code == kNoAnsiCode) {
      if (FUnwritable.size() < kKeptUnwritable) FUnwritable.push_back({static_cast<char32_t>(c), lines.LineAt(from)});
      ++FReplaced;
      *w++ = '?';
    } else {
      if (code > 0xFF) *w++ = static_cast<char>(code >> 8);
      *w++ = static_cast<char>(code & 0xFF);
    }
  }
  out.resize(static_cast<std::size_t>(w - out.data()));
  lines.LineAt(i);
  return i;
}
