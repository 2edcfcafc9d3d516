// TTextPositions: byte offsets into an editor's whole text, to and from row and column.
#pragma once

#include <cstddef>

class TRyxStrings;

struct TRowCol {
  int Row = 0;
  int Col = 0;
  bool operator==(const TRowCol&) const = default;
};

// Where each stored row starts in the text the rows make up together, read
// from the store as it is now (in O(log n) from its counts per block).
class TTextPositions {
 public:
  explicit TTextPositions(const TRyxStrings& lines);

  std::size_t OffsetOf(TRowCol position) const;
  // The row holding offset (a row's end belongs to the row after it, except at the end of the text).
  TRowCol PositionOf(std::size_t offset) const;

 private:
  const TRyxStrings& FLines;
};
