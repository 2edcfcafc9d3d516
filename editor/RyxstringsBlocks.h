// The line store's storage: byte buffers and the blocked index of the lines in them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/RyxstringsShared.h"

// The lines of the store as byte ranges, in blocks of at most FBlockLines
// lines (a full block splits in two, a small one joins a neighbour), so
// that inserting or deleting a line moves the entries of one block, and
// replacing a line costs that line. A line's bytes are either its own
// allocation (written by Put, Insert or a small bulk insertion) or a range
// of a shared buffer (a loaded file, a large text, copies of many lines),
// which is freed when its last line goes; another store, or a text taken
// out of one, may hold the same buffer (TSharedBuffer).
class TLineBlocks {
 public:
  explicit TLineBlocks(int blockLines);
  TLineBlocks(const TLineBlocks&) = delete;
  TLineBlocks& operator=(const TLineBlocks&) = delete;
  ~TLineBlocks() { Clear(); }

  int Count() const { return FCount; }
  // Changes with every change of the lines: equal revisions of a store mean the same lines.
  std::uint64_t Revision() const { return FRevision; }
  // Indices are checked by the caller.
  std::string_view Get(int index) const;
  void Put(int index, std::string_view line);
  void Insert(int index, std::string_view line);
  void Delete(int index);
  // Deletes the lines from index to the end.
  void Truncate(int index);
  void Clear();
  // Inserts at index the lines that next(line) yields until it returns
  // false; each is a range of text, which the blocks keep from then on.
  template <class Next>
  void InsertShared(int index, TByteBuffer text, Next next);
  void Swap(TLineBlocks& other) noexcept;
  // Takes the lines out as a text, leaving no line: lines that own their
  // bytes are copied into buffers of the text, the others keep theirs.
  TStoredText TakeText();
  // The same text, the lines left in place: lines that own their bytes are
  // copied, the others share their buffers, whose bytes never change once
  // written. So another thread may read the copy while the lines are edited.
  TStoredText CopyText() const;

  // How many of the lines before index end a logical line (end in CR LF).
  int LineEndsBefore(int index) const;
  // The index of the line after the n-th line that ends in CR LF (0 for n = 0,
  // Count() when there are fewer).
  int IndexAfterLineEnds(int n) const;
  // The bytes of the lines before index.
  std::size_t BytesBefore(int index) const;
  // The line that holds byte offset of the lines' concatenation (Count() at or past its end).
  int IndexAtByte(std::size_t offset) const;

  // Calls visit(line) for every line in order.
  template <class Visit>
  void ForEach(Visit visit) const {
    for (const TBlock& block : FBlocks)
      for (std::size_t i = 0; i < block.Data.size(); ++i) visit(View(block, i));
  }
  // Calls visit(index, line) for the lines from index (checked by the
  // caller) on, upward or downward, until visit returns false or the lines
  // end: block by block, with no lookup per line.
  template <class Visit>
  void VisitFrom(int index, bool forward, Visit visit) const;

 private:
  friend class TLineAppender;

  // Entries kept as two arrays: 12 bytes a line. The top bit of a size
  // marks a line that owns its bytes.
  // Ends counts the lines that end in CR LF and Bytes their bytes, so that
  // the logical line or the offset of a row is found block by block
  // instead of line by line.
  struct TBlock {
    int First = 0;
    int Ends = 0;
    std::int64_t Bytes = 0;
    std::vector<const char*> Data;
    std::vector<std::uint32_t> Size;
  };
  // Counts of a run of blocks.
  struct TSums {
    int Lines = 0;
    int Ends = 0;
    std::int64_t Bytes = 0;
  };
  static constexpr std::uint32_t kOwned = 0x80000000u;

  static std::string_view View(const TBlock& block, std::size_t i) {
    return {block.Data[i], block.Size[i] & ~kOwned};
  }
  static int EndsLine(const char* data, std::uint32_t size) {
    size &= ~kOwned;
    return size >= 2 && data[size - 2] == '\r' && data[size - 1] == '\n' ? 1 : 0;
  }
  static void CountEnds(TBlock& block);
  // An entry of block b changed its counts by ends and bytes (a line came, went or was replaced).
  void Recount(int b, int lines, int ends, std::int64_t bytes);
  // The sums of the blocks before block b, and the block where a running sum
  // first reaches target (the number of blocks when it never does).
  TSums SumsBefore(int b) const;
  template <class Part>
  int BlockReaching(std::int64_t target, Part part, TSums& before) const;
  void BuildTree() const;
  // The block holding index and the offset in it.
  std::pair<int, int> Locate(int index) const;
  void Invalidate(int block) { FFirstValid = std::min(FFirstValid, block); }
  // A copy of line in an allocation of its own; an empty line needs none.
  static std::pair<const char*, std::uint32_t> Own(std::string_view line);
  void Release(const char* data, std::uint32_t size);
  void SplitIfFull(int block);
  void JoinIfSmall(int block);
  // Adds an entry to the last of blocks, starting a new block when it is full.
  void AppendEntry(std::vector<TBlock>& blocks, const char* data, std::uint32_t size) const;
  void Splice(int index, TByteBuffer text, std::vector<TBlock> fresh, std::size_t lines);
  // Adds a line at the end whose bytes the caller counted in a shared buffer of the store.
  void AppendLine(const char* data, std::uint32_t size);

  // Gives the store a revision no store had before.
  void Touch();

  int FBlockLines;
  int FCount = 0;
  std::uint64_t FRevision = 0;
  std::vector<TBlock> FBlocks;
  // Shared buffers by their first byte, for finding a line's buffer.
  TSharedBuffers FShared;
  // Blocks below FFirstValid hold their correct First; the rest are
  // renumbered when a lookup reaches them, so that an edit costs no walk
  // over all blocks.
  mutable int FFirstValid = 0;
  mutable int FHint = 0;
  // A Fenwick tree of the blocks' counts (1-based), so that the sums before
  // a block cost O(log blocks). Entry edits keep it up to date; a change of
  // the blocks themselves (a split, a join, a splice, a bulk append) drops
  // it, and the next lookup builds it again in one pass over the blocks.
  mutable std::vector<TSums> FTree;
  mutable bool FTreeValid = false;
};

template <class Next>
void TLineBlocks::InsertShared(int index, TByteBuffer text, Next next) {
  std::vector<TBlock> fresh;
  std::size_t lines = 0;
  for (std::string_view line; next(line); ++lines)
    AppendEntry(fresh, line.data(), static_cast<std::uint32_t>(line.size()));
  Splice(index, std::move(text), std::move(fresh), lines);
}

template <class Visit>
void TLineBlocks::VisitFrom(int index, bool forward, Visit visit) const {
  auto [b, i] = Locate(index);
  for (;;) {
    const TBlock& block = FBlocks[static_cast<std::size_t>(b)];
    const int size = static_cast<int>(block.Data.size());
    for (; i >= 0 && i < size; i += forward ? 1 : -1, index += forward ? 1 : -1)
      if (!visit(index, View(block, static_cast<std::size_t>(i)))) return;
    b += forward ? 1 : -1;
    if (b < 0 || b >= static_cast<int>(FBlocks.size())) return;
    i = forward ? 0 : static_cast<int>(FBlocks[static_cast<std::size_t>(b)].Data.size()) - 1;
  }
}

// Appends lines at the end of a store. A line whose bytes lie in one of the
// source's buffers shares that buffer, with no copy; any other is copied,
// many lines to a buffer of the store's own. The store is not otherwise
// changed while lines are appended.
class TLineAppender {
 public:
  TLineAppender(TLineBlocks& target, const TSharedBuffers& source)
      : FTarget(target), FSource(source), FCopies(target.FShared) {}
  TLineAppender(const TLineAppender&) = delete;
  TLineAppender& operator=(const TLineAppender&) = delete;

  // line must not be a view of the target's own bytes.
  void Append(std::string_view line);

 private:
  bool AppendShared(std::string_view line);

  TLineBlocks& FTarget;
  const TSharedBuffers& FSource;
  TLineCopies FCopies;
  // The source buffer used last and its entry in the target: lines in a row mostly share one.
  const char* FSharedFrom = nullptr;
  const char* FSharedTo = nullptr;
  TSharedBuffer* FShared = nullptr;
};
