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
  int row = FLines.FirstIndexOfLogicalLine(std::max(0, pos.Line));
  int col = pos.Col;
  // A column at the end of a piece that is not the line's last is the next piece's start.
  for (std::string_view piece = FLines.Get(row);
       !HasLineEnd(piece) && row + 1 < FLines.Count() && col >= static_cast<int>(piece.size());
       piece = FLines.Get(++row))
    col -= static_cast<int>(piece.size());
  return {row, col};
}

TLogicalPos TRyxEdit::ToLogical(TDisplayPos pos) const {
  if (!FWordWrap) return {pos.Line, pos.Col};
  int col = pos.Col;
  for (int row = pos.Line; row > 0; --row) {
    const std::string_view before = FLines.Get(row - 1);
    if (HasLineEnd(before)) break;
    col += static_cast<int>(before.size());
  }
  return {FLines.LogicalLineOf(pos.Line), col};
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

void TRyxEdit::BuildWrappedLines(TRyxStrings& out) const {
  const TWrapRule rule = WrapRule();
  // Pieces never cross a line's end, so each line's end is searched for once, at its start.
  const char* lineEnd = nullptr;
  out.AssignPieces(FLines.TextBuffer(), [&rule, &lineEnd](std::string_view rest) {
    if (rest.data() >= lineEnd) lineEnd = rest.data() + LogicalLineLength(rest);
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
    FCaretLine = FSelEndLine = FSelPaintLine = c.Line;
    FCaretCol = FSelEndCol = FSelPaintCol = c.Col;
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

TRowChange TRyxEdit::RewrapLines(TRowChange change) {
  const TWrapRule rule = WrapRule();
  const int count = FLines.Count();
  int first = change.First;
  // The piece before a continuation may take text back.
  if (first > 0 && !HasLineEnd(FLines.Get(first - 1))) {
    --first;
    change.XFrom = 0;
  }
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
  for (;;) {
    findLineEnd();
    while (lineEnd == std::string::npos && data.size() - at < enough && next < count) {
      take();
      findLineEnd();
    }
    const std::size_t end = lineEnd == std::string::npos ? data.size() : lineEnd;
    const auto n = static_cast<std::size_t>(WrapPieceLength(std::string_view(data).substr(at, end - at), rule));
    pieces.emplace_back(at, n);
    at += n;
    // Where a new piece ends at the start of an untouched row, the pieces from
    // there on are what they were: the rule looks only forward from a piece's start.
    if (at >= data.size()) {
      keepFrom = next;
      break;
    }
    const auto hit = std::lower_bound(starts.begin(), starts.end(), at);
    if (hit != starts.end() && *hit == at && first + (hit - starts.begin()) > change.NewLast) {
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
  NotifyLinesChanged(first, keepFrom - 1, first + newCount - 1);
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
