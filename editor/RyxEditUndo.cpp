// TRyxEdit: recording changes within the undo budget, undo and redo, and the modified state.
#include <algorithm>
#include <limits>
#include <new>
#include <string>
#include <utility>

#include "editor/RyxEdit.h"
#include "platform/Exceptions.h"

void TRyxEdit::SetModified(bool value) {
  if (FModified == value) return;
  FModified = value;
  if (OnChangeModify) OnChangeModify(this, value);
}

void TRyxEdit::UpdateModified() { SetModified(FUndoTrimmed || FUndoList.size() != FSaveDepth); }

void TRyxEdit::ClearUndo() {
  FUndoList.clear();
  FUndoSize = 0;
  FSaveDepth = 0;
}

void TRyxEdit::ClearRedo() { FRedoList.clear(); }

void TRyxEdit::ForgetHistory() {
  ClearUndo();
  FUndoTrimmed = true;
}

bool TRyxEdit::PushUndo(TUndoRecord record, bool keepOversize) {
  const auto n = static_cast<long long>(record.Size());
  while (FUndoBuf < FUndoSize + n && !FUndoList.empty()) {
    FUndoSize -= static_cast<int>(FUndoList.back().Size());
    FUndoList.pop_back();
    // The saved text lies that much nearer the oldest end, or beyond it.
    if (FSaveDepth > 0)
      --FSaveDepth;
    else
      FUndoTrimmed = true;
  }
  // The size counter is an int: a record beyond it cannot be counted.
  if ((n > FUndoBuf && !keepOversize) || n > std::numeric_limits<int>::max() - FUndoSize) {
    FUndoTrimmed = true;
    return false;
  }
  FUndoList.push_front(std::move(record));
  FUndoSize += static_cast<int>(n);
  return true;
}

void TRyxEdit::AddUndo(TUndoKind kind, const std::string& text, int col, int line) {
  if (text.empty()) return;
  if (col == -1 && line == -1) {
    int endLine = 0, endCol = 0;
    OrderedSel(line, col, endLine, endCol);
  }
  // Positions are display rows; wrapped text would store logical positions here.
  RecordChange(TUndoRecord{kind, col, line, text}, false);
}

void TRyxEdit::RecordChange(TUndoRecord record, bool keepOversize) {
  SetModified(true);
  // The saved text was undone away from; the redo records that lead back to it go now.
  if (FUndoList.size() < FSaveDepth) FUndoTrimmed = true;
  if (!FUndoRec || FUndoBuf == 0) {
    // The older records would be replayed at positions this change has moved.
    ForgetHistory();
  } else {
    try {
      if (!PushUndo(std::move(record), keepOversize) && keepOversize) ForgetHistory();
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

TUndoRecord TRyxEdit::TakeRecord(TUndoList& from) {
  TUndoRecord taken = std::move(from.front());
  from.pop_front();
  if (&from == &FUndoList) FUndoSize -= static_cast<int>(taken.Size());
  return taken;
}

void TRyxEdit::PutRecord(TUndoList& to, TUndoRecord record) {
  const bool wholeText = record.Kind == ukReplace;
  try {
    if (&to == &FUndoList)
      PushUndo(std::move(record), wholeText);
    else
      to.push_front(std::move(record));
  } catch (const std::bad_alloc&) {
    ShowError("Error:OC001_2");
    // The records behind a gap would be replayed at positions that no longer hold.
    if (&to == &FUndoList)
      ForgetHistory();
    else
      ClearRedo();
  }
}

void TRyxEdit::MoveRecord(TUndoList& from, TUndoList& to, TUndoKind kind) {
  TUndoRecord moved = TakeRecord(from);
  moved.Kind = kind;
  PutRecord(to, std::move(moved));
}

bool TRyxEdit::RestoreAtCaret(const TUndoRecord& record) {
  FCaretLine = record.Line;
  FCaretCol = record.Col;
  const bool oneRow = SpliceAtCaret(record.Text);
  FCaretLine = record.Line;
  FCaretCol = record.Col;
  FCaretX = TextXOfColumn(std::string(FLines.Get(FCaretLine)), FCaretCol) - FScrollX;
  FCaretY = (FCaretLine - FTopLine) * FLineHeight;
  return !oneRow;
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

std::size_t TRyxEdit::RowOffset(int line) const {
  std::size_t offset = 0;
  for (int row = 0; row < line; ++row) offset += FLines.Get(row).size();
  return offset;
}

void TRyxEdit::ReplaceBytes(int line, std::size_t span, const std::string& bytes) {
  const std::size_t offset = RowOffset(line);
  std::string text = FLines.GetText();
  if (offset > text.size() || span > text.size() - offset)
    throw ERangeError("置き換える位置がテキストの外にあります");
  text.replace(offset, span, bytes);
  // The store is cut afresh from the whole text, which costs one pass over
  // it however many rows change, and gives the rows loading it would give.
  text.append(2, '\0');
  FLines.SetText(text);
  ShowReplacedText(line);
}

void TRyxEdit::ShowReplacedText(int line) {
  FSelActive = FSelAll = false;
  FCaretLine = std::min(line, FLines.Count() - 1);
  FCaretCol = 0;
  FGoalCol = 0;
  FTopLine = std::min(FTopLine, FLines.Count() - 1);
  CollapseSelection();
  if (!HandleAllocated()) return;
  FCaretX = -FScrollX;
  RefreshView();
  SetCaret(0, FCaretLine, true, true);
}

void TRyxEdit::ReplayReplace(TUndoList& from, TUndoList& to) {
  TUndoRecord head = TakeRecord(from);
  if (head.Taken) {
    // The text goes back from the buffers the step kept, and the text it
    // replaces is kept the same way: the index of its lines is dropped first.
    auto taken = std::make_shared<TStoredText>(FLines.TakeText());
    FLines.SetText(*head.Taken);
    head.Span = taken->Size() - std::min<std::size_t>(taken->Size(), 2);
    head.Taken = std::move(taken);
    ShowReplacedText(head.Line);
    PutRecord(to, std::move(head));
    return;
  }
  // What goes back is what the other direction takes away again.
  std::string taken = FLines.GetText().substr(RowOffset(head.Line), head.Span);
  ReplaceBytes(head.Line, head.Span, head.Text);
  PutRecord(to, TUndoRecord{ukReplace, 0, head.Line, std::move(taken), head.Text.size()});
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
    case ukReplace:
      ReplayReplace(from, to);
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
  UpdateModified();
  if (OnChange) OnChange(this);
}
