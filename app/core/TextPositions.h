// TTextPositions: byte offsets into an editor's whole text, to and from row and column.
#pragma once

#include <cstddef>
#include <vector>

class TRyxStrings;

struct TRowCol {
  int Row = 0;
  int Col = 0;
  bool operator==(const TRowCol&) const = default;
};

// A snapshot of where each stored row starts in the text the rows make up
// together; taken again after every change of the text.
class TTextPositions {
 public:
  explicit TTextPositions(const TRyxStrings& lines);

  std::size_t OffsetOf(TRowCol position) const;
  // The row holding offset (a row's end belongs to the row after it, except at the end of the text).
  TRowCol PositionOf(std::size_t offset) const;

 private:
  std::vector<std::size_t> FRowStart;
};
