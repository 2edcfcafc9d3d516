// TRyxEdit: positions settled on the text, and the one splice through which every edit changes the rows.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"

namespace {

bool EndsWithTerminator(std::string_view s) {
  return s.size() >= 2 && (s.substr(s.size() - 2) == "\r\n" || s.substr(s.size() - 2) == std::string_view("\0\0", 2));
}

}  // namespace

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

bool TRyxEdit::ReplaceRange(int sl, int sc, int el, int ec, const std::string& text) {
  // The anchor of a mouse selection could not follow the rows this edit moves.
  EndMouseSelection();
  const std::string first(FLines.Get(sl));
  std::string joined = first.substr(0, static_cast<std::size_t>(sc)) + text;
  const std::size_t caret = joined.size();
  joined += std::string(FLines.Get(el)).substr(static_cast<std::size_t>(ec));
  int last = el;
  // A range that ended between a CR and its LF left the LF without its CR:
  // the next row belongs to the same line now.
  while (!EndsWithTerminator(joined) && last + 1 < FLines.Count()) joined += FLines.Get(++last);
  // A CR that is content stays content: only a CR LF pair breaks a line,
  // also one that this edit has brought together.
  std::vector<std::string> rows;
  std::size_t start = 0;
  for (std::size_t at = joined.find("\r\n"); at != std::string::npos; at = joined.find("\r\n", start)) {
    rows.push_back(joined.substr(start, at + 2 - start));
    start = at + 2;
  }
  if (start < joined.size() || rows.empty()) rows.push_back(joined.substr(start));
  const int oldCount = last - sl + 1;
  const int newCount = static_cast<int>(rows.size());
  // New rows go in before old ones are replaced or leave, so that a failure loses no line.
  for (int i = oldCount; i < newCount; ++i) FLines.Insert(last + 1 + i - oldCount, rows[static_cast<std::size_t>(i)]);
  for (int i = 0; i < std::min(oldCount, newCount); ++i) FLines.Put(sl + i, rows[static_cast<std::size_t>(i)]);
  // From the last one up, so that only the rows below the range move.
  for (int i = oldCount - 1; i >= newCount; --i) FLines.Delete(sl + i);
  NotifyLinesChanged(sl, last, sl + newCount - 1);
  // The caret after the new bytes; a place inside or just past a line break is the next row's start.
  std::size_t rowStart = 0;
  for (int i = 0; i < newCount; ++i) {
    const std::string& row = rows[static_cast<std::size_t>(i)];
    if (caret <= rowStart + static_cast<std::size_t>(ContentLength(row)) || i == newCount - 1) {
      FCaretLine = sl + i;
      FCaretCol = std::min(static_cast<int>(caret - rowStart), ContentLength(row));
      break;
    }
    rowStart += row.size();
  }
  SettleSelection();
  return oldCount == 1 && newCount == 1;
}

bool TRyxEdit::SpliceAtCaret(const std::string& text) {
  return ReplaceRange(FCaretLine, FCaretCol, FCaretLine, FCaretCol, text);
}
