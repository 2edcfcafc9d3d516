// TRyxEdit: the keys that delete (Delete, Backspace and their word forms), Tab and the Convert key's reconversion.
#include <string>
#include <utility>

#include "editor/RyxEdit.h"
#include "editor/RyxEditCaretGuard.h"
#include "editor/RyxEditSub.h"

bool TRyxEdit::RemoveCharAtCaret(TUndoKind kind) {
  const TCaretHidden hidden(Host());
  TDisplayPos at{FCaretLine, FCaretCol};
  // After the last character of a soft-wrapped piece comes the first of the next piece.
  if (const std::string_view piece = FLines.Get(at.Line);
      !HasLineEnd(piece) && at.Col >= static_cast<int>(piece.size()) && at.Line + 1 < FLines.Count())
    at = TDisplayPos{at.Line + 1, 0};
  const std::string_view row = FLines.Get(at.Line);
  const int content = ContentLength(row);
  // The end-of-text marker is never removed.
  if (at.Col > content || (at.Col == content && at.Line + 1 >= FLines.Count())) return false;
  EraseCaretUnderline();
  const TEditScope edit(*this);
  if (at.Col == content) {
    // A line break joins the next line to this one.
    AddUndo(kind, "\r\n", at.Col, at.Line);
    ChangeText(at, {at.Line + 1, 0}, "");
  } else {
    // A lead byte takes its trail byte along, but never a byte of the line's terminator.
    const int size = CharSizeAt(row, at.Col);
    AddUndo(kind, std::string(row.substr(static_cast<std::size_t>(at.Col), static_cast<std::size_t>(size))), at.Col,
            at.Line);
    ChangeText(at, {at.Line, at.Col + size}, "");
  }
  // From the row's start: a link may end anywhere before the removed byte.
  FOpen.XFrom = 0;
  return true;
}

void TRyxEdit::DeleteCharRight() {
  const TEditScope edit(*this);
  if (FCaretScrollFix) ScrollCaretIntoView(true);
  if (FSelActive || FSelAll) {
    DeleteSelection(true);
  } else if (!RemoveCharAtCaret(ukForwardDelete)) {
    return;
  }
}

void TRyxEdit::DeleteCharLeft() {
  const TEditScope edit(*this);
  if (FCaretScrollFix) ScrollCaretIntoView(true);
  if (FSelActive || FSelAll) {
    DeleteSelection(true);
  } else {
    if (FCaretLine == 0 && FCaretCol == 0) return;
    MoveCaretLeft(false);
    // The move is part of the deletion: with Shift or the mouse button held it
    // has drawn out a selection that must not outlive the character.
    if (FSelActive) ClearSelection();
    CollapseSelection();
    if (!RemoveCharAtCaret(ukBackDelete)) return;
  }
}

void TRyxEdit::DeleteWordRight() {
  const TEditScope edit(*this);
  if (FCaretScrollFix) ScrollCaretIntoView(true);
  if (FSelActive) {
    DeleteSelection(true);
    return;
  }
  // Ctrl+Delete never deletes the whole text at once.
  if (FSelAll) ClearSelection();
  // At the end of a soft-wrapped piece the word to delete starts the next piece.
  if (const std::string_view piece = FLines.Get(FCaretLine);
      !HasLineEnd(piece) && FCaretCol >= static_cast<int>(piece.size()) && FCaretLine + 1 < FLines.Count()) {
    ++FCaretLine;
    FCaretCol = 0;
  }
  const std::string_view row = FLines.Get(FCaretLine);
  if (FCaretCol >= static_cast<int>(row.size())) return;
  const int content = static_cast<int>(StripLineEnd(row).size());
  const char first = row[static_cast<std::size_t>(FCaretCol)];
  const bool lead = ByteTypeAt(row, FCaretCol + 1, FSingleByteMode) == kLeadByte;
  // A tab, a line break, the end of the text and a lead byte cut off by the
  // line end (the scan would pair it with the CR) go as Delete takes them.
  if (FCaretCol >= content || (lead && FCaretCol + 2 > content) ||
      (!lead && (first == '\r' || first == '\t' || first == '\0'))) {
    DeleteCharRight();
    return;
  }
  SelectFromCaretTo(ScanWord(true));
  DeleteSelection(true);
}

void TRyxEdit::SelectFromCaretTo(TDisplayPos To) {
  FSelStartLine = FCaretLine;
  FSelStartCol = FCaretCol;
  FSelEndLine = To.Line;
  FSelEndCol = To.Col;
}

void TRyxEdit::DeleteWordLeft() {
  const TEditScope edit(*this);
  if (FCaretScrollFix) ScrollCaretIntoView(true);
  if (FCaretLine == 0 && FCaretCol == 0) return;
  if (FSelActive) {
    DeleteSelection(true);
    return;
  }
  if (FSelAll) ClearSelection();
  // The scan passes no tab and no line break; those go as Backspace takes them.
  if (const TDisplayPos start = ScanWord(false); start != TDisplayPos{FCaretLine, FCaretCol}) {
    SelectFromCaretTo(start);
    DeleteSelection(true);
  } else {
    DeleteCharLeft();
    FSelActive = false;
  }
}

void TRyxEdit::InsertTab() {
  const TEditScope edit(*this);
  if (FCaretScrollFix) ScrollCaretIntoView(true);
  if (FSelActive || FSelAll) DeleteSelection(true);
  AddUndo(ukInsert, "\t", FCaretCol, FCaretLine);
  InsertAtCaret("\t", true);
}

void TRyxEdit::StartReconvert() {
  if (FIMEComposing || !OnIMEReConvert || !FSelActive) {
    if (FCaretScrollFix) ScrollCaretIntoView(true);
    return;
  }
  if (FSelStartLine < FCaretLine || (FSelStartLine == FCaretLine && FSelStartCol < FCaretCol)) {
    // The input method reconverts from the caret onwards.
    FSelPaintCol = FCaretCol;
    FSelPaintLine = FCaretLine;
    const int col = FSelStartCol;
    const int line = FSelStartLine;
    FSelStartCol = FCaretCol;
    FSelStartLine = FCaretLine;
    SetCaret(col, line, true, false);
    ExtendSelection(FCaretCol, FCaretLine);
  } else if (FCaretScrollFix) {
    ScrollCaretIntoView(true);
  }
  OnIMEReConvert(this);
}
