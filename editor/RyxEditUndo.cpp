// TRyxEdit: recording changes within the undo budget, undo and redo, and the modified state.
#include <algorithm>
#include <limits>
#include <new>
#include <string>
#include <utility>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "platform/Exceptions.h"

void TRyxEdit::SetModified(bool value) {
  if (FModified == value) return;
  FModified = value;
  AnnounceModified();
}

void TRyxEdit::AnnounceModified() {
  if (FOpen.Depth > 0)
    FOpen.ModifiedToAnnounce = true;
  else if (OnChangeModify)
    OnChangeModify(this, FModified);
}

void TRyxEdit::AnnounceRedoMode() {
  if (FOpen.Depth > 0)
    FOpen.RedoModeToAnnounce = true;
  else if (OnChangeRedoMode)
    OnChangeRedoMode(this, FRedoAnnounced);
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
  // A place past a line break is recorded as the next line's start, where the change that follows it is recorded.
  RecordChange(TUndoRecord{kind, PlaceInText({line, col}), text}, false);
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
    AnnounceRedoMode();
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

void TRyxEdit::ReplayRestore(TUndoList& from, TUndoList& to, bool caretBefore) {
  const TUndoRecord& head = from.front();
  const TDisplayPos at = ToDisplay(head.At);
  ChangeText(at, at, head.Text, caretBefore);
  CollapseSelection();
  MoveRecord(from, to, ukInsert);
}

void TRyxEdit::ReplayInsert(const TUndoRecord& head, TUndoList& from, TUndoList& to) {
  // The inserted bytes are selected and removed; an end at the very end of a row is the start of the next one.
  const TDisplayPos at = ToDisplay(head.At);
  ChangeText(at, AdvanceBytes(at, head.Text.size()), "");
  MoveRecord(from, to, ukDelete);
  // What the insertion replaced goes back in the same step.
  if (!from.empty() && from.front().At == head.At &&
      (from.front().Kind == ukDelete || from.front().Kind == ukOverwrite)) {
    const bool overwrite = from.front().Kind == ukOverwrite;
    ChangeText({FCaretLine, FCaretCol}, {FCaretLine, FCaretCol}, from.front().Text, overwrite);
    MoveRecord(from, to, ukInsert);
  }
  CollapseSelection();
}

std::size_t TRyxEdit::TextOffset(TLogicalPos at) const {
  return FLines.OffsetOfIndex(ToDisplay({at.Line, 0}).Line) + static_cast<std::size_t>(std::max(0, at.Col));
}

void TRyxEdit::ReplayReplace(TUndoList& from, TUndoList& to) {
  TUndoRecord head = TakeRecord(from);
  // Undo puts the caret and the view back where they stood before the step, redo where the step put them.
  const TViewPlace place = &from == &FUndoList ? head.Before : head.After;
  TRyxStrings store;
  if (head.Taken) {
    // The text goes back from the buffers the step kept, and the text it
    // replaces is kept the same way: the index of its lines is dropped first.
    auto taken = std::make_shared<TStoredText>(FLines.TakeText());
    store.SetText(*head.Taken);
    head.Span = taken->Size() - std::min(taken->Size(), kEndMarker.size());
    head.Taken = std::move(taken);
    ReplaceStore(store, place);
    PutRecord(to, std::move(head));
    return;
  }
  // The store is cut afresh from the whole text, which costs one pass over
  // it however many rows change, and gives the rows loading it would give.
  std::string text = FLines.GetText();
  const std::size_t offset = TextOffset(head.At);
  if (offset > text.size() || head.Span > text.size() - offset)
    throw ERangeError("置き換える位置がテキストの外にあります");
  // What goes back is what the other direction takes away again.
  std::string taken = text.substr(offset, head.Span);
  text.replace(offset, head.Span, head.Text);
  text.append(kEndMarker);
  store.SetText(text);
  ReplaceStore(store, place);
  PutRecord(to, TUndoRecord{ukReplace, head.At, std::move(taken), head.Text.size(), nullptr, head.Before, head.After});
}

void TRyxEdit::Replay(TUndoList& from, TUndoList& to) {
  ClearSelection();
  EraseCaretUnderline();
  const TEditScope edit(*this);
  const TUndoRecord head = from.front();
  switch (head.Kind) {
    case ukInsert:
      ReplayInsert(head, from, to);
      break;
    case ukDelete:
    case ukBackDelete:
      ReplayRestore(from, to, false);
      break;
    case ukReplace:
      ReplayReplace(from, to);
      break;
    case ukForwardDelete:
    case ukOverwrite:
      ReplayRestore(from, to, true);
      break;
  }
  UpdateModified();
}
