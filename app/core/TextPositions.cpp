// TTextPositions: the row start table and the two conversions.
#include "app/core/TextPositions.h"

#include <algorithm>

#include "editor/Ryxstrings.h"

TTextPositions::TTextPositions(const TRyxStrings& lines) {
  FRowStart.reserve(static_cast<std::size_t>(lines.Count()));
  std::size_t start = 0;
  for (int row = 0; row < lines.Count(); ++row) {
    FRowStart.push_back(start);
    start += lines.Get(row).size();
  }
  if (FRowStart.empty()) FRowStart.push_back(0);
}

std::size_t TTextPositions::OffsetOf(TRowCol position) const {
  const auto row = static_cast<std::size_t>(std::clamp(position.Row, 0, static_cast<int>(FRowStart.size()) - 1));
  return FRowStart[row] + static_cast<std::size_t>(std::max(position.Col, 0));
}

TRowCol TTextPositions::PositionOf(std::size_t offset) const {
  const auto after = std::upper_bound(FRowStart.begin(), FRowStart.end(), offset);
  const auto row = static_cast<std::size_t>(after - FRowStart.begin()) - 1;
  return {static_cast<int>(row), static_cast<int>(offset - FRowStart[row])};
}
