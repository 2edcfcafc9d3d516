// ScanFileEncoding: the byte-order marks from the first block, then the UTF-8 test and the NUL search block by block.
#include "app/core/FileEncodingScan.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "app/core/ByteCount.h"
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

// What each byte is, as bits looked up in one table: a lead byte (0x81 to
// 0x9F, 0xE0 to 0xFC), a byte that may not follow one, and a byte that
// starts no character at all.
constexpr unsigned kLeadBit = 1;
constexpr unsigned kNoTrailBit = 2;
constexpr unsigned kNoStartBit = 4;

constexpr std::array<unsigned char, 256> ByteBits() {
  std::array<unsigned char, 256> bits{};
  for (unsigned c = 0; c < 256; ++c) {
    unsigned b = 0;
    if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) b |= kLeadBit;
    if (c < 0x40 || c == 0x7F || c > 0xFC) b |= kNoTrailBit;
    if (c == 0x80 || c == 0xA0 || c > 0xFC) b |= kNoStartBit;
    bits[c] = static_cast<unsigned char>(b);
  }
  return bits;
}

constexpr std::array<unsigned char, 256> kByteBits = ByteBits();

// The faults of the byte whose bits are given, and lead moved past it:
// without branches, so that a walk over mixed text never mispredicts.
unsigned Step(unsigned bits, unsigned& lead) {
  const unsigned start = lead ^ 1u;
  const unsigned faults = (lead & (bits >> 1)) | (start & (bits >> 2));
  lead = start & bits & kLeadBit;
  return faults & 1u;
}

// Walks bytes [from, to) of a block; lead says whether the byte before from
// is a lead byte. Returns where the first fault lies (to when there is
// none) and leaves lead as it stands after the last byte walked.
std::size_t Walk(const unsigned char* bytes, std::size_t from, std::size_t to, unsigned& lead) {
  for (std::size_t i = from; i < to; ++i)
    if (Step(kByteBits[bytes[i]], lead) != 0) return i;
  return to;
}

// Bytes looked at together, one bit each in a word.
constexpr std::size_t kChunk = 64;

// The kinds of a chunk's bytes as bit masks, bit i for byte i.
struct TChunkBits {
  std::uint64_t Lead = 0;
  std::uint64_t NoTrail = 0;
  std::uint64_t NoStart = 0;
};

#if defined(__SSE2__)
// Sixteen bytes at a time: a range test is a subtraction and an unsigned minimum.
TChunkBits ChunkBits(const unsigned char* bytes) {
  TChunkBits bits;
  for (std::size_t part = 0; part < kChunk / 16; ++part) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * part));
    const auto in = [&v](unsigned low, unsigned high) {
      const __m128i shifted = _mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(low)));
      return _mm_cmpeq_epi8(_mm_min_epu8(shifted, _mm_set1_epi8(static_cast<char>(high - low))), shifted);
    };
    const auto mask = [](__m128i m) { return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(m))); };
    const unsigned shift = static_cast<unsigned>(16 * part);
    bits.Lead |= mask(_mm_or_si128(in(0x81, 0x9F), in(0xE0, 0xFC))) << shift;
    bits.NoTrail |= (mask(_mm_or_si128(in(0x40, 0x7E), in(0x80, 0xFC))) ^ 0xFFFFu) << shift;
    bits.NoStart |= mask(_mm_or_si128(_mm_or_si128(in(0x80, 0x80), in(0xA0, 0xA0)), in(0xFD, 0xFF))) << shift;
  }
  return bits;
}
#else
TChunkBits ChunkBits(const unsigned char* bytes) {
  TChunkBits bits;
  for (std::size_t i = 0; i < kChunk; ++i) {
    const std::uint64_t b = kByteBits[bytes[i]];
    bits.Lead |= (b & kLeadBit) << i;
    bits.NoTrail |= (b >> 1 & 1) << i;
    bits.NoStart |= (b >> 2 & 1) << i;
  }
  return bits;
}
#endif

// The faults among a chunk's bytes as a mask; lead says whether the byte
// before the chunk is a lead byte, and then whether its last byte is one.
// In a run of lead-class bytes, lead and trail bytes alternate from the
// run's start (from the byte after it, when the byte before the chunk was
// a lead): adding a bit at each start of a run at an even place clears
// just those runs, which tells them from the others.
std::uint64_t ChunkFaults(const TChunkBits& bits, std::uint64_t& lead) {
  constexpr std::uint64_t kEven = 0x5555555555555555u;
  const std::uint64_t runs = bits.Lead;
  const std::uint64_t evenStarts = runs & ~(runs << 1) & kEven & ~lead;
  const std::uint64_t evenRuns = runs & ~(runs + evenStarts);
  const std::uint64_t leads = (evenRuns & kEven) | (runs & ~evenRuns & ~kEven);
  const std::uint64_t trails = leads << 1 | lead;
  lead = leads >> 63;
  return (trails & bits.NoTrail) | (bits.NoStart & ~trails);
}

}  // namespace

std::optional<std::uint64_t> FirstNonShiftJisLine(const std::filesystem::path& file) {
  TReadOnlyFile input(file);
  std::vector<char> raw(kBlockSize);
  std::uint64_t line = 1;
  unsigned lead = 0;  // the last byte read is a lead byte waiting for its trail
  for (;;) {
    const std::size_t length = input.Read(raw.data(), raw.size());
    if (length == 0) break;
    const auto* bytes = reinterpret_cast<const unsigned char*>(raw.data());
    std::size_t at = 0;
    std::uint64_t carried = lead;
    std::uint64_t faults = 0;
    for (; at + kChunk <= length; at += kChunk)
      if ((faults = ChunkFaults(ChunkBits(bytes + at), carried)) != 0) break;
    lead = static_cast<unsigned>(carried);
    // The first fault, else the rest of the block byte by byte.
    at = faults != 0 ? at + static_cast<std::size_t>(std::countr_zero(faults)) : Walk(bytes, at, length, lead);
    // A lead byte without its trail stands on the line of its trail's place: a line feed there is not counted.
    if (at < length) return line + CountByte(raw.data(), at, '\n');
    line += CountByte(raw.data(), length, '\n');
  }
  if (lead != 0) return line;
  return std::nullopt;
}
