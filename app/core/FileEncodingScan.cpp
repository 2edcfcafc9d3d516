// ScanFileEncoding: the byte-order marks from the first block, then the UTF-8 test and the NUL search block by block.
#include "app/core/FileEncodingScan.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "editor/RyxEditSub.h"
#include "platform/CodePage.h"

namespace {

// Even, so that the code units of a UTF-16 file never straddle two blocks.
constexpr std::size_t kBlockSize = 1 << 16;

// The bytes at the end of bytes that begin a UTF-8 sequence the block has
// not finished; they are tested with the next block.
std::size_t UnfinishedTail(std::string_view bytes) {
  for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
    const auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
    if ((c & 0xC0) == 0x80) continue;
    const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return length > back ? back : 0;
  }
  return 0;
}

bool HoldsZeroUnit(std::string_view bytes) {
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    if (bytes[i] == '\0' && bytes[i + 1] == '\0') return true;
  return false;
}

}  // namespace

TEncodingScan ScanFileEncoding(const std::filesystem::path& file, std::uint64_t largest) {
  TReadOnlyFile input(file);
  TEncodingScan scan;
  if (input.Size() > largest) {
    scan.TooLarge = true;
    return scan;
  }
  std::vector<char> raw(kBlockSize);
  std::string pending;
  bool first = true;
  bool longSequence = false;
  for (;;) {
    const std::size_t length = input.Read(raw.data(), raw.size());
    const std::string_view block(raw.data(), length);
    if (first) {
      first = false;
      scan.Encoding = MarkedEncoding(block);
      if (scan.Encoding != TFileEncoding::ShiftJis) longSequence = true;
    }
    if (scan.Encoding == TFileEncoding::Utf16LE || scan.Encoding == TFileEncoding::Utf16BE) {
      scan.HoldsNul = HoldsZeroUnit(block);
      if (scan.HoldsNul || length == 0) return scan;
      continue;
    }
    if (std::memchr(block.data(), '\0', block.size()) != nullptr) {
      scan.HoldsNul = true;
      return scan;
    }
    pending.append(block);
    const std::size_t tail = length == 0 ? 0 : UnfinishedTail(pending);
    const std::string_view whole(pending.data(), pending.size() - tail);
    if (!IsValidUtf8(whole)) {
      // A byte-order mark decides on its own; the conversion names the bad byte.
      if (scan.Encoding == TFileEncoding::ShiftJis) return scan;
    } else {
      // On well-formed text the editor's test answers UTF-8 exactly when it
      // holds a long sequence.
      longSequence = longSequence || DetectFileEncoding(whole) == TFileEncoding::Utf8;
    }
    pending.erase(0, whole.size());
    if (length == 0) break;
  }
  scan.Encoding = longSequence ? TFileEncoding::Utf8 : TFileEncoding::ShiftJis;
  return scan;
}

namespace {

// Byte tests without branches, so that a walk over mixed text never
// mispredicts: a lead byte (0x81 to 0x9F, 0xE0 to 0xFC), a byte that may
// follow one, and one that starts no character at all.
unsigned IsLead(unsigned c) { return ((c ^ 0x20u) - 0xA1u) < 0x3Cu ? 1u : 0u; }
unsigned IsNoTrail(unsigned c) { return static_cast<unsigned>((c < 0x40u) | (c == 0x7Fu) | (c > 0xFCu)); }
unsigned StartsNoCharacter(unsigned c) { return static_cast<unsigned>((c == 0x80u) | (c == 0xA0u) | (c > 0xFCu)); }

}  // namespace

std::optional<std::uint64_t> FirstNonShiftJisLine(const std::filesystem::path& file) {
  TReadOnlyFile input(file);
  std::vector<char> raw(kBlockSize);
  std::uint64_t line = 1;
  bool lead = false;  // the block before ended in a lead byte waiting for its trail
  for (;;) {
    const std::size_t length = input.Read(raw.data(), raw.size());
    if (length == 0) break;
    const auto* bytes = reinterpret_cast<const unsigned char*>(raw.data());
    // The line of byte at: a lead byte without its trail stands on its own line.
    auto lineOf = [&](std::size_t at) {
      return line + static_cast<std::uint64_t>(std::count(raw.data(), raw.data() + at, '\n'));
    };
    std::size_t i = 0;
    if (lead) {
      if (IsNoTrail(bytes[0]) != 0) return line;
      i = 1;
    }
    // Character by character while a character's bytes lie in the block.
    for (; i + 1 < length; i += 1 + IsLead(bytes[i]))
      if (((IsLead(bytes[i]) & IsNoTrail(bytes[i + 1])) | StartsNoCharacter(bytes[i])) != 0) return lineOf(i);
    lead = i < length && IsLead(bytes[i]) != 0;
    if (i < length && StartsNoCharacter(bytes[i]) != 0) return lineOf(i);
    line = lineOf(length);
  }
  if (lead) return line;
  return std::nullopt;
}
