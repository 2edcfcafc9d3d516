// The encoding filters: table lookups per character, lines counted only for the messages.
#include "app/core/EncodingFilters.h"

#include <unicode/utf8.h>

#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/CodePage.h"
#include "platform/LeadByte.h"

namespace {

// The longest UTF-8 sequence; a shorter rest of a block may be cut off.
constexpr std::size_t kMaxSequence = 4;
constexpr char32_t kByteOrderMark = 0xFEFF;

// The packed UTF-8 bytes in memory order, lowest first.
std::uint32_t LittleEndian(std::uint32_t packed) {
  if constexpr (std::endian::native == std::endian::little) {
    return packed;
  } else {
    return (packed & 0xFF) << 24 | (packed & 0xFF00) << 8 | (packed >> 8 & 0xFF00) | packed >> 24;
  }
}

}  // namespace

void FailEncoding(const std::string& what, std::size_t line) {
  throw ETextEncodingError(what + " (" + std::to_string(line) + " 行目)。変換しませんでした。");
}

std::size_t TLineCounter::TCursor::LineAt(std::size_t offset) {
  FCounter.Count(FData.substr(FCounted, offset - FCounted));
  FCounted = offset;
  return FCounter.Line();
}

void TLineCounter::Count(std::string_view bytes) {
  if (bytes.empty()) return;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  // Branch-free, so that the compiler can count many bytes at a time: a CR
  // is a break, and so is an LF that no CR stands before.
  std::size_t breaks = (p[0] == '\r') + (p[0] == '\n' && !FAfterCr);
  for (std::size_t i = 1; i < n; ++i) {
    breaks += static_cast<std::size_t>(p[i] == '\r') + static_cast<std::size_t>((p[i] == '\n') & (p[i - 1] != '\r'));
  }
  FBreaks += breaks;
  FAfterCr = p[n - 1] == '\r';
}

std::size_t TUtf8Encoder::Scan(std::string_view data, bool final, std::string& out) {
  const std::uint32_t* table = Utf8OfAnsiCodes();
  const auto* p = reinterpret_cast<const unsigned char*>(data.data());
  const std::size_t n = data.size();
  const std::size_t start = out.size();
  // A byte becomes at most three; every character is written as four bytes
  // at once and the pointer moves on by its length.
  out.resize(start + n * 3 + sizeof(std::uint32_t));
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
      FailEncoding("テキストに Shift-JIS でないバイトがあります", lines.LineAt(i));
    }
    const std::uint32_t bytes = LittleEndian(packed);
    std::memcpy(w, &bytes, sizeof bytes);
    w += packed >> 24;
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
      FailEncoding("テキストが UTF-8 ではありません", lines.LineAt(from));
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
      FFolded += IsFoldedToAnsi(static_cast<char16_t>(c)) ? 1 : 0;
      if (code > 0xFF) *w++ = static_cast<char>(code >> 8);
      *w++ = static_cast<char>(code & 0xFF);
    }
  }
  out.resize(static_cast<std::size_t>(w - out.data()));
  lines.LineAt(i);
  return i;
}
