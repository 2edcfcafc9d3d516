// TOverflowLines: splicing the row flags as the editor reports changes, and measuring the lines around them.
#include "app/core/OverflowLines.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include "app/core/TimeTags.h"
#include "editor/RyxEditSub.h"
#include "editor/Ryxstrings.h"

namespace {

// The logical line that takes in row: a view of the row itself when the
// line is that one row, as it is unless text is soft-wrapped, else the rows
// joined in joined.
std::string_view LogicalLineView(const TRyxStrings& lines, int row, int& first, int& last, std::string& joined) {
  // A row that ends its line after a row that ended one is a whole line:
  // the common case, answered without counting line ends within its block.
  const std::string_view only = lines.Get(row);
  if (HasLineEnd(only) && (row == 0 || HasLineEnd(lines.Get(row - 1)))) {
    first = last = row;
    return only.substr(0, static_cast<std::size_t>(ContentLength(only)));
  }
  // Found from the store's counts per block: a long soft-wrapped line is not walked piece by piece to its ends.
  const int line = lines.LogicalLineOf(row);
  first = std::min(lines.FirstIndexOfLogicalLine(line), row);
  last = row;
  if (!HasLineEnd(only)) {
    const int next = lines.FirstIndexOfLogicalLine(line + 1);
    last = lines.LogicalLineOf(next) > line ? next - 1 : lines.Count() - 1;
  }
  if (first == last) return only.substr(0, static_cast<std::size_t>(ContentLength(only)));
  joined.clear();
  for (int r = first; r <= last; ++r) {
    const std::string_view part = lines.Get(r);
    joined.append(part.substr(0, static_cast<std::size_t>(ContentLength(part))));
  }
  return joined;
}

}  // namespace

std::string LogicalLineAt(const TRyxStrings& lines, int row, int* firstRow, int* lastRow) {
  int first = 0;
  int last = 0;
  std::string joined;
  std::string text(LogicalLineView(lines, row, first, last, joined));
  if (firstRow) *firstRow = first;
  if (lastRow) *lastRow = last;
  return text;
}

namespace {

// The player rows of a line that may overflow the display; nothing for a
// line that cannot: no rows to overflow, too short, or an ID tag line.
std::optional<std::size_t> RowsIfItMayOverflow(std::string_view line, TPlayerDisplay display) {
  if (display.LineCount < 1) return std::nullopt;
  // Every row but the last is filled to at least HalfCount - 1 cells, and a
  // line has no more cells than bytes: a line this short fits without being
  // laid out, which spares most lines of a long text the work.
  if (display.HalfCount >= 2 &&
      line.size() <= static_cast<std::size_t>(display.LineCount) * static_cast<std::size_t>(display.HalfCount - 1))
    return std::nullopt;
  // The player does not show ID tags; the tag check passes them over as well.
  if (ParseIdTag(line)) return std::nullopt;
  return CountPlayerRows(line, display.HalfCount);
}

bool Overflows(std::optional<std::size_t> rows, TPlayerDisplay display) {
  return rows && *rows > static_cast<std::size_t>(display.LineCount);
}

}  // namespace

bool OverflowsDisplay(std::string_view line, TPlayerDisplay display) {
  return Overflows(RowsIfItMayOverflow(line, display), display);
}

std::size_t TOverflowLines::PlayerRows(const TRyxStrings& lines, int row) const {
  const auto kept = FPlayerRows.find(row);
  if (kept != FPlayerRows.end()) return kept->second;
  // Rows scrolled past are forgotten now and then: only those in view are asked for again.
  if (FPlayerRows.size() >= kMostPlayerRowsKept) FPlayerRows.clear();
  const std::size_t rows = CountPlayerRows(LogicalLineAt(lines, row), FDisplay.HalfCount);
  FPlayerRows.emplace(row, rows);
  return rows;
}

void TOverflowLines::Reset(const TRyxStrings& lines) {
  FPlayerRows.clear();
  FFlags.Splice(0, FFlags.Count(), lines.Count());
  FCount = 0;
  Measure(lines, 0, lines.Count() - 1);
}

void TOverflowLines::Changed(const TRyxStrings& lines, int first, int oldLast, int newLast) {
  if (first < 0 || oldLast >= FFlags.Count() || newLast >= lines.Count() || FFlags.Count() - (oldLast - first) +
      (newLast - first) != lines.Count())
    throw std::out_of_range("TOverflowLines: the reported rows do not match the text");
  FPlayerRows.clear();
  FCount -= FFlags.CountSet(first, oldLast);
  FFlags.Splice(first, oldLast - first + 1, newLast - first + 1);
  // The rows around keep their bytes; a logical line that runs on into the
  // changed rows is measured whole, since its rows are walked from them.
  Measure(lines, first, newLast);
}

void TOverflowLines::Measure(const TRyxStrings& lines, int first, int last) {
  // The flags of the whole span are found first and written in one walk:
  // setting each by its row number would look its block up again for every
  // line of a long span, a whole loaded text for one.
  int spanFirst = first;
  std::vector<std::uint8_t> flags;
  std::string joined;
  for (int row = first; row <= last;) {
    int lineFirst = 0;
    int lineLast = 0;
    const std::optional<std::size_t> rows =
        RowsIfItMayOverflow(LogicalLineView(lines, row, lineFirst, lineLast, joined), FDisplay);
    const bool overflows = Overflows(rows, FDisplay);
    if (overflows && FPlayerRows.size() < kMostPlayerRowsKept) FPlayerRows[lineLast] = *rows;
    if (row == first) spanFirst = lineFirst;
    flags.resize(static_cast<std::size_t>(lineLast - spanFirst + 1), 0);
    flags.back() = overflows ? 1 : 0;
    row = lineLast + 1;
  }
  if (flags.empty()) return;
  FCount -= FFlags.CountSet(spanFirst, spanFirst + static_cast<int>(flags.size()) - 1);
  FFlags.Write(spanFirst, flags);
  FCount += static_cast<int>(std::count(flags.begin(), flags.end(), 1));
}
