// TRyxEdit: the selection as positions, its text, and setting it from outside.
#include <algorithm>
#include <utility>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"

void TRyxEdit::ClearSelection() {
  const bool window = HandleAllocated();
  if (window) Host().HideCaret();
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
        const std::string& text = FLines.Get(row);
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
  if (window) Host().ShowCaret();
  FSelStartLine = FSelEndLine = FSelPaintLine = FCaretLine;
  FSelStartCol = FSelEndCol = FSelPaintCol = FCaretCol;
  if (window) DrawUnderline(FCaretLine, true);
}

std::string TRyxEdit::GetSelText() const {
  if (FSelAll) return GetAllText();
  if (!FSelActive) return {};
  std::pair<int, int> from{FSelStartLine, FSelStartCol};
  std::pair<int, int> to{FSelEndLine, FSelEndCol};
  if (to < from) std::swap(from, to);
  std::string text;
  for (int line = from.first; line <= to.first && line < FLines.Count(); ++line) {
    const std::string& row = FLines.Get(line);
    const std::string content = StripEndMarker(row);
    const std::size_t begin = line == from.first ? std::min<std::size_t>(from.second, content.size()) : 0;
    const std::size_t end = line == to.first ? std::min<std::size_t>(to.second, content.size()) : content.size();
    if (end > begin) text.append(content, begin, end - begin);
  }
  return text;
}

int TRyxEdit::GetSelLength() const { return static_cast<int>(GetSelText().size()); }

void TRyxEdit::SetSel(int anchorCol, int anchorLine, int caretLine, int caretCol) {
  ClearSelection();
  if (FShowUnderLine && HandleAllocated()) DrawUnderline(FUnderlineLine, false);
  const int last = FLines.Count() - 1;
  anchorLine = std::clamp(anchorLine, 0, last);
  caretLine = std::clamp(caretLine, 0, last);
  FSelStartLine = FSelPaintLine = anchorLine;
  FSelStartCol = FSelPaintCol = anchorCol;
  FCaretLine = caretLine;
  FCaretCol = caretCol;
  const std::string& row = FLines.Get(caretLine);
  if (HasLineEnd(row) && caretCol == static_cast<int>(row.size()) && caretLine < last) {
    FCaretLine = caretLine + 1;
    FCaretCol = 0;
  }
  FSelEndLine = FCaretLine;
  FSelEndCol = FCaretCol;
  FSelActive = true;
  if (HandleAllocated()) {
    Host().HideCaret();
    PaintSelectionRows(std::max(FTopLine, std::min(FSelStartLine, FSelEndLine)),
                       std::min(FTopLine + FVisibleLines - 1, std::max(FSelStartLine, FSelEndLine)));
    Host().ShowCaret();
    SetCaret(FCaretCol, FCaretLine, true, false);
  }
}

void TRyxEdit::CopyToClipboard() {
  if (FCaretScrollFix) SetCaret(FCaretCol, FCaretLine, true, false);
  if (!FSelActive && !FSelAll) return;
  if (!Host().SetClipboardText(GetSelText())) ShowError("Error:OC002");
}
