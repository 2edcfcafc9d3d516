// TRyxEdit: text drag-and-drop: starting a drag from the selection, marking the drop point, moving or copying the text there.
#include <algorithm>
#include <compare>
#include <string>

#include "editor/RyxEdit.h"

namespace {

// Where a drop point outside the dragged text lands once that text, from
// start to end, has been taken out. Text that ends with a line break ends
// just past it, at the end of its last line; the line after it then
// continues the start line, so a point on it keeps its place in what
// follows the break, whether the text spans one line or several.
TLogicalPos DropPointAfterRemoval(TLogicalPos drop, TLogicalPos start, TLogicalPos end, bool endsWithBreak) {
  if (drop < start) return drop;
  if (endsWithBreak && drop.Line == end.Line + 1) return {start.Line, start.Col + drop.Col};
  if (!endsWithBreak && drop.Line == end.Line) return {start.Line, start.Col + drop.Col - end.Col};
  const int removedBreaks = end.Line - start.Line + (endsWithBreak ? 1 : 0);
  return {drop.Line - removedBreaks, drop.Col};
}

}  // namespace

bool TRyxEdit::CaretInSelection(int& startCol, int& startLine, int& endLine, int& endCol) const {
  if (!GetSelBounds(startCol, startLine, endLine, endCol)) return false;
  const TDisplayPos caret{FCaretLine, FCaretCol};
  return TDisplayPos{startLine, startCol} <= caret && caret <= TDisplayPos{endLine, endCol};
}

void TRyxEdit::StartDragFromPress() {
  if (FDragMode == TDragMode::dmAutomatic) {
    BeginDrag(GetSelText());
    return;
  }
  // A manual drag is the handler's to begin; without a handler the press is an ordinary one.
  bool canDrag = static_cast<bool>(OnManualStartDrag);
  if (OnManualStartDrag) OnManualStartDrag(this, GetSelText(), canDrag);
  if (!canDrag) ClearSelection();
}

void TRyxEdit::DoStartDrag() {
  TCustomControl::DoStartDrag();
  BeginTextDrag();
  Host().SetDragCursor(FDragCursor);
}

void TRyxEdit::BeginTextDrag() {
  FDragging = true;
  FSavedDragCursor = FDragCursor;
  FMouseSelecting = true;
  FSavedCaretScrollFix = FCaretScrollFix;
  // Scrolls during the drag must carry the caret, the drop point, along.
  FCaretScrollFix = false;
  FDragSelCol = FSelPaintCol;
  FDragSelLine = FSelPaintLine;
}

void TRyxEdit::SwitchDragCursor(UINT msg) {
  const bool ctrl = Host().GetKeyState(VK_CONTROL) < 0;
  TCursor wanted = FDragCursor;
  if (msg == WM_KEYDOWN && ctrl) wanted = crDragCopy;
  if (msg == WM_KEYUP && !ctrl) wanted = FSavedDragCursor;
  if (wanted == FDragCursor) return;
  FDragCursor = wanted;
  Host().SetDragCursor(wanted);
}

void TRyxEdit::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  TCustomControl::DragOver(Source, X, Y, State, Accept);
  if (Source == this) {
    if (State == TDragState::dsDragMove) TrackMouse(X, Y);
    Accept = true;
    return;
  }
  // Text from another program: the caret shows where it would go, and goes
  // back where it was when the drag leaves.
  Accept = !FReadOnly && dynamic_cast<TTextDragObject*>(Source) != nullptr;
  if (!Accept) return;
  if (State == TDragState::dsDragLeave) {
    CancelTextDrag();
    FinishDrag();
    return;
  }
  if (!FDragging) BeginTextDrag();
  TrackMouse(X, Y);
}

void TRyxEdit::DragDrop(TObject* Source, int X, int Y) {
  TCustomControl::DragDrop(Source, X, Y);
  // The control's own text is dropped when its drag ends, in DoEndDrag.
  auto* foreign = dynamic_cast<TTextDragObject*>(Source);
  if (Source == this || !foreign) return;
  FinishDrag();
  if (!FReadOnly) DropForeignText(foreign->Text);
}

void TRyxEdit::DoEndDrag(TObject* Target, int X, int Y) {
  TCustomControl::DoEndDrag(Target, X, Y);
  // Another program took the text (it gets a copy), or nothing did: the text stays as it is.
  if (Target == this)
    DropText(GetSelText());
  else
    CancelTextDrag();
  FinishDrag();
}

void TRyxEdit::DropText(const std::string& Text) {
  FMouseSelecting = false;
  int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
  const bool inSelection = CaretInSelection(startCol, startLine, endLine, endCol);
  if (inSelection || FReadOnly) {
    ClearSelection();
    return;
  }
  const bool copy = Host().GetKeyState(VK_CONTROL) < 0;
  // The removal rewraps the rows around it: the drop point is corrected in
  // lines of the text, which a rewrap leaves alone, and found again in the rows.
  TLogicalPos drop = ToLogical({FCaretLine, FCaretCol});
  const TLogicalPos start = ToLogical({startLine, startCol});
  const TLogicalPos end = ToLogical({endLine, endCol});
  {
    const TEditScope edit(*this);
    if (copy) {
      ClearSelection();
    } else {
      DeleteSelection(false);
      const bool endsWithBreak = Text.size() >= 2 && Text.compare(Text.size() - 2, 2, "\r\n") == 0;
      drop = DropPointAfterRemoval(drop, start, end, endsWithBreak);
    }
    const TDisplayPos at = ToDisplay(drop);
    FCaretLine = at.Line;
    FCaretCol = at.Col;
    AddUndo(ukInsert, Text, FCaretCol, FCaretLine);
    InsertAtCaret(Text, false);
  }
}

void TRyxEdit::DropForeignText(std::string Text) {
  // Plain text ends at its first NUL; inside a row a NUL would read as the end of the text.
  Text.resize(std::min(Text.size(), Text.find('\0')));
  if (Text.empty()) return;
  const TEditScope edit(*this);
  ClearSelection();
  AddUndo(ukInsert, Text, FCaretCol, FCaretLine);
  InsertAtCaret(Text, true);
}

void TRyxEdit::CancelTextDrag() {
  if (!FDragging) return;
  FMouseSelecting = false;
  SetCaret(FDragSelCol, FDragSelLine, true, !FSelActive && !FSelAll);
}

void TRyxEdit::FinishDrag() {
  if (!FDragging) return;
  FMouseSelecting = FDragging = false;
  FAutoScrollDir = 0;
  FKeyScrollCount = 0;
  FCaretScrollFix = FSavedCaretScrollFix;
  if (FDragCursor != FSavedDragCursor) {
    FDragCursor = FSavedDragCursor;
    Host().SetDragCursor(FDragCursor);
  }
}
