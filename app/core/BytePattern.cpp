// TBytePattern: a look at the first and last bytes over lanes of starts at once, then the whole pattern where both fit.
#include "app/core/BytePattern.h"

namespace {

// Starts looked at together: a loop over them with no branch, which the
// compiler turns into vector instructions.
constexpr std::size_t kLanes = 32;

unsigned char LowerAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 0x20) : c; }

// A lowered letter also meets its upper case when 0x20 is set in the text's byte.
unsigned char CaseBit(unsigned char lowered) { return lowered >= 'a' && lowered <= 'z' ? 0x20 : 0; }

}  // namespace

TBytePattern::TBytePattern(std::string_view bytes) : FBytes(bytes) {
  for (char& c : FBytes) c = static_cast<char>(LowerAscii(static_cast<unsigned char>(c)));
  if (FBytes.empty()) return;
  FFirst = static_cast<unsigned char>(FBytes.front());
  FLast = static_cast<unsigned char>(FBytes.back());
  FFirstCase = CaseBit(FFirst);
  FLastCase = CaseBit(FLast);
}

bool TBytePattern::At(const unsigned char* text) const {
  for (std::size_t k = 0; k < FBytes.size(); ++k)
    if (LowerAscii(text[k]) != static_cast<unsigned char>(FBytes[k])) return false;
  return true;
}

bool TBytePattern::AnyInLanes(const unsigned char* from) const {
  const unsigned char* last = from + FBytes.size() - 1;
  unsigned char any = 0;
  for (std::size_t k = 0; k < kLanes; ++k)
    any |= static_cast<unsigned char>(((from[k] | FFirstCase) == FFirst) & ((last[k] | FLastCase) == FLast));
  return any != 0;
}

std::size_t TBytePattern::Find(std::string_view text) const {
  const std::size_t m = FBytes.size();
  if (m == 0 || text.size() < m) return m == 0 ? 0 : std::string_view::npos;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t starts = text.size() - m + 1;
  std::size_t at = 0;
  for (; at + kLanes <= starts; at += kLanes) {
    if (!AnyInLanes(bytes + at)) continue;
    for (std::size_t k = at; k < at + kLanes; ++k)
      if (At(bytes + k)) return k;
  }
  for (; at < starts; ++at)
    if (At(bytes + at)) return at;
  return std::string_view::npos;
}

std::size_t TBytePattern::FindLast(std::string_view text) const {
  const std::size_t m = FBytes.size();
  if (m == 0 || text.size() < m) return m == 0 ? text.size() : std::string_view::npos;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  // Starts below end are still to look at.
  std::size_t end = text.size() - m + 1;
  for (; end >= kLanes; end -= kLanes) {
    if (!AnyInLanes(bytes + end - kLanes)) continue;
    for (std::size_t k = end; k-- > end - kLanes;)
      if (At(bytes + k)) return k;
  }
  while (end-- > 0)
    if (At(bytes + end)) return end;
  return std::string_view::npos;
}
