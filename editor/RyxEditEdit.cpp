// TRyxEdit: the operations that change the text: deleting the selection, inserting, typing and new lines.
#include <algorithm>
#include <string>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "editor/RyxstringsSplit.h"

void TRyxEdit::RepaintRowFrom(int row, int x) {
  if (row < FTopLine || row >= FTopLine + FVisibleLines) return;
  const int y = (row - FTopLine) * FLineHeight;
  PaintLine(x, y, std::string(FLines.Get(row)));
  const TRect band{FTextLeft + x - 1, y + FTopMargin, FTextLeft + FTextWidth, y + FTopMargin + FLineHeight};
  ColorLinks(row, row, &band);
  // The owner's decorations (the display guides) crossed the part just painted over.
  FireUserClientDraw(row, row);
}

void TRyxEdit::DeleteSelection(bool redraw) {
  int sl = 0, sc = 0, el = 0, ec = 0;
  OrderedSel(sl, sc, el, ec);
  const std::string deleted = GetSelText();
  FSelActive = FSelAll = false;
  // Nothing selected: nothing to remove, record or repaint.
  if (deleted.empty()) {
    CollapseSelection();
    return;
  }
  if (!FUndoReplay) AddUndo(ukDelete, deleted, sc, sl);
  Host().HideCaret();
  EraseCaretUnderline();
  const bool oneRow = ReplaceRange(sl, sc, el, ec, "");
  FCaretX = TextXOfColumn(std::string(FLines.Get(FCaretLine)), FCaretCol) - FScrollX;
  FCaretY = (FCaretLine - FTopLine) * FLineHeight;
  FGoalCol = FCaretCol;
  CollapseSelection();
  // Wrapped text would be re-wrapped here from the start row; rows are logical lines until then.
  if (redraw) {
    if (!SetCaret(FCaretCol, FCaretLine, true, true)) {
      if (UpdateVScrollRange(true)) {
        PaintScreen();
      } else if (oneRow) {
        RepaintRowFrom(FCaretLine, FCaretX);
        DrawUnderline(FCaretLine, true);
        UpdateHScrollRange(true);
      } else {
        RepaintRowFrom(FCaretLine, FCaretX);
        RepaintLines(5, 0, 0);
      }
    }
    UpdateCaretPos();
  } else if (FUndoReplay && oneRow) {
    // Undo repaints a change of several rows itself; this one row is done here.
    RepaintRowFrom(FCaretLine, FCaretX);
    FUndoReplay = false;
  }
  Host().ShowCaret();
}

void TRyxEdit::InsertAtCaret(const std::string& text, bool redraw) {
  if (text.empty()) return;
  Host().HideCaret();
  EraseCaretUnderline();
  const int row = FCaretLine;
  const int x = TextXOfColumn(std::string(FLines.Get(row)), FCaretCol) - FScrollX;
  const bool oneRow = SpliceAtCaret(text);
  FCaretY = (FCaretLine - FTopLine) * FLineHeight;
  FCaretX = TextXOfColumn(std::string(FLines.Get(FCaretLine)), FCaretCol) - FScrollX;
  // Wrapped text would be re-wrapped here from the row of the insertion.
  if (redraw && !SetCaret(FCaretCol, FCaretLine, true, true)) {
    if (UpdateVScrollRange(true)) {
      PaintScreen();
    } else {
      RepaintRowFrom(row, x);
      if (!oneRow) {
        RepaintLines(3, row + 1, 0);
      } else {
        DrawUnderline(FCaretLine, true);
        UpdateHScrollRange(true);
      }
    }
    UpdateCaretPos();
  }
  CollapseSelection();
  Host().ShowCaret();
}

void TRyxEdit::TypeText(const std::string& text) {
  if (FSelActive || FSelAll) DeleteSelection(true);
  std::string typed = text;
  bool padded = false;
  std::string row(FLines.Get(FCaretLine));
  const int content = ContentLength(row);
  // Wrapped text would first join the caret row with its continuation rows.
  if (!FInsertMode && FCaretCol < content) {
    const int n = static_cast<int>(text.size());
    const int rest = content - FCaretCol;
    int count = std::min(rest, n);
    // Overwriting only the first byte of a double-byte character would leave its
    // trail byte behind as a different character: take it too and pad with a space.
    if (FCaretCol + n <= content && StoredByteTypeAt(row, FCaretCol + n - 1, FSingleByteMode) == kLeadByte) {
      count = std::min(rest, n + 1);
      typed += ' ';
      padded = true;
    }
    const auto at = static_cast<std::size_t>(FCaretCol);
    AddUndo(ukOverwrite, row.substr(at, static_cast<std::size_t>(count)), FCaretCol, FCaretLine);
    row.erase(at, static_cast<std::size_t>(count));
    FLines.Put(FCaretLine, row);
  }
  AddUndo(ukInsert, typed, FCaretCol, FCaretLine);
  InsertAtCaret(typed, true);
  // The caret stays before the padding, which the next typed character then overwrites.
  if (padded) --FCaretCol;
  SetCaret(FCaretCol, FCaretLine, true, true);
  if (OnChange) OnChange(this);
  FireUserClientDraw(FCaretLine, FCaretLine);
}

void TRyxEdit::ClearText() {
  const int last = FLines.Count() - 1;
  if (last == 0 && ContentLength(FLines.Get(0)) == 0) return;
  FSelAll = false;
  FSelActive = true;
  FSelStartLine = FSelStartCol = 0;
  FSelEndLine = last;
  FSelEndCol = ContentLength(FLines.Get(last));
  DeleteSelection(true);
  if (OnChange) OnChange(this);
}

void TRyxEdit::ToggleInsertMode() {
  FInsertMode = !FInsertMode;
  if (OnChangeInsMode) OnChangeInsMode(this, FInsertMode);
}

void TRyxEdit::NewLine() {
  if (FSelActive || FSelAll) DeleteSelection(true);
  std::string indent;
  if (FAutoIndent) {
    const std::string row(FLines.Get(FCaretLine));
    for (int i = 0; i < FCaretCol && static_cast<unsigned char>(row[static_cast<std::size_t>(i)]) <= 0x20; ++i)
      indent += row[static_cast<std::size_t>(i)];
  }
  const std::string text = "\r\n" + indent;
  AddUndo(ukInsert, text, FCaretCol, FCaretLine);
  InsertAtCaret(text, false);
  Host().HideCaret();
  const bool rangeChanged = UpdateVScrollRange(true);
  // SetCaret scrolls a row down once the new row comes within the bottom margin of the view.
  if (!SetCaret(FCaretCol, FCaretLine, true, true)) {
    if (rangeChanged)
      PaintScreen();
    else
      RepaintLines(1, 0, 0);
    UpdateCaretPos();
  }
  Host().ShowCaret();
  if (OnChange) OnChange(this);
}
