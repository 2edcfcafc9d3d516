// TTextPositions: the two conversions, answered from the store's byte counts per block.
#include "app/core/TextPositions.h"

#include <algorithm>

#include "editor/Ryxstrings.h"

TTextPositions::TTextPositions(const TRyxStrings& lines) : FLines(lines) {}

std::size_t TTextPositions::OffsetOf(TRowCol position) const {
  const int row = std::clamp(position.Row, 0, std::max(FLines.Count() - 1, 0));
  return FLines.OffsetOfIndex(row) + static_cast<std::size_t>(std::max(position.Col, 0));
}

TRowCol TTextPositions::PositionOf(std::size_t offset) const {
  const int row = std::clamp(FLines.IndexAtOffset(offset), 0, std::max(FLines.Count() - 1, 0));
  return {row, static_cast<int>(offset - std::min(offset, FLines.OffsetOfIndex(row)))};
}
