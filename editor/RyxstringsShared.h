// Byte buffers shared between line stores, copies of lines packed into them, and a store's text kept without its index.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/RyxstringsSplit.h"

// A growable block of bytes from malloc, so that a large one grows in place
// (realloc remaps its pages) instead of being copied.
class TByteBuffer {
 public:
  TByteBuffer() = default;
  explicit TByteBuffer(std::size_t capacity) { Reserve(capacity); }
  TByteBuffer(TByteBuffer&& other) noexcept;
  TByteBuffer& operator=(TByteBuffer&& other) noexcept;
  TByteBuffer(const TByteBuffer&) = delete;
  TByteBuffer& operator=(const TByteBuffer&) = delete;
  ~TByteBuffer();

  char* Data() { return FData; }
  const char* Data() const { return FData; }
  std::size_t Size() const { return FSize; }
  std::size_t Capacity() const { return FCapacity; }
  void Reserve(std::size_t capacity);
  // Bytes past the old size are left as they were: the caller fills them.
  void Resize(std::size_t size);
  void Append(std::string_view bytes);

 private:
  char* FData = nullptr;
  std::size_t FSize = 0;
  std::size_t FCapacity = 0;
};

class TLineBlocks;

// A buffer holding lines, and the number of the holder's lines in it. Two
// stores (or a store and a text taken out of one) may hold the same buffer;
// it is freed when the last of them lets it go.
struct TSharedBuffer {
  std::shared_ptr<TByteBuffer> Bytes;
  std::size_t Lines = 0;
};

// Buffers by their first byte, so that the buffer of a line is found from its bytes.
using TSharedBuffers = std::map<const char*, TSharedBuffer>;

// The buffer whose bytes hold data, or buffers.end().
TSharedBuffers::iterator BufferHolding(TSharedBuffers& buffers, const char* data);
TSharedBuffers::const_iterator BufferHolding(const TSharedBuffers& buffers, const char* data);

// Copies lines into buffers registered in a map of shared buffers, many
// lines to a buffer, so that a copied line costs its bytes and no
// allocation of its own. A buffer never grows once made, so the copies stay
// where they are.
class TLineCopies {
 public:
  explicit TLineCopies(TSharedBuffers& buffers) : FBuffers(buffers) {}
  TLineCopies(const TLineCopies&) = delete;
  TLineCopies& operator=(const TLineCopies&) = delete;

  // The copy of a non-empty line, counted as a line of its buffer.
  std::string_view Copy(std::string_view line);

 private:
  TSharedBuffers& FBuffers;
  TSharedBuffer* FCurrent = nullptr;
};

// The text of a store taken out of it without its index of lines: the runs
// of bytes that its lines made one after the other, in the store's own
// buffers, which it keeps alive. It costs a few bytes per run instead of an
// index entry per line; a store set from it gets the lines that setting its
// bytes as a text gives, sharing the buffers where a line lies in one run.
class TStoredText {
 public:
  TStoredText() = default;
  TStoredText(TStoredText&&) = default;
  TStoredText& operator=(TStoredText&&) = default;

  // The bytes, the end-of-text marker included.
  std::size_t Size() const { return FSize; }
  const std::vector<std::string_view>& Runs() const { return FRuns; }
  const TSharedBuffers& Buffers() const { return FBuffers; }

  // Calls visit(line) for each line that the split rule cuts the text into;
  // a line cut by the end of a run is joined into a copy first.
  template <class Visit>
  void ForEachLine(Visit visit) const;

 private:
  friend class TLineBlocks;

  // Adds line after the others, merging it into the last run when it follows on in memory.
  void Append(std::string_view line);

  std::vector<std::string_view> FRuns;
  TSharedBuffers FBuffers;
  std::size_t FSize = 0;
};

// How many bytes of next a line cut short (no CR LF, no NUL and a byte
// after it at its end) takes to end by the split rule, or npos when all of
// next does not end it.
std::size_t BytesToLineEnd(std::string_view cut, std::string_view next);

template <class Visit>
void TStoredText::ForEachLine(Visit visit) const {
  std::string joined;
  const auto whole = [](std::string_view piece) {
    return piece.ends_with("\r\n") || (piece.size() >= 2 && piece[piece.size() - 2] == '\0');
  };
  for (std::string_view run : FRuns) {
    if (!joined.empty()) {
      const std::size_t take = BytesToLineEnd(joined, run);
      joined.append(run.substr(0, take));
      if (take == std::string_view::npos) continue;
      run.remove_prefix(take);
      visit(std::string_view(joined));
      joined.clear();
    }
    for (TPieceScanner scan(run); !scan.Done();) {
      const std::string_view piece = scan.Next();
      if (scan.Done() && !whole(piece)) {
        joined.assign(piece);
        break;
      }
      visit(piece);
    }
  }
  if (!joined.empty()) visit(std::string_view(joined));
}
