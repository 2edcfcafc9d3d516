// TRyxEdit: tab expansion and the mapping between byte columns, pixels and client points.
#include <algorithm>

#include "editor/RyxEdit.h"
#include "editor/RyxEditRowLayout.h"
#include "editor/RyxEditSub.h"

std::string TRyxEdit::ExpandTabs(const std::string& s) const { return ExpandTabsOf(s, FTabCount, FSingleByteMode); }

std::string TRyxEdit::ExpandTabsMarked(const std::string& s, TTabMarks& marks) const {
  marks[0] = -1;
  if (FShowTAB) RowLayout(s).TabMarks(static_cast<int>(s.size()), marks);
  return ExpandTabs(s);
}

const ITextMeasurer* TRyxEdit::Measurer() const { return HandleAllocated() ? &Canvas() : nullptr; }

TRowLayout TRyxEdit::RowLayout(std::string_view row) const {
  // The tabs are kept only for a row that lives in the store, so that a
  // copy that once stood at the same address cannot find them.
  const std::vector<TTabStop>* tabs = row.size() >= TLongRowTabs::kLongRow && IsStoredRowNearView(row)
                                          ? FLongRowTabs.For(row, FLines.Revision(), FTabCount, FSingleByteMode)
                                          : nullptr;
  return TRowLayout(row, FTabCount, FSingleByteMode, Measurer(), tabs);
}

bool TRyxEdit::IsStoredRowNearView(std::string_view row) const {
  const auto holds = [&](int index) { return index >= 0 && index < FLines.Count() && FLines.Get(index).data() == row.data(); };
  if (holds(FCaretLine)) return true;
  for (int index = FTopLine; index <= FTopLine + FVisibleLines; ++index)
    if (holds(index)) return true;
  return false;
}

int TRyxEdit::TextXOfColumn(std::string_view line, int col) const { return RowLayout(line).XOfColumn(col); }

int TRyxEdit::ColumnAtX(std::string_view line, int x, int& textX) const {
  std::string_view content = line;
  if (HasLineEnd(content)) content.remove_suffix(2);
  return RowLayout(content).ColumnAtX(x, textX);
}

void TRyxEdit::MoveCaretToPoint(int x, int y) {
  if (!HandleAllocated()) return;
  FSelPaintLine = FCaretLine;
  FSelPaintCol = FCaretCol;
  const int dx = x - FTextLeft;
  const int row = std::max(0, y - FTopMargin) / std::max(1, FLineHeight) + FTopLine;
  FCaretLine = std::max(0, std::min({FTopLine + FVisibleLines - 1, row, FLines.Count() - 1}));
  if (dx < -4) {
    FCaretCol = 0;
    FCaretX = 0;
    FScrollX = 0;
  } else {
    FCaretCol = ColumnAtX(FLines.Get(FCaretLine), dx + FScrollX, FCaretX);
  }
  FGoalCol = FCaretCol;
  // A text area under 3 pixels gives no step to move by; the view then stays where it is.
  if (const int step = FTextWidth / 3; step > 0) {
    while (FTextWidth + FScrollX - FCaretX < 0) FScrollX += step;
    while (FCaretX - FScrollX < 0) FScrollX = std::max(0, FScrollX - step);
  }
  FCaretX -= FScrollX;
}
