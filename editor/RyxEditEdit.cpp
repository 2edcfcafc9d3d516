// TRyxEdit: the operations that change the text: deleting the selection, inserting, typing and new lines.
#include <algorithm>
#include <string>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "editor/RyxstringsSplit.h"

namespace {

int ContentLength(const std::string& row) { return static_cast<int>(row.size()) - (HasLineEnd(row) ? 2 : 0); }

}  // namespace

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
  // An empty range would otherwise remove an empty row that it only touches.
  if (deleted.empty()) return;
  if (!FUndoReplay) AddUndo(ukDelete, deleted, sc, sl);
  Host().HideCaret();
  EraseCaretUnderline();
  std::string row(FLines.Get(sl));
  bool removedRow = false;
  if (sl == el) {
    row.erase(static_cast<std::size_t>(sc), static_cast<std::size_t>(ec - sc));
    // A row whose every byte went, its line break included, goes with them.
    removedRow = row.empty();
    if (removedRow)
      FLines.Delete(sl);
    else
      FLines.Put(sl, row);
  } else {
    row = row.substr(0, static_cast<std::size_t>(sc)) + std::string(FLines.Get(el).substr(static_cast<std::size_t>(ec)));
    FLines.Put(sl, row);
    for (int line = el; line > sl; --line) FLines.Delete(line);
  }
  FCaretLine = sl;
  FCaretCol = sc;
  FCaretX = removedRow ? 0 : TextXOfColumn(row, sc) - FScrollX;
  FCaretY = (FCaretLine - FTopLine) * FLineHeight;
  FGoalCol = sc;
  CollapseSelection();
  // Wrapped text would be re-wrapped here from the start row; rows are logical lines until then.
  if (redraw) {
    if (!SetCaret(FCaretCol, FCaretLine, true, true)) {
      if (UpdateVScrollRange(true)) {
        PaintScreen();
      } else if (removedRow) {
        RepaintLines(2, 0, 0);
      } else if (sl == el) {
        RepaintRowFrom(sl, FCaretX);
        DrawUnderline(FCaretLine, true);
        UpdateHScrollRange(true);
      } else {
        RepaintRowFrom(sl, FCaretX);
        RepaintLines(5, 0, 0);
      }
    }
    UpdateCaretPos();
  } else if (FUndoReplay && sl == el) {
    // Undo repaints a change of several rows itself; this one row is done here.
    RepaintRowFrom(sl, FCaretX);
    FUndoReplay = false;
  }
  Host().ShowCaret();
}

void TRyxEdit::SpliceAtCaret(const std::string& text) {
  const std::string row(FLines.Get(FCaretLine));
  const std::size_t after = row.size() - static_cast<std::size_t>(FCaretCol);
  std::string joined = row;
  joined.insert(static_cast<std::size_t>(FCaretCol), text);
  // A typed character without a line break replaces just its row.
  if (IsOneStoredLine(joined)) {
    FLines.Put(FCaretLine, joined);
    FCaretCol = static_cast<int>(joined.size() - after);
    return;
  }
  // The new rows go in below before the old one leaves, so that a failure loses nothing.
  // Every CR LF in the result splits it, also one that the insertion completes.
  int index = FCaretLine + 1;
  FLines.InsertText(index, joined);
  FLines.Delete(FCaretLine);
  FCaretLine = index - 1;
  FCaretCol = std::max(0, static_cast<int>(FLines.Get(FCaretLine).size() - after));
}

void TRyxEdit::InsertAtCaret(const std::string& text, bool redraw) {
  if (text.empty()) return;
  Host().HideCaret();
  EraseCaretUnderline();
  const int row = FCaretLine;
  const int x = TextXOfColumn(std::string(FLines.Get(row)), FCaretCol) - FScrollX;
  const int count = FLines.Count();
  SpliceAtCaret(text);
  const bool severalRows = FLines.Count() != count;
  FCaretY = (FCaretLine - FTopLine) * FLineHeight;
  FCaretX = TextXOfColumn(std::string(FLines.Get(FCaretLine)), FCaretCol) - FScrollX;
  // Wrapped text would be re-wrapped here from the row of the insertion.
  if (redraw && !SetCaret(FCaretCol, FCaretLine, true, true)) {
    if (UpdateVScrollRange(true)) {
      PaintScreen();
    } else {
      RepaintRowFrom(row, x);
      if (severalRows) {
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
    if (FCaretCol + n <= content && ByteTypeAt(row, FCaretCol + n, FSingleByteMode) == kLeadByte) {
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
