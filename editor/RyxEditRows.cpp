// TRyxEdit: positions settled on the text, and the splice through which every ranged edit changes the rows.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"

int TRyxEdit::CharSizeAt(std::string_view row, int col) const {
  return StoredByteTypeAt(row, col, FSingleByteMode) == kLeadByte ? 2 : 1;
}

void TRyxEdit::SettlePosition(int& line, int& col) const {
  const int last = FLines.Count() - 1;
  line = std::clamp(line, 0, last);
  const std::string_view row = FLines.Get(line);
  if (line < last && col == static_cast<int>(row.size())) {
    ++line;
    col = 0;
    return;
  }
  col = std::clamp(col, 0, ContentLength(row));
  if (StoredByteTypeAt(row, col, FSingleByteMode) == kTrailByte) --col;
}

void TRyxEdit::SettleSelection() {
  SettlePosition(FCaretLine, FCaretCol);
  SettlePosition(FSelStartLine, FSelStartCol);
  SettlePosition(FSelEndLine, FSelEndCol);
  SettlePosition(FSelPaintLine, FSelPaintCol);
}

void TRyxEdit::EndMouseSelection() {
  FAutoScrollDir = 0;
  if (!FMouseSelecting) return;
  FMouseSelecting = false;
  FCaretScrollFix = FSavedCaretScrollFix;
  // The timer's scrolls sped up as keys held down do; the next selection starts slow again.
  FKeyScrollCount = 0;
}

TRowChange TRyxEdit::ReplaceRange(TDisplayPos from, TDisplayPos to, const std::string& text) {
  // The anchor of a mouse selection could not follow the rows this edit moves.
  EndMouseSelection();
  const int sl = from.Line;
  const std::string_view head = FLines.Get(sl).substr(0, static_cast<std::size_t>(from.Col));
  const std::string_view lastRow = FLines.Get(to.Line);
  const std::string_view tail = lastRow.substr(std::min(lastRow.size(), static_cast<std::size_t>(to.Col)));
  // Room made once: the row may be megabytes long.
  std::string joined;
  joined.reserve(head.size() + text.size() + tail.size() + 2);
  joined.append(head).append(text);
  const std::size_t caret = joined.size();
  joined += tail;
  int last = to.Line;
  // A range that ended inside a line break left it without its terminator:
  // the next row belongs to the same line now. A soft-wrapped piece has none to lose.
  if (HasLineEnd(lastRow) && !HasLineEnd(joined) && last + 1 < FLines.Count()) joined += FLines.Get(++last);
  // A CR that is content stays content: only a CR LF pair breaks a line,
  // also one that this edit has brought together.
  const std::size_t joinedSize = joined.size();
  const bool joinedEnds = HasLineEnd(joined);
  std::vector<std::string> rows;
  std::size_t start = 0;
  std::size_t at = joined.find("\r\n");
  if (at == std::string::npos || at + 2 == joinedSize) {
    // One row, as typing makes: moved, not copied, since it may be megabytes long.
    rows.push_back(std::move(joined));
  } else {
    for (; at != std::string::npos; at = joined.find("\r\n", start)) {
      rows.push_back(joined.substr(start, at + 2 - start));
      start = at + 2;
    }
    if (start < joinedSize) rows.push_back(joined.substr(start));
  }
  const int oldCount = last - sl + 1;
  const int newCount = static_cast<int>(rows.size());
  // New rows go in before old ones are replaced or leave, so that a failure loses no line.
  for (int i = oldCount; i < newCount; ++i) FLines.Insert(last + 1 + i - oldCount, rows[static_cast<std::size_t>(i)]);
  for (int i = 0; i < std::min(oldCount, newCount); ++i) FLines.Put(sl + i, rows[static_cast<std::size_t>(i)]);
  // From the last one up, so that only the rows below the range move.
  for (int i = oldCount - 1; i >= newCount; --i) FLines.Delete(sl + i);
  // The caret after the new bytes; a place inside or just past a line break is the next row's start.
  // That row may lie after the spliced ones: a soft piece ends the splice where its bytes end.
  const bool pastSplice = caret == joinedSize && joinedEnds && sl + newCount < FLines.Count();
  if (pastSplice) {
    FCaretLine = sl + newCount;
    FCaretCol = 0;
  }
  std::size_t rowStart = 0;
  for (int i = 0; i < newCount && !pastSplice; ++i) {
    const std::string& row = rows[static_cast<std::size_t>(i)];
    if (caret <= rowStart + static_cast<std::size_t>(ContentLength(row)) || i == newCount - 1) {
      FCaretLine = sl + i;
      FCaretCol = std::min(static_cast<int>(caret - rowStart), ContentLength(row));
      break;
    }
    rowStart += row.size();
  }
  SettleSelection();
  return TRowChange{sl, last, sl + newCount - 1, 0};
}

void TRyxEdit::ChangeText(TDisplayPos from, TDisplayPos to, const std::string& text, bool caretBefore) {
  // The character before the edit may turn into another with the new bytes
  // (a lead byte alone at its line's end meets a trail, a CR an LF): it is painted again too.
  const std::string_view row = FLines.Get(from.Line);
  int start = from.Col;
  if (start > 0) start = std::max(0, start - (ByteTypeAt(row, start, FSingleByteMode) == kTrailByte ? 2 : 1));
  const int x = TextXOfColumn(row, start) - FScrollX;
  TRowChange change = ReplaceRange(from, to, text);
  change.XFrom = x;
  if (caretBefore) {
    FCaretLine = from.Line;
    FCaretCol = from.Col;
    SettlePosition(FCaretLine, FCaretCol);
  }
  NoteSplice(change);
}
