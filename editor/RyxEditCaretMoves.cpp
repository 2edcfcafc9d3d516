// TRyxEdit: the caret moves of the keys: by character and word, to the line ends, and by lines.
#include <algorithm>
#include <string>

#include "editor/RyxEdit.h"
#include "editor/RyxEditCaretGuard.h"
#include "editor/RyxEditSub.h"


void TRyxEdit::StepCaretLine(int Delta) {
  DrawUnderline(FCaretLine, false);
  FCaretLine += Delta;
  DrawUnderline(FCaretLine, true);
}

void TRyxEdit::MoveCaretByWordTo(TDisplayPos To) {
  const TCaretHidden hidden(Host());
  MoveCaretInView(To.Col, To.Line);
  UpdateSelectionAfterMove();
  UpdateCaretPos();
  FGoalCol = FCaretCol;
}

void TRyxEdit::MoveCaretRight(bool ByWord) {
  if (FCaretScrollFix) ScrollCaretIntoView(true);
  FGoalCol = 0;
  // A view, not a copy: a move along a long line costs what it passes.
  const std::string_view line = FLines.Get(FCaretLine);
  // Only the terminator ends the line: a CR inside the content is a character like any other.
  const bool lineBreak = FCaretCol >= ContentLength(line);
  if (lineBreak && FCaretLine == FLines.Count() - 1) {
    // The end-of-text marker: there is nothing to the right.
    FGoalCol = FCaretCol;
    return;
  }
  std::string passed;
  bool nextRow = lineBreak;
  if (!lineBreak) {
    const int size = CharSizeAt(line, FCaretCol);
    int to = FCaretCol + size;
    if (ByWord && line[static_cast<std::size_t>(FCaretCol)] != '\t') {
      const TDisplayPos end = ScanWord(true);
      if (end.Line != FCaretLine) {
        MoveCaretByWordTo(end);
        return;
      }
      to = end.Col;
    }
    passed = line.substr(static_cast<std::size_t>(FCaretCol), static_cast<std::size_t>(to - FCaretCol));
    FCaretCol = to;
    // The step past the last character of a soft-wrapped piece lands on the next piece's start.
    nextRow = FCaretCol >= static_cast<int>(line.size()) && !HasLineEnd(line) && FCaretLine + 1 < FLines.Count();
  }
  const TCaretHidden hidden(Host());
  if (nextRow) {
    const bool wasScrolled = FScrollX != 0;
    FScrollX = FCaretCol = FCaretX = 0;
    const int from = FCaretLine;
    if (FCaretLine - FTopLine + FOverScroll >= FVisibleLines) Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    // The scroll leaves a caret below the band's first row on its line, and a view
    // at the end does not move at all: the caret still goes on to the next line.
    if (FCaretLine == from) StepCaretLine(1);
    if (wasScrolled) PaintScreen();
  } else if (passed == "\t") {
    FCaretX = TextXOfColumn(line, FCaretCol) - FScrollX;
    if (FTextWidth - FCaretX - FCaretHMargin < 0) Perform(WM_HSCROLL, SB_LINERIGHT, 0);
  } else {
    FCaretX += Canvas().TextWidth(passed);
    // Stops when a step moves nothing, so that a caret beyond the scroll range cannot hold the thread.
    while (FTextWidth - FCaretX - FCaretHMargin < 0) {
      Perform(WM_HSCROLL, SB_LINERIGHT, 0);
      if (FHScrolled == 0) break;
    }
  }
  UpdateSelectionAfterMove();
  UpdateCaretPos();
  FGoalCol = FCaretCol;
}

void TRyxEdit::MoveCaretLeft(bool ByWord) {
  if (FCaretScrollFix) ScrollCaretIntoView(true);
  FGoalCol = 0;
  if (FCaretCol == 0 && FCaretLine == 0) return;
  // A word move from a piece's start goes on into the piece before it.
  const bool softBefore = FCaretCol == 0 && !HasLineEnd(FLines.Get(FCaretLine - 1));
  int wordStart = -1;
  if (ByWord && (FCaretCol > 0 || softBefore)) {
    const TDisplayPos end = ScanWord(false);
    if (end.Line != FCaretLine) {
      MoveCaretByWordTo(end);
      return;
    }
    // The scan passes no tab: then the tab alone is passed below.
    if (end.Col != FCaretCol) wordStart = end.Col;
  }
  const TCaretHidden hidden(Host());
  if (FCaretCol == 0) {
    const int target = FCaretLine - 1;
    if (FCaretLine - FTopLine - FOverScroll > 0) {
      StepCaretLine(-1);
    } else {
      Perform(WM_VSCROLL, SB_LINEUP, 0);
      // A scroll that leaves the caret where it was (CaretScrollFix outside a
      // key) or carries it further still ends on the line above.
      if (FCaretLine != target) StepCaretLine(target - FCaretLine);
    }
    const std::string_view line = FLines.Get(FCaretLine);
    const int length = static_cast<int>(line.size());
    // Before the line break, or before the last character of a soft-wrapped row.
    if (HasLineEnd(line))
      FCaretCol = length - 2;
    else if (length >= 2 && ByteTypeAt(line, length - 1, FSingleByteMode) == kLeadByte)
      FCaretCol = length - 2;
    else
      FCaretCol = std::max(0, length - 1);
    const int width = TextXOfColumn(line, FCaretCol);
    const int oldScrollX = FScrollX;
    FScrollX = std::max(0, width - FTextWidth + FCaretHMargin);
    FCaretX = width - FScrollX;
    if (FScrollX != oldScrollX) PaintScreen();
  } else {
    const std::string_view line = FLines.Get(FCaretLine);
    int next = FCaretCol - 1;
    if (wordStart >= 0)
      next = wordStart;
    else if (FCaretCol >= 2 && CharSizeAt(line, FCaretCol - 2) == 2)
      next = FCaretCol - 2;
    const std::string passed(line.substr(static_cast<std::size_t>(next), static_cast<std::size_t>(FCaretCol - next)));
    FCaretCol = next;
    if (passed != "\t")
      FCaretX -= Canvas().TextWidth(passed);
    else
      FCaretX = TextXOfColumn(line, FCaretCol) - FScrollX;
    while (FCaretX < 0 && FScrollX > 0) {
      Perform(WM_HSCROLL, SB_LINELEFT, 0);
      if (FHScrolled == 0) break;
    }
  }
  UpdateSelectionAfterMove();
  UpdateCaretPos();
  FGoalCol = FCaretCol;
}

void TRyxEdit::MoveCaretVert(int Delta) {
  if (FCaretScrollFix) ScrollCaretIntoView(false);
  if (Delta > 0 && FCaretLine - FTopLine + FOverScroll >= FVisibleLines) {
    if (FKeyScrollCount < 0) FKeyScrollCount = 0;
    ++FKeyScrollCount;
    Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    return;
  }
  if (Delta < 0 && FCaretLine - FTopLine - FOverScroll < 0) {
    if (FKeyScrollCount > 0) FKeyScrollCount = 0;
    --FKeyScrollCount;
    Perform(WM_VSCROLL, SB_LINEUP, 0);
    if (FVScrolled == 0) MoveCaretLines(-1);
    return;
  }
  MoveCaretLines(Delta);
}

void TRyxEdit::MoveCaretLines(int Delta) {
  const int last = FLines.Count() - 1;
  if ((Delta < 0 && FCaretLine == 0) || (Delta > 0 && FCaretLine == last)) return;
  // The goal x is measured on the line where the goal column was set, and
  // holds while Up and Down carry the caret on from where they left it.
  if (FGoalCol != FGoalXCol || FCaretLine != FGoalXCaretLine || FCaretCol != FGoalXCaretCol) {
    FGoalXCol = FGoalCol;
    FGoalX = TextXOfColumn(FLines.Get(FCaretLine), FGoalCol);
  }
  const TCaretHidden hidden(Host());
  DrawUnderline(FCaretLine, false);
  FCaretLine = std::clamp(FCaretLine + Delta, 0, last);
  FCaretCol = ColumnAtX(FLines.Get(FCaretLine), FGoalX, FCaretX);
  FGoalXCaretLine = FCaretLine;
  FGoalXCaretCol = FCaretCol;
  if (FCaretX - FScrollX > FTextWidth || (FScrollX != 0 && FCaretX - FScrollX < 0)) {
    FScrollX = std::max(0, FCaretX - FTextWidth + FHScrollStep);
    PaintScreen();
  }
  FCaretX -= FScrollX;
  UpdateSelectionAfterMove();
  UpdateCaretPos();
  DrawUnderline(FCaretLine, true);
}

void TRyxEdit::MoveCaretLineStart() {
  if (FCaretScrollFix) ScrollCaretIntoView(true);
  if (FCaretLine == 0 && FCaretCol == 0) return;
  const TCaretHidden hidden(Host());
  FCaretCol = FCaretX = 0;
  UpdateSelectionAfterMove();
  if (FScrollX != 0) {
    FScrollX = 0;
    PaintScreen();
  }
  FGoalCol = 0;
  UpdateCaretPos();
}

void TRyxEdit::MoveCaretLineEnd() {
  if (FCaretScrollFix) ScrollCaretIntoView(true);
  const std::string content = StripLineEnd(FLines.Get(FCaretLine));
  const int length = static_cast<int>(content.size());
  if (FCaretLine == FLines.Count() - 1 && FCaretCol == length) return;
  const TCaretHidden hidden(Host());
  const int width = TextXOfColumn(content, length);
  const int oldScrollX = FScrollX;
  FScrollX = std::max(0, width - FTextWidth + FCaretHMargin);
  FCaretX = width - FScrollX;
  FCaretCol = length;
  UpdateSelectionAfterMove();
  if (FScrollX != oldScrollX) PaintScreen();
  FGoalCol = FCaretCol;
  UpdateCaretPos();
}
