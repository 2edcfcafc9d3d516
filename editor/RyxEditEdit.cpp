// TRyxEdit: the operations that change the text: deleting the selection, inserting, typing and new lines.
#include <algorithm>
#include <string>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"

void TRyxEdit::RepaintRowFrom(int row, int x) {
  if (row < FTopLine || row >= FTopLine + FVisibleLines) return;
  const int y = (row - FTopLine) * FLineHeight;
  PaintLine(x, y, FLines.Get(row));
  const TRect band{FTextLeft + x - 1, y + FTopMargin, FTextLeft + FTextWidth, y + FTopMargin + FLineHeight};
  ColorLinks(row, row, &band);
  // The owner's decorations (the display guides) crossed the part just painted over.
  FireUserClientDraw(row, row);
}

void TRyxEdit::ShowChange(const TRowChange& change, bool forceFull) {
  if (!SetCaret(FCaretCol, FCaretLine, true, true)) {
    if (UpdateVScrollRange(true)) {
      PaintScreen();
    } else if (!forceFull && change.OneRow()) {
      RepaintRowFrom(change.First, change.XFrom);
      DrawUnderline(FCaretLine, true);
      UpdateHScrollRange(true);
    } else {
      RepaintRowFrom(change.First, forceFull ? 0 : change.XFrom);
      RepaintLines(change.First + 1);
    }
  }
  // The rows the change touched are painted; the others kept their bytes.
  FStalePixels = false;
  UpdateCaretPos();
}

void TRyxEdit::ReplaceAt(TDisplayPos from, TDisplayPos to, const std::string& text, bool redraw) {
  const TEditScope edit(*this, redraw, TChangeSignal::Never);
  if (HandleAllocated()) EraseCaretUnderline();
  ChangeText(from, to, text);
  CollapseSelection();
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
  AddUndo(ukDelete, deleted, sc, sl);
  ReplaceAt({sl, sc}, {el, ec}, "", redraw);
}

void TRyxEdit::InsertAtCaret(const std::string& text, bool redraw) {
  if (text.empty()) return;
  ReplaceAt({FCaretLine, FCaretCol}, {FCaretLine, FCaretCol}, text, redraw);
}

std::string TRyxEdit::LogicalContentAfter(TDisplayPos pos, std::size_t max) const {
  std::string content;
  for (int row = pos.Line, col = pos.Col; content.size() < max && row < FLines.Count(); ++row, col = 0) {
    const std::string_view piece = FLines.Get(row);
    const auto n = static_cast<std::size_t>(ContentLength(piece));
    if (static_cast<std::size_t>(col) < n) content.append(piece.substr(static_cast<std::size_t>(col), std::min(n - static_cast<std::size_t>(col), max - content.size())));
    if (HasLineEnd(piece)) break;
  }
  return content;
}

TDisplayPos TRyxEdit::AdvanceBytes(TDisplayPos pos, std::size_t n) const {
  // Each row gives up the bytes from the position, or from its start, to its end, terminator included.
  for (;;) {
    const std::size_t room = FLines.Get(pos.Line).size() - static_cast<std::size_t>(pos.Col);
    if (n < room || pos.Line + 1 >= FLines.Count()) {
      pos.Col += static_cast<int>(std::min(n, room));
      return pos;
    }
    n -= room;
    pos = TDisplayPos{pos.Line + 1, 0};
    if (n == 0) return pos;
  }
}

void TRyxEdit::TypeText(const std::string& text) {
  {
    const TEditScope edit(*this);
    TypeIntoText(text);
  }
  FireUserClientDraw(FCaretLine, FCaretLine);
}

void TRyxEdit::ReplaceText(TDisplayPos from, TDisplayPos to, const std::string& text) {
  SettlePosition(from.Line, from.Col);
  SettlePosition(to.Line, to.Col);
  if (from == to && text.empty()) return;
  const TEditScope edit(*this);
  ClearSelection();
  // Undo takes the insertion back together with the removal at the same place.
  AddUndo(ukDelete, TextBetween(from, to), from.Col, from.Line);
  AddUndo(ukInsert, text, from.Col, from.Line);
  ReplaceAt(from, to, text, true);
}

void TRyxEdit::TypeIntoText(const std::string& text) {
  if (FSelActive || FSelAll) DeleteSelection(true);
  std::string typed = text;
  bool padded = false;
  const TDisplayPos at{FCaretLine, FCaretCol};
  TDisplayPos end = at;
  if (!FInsertMode) {
    // The rest of the logical line, across its soft-wrapped pieces, is what can be overwritten.
    const std::size_t n = text.size();
    const std::string rest = LogicalContentAfter(at, n + 1);
    if (!rest.empty()) {
      std::size_t count = std::min(rest.size(), n);
      // Overwriting only the first byte of a double-byte character would leave its
      // trail byte behind as a different character: take it too and pad with a space.
      if (n < rest.size() && ByteTypeAt(rest, static_cast<int>(n), FSingleByteMode) == kLeadByte) {
        count = n + 1;
        typed += ' ';
        padded = true;
      }
      AddUndo(ukOverwrite, rest.substr(0, count), at.Col, at.Line);
      end = AdvanceBytes(at, count);
    }
  }
  AddUndo(ukInsert, typed, at.Col, at.Line);
  ReplaceAt(at, end, typed, true);
  // The caret stays before the padding, which the next typed character then
  // overwrites, unless a lead byte typed last has taken the padding as its trail.
  if (padded && TByteTypes(typed, FSingleByteMode).At(static_cast<int>(typed.size())) != kTrailByte) {
    if (FCaretCol > 0)
      --FCaretCol;
    else if (FCaretLine > 0)
      FCaretCol = static_cast<int>(FLines.Get(--FCaretLine).size()) - 1;
    CollapseSelection();
  }
}

void TRyxEdit::ClearText() {
  const int last = FLines.Count() - 1;
  if (last == 0 && ContentLength(FLines.Get(0)) == 0) return;
  const TEditScope edit(*this);
  FSelAll = false;
  FSelActive = true;
  FSelStartLine = FSelStartCol = 0;
  FSelEndLine = last;
  FSelEndCol = ContentLength(FLines.Get(last));
  DeleteSelection(true);
}

void TRyxEdit::ToggleInsertMode() {
  FInsertMode = !FInsertMode;
  if (OnChangeInsMode) OnChangeInsMode(this, FInsertMode);
}

void TRyxEdit::NewLine() {
  const TEditScope edit(*this);
  if (FSelActive || FSelAll) DeleteSelection(true);
  std::string indent;
  if (FAutoIndent) {
    // The blanks that start the logical line, up to the caret.
    const int caret = ToLogical({FCaretLine, FCaretCol}).Col;
    const std::string row = LogicalContentAfter(ToDisplay({ToLogical({FCaretLine, 0}).Line, 0}),
                                                static_cast<std::size_t>(caret));
    for (std::size_t i = 0; i < row.size() && static_cast<unsigned char>(row[i]) <= 0x20; ++i) indent += row[i];
  }
  const std::string text = "\r\n" + indent;
  AddUndo(ukInsert, text, FCaretCol, FCaretLine);
  InsertAtCaret(text, true);
}
