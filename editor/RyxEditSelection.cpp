// TRyxEdit: the selection as positions, its text, and setting it from outside.
#include <algorithm>
#include <optional>
#include <utility>

#include "editor/RyxEdit.h"
#include "editor/RyxEditCaretGuard.h"
#include "editor/RyxEditSub.h"

void TRyxEdit::ClearSelection() {
  const bool window = HandleAllocated();
  std::optional<TCaretHidden> hidden;
  if (window) hidden.emplace(Host());
  if (FSelAll || FSelActive) {
    const bool all = FSelAll;
    FSelAll = FSelActive = false;
    if (window && all) {
      PaintLineRange(FTopLine, std::min(FLines.Count() - 1, FTopLine + FVisibleLines - 1));
    } else if (window) {
      // Only the span that was selected, from its start column to its end column.
      std::pair<int, int> from{FSelStartLine, FSelStartCol};
      std::pair<int, int> to{FSelEndLine, FSelEndCol};
      if (to < from) std::swap(from, to);
      const int last = std::min({to.first, FLines.Count() - 1, FTopLine + FVisibleLines - 1});
      for (int row = std::max(from.first, FTopLine); row <= last; ++row) {
        const std::string text(FLines.Get(row));
        PaintLineSegment(row, row == from.first ? from.second : 0, text, false,
                         row == to.first ? to.second : static_cast<int>(text.size()));
      }
    }
    if (OnSelectionChange) OnSelectionChange(this);
    FLastCaretCol = FCaretCol;
    FLastCaretLine = FCaretLine;
    FLastCaretX = FCaretX;
  }
  if (window && !FInVScroll)
    FireUserClientDraw(std::min(FSelStartLine, FSelEndLine), std::max(FSelStartLine, FSelEndLine));
  CollapseSelection();
  if (window) DrawUnderline(FCaretLine, true);
}

void TRyxEdit::OrderedSel(int& startLine, int& startCol, int& endLine, int& endCol) const {
  // Ends are offsets into the text: a line within it, a column up to the
  // line's whole length (the start of the next line) but never into the
  // end-of-text marker, whose bytes are not text.
  auto limit = [this](int line, int col) {
    line = std::clamp(line, 0, FLines.Count() - 1);
    const std::string_view row = FLines.Get(line);
    return std::pair<int, int>{line, std::clamp(col, 0, static_cast<int>(row.size()) - (HasEndMarker(row) ? 2 : 0))};
  };
  std::pair<int, int> from = limit(FSelStartLine, FSelStartCol);
  std::pair<int, int> to = limit(FSelEndLine, FSelEndCol);
  if (to < from) std::swap(from, to);
  startLine = from.first;
  startCol = from.second;
  endLine = to.first;
  endCol = to.second;
}

// Reads the anchor and the moving end, not the flags: SelectAll sets both ends,
// and undo selects the text it removes without showing a selection.
std::string TRyxEdit::GetSelText() const {
  int sl = 0, sc = 0, el = 0, ec = 0;
  OrderedSel(sl, sc, el, ec);
  return TextBetween({sl, sc}, {el, ec});
}

std::string TRyxEdit::TextBetween(TDisplayPos from, TDisplayPos to) const {
  const auto at = [](int col) { return static_cast<std::size_t>(col); };
  if (from.Line == to.Line) return std::string(FLines.Get(from.Line).substr(at(from.Col), at(to.Col - from.Col)));
  std::string text(FLines.Get(from.Line).substr(at(from.Col)));
  for (int line = from.Line + 1; line < to.Line; ++line) text += FLines.Get(line);
  text.append(FLines.Get(to.Line), 0, at(to.Col));
  return text;
}

std::string TRyxEdit::SelText() const { return FSelActive || FSelAll ? GetSelText() : std::string(); }

int TRyxEdit::GetSelLength() const { return static_cast<int>(GetSelText().size()); }

void TRyxEdit::SetSel(int anchorCol, int anchorLine, int caretLine, int caretCol) {
  ClearSelection();
  EraseCaretUnderline();
  // Both ends land on the text, never inside a line break, the end marker or a character.
  SettlePosition(anchorLine, anchorCol);
  SettlePosition(caretLine, caretCol);
  FSelStartLine = anchorLine;
  FSelStartCol = anchorCol;
  // The selection is painted up to the caret, so that the next extension repaints from there.
  FCaretLine = FSelEndLine = FSelPaintLine = caretLine;
  FCaretCol = FSelEndCol = FSelPaintCol = caretCol;
  FSelActive = true;
  if (HandleAllocated()) {
    {
      const TCaretHidden hidden(Host());
      PaintSelectionRows(std::max(FTopLine, std::min(FSelStartLine, FSelEndLine)),
                         std::min(FTopLine + FVisibleLines - 1, std::max(FSelStartLine, FSelEndLine)));
    }
    SetCaret(FCaretCol, FCaretLine, true, false);
  }
  // The caret may not have moved, so the caret's own notice may not come.
  if (OnSelectionChange) OnSelectionChange(this);
}

void TRyxEdit::MoveCaretTo(int line, int col) {
  SettlePosition(line, col);
  ClearSelection();
  FMayMovePixels = true;
  SetCaret(col, line, true, true);
  FMayMovePixels = false;
}

void TRyxEdit::EraseCaretUnderline() {
  if (FShowUnderLine && HandleAllocated()) DrawUnderline(FUnderlineLine, false);
}

void TRyxEdit::CollapseSelection() {
  FSelStartLine = FSelEndLine = FSelPaintLine = FCaretLine;
  FSelStartCol = FSelEndCol = FSelPaintCol = FCaretCol;
}

bool TRyxEdit::GetSelBounds(int& startCol, int& startLine, int& endLine, int& endCol) const {
  if (FSelAll) {
    startCol = startLine = 0;
    endLine = FLines.Count() - 1;
    endCol = static_cast<int>(FLines.Get(endLine).size()) - 2;
    return true;
  }
  if (!FSelActive) {
    startCol = endCol = FCaretCol;
    startLine = endLine = FCaretLine;
    return false;
  }
  OrderedSel(startLine, startCol, endLine, endCol);
  // An end at the start of a row means the row above ends with its line break.
  if (endCol == 0 && endLine > 0) {
    --endLine;
    endCol = static_cast<int>(FLines.Get(endLine).size());
  }
  return true;
}

void TRyxEdit::SelectAll() {
  if (FLines.Get(0) == kEndMarker) return;
  // A mouse selection under way ends: the button held no longer moves the selection.
  EndMouseSelection();
  EraseCaretUnderline();
  FSelAll = true;
  FSelActive = false;
  const bool window = HandleAllocated();
  if (window) {
    const TCaretHidden hidden(Host());
    PaintAllSelected();
  }
  FSelStartLine = FSelStartCol = 0;
  FSelEndLine = FLines.Count() - 1;
  FSelEndCol = static_cast<int>(FLines.Get(FSelEndLine).size()) - 2;
  if (OnSelectionChange) OnSelectionChange(this);
  FLastCaretCol = FCaretCol;
  FLastCaretLine = FCaretLine;
  FLastCaretX = FCaretX;
  if (window) FireUserClientDraw(FTopLine, std::min(FLines.Count(), FTopLine + FVisibleLines) - 1);
}
