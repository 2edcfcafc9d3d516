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

std::string_view LogicalLineView(const TRyxStrings& lines, int row, int& first, int& last, std::string& joined) {
  // A row after a line break starts its line, and one with a line break
  // ends it: that is every row of an unwrapped text, read in constant time.
  // Else the ends are found from the store's counts per block, so that a
  // long soft-wrapped line is not walked piece by piece to its ends (a
  // count within a block costs a walk over the block: not for every row).
  const bool startsLine = row == 0 || HasLineEnd(lines.Get(row - 1));
  const bool endsLine = HasLineEnd(lines.Get(row));
  const int line = startsLine && endsLine ? 0 : lines.LogicalLineOf(row);
  first = startsLine ? row : std::min(lines.FirstIndexOfLogicalLine(line), row);
  last = row;
  if (!endsLine) {
    const int next = lines.FirstIndexOfLogicalLine(line + 1);
    last = lines.LogicalLineOf(next) > line ? next - 1 : lines.Count() - 1;
  }
  if (first == last) {
    const std::string_view only = lines.Get(row);
    return only.substr(0, static_cast<std::size_t>(ContentLength(only)));
  }
  joined.clear();
  for (int r = first; r <= last; ++r) {
    const std::string_view part = lines.Get(r);
    joined.append(part.substr(0, static_cast<std::size_t>(ContentLength(part))));
  }
  return joined;
}

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

// Whether a line may overflow the display: not without rows to overflow,
// when too short, or as an ID tag line.
bool MayOverflow(std::string_view line, TPlayerDisplay display) {
  if (display.LineCount < 1) return false;
  // Every row but the last is filled to at least HalfCount - 1 cells, and a
  // line has no more cells than bytes: a line this short fits without being
  // laid out, which spares most lines of a long text the work.
  if (display.HalfCount >= 2 &&
      line.size() <= static_cast<std::size_t>(display.LineCount) * static_cast<std::size_t>(display.HalfCount - 1))
    return false;
  // The player does not show ID tags; the tag check passes them over as well.
  return !ParseIdTag(line);
}

// The player rows of a line that may overflow the display; nothing for a line that cannot.
std::optional<std::size_t> PlayerRowsIfItMayOverflow(std::string_view line, TPlayerDisplay display) {
  if (!MayOverflow(line, display)) return std::nullopt;
  return CountPlayerRows(line, display.HalfCount);
}

bool Overflows(std::optional<std::size_t> rows, TPlayerDisplay display) {
  return rows && *rows > static_cast<std::size_t>(display.LineCount);
}

}  // namespace

bool OverflowsDisplay(std::string_view line, TPlayerDisplay display) {
  return Overflows(PlayerRowsIfItMayOverflow(line, display), display);
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
    const std::optional<std::size_t> rows = RowsIfItMayOverflow(LogicalLineView(lines, row, lineFirst, lineLast, joined));
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

std::optional<std::size_t> TOverflowLines::RowsIfItMayOverflow(std::string_view line) {
  if (line.size() < kLongLine) return PlayerRowsIfItMayOverflow(line, FDisplay);
  if (!MayOverflow(line, FDisplay)) return std::nullopt;
  FLongLine.Update(line, FDisplay.HalfCount);
  return FLongLine.Layout().Rows.size();
}
