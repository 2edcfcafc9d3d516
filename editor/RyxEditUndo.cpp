// TRyxEdit: recording changes within the undo budget, undo and redo, and the modified state.
#include <new>
#include <string>
#include <utility>

#include "editor/RyxEdit.h"

void TRyxEdit::SetModified(bool value) {
  if (FModified == value) return;
  FModified = value;
  if (OnChangeModify) OnChangeModify(this, value);
}

void TRyxEdit::ClearUndo() {
  FUndoList.clear();
  FUndoSize = 0;
}

void TRyxEdit::ClearRedo() { FRedoList.clear(); }

void TRyxEdit::ForgetHistory() {
  ClearUndo();
  FUndoTrimmed = true;
}

bool TRyxEdit::PushUndo(TUndoRecord record) {
  const auto n = static_cast<long long>(record.Text.size());
  while (FUndoBuf < FUndoSize + n && !FUndoList.empty()) {
    FUndoSize -= static_cast<int>(FUndoList.back().Text.size());
    FUndoList.pop_back();
    FUndoTrimmed = true;
  }
  if (n > FUndoBuf) {
    FUndoTrimmed = true;
    return false;
  }
  FUndoList.push_front(std::move(record));
  FUndoSize += static_cast<int>(n);
  return true;
}

void TRyxEdit::AddUndo(TUndoKind kind, const std::string& text, int col, int line) {
  if (text.empty()) return;
  SetModified(true);
  if (col == -1 && line == -1) {
    int endLine = 0, endCol = 0;
    OrderedSel(line, col, endLine, endCol);
  }
  if (!FUndoRec || FUndoBuf == 0) {
    // The older records would be replayed at positions this change has moved.
    ForgetHistory();
  } else {
    // Positions are display rows; wrapped text would store logical positions here.
    try {
      PushUndo(TUndoRecord{kind, col, line, text});
    } catch (const std::bad_alloc&) {
      ShowError("Error:OC001");
      ForgetHistory();
    }
  }
  // Undone changes were positioned in the text before this one.
  ClearRedo();
  if (FRedoAnnounced) {
    FRedoAnnounced = false;
    if (OnChangeRedoMode) OnChangeRedoMode(this, false);
  }
}

void TRyxEdit::Undo() {
  if (FUndoList.empty() || FUndoBuf == 0) return;
  Replay(FUndoList, FRedoList);
  if (!FRedoAnnounced && OnChangeRedoMode) {
    FRedoAnnounced = true;
    OnChangeRedoMode(this, true);
  }
}

void TRyxEdit::Redo() {
  if (FRedoList.empty() || FUndoBuf == 0) return;
  Replay(FRedoList, FUndoList);
  if (FRedoList.empty() && FRedoAnnounced) {
    FRedoAnnounced = false;
    if (OnChangeRedoMode) OnChangeRedoMode(this, false);
  }
}

void TRyxEdit::MoveRecord(TUndoList& from, TUndoList& to, TUndoKind kind) {
  TUndoRecord moved = std::move(from.front());
  from.pop_front();
  if (&from == &FUndoList) FUndoSize -= static_cast<int>(moved.Text.size());
  moved.Kind = kind;
  try {
    if (&to == &FUndoList)
      PushUndo(std::move(moved));
    else
      to.push_front(std::move(moved));
  } catch (const std::bad_alloc&) {
    ShowError("Error:OC001_2");
    // The records behind a gap would be replayed at positions that no longer hold.
    if (&to == &FUndoList)
      ForgetHistory();
    else
      ClearRedo();
  }
}

bool TRyxEdit::RestoreAtCaret(const TUndoRecord& record) {
  FCaretLine = record.Line;
  FCaretCol = record.Col;
  const int count = FLines.Count();
  SpliceAtCaret(record.Text);
  FCaretLine = record.Line;
  FCaretCol = record.Col;
  FCaretX = TextXOfColumn(std::string(FLines.Get(FCaretLine)), FCaretCol) - FScrollX;
  FCaretY = (FCaretLine - FTopLine) * FLineHeight;
  return FLines.Count() != count;
}

void TRyxEdit::ReplayInsert(const TUndoRecord& head, TUndoList& from, TUndoList& to) {
  // The inserted bytes run on across rows, each giving up to its end, line break included;
  // an end at the very end of a row is the start of the next one.
  int line = head.Line;
  int col = head.Col;
  int left = static_cast<int>(head.Text.size());
  for (;;) {
    const int room = static_cast<int>(FLines.Get(line).size()) - col;
    if (left < room) {
      col += left;
      break;
    }
    left -= room;
    ++line;
    col = 0;
    if (left == 0) break;
  }
  FSelStartLine = head.Line;
  FSelStartCol = head.Col;
  FSelEndLine = line;
  FSelEndCol = col;
  FUndoReplay = true;
  DeleteSelection(false);
  MoveRecord(from, to, ukDelete);
  // What the insertion replaced goes back in the same step.
  if (!from.empty() && from.front().Line == head.Line && from.front().Col == head.Col) {
    const TUndoRecord& replaced = from.front();
    if (replaced.Kind == ukDelete) {
      FUndoReplay = true;
      InsertAtCaret(replaced.Text, false);
      MoveRecord(from, to, ukInsert);
    } else if (replaced.Kind == ukOverwrite) {
      FUndoReplay = true;
      RestoreAtCaret(replaced);
      MoveRecord(from, to, ukInsert);
    }
  }
  if (!SetCaret(FCaretCol, FCaretLine, true, true)) {
    if (!FUndoReplay)
      UpdateHScrollRange(true);
    else if (UpdateVScrollRange(true))
      PaintScreen();
    else
      RepaintLines(3, head.Line, 0);
    UpdateCaretPos();
  }
  FUndoReplay = false;
}

void TRyxEdit::Replay(TUndoList& from, TUndoList& to) {
  ClearSelection();
  EraseCaretUnderline();
  Host().HideCaret();
  const TUndoRecord head = from.front();
  // Positions are display rows; wrapped text would convert them from logical positions here.
  switch (head.Kind) {
    case ukInsert:
      ReplayInsert(head, from, to);
      break;
    case ukDelete:
    case ukBackDelete:
      FCaretLine = head.Line;
      FCaretCol = head.Col;
      InsertAtCaret(head.Text, true);
      MoveRecord(from, to, ukInsert);
      break;
    case ukForwardDelete:
    case ukOverwrite: {
      const bool split = RestoreAtCaret(head);
      if (!SetCaret(FCaretCol, FCaretLine, true, true)) {
        if (UpdateVScrollRange(true)) {
          PaintScreen();
        } else if (split) {
          RepaintLines(2, 0, 0);
        } else {
          RepaintRowFrom(FCaretLine, FCaretX);
          DrawUnderline(FCaretLine, true);
        }
        UpdateHScrollRange(true);
        UpdateCaretPos();
      }
      CollapseSelection();
      MoveRecord(from, to, ukInsert);
      break;
    }
  }
  Host().ShowCaret();
  SetModified(!FUndoList.empty() || FUndoTrimmed);
  if (OnChange) OnChange(this);
}
