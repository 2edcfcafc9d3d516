// ScanFileEncoding: the byte-order marks from the first block, then the UTF-8 test and the NUL search block by block.
#include "app/core/FileEncodingScan.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "editor/RyxEditSub.h"
#include "platform/CodePage.h"
#include "platform/LeadByte.h"

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

bool StartsNoCharacter(unsigned char c) { return c == 0x80 || c == 0xA0 || c >= 0xFD; }

bool IsTrailByte(unsigned char c) { return c >= 0x40 && c != 0x7F && c <= 0xFC; }

}  // namespace

std::optional<std::uint64_t> FirstNonShiftJisLine(const std::filesystem::path& file) {
  TReadOnlyFile input(file);
  std::vector<char> raw(kBlockSize);
  std::uint64_t line = 1;
  bool lead = false;  // the last byte read is a lead byte waiting for its trail
  for (;;) {
    const std::size_t length = input.Read(raw.data(), raw.size());
    if (length == 0) break;
    const std::string_view block(raw.data(), length);
    for (std::size_t i = 0; i < length; ++i) {
      // ASCII, most of a lyrics file, is passed over eight bytes at a time.
      if (!lead) {
        for (std::uint64_t word = 0; i + sizeof word <= length; i += sizeof word) {
          std::memcpy(&word, block.data() + i, sizeof word);
          if ((word & 0x8080808080808080u) != 0) break;
        }
        if (i >= length) break;
      }
      const auto c = static_cast<unsigned char>(block[i]);
      const bool bad = lead ? !IsTrailByte(c) : StartsNoCharacter(c);
      if (bad)
        return line + static_cast<std::uint64_t>(std::count(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(i),
                                                            '\n'));
      lead = !lead && IsDBCSLeadByte(c);
    }
    line += static_cast<std::uint64_t>(std::count(block.begin(), block.end(), '\n'));
  }
  if (lead) return line;
  return std::nullopt;
}
