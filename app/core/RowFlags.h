// TRowFlags: one flag per row of a document, kept in blocks so that rows come and go at the cost of a block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// A hundred-megabyte document has millions of rows: one flat array would
// move megabytes for each line break typed. Finding a row walks the block
// sizes, a few thousand at most.
class TRowFlags {
 public:
  int Count() const { return FCount; }
  bool Get(int row) const;
  void Set(int row, bool value);
  // Sets the rows from first on as the flags given, nonzero meaning set.
  void Write(int first, const std::vector<std::uint8_t>& flags);
  // Replaces the rows [first, first + removed) by inserted cleared rows.
  void Splice(int first, int removed, int inserted);
  // How many of the rows [first, last] are set.
  int CountSet(int first, int last) const;
  // The first of the rows [from, last] whose flag is value; last + 1 when none is.
  int Find(int from, int last, bool value) const;

 private:
  static constexpr std::size_t kBlockRows = 4096;
  // The block holding row, and the row's index in it; row == Count() gives
  // the end of the last block.
  std::pair<std::size_t, std::size_t> Locate(int row) const;
  void Insert(int at, int count);
  void Erase(int first, int count);

  std::vector<std::vector<std::uint8_t>> FBlocks;
  int FCount = 0;
};
