// TRyxEdit: the selection after a caret move, and its incremental repaint as the moving end goes.
#include <algorithm>
#include <utility>

#include "editor/RyxEdit.h"

void TRyxEdit::UpdateSelectionAfterMove() {
  const bool extending = Host().GetKeyState(VK_SHIFT) < 0 || FMouseSelecting;
  // A scroll-bar scroll keeps the whole-text selection.
  const bool stays = FInVScroll && FSelAll && !FKeyScroll;
  if (!extending && !stays) {
    ClearSelection();
  } else if (FDragging || FSelAll) {
    FSelPaintCol = FSelEndCol;
    FSelPaintLine = FSelEndLine;
    ExtendSelection(FSelEndCol, FSelEndLine);
  } else {
    EraseCaretUnderline();
    FSelActive = true;
    ExtendSelection(FCaretCol, FCaretLine);
  }
}

void TRyxEdit::RepaintSelectionSpan(int row, int fromCol, int toCol, int endLine, int endCol) {
  if (fromCol >= toCol || row < FTopLine || row > FTopLine + FVisibleLines - 1) return;
  const std::string text(FLines.Get(row));
  const std::pair<int, int> anchor{FSelStartLine, FSelStartCol};
  const std::pair<int, int> end{endLine, endCol};
  // Named pairs rather than a structured binding, which clang 14 cannot capture in the lambda.
  const std::pair<int, int> low = std::min(anchor, end);
  const std::pair<int, int> high = std::max(anchor, end);
  auto paint = [&](int from, int to) {
    const std::pair<int, int> at{row, from};
    PaintLineSegment(row, from, text, low <= at && at < high, to);
  };
  if (row == FSelStartLine && fromCol < FSelStartCol && FSelStartCol < toCol) {
    paint(fromCol, FSelStartCol);
    paint(FSelStartCol, toCol);
  } else {
    paint(fromCol, toCol);
  }
}

void TRyxEdit::ExtendSelection(int Col, int Line) {
  auto lengthOf = [this](int row) { return static_cast<int>(FLines.Get(row).size()); };
  if (Line > FSelPaintLine) {
    RepaintSelectionSpan(FSelPaintLine, FSelPaintCol, lengthOf(FSelPaintLine), Line, Col);
    for (int row = FSelPaintLine + 1; row < Line; ++row) RepaintSelectionSpan(row, 0, lengthOf(row), Line, Col);
    RepaintSelectionSpan(Line, 0, Col, Line, Col);
  } else if (Line == FSelPaintLine) {
    RepaintSelectionSpan(Line, std::min(FSelPaintCol, Col), std::max(FSelPaintCol, Col), Line, Col);
  } else {
    RepaintSelectionSpan(FSelPaintLine, 0, FSelPaintCol, Line, Col);
    for (int row = Line + 1; row < FSelPaintLine; ++row) RepaintSelectionSpan(row, 0, lengthOf(row), Line, Col);
    RepaintSelectionSpan(Line, Col, lengthOf(Line), Line, Col);
  }
  // The rows repainted above lose what the owner drew over them (the guides):
  // the owner draws them again, also where the selection shrank.
  if (HandleAllocated() && (Line != FSelPaintLine || Col != FSelPaintCol))
    FireUserClientDraw(std::min(Line, FSelPaintLine), std::max(Line, FSelPaintLine));
  FSelPaintCol = FSelEndCol = Col;
  FSelPaintLine = FSelEndLine = Line;
}
