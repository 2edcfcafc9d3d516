// InputEncodingOf: the byte-order marks from the first block, then the UTF-8 test block by block.
#include "tools/verselet-tool/InputEncoding.h"

#include <string>
#include <vector>

#include "editor/RyxEditSub.h"
#include "platform/CodePage.h"

namespace {

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

}  // namespace

TFileEncoding InputEncodingOf(const std::filesystem::path& file) {
  TReadOnlyFile input(file);
  std::vector<char> raw(kBlockSize);
  std::string pending;
  bool first = true;
  bool longSequence = false;
  for (;;) {
    const std::size_t length = input.Read(raw.data(), raw.size());
    pending.append(raw.data(), length);
    if (first) {
      first = false;
      const TFileEncoding marked = DetectFileEncoding(pending);
      if (marked == TFileEncoding::Utf16LE || marked == TFileEncoding::Utf16BE) return marked;
    }
    const std::size_t tail = length == 0 ? 0 : UnfinishedTail(pending);
    const std::string_view whole(pending.data(), pending.size() - tail);
    if (!IsValidUtf8(whole)) return TFileEncoding::ShiftJis;
    // On well-formed text the editor's test answers UTF-8 exactly when it
    // holds a long sequence (a byte-order mark is one).
    longSequence = longSequence || DetectFileEncoding(whole) == TFileEncoding::Utf8;
    pending.erase(0, whole.size());
    if (length == 0) break;
  }
  return longSequence ? TFileEncoding::Utf8 : TFileEncoding::ShiftJis;
}
