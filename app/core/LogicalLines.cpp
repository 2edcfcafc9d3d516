// TLogicalLines: counting line breaks over the rows, and cells within a line.
#include "app/core/LogicalLines.h"

#include <algorithm>
#include <string_view>

#include "editor/RyxEditSub.h"
#include "editor/Ryxstrings.h"
#include "platform/LeadByte.h"

namespace {

bool EndsLine(std::string_view row) { return HasLineEnd(row) && !HasEndMarker(row); }

}  // namespace

TLogicalLines::TLogicalLines(const TRyxStrings& lines, int tabCount, bool softWrapped)
    : FLines(lines), FTabCount(std::max(tabCount, 1)), FSoftWrapped(softWrapped) {}

int TLogicalLines::Count() const {
  if (!FSoftWrapped) return std::max(FLines.Count(), 1);
  int count = 1;
  for (int row = 0; row + 1 < FLines.Count(); ++row) count += EndsLine(FLines.Get(row)) ? 1 : 0;
  return count;
}

int TLogicalLines::RowOfLine(int line) const {
  if (!FSoftWrapped) return std::clamp(line - 1, 0, std::max(FLines.Count() - 1, 0));
  int current = 1;
  for (int row = 0; row + 1 < FLines.Count(); ++row) {
    if (current >= line) return row;
    if (EndsLine(FLines.Get(row))) ++current;
  }
  return std::max(FLines.Count() - 1, 0);
}

TLinePlace TLogicalLines::PlaceOf(int row, int col) const {
  row = std::clamp(row, 0, std::max(FLines.Count() - 1, 0));
  int first = row;
  TLinePlace place;
  if (FSoftWrapped) {
    while (first > 0 && !EndsLine(FLines.Get(first - 1))) --first;
    for (int r = 0; r < first; ++r) place.Line += EndsLine(FLines.Get(r)) ? 1 : 0;
  } else {
    place.Line = row + 1;
  }
  int cells = 0;
  for (int r = first; r <= row && r < FLines.Count(); ++r) {
    const std::string_view text = FLines.Get(r);
    const int end = r == row ? std::min(col, ContentLength(text)) : ContentLength(text);
    for (int i = 0; i < end; ++i) {
      const auto byte = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
      if (byte == '\t') {
        cells += FTabCount - cells % FTabCount;
      } else if (IsDBCSLeadByte(byte) && i + 1 < end) {
        cells += 2;
        ++i;
      } else {
        ++cells;
      }
    }
  }
  place.Column = cells + 1;
  return place;
}
