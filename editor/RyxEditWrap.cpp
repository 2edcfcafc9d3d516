// TRyxEdit: word wrap: converting the store between its forms and positions between them, and the rewrap after an edit.
#include <algorithm>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "editor/RyxEditCaretGuard.h"
#include "editor/RyxEditSub.h"

namespace {

// Bytes of rest up to and including the first CR LF, or all of rest: the
// logical line rest starts (the last one ends with the end-of-text marker).
std::size_t LogicalLineLength(std::string_view rest) {
  for (std::size_t from = 0;;) {
    const void* hit = std::memchr(rest.data() + from, '\r', rest.size() - from);
    if (hit == nullptr) return rest.size();
    const auto t = static_cast<std::size_t>(static_cast<const char*>(hit) - rest.data());
    if (t + 1 < rest.size() && rest[t + 1] == '\n') return t + 2;
    from = t + 1;
  }
}

}  // namespace

TWrapRule TRyxEdit::WrapRule() const {
  TWrapRule rule;
  rule.Column = FColumn;
  rule.TabCount = FTabCount;
  rule.SingleByte = FSingleByteMode;
  rule.Counting = FColumnCounting;
  // The window's width limits a piece too, but never to less than ten cells.
  if (FAutoWrap && HandleAllocated()) {
    rule.WidthLimit = std::max(FTextWidth, 10 * FCharWidth);
    rule.Measurer = Measurer();
    // Every column is at least a cell wide, so no more columns than cells
    // fit the width: a piece is looked for among those only, however large Column is.
    if (FCharWidth > 0) rule.Column = std::min(rule.Column, std::max(10, rule.WidthLimit / FCharWidth));
  }
  return rule;
}

TDisplayPos TRyxEdit::ToDisplay(TLogicalPos pos) const {
  if (!FWordWrap) return {pos.Line, pos.Col};
  const int first = FLines.FirstIndexOfLogicalLine(std::max(0, pos.Line));
  if (pos.Col < 0) return {first, pos.Col};
  // The piece that holds the column's byte, found by the store's byte counts:
  // a column at the end of a piece that is not the line's last is the next
  // piece's start, and a column past the line stays on its last piece.
  const std::size_t start = FLines.OffsetOfIndex(first);
  int row = std::min(FLines.IndexAtOffset(start + static_cast<std::size_t>(pos.Col)), FLines.Count() - 1);
  if (FLines.LogicalLineOf(row) > pos.Line) row = FLines.FirstIndexOfLogicalLine(pos.Line + 1) - 1;
  return {row, pos.Col - static_cast<int>(FLines.OffsetOfIndex(row) - start)};
}

TLogicalPos TRyxEdit::ToLogical(TDisplayPos pos) const {
  if (!FWordWrap) return {pos.Line, pos.Col};
  const int line = FLines.LogicalLineOf(pos.Line);
  const int first = FLines.FirstIndexOfLogicalLine(line);
  if (first >= pos.Line) return {line, pos.Col};
  return {line, pos.Col + static_cast<int>(FLines.OffsetOfIndex(pos.Line) - FLines.OffsetOfIndex(first))};
}

void TRyxEdit::LogicalToDisplay(int& col, int& line) const {
  const TDisplayPos pos = ToDisplay({line, col});
  col = pos.Col;
  line = pos.Line;
}

void TRyxEdit::DisplayToLogical(int& col, int& line) const {
  const TLogicalPos pos = ToLogical({line, col});
  col = pos.Col;
  line = pos.Line;
}

namespace {

// Whether the line that rest starts (rest reaching at least its end, or more
// than the longest such line) counts nothing under the rule's hook.
bool StartsSilentLine(std::string_view rest, const TWrapRule& rule) {
  if (!rule.Counting) return false;
  const std::size_t limit = IColumnCounting::kLongestSilentLine;
  const std::size_t length = LogicalLineLength(rest.substr(0, limit + 2));
  const std::string_view line = rest.substr(0, length);
  if (!HasLineEnd(line) && length < rest.size()) return false;
  const std::string_view content = line.substr(0, static_cast<std::size_t>(ContentLength(line)));
  return content.size() <= limit && rule.Counting->IsSilentLine(content);
}

}  // namespace

void TRyxEdit::BuildWrappedLines(TRyxStrings& out) const {
  TWrapRule rule = WrapRule();
  // Pieces never cross a line's end, so each line's end is searched for once, at its start.
  const char* lineEnd = nullptr;
  out.AssignPieces(FLines.TextBuffer(), [&rule, &lineEnd](std::string_view rest) {
    if (rest.data() >= lineEnd) {
      lineEnd = rest.data() + LogicalLineLength(rest);
      rule.SilentLine = StartsSilentLine(rest.substr(0, static_cast<std::size_t>(lineEnd - rest.data())), rule);
    }
    return static_cast<std::size_t>(
        WrapPieceLength(rest.substr(0, static_cast<std::size_t>(lineEnd - rest.data())), rule));
  });
}

void TRyxEdit::JoinLogicalLine(int i, std::string& text, int& last) const {
  text.clear();
  for (last = i;; ++last) {
    const std::string_view piece = FLines.Get(last);
    text += piece;
    if (HasLineEnd(piece) || last + 1 >= FLines.Count()) return;
  }
}

void TRyxEdit::SetWrap(bool on, bool update) {
  try {
    const TLogicalPos caret = ToLogical({FCaretLine, FCaretCol});
    const TLogicalPos anchor = ToLogical({FSelStartLine, FSelStartCol});
    // The moving end is the caret but while the whole text is selected or a text drag runs.
    const TLogicalPos end = ToLogical({FSelEndLine, FSelEndCol});
    // Built aside and swapped in: a failure leaves the store in the form it had.
    // A store whose rows all end a line (a text just loaded) is unwrapped already.
    if (on || FLines.LogicalLineOf(FLines.Count()) + 1 < FLines.Count()) {
      TRyxStrings rebuilt;
      if (on)
        BuildWrappedLines(rebuilt);
      else
        rebuilt.AssignPieces(FLines.TextBuffer(), LogicalLineLength);
      FLines.Swap(rebuilt);
      NotifyLinesChanged(0, rebuilt.Count() - 1, FLines.Count() - 1);
    }
    FWordWrap = on;
    const TDisplayPos c = ToDisplay(caret);
    const TDisplayPos a = ToDisplay(anchor);
    const TDisplayPos e = FSelAll || FSelActive ? ToDisplay(end) : c;
    FCaretLine = c.Line;
    FCaretCol = c.Col;
    FSelEndLine = FSelPaintLine = e.Line;
    FSelEndCol = FSelPaintCol = e.Col;
    FSelStartLine = a.Line;
    FSelStartCol = a.Col;
    SettleSelection();
    FTopLine = std::min(FTopLine, FLines.Count() - 1);
    FScrollX = 0;
    FCaretX = TextXOfColumn(FLines.Get(FCaretLine), FCaretCol);
    if (!update || !HandleAllocated()) return;
    if (!SetCaret(-1, 0, true, false)) {
      const TCaretHidden hidden(Host());
      UpdateVScrollRange(true);
      PaintScreen();
      UpdateCaretPos();
    }
  } catch (const std::exception&) {
    ShowError("Error:OC004");
  }
}

void TRyxEdit::RewrapAll(bool update) {
  SetWrap(false, false);
  SetWrap(true, update);
}

int TRyxEdit::CountedRewrapStart(int first, const TRowChange& change, std::size_t& reach) const {
  const int count = FLines.Count();
  const std::size_t changedFrom = FLines.OffsetOfIndex(change.First);
  reach = FLines.OffsetOfIndex(change.NewLast + 1);
  // The changed rows hold at least the inserted bytes: a line at most this
  // much longer than the longest silent one may have become silent, or
  // stopped being so, and is wrapped again whole. A longer one was not
  // silent before the edit and is not now.
  const std::size_t shortLine = IColumnCounting::kLongestSilentLine + (reach - changedFrom);
  auto lineSpan = [&](int row) {
    const int line = FLines.LogicalLineOf(row);
    const int lineFirst = FLines.FirstIndexOfLogicalLine(line);
    const int next = FLines.FirstIndexOfLogicalLine(line + 1);
    const std::size_t end = FLines.OffsetOfIndex(FLines.LogicalLineOf(next) > line ? next : count);
    return std::pair{lineFirst, end};
  };
  const auto [lineFirst, lineEnd] = lineSpan(change.First);
  if (lineEnd - FLines.OffsetOfIndex(lineFirst) <= shortLine) {
    first = std::min(first, lineFirst);
    reach = std::max(reach, lineEnd);
  } else {
    // A markup that the edit completes may open in an earlier row.
    while (first > lineFirst && FLines.OffsetOfIndex(first) + IColumnCounting::kLongestMarkup > changedFrom) --first;
  }
  const auto [lastFirst, lastEnd] = lineSpan(change.NewLast);
  if (lastEnd - FLines.OffsetOfIndex(lastFirst) <= shortLine) reach = std::max(reach, lastEnd);
  return first;
}

TRowChange TRyxEdit::RewrapLines(TRowChange change) {
  TWrapRule rule = WrapRule();
  const int count = FLines.Count();
  int first = change.First;
  // The piece before a continuation may take text back.
  if (first > 0 && !HasLineEnd(FLines.Get(first - 1))) --first;
  // Offset of the text the new pieces must reach before old rows may be kept.
  std::size_t reach = 0;
  if (rule.Counting) first = CountedRewrapStart(first, change, reach);
  // Counted markup may move bytes before the edit to the next row: the first row is painted whole.
  if (first < change.First || rule.Counting) change.XFrom = 0;
  const std::size_t base = FLines.OffsetOfIndex(first);
  bool lineStart = first == 0 || HasLineEnd(FLines.Get(first - 1));
  // The rows from first on, as one text; starts[k] is where row first + k begins in it.
  std::string data;
  std::vector<std::size_t> starts;
  int next = first;
  auto take = [&] {
    starts.push_back(data.size());
    data.append(FLines.Get(next++));
  };
  while (next <= change.NewLast) take();
  // The end of the logical line being cut, once it lies in data; searched
  // only over bytes not searched yet, so that a long line is read once.
  std::size_t lineEnd = std::string::npos;
  std::size_t searched = 0;
  std::size_t at = 0;
  auto findLineEnd = [&] {
    if (lineEnd != std::string::npos && lineEnd > at) return;
    lineEnd = std::string::npos;
    searched = std::max(searched, at);
    const std::string_view rest = std::string_view(data).substr(searched);
    const std::size_t length = LogicalLineLength(rest);
    if (rest.substr(0, length).ends_with("\r\n"))
      lineEnd = searched + length;
    else if (next >= count)
      lineEnd = data.size();  // the last line, which the end-of-text marker ends
    else
      // A CR at the very end may meet its LF in the next row. An edit may
      // have left an empty row (a soft piece deleted whole): data may be empty.
      searched = std::max(searched, data.empty() ? 0 : data.size() - 1);
  };
  const auto enough = static_cast<std::size_t>(rule.Column) + 2;
  std::vector<std::pair<std::size_t, std::size_t>> pieces;
  int keepFrom = count;
  // Bytes past a piece that decide it: a counted piece holds markup beyond
  // its columns, and a markup may run on past the cut.
  const std::size_t lookAhead = rule.Counting ? IColumnCounting::kLongestMarkup : 0;
  const std::size_t lineHead = rule.Counting ? IColumnCounting::kLongestSilentLine + 2 : 0;
  auto takeUntil = [&](std::size_t size) {
    findLineEnd();
    while (lineEnd == std::string::npos && data.size() < size && next < count) {
      take();
      findLineEnd();
    }
  };
  for (;;) {
    takeUntil(at + std::max(enough, lineStart ? lineHead : 0));
    if (lineStart) {
      const std::size_t end = lineEnd == std::string::npos ? data.size() : lineEnd;
      rule.SilentLine = StartsSilentLine(std::string_view(data).substr(at, end - at), rule);
    }
    std::size_t n = 0;
    for (;;) {
      const std::size_t end = lineEnd == std::string::npos ? data.size() : lineEnd;
      n = static_cast<std::size_t>(WrapPieceLength(std::string_view(data).substr(at, end - at), rule));
      if (lineEnd != std::string::npos || next >= count || at + n + lookAhead <= data.size()) break;
      // The piece may go on in rows not taken yet: twice the bytes, so that a
      // long piece is cut a few times only.
      takeUntil(data.size() + std::max(enough, data.size() - at));
    }
    pieces.emplace_back(at, n);
    at += n;
    lineStart = at >= 2 && data.compare(at - 2, 2, "\r\n") == 0;
    // Where a new piece ends at the start of an untouched row, the pieces from
    // there on are what they were: the rule looks only forward from a piece's start.
    if (at >= data.size()) {
      keepFrom = next;
      break;
    }
    const auto hit = std::lower_bound(starts.begin(), starts.end(), at);
    if (hit != starts.end() && *hit == at && first + (hit - starts.begin()) > change.NewLast && base + at >= reach) {
      keepFrom = first + static_cast<int>(hit - starts.begin());
      break;
    }
  }
  const int oldCount = keepFrom - first;
  const int newCount = static_cast<int>(pieces.size());
  auto piece = [&](int i) {
    const auto& [offset, length] = pieces[static_cast<std::size_t>(i)];
    return std::string_view(data).substr(offset, length);
  };
  // New rows go in before old ones are replaced or leave, so that a failure loses no text.
  for (int i = oldCount; i < newCount; ++i) FLines.Insert(first + i, piece(i));
  for (int i = 0; i < std::min(oldCount, newCount); ++i)
    if (FLines.Get(first + i) != piece(i)) FLines.Put(first + i, piece(i));
  for (int i = oldCount - 1; i >= newCount; --i) FLines.Delete(first + i);
  // Positions in the rewrapped rows follow their bytes; a position at the end
  // of a piece that is not its line's last goes to the next piece's start.
  auto follow = [&](int& line, int& col) {
    if (line < first) return;
    if (line >= keepFrom) {
      line += newCount - oldCount;
      return;
    }
    const std::size_t offset = starts[static_cast<std::size_t>(line - first)] + static_cast<std::size_t>(col);
    int k = 0;
    while (k + 1 < newCount && offset >= pieces[static_cast<std::size_t>(k)].first + pieces[static_cast<std::size_t>(k)].second) ++k;
    line = first + k;
    col = static_cast<int>(offset - pieces[static_cast<std::size_t>(k)].first);
  };
  follow(FCaretLine, FCaretCol);
  follow(FSelStartLine, FSelStartCol);
  follow(FSelEndLine, FSelEndCol);
  follow(FSelPaintLine, FSelPaintCol);
  // The rows taken past the edited ones were old rows, as many as they were before the edit.
  return TRowChange{first, change.OldLast + (keepFrom - 1 - change.NewLast), first + newCount - 1, change.XFrom};
}
