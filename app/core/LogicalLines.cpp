// TLogicalLines: logical lines from the store's per-block counts, and cells within a line.
#include "app/core/LogicalLines.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "editor/RyxEditRowLayout.h"
#include "editor/RyxEditRowTabs.h"
#include "editor/RyxEditSub.h"
#include "editor/Ryxstrings.h"
#include "platform/LeadByte.h"

namespace {

// The cells after text that starts at cell `cells` of its line. From a tab
// stop the tab walk of the row layout counts them without reading every
// byte; elsewhere (a soft-wrapped piece that starts between stops) byte by byte.
int CellsAfter(std::string_view text, int cells, int tabCount, const std::vector<TTabStop>* tabs) {
  if (cells % tabCount == 0)
    return cells + TRowLayout(text, tabCount, false, nullptr, tabs).ExpandedColumn(static_cast<int>(text.size()));
  const int end = static_cast<int>(text.size());
  for (int i = 0; i < end; ++i) {
    const auto byte = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
    if (byte == '\t') {
      cells += tabCount - cells % tabCount;
    } else if (IsDBCSLeadByte(byte) && i + 1 < end) {
      cells += 2;
      ++i;
    } else {
      ++cells;
    }
  }
  return cells;
}

}  // namespace

TLogicalLines::TLogicalLines(const TRyxStrings& lines, int tabCount, bool softWrapped, TLongRowTabs* tabs)
    : FLines(lines), FTabCount(std::max(tabCount, 1)), FSoftWrapped(softWrapped), FTabs(tabs) {}

int TLogicalLines::Count() const {
  if (!FSoftWrapped) return std::max(FLines.Count(), 1);
  return FLines.LogicalLineOf(std::max(FLines.Count() - 1, 0)) + 1;
}

int TLogicalLines::RowOfLine(int line) const {
  const int last = std::max(FLines.Count() - 1, 0);
  if (!FSoftWrapped) return std::clamp(line - 1, 0, last);
  return std::clamp(FLines.FirstIndexOfLogicalLine(std::max(line - 1, 0)), 0, last);
}

int TLogicalLines::LineOf(int row) const {
  if (FLines.Count() == 0) return 1;
  row = std::clamp(row, 0, FLines.Count() - 1);
  return FSoftWrapped ? FLines.LogicalLineOf(row) + 1 : row + 1;
}

TLinePlace TLogicalLines::PlaceOf(int row, int col) const {
  TLinePlace place;
  if (FLines.Count() == 0) return place;
  row = std::clamp(row, 0, FLines.Count() - 1);
  place.Line = LineOf(row);
  const int first = FSoftWrapped ? FLines.FirstIndexOfLogicalLine(place.Line - 1) : row;
  int cells = 0;
  for (int r = first; r <= row; ++r) {
    const std::string_view text = FLines.Get(r);
    const int end = r == row ? std::min(col, ContentLength(text)) : ContentLength(text);
    // The tabs kept are those of the stored row from its start; the prefix before end maps through them.
    const std::vector<TTabStop>* tabs = FTabs ? FTabs->For(text, FLines.Revision(), FTabCount, false) : nullptr;
    cells = CellsAfter(text.substr(0, static_cast<std::size_t>(std::max(end, 0))), cells, FTabCount, tabs);
  }
  place.Column = cells + 1;
  return place;
}
