// TRyxEdit: text drag-and-drop: starting a drag from the selection, marking the drop point, moving or copying the text there.
#include <algorithm>
#include <compare>
#include <string>

#include "editor/RyxEdit.h"

namespace {

// Where a drop point after the dragged text lands once that text, from
// start to end, has been taken out. All three name each place in the text
// once (the end of a line with its break is the next line's start): what
// follows the end on its line continues the start line.
TLogicalPos DropPointAfterRemoval(TLogicalPos drop, TLogicalPos start, TLogicalPos end) {
  if (drop < start) return drop;
  if (drop.Line == end.Line) return {start.Line, start.Col + drop.Col - end.Col};
  return {drop.Line - (end.Line - start.Line), drop.Col};
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

TLogicalPos TRyxEdit::PlaceInText(TDisplayPos pos) const {
  // The end of a row is the next row's start: of the next piece of a wrapped
  // line, or, past a line break, of the next line.
  while (pos.Line + 1 < FLines.Count()) {
    const int size = static_cast<int>(FLines.Get(pos.Line).size());
    if (pos.Col < size) break;
    pos.Col -= size;
    ++pos.Line;
  }
  return ToLogical(pos);
}

void TRyxEdit::DropText(const std::string& Text) {
  FMouseSelecting = false;
  int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
  const bool selected = GetSelBounds(startCol, startLine, endLine, endCol);
  // The removal rewraps the rows around it: the drop point is corrected in
  // lines of the text, which a rewrap leaves alone, and found again in the rows.
  TLogicalPos drop = PlaceInText({FCaretLine, FCaretCol});
  const TLogicalPos start = PlaceInText({startLine, startCol});
  const TLogicalPos end = PlaceInText({endLine, endCol});
  // A drop on either end of the selection is a drop on it, whichever row it was aimed at.
  if (!selected || (start <= drop && drop <= end) || FReadOnly) {
    ClearSelection();
    return;
  }
  const bool copy = Host().GetKeyState(VK_CONTROL) < 0;
  {
    const TEditScope edit(*this);
    if (copy) {
      ClearSelection();
    } else {
      DeleteSelection(false);
      drop = DropPointAfterRemoval(drop, start, end);
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
  // The selection is painted up to the caret again, not to the last drop point.
  FSelPaintCol = FCaretCol;
  FSelPaintLine = FCaretLine;
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
