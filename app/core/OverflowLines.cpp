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

// The rows of the logical line that takes in row.
void RowsOfLogicalLine(const TRyxStrings& lines, int row, int& first, int& last) {
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
}

// Rows first..last, one logical line, without their line breaks: the row
// itself when it is the only one, else the rows joined in joined.
std::string_view JoinedRows(const TRyxStrings& lines, int first, int last, std::string& joined) {
  if (first == last) {
    const std::string_view only = lines.Get(first);
    return only.substr(0, static_cast<std::size_t>(ContentLength(only)));
  }
  joined.clear();
  for (int r = first; r <= last; ++r) {
    const std::string_view part = lines.Get(r);
    joined.append(part.substr(0, static_cast<std::size_t>(ContentLength(part))));
  }
  return joined;
}

// The logical line that starts at row, as LogicalLineView gives it, its end
// found by reading on to a line break: a walk from line to line reads each
// row anyway, and spares the counts of the store, each of which costs a walk
// over a block in a soft-wrapped text.
std::string_view LineStartingAt(const TRyxStrings& lines, int row, int& last, std::string& joined) {
  last = row;
  while (!HasLineEnd(lines.Get(last)) && last + 1 < lines.Count()) ++last;
  return JoinedRows(lines, row, last, joined);
}

}  // namespace

std::string_view LogicalLineView(const TRyxStrings& lines, int row, int& first, int& last, std::string& joined) {
  RowsOfLogicalLine(lines, row, first, last);
  return JoinedRows(lines, first, last, joined);
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
  FMeasured.Splice(0, FMeasured.Count(), lines.Count());
  FWalked = 0;
  FCount = 0;
}

void TOverflowLines::MeasureSome(const TRyxStrings& lines, std::size_t bytes) {
  if (lines.Count() != Rows()) throw std::out_of_range("TOverflowLines: the rows do not match the text");
  std::size_t measured = 0;
  // Rows measured ahead of the walk (for a view or by an edit) are passed
  // over; the next of them is looked for only so far ahead at a time.
  constexpr int kLookAhead = 64 * 1024;
  for (FWalked = FMeasured.Find(FWalked, Rows() - 1, false); !Complete() && measured < bytes;
       FWalked = FMeasured.Find(FWalked, Rows() - 1, false)) {
    const int ahead = FWalked + std::min(kLookAhead, Rows() - 1 - FWalked);
    const TMeasured step = Measure(lines, FWalked, FMeasured.Find(FWalked, ahead, true) - 1, bytes - measured);
    measured += step.Bytes;
    FWalked = step.End;
  }
}

void TOverflowLines::MeasureRest(const TRyxStrings& lines) { MeasureSome(lines, SIZE_MAX); }

void TOverflowLines::MeasureRows(const TRyxStrings& lines, int first, int last) {
  if (lines.Count() != Rows()) throw std::out_of_range("TOverflowLines: the rows do not match the text");
  first = std::max(first, 0);
  last = std::min(last, Rows() - 1);
  for (int row = FMeasured.Find(first, last, false); row <= last; row = FMeasured.Find(row, last, false))
    row = Measure(lines, row, FMeasured.Find(row, last, true) - 1).End;
}

void TOverflowLines::Changed(const TRyxStrings& lines, int first, int oldLast, int newLast) {
  if (first < 0 || oldLast >= FFlags.Count() || newLast >= lines.Count() || FFlags.Count() - (oldLast - first) +
      (newLast - first) != lines.Count())
    throw std::out_of_range("TOverflowLines: the reported rows do not match the text");
  FPlayerRows.clear();
  FCount -= FFlags.CountSet(first, oldLast);
  FFlags.Splice(first, oldLast - first + 1, newLast - first + 1);
  FMeasured.Splice(first, oldLast - first + 1, newLast - first + 1);
  // The rows after the changed ones keep their bytes and their measures;
  // the walk goes on from the first changed row at the latest.
  FWalked = FWalked > oldLast ? FWalked + (newLast - oldLast) : std::min(FWalked, first);
  if (newLast - first + 1 > kMostRowsMeasuredAtOnce) {
    // The logical line that runs on into the rows after them has its flag
    // there: measured no more, it waits for the walk with them.
    int lineFirst = 0;
    int lineLast = 0;
    RowsOfLogicalLine(lines, newLast, lineFirst, lineLast);
    Forget(newLast + 1, lineLast);
    FWalked = std::min(FWalked, first);
    return;
  }
  // A logical line that runs on into the changed rows is measured whole,
  // since its rows are walked from them.
  const int end = Measure(lines, first, newLast).End;
  if (FWalked >= first) FWalked = std::max(FWalked, end);
}

void TOverflowLines::Forget(int first, int last) {
  if (first > last) return;
  FCount -= FFlags.CountSet(first, last);
  FFlags.Splice(first, last - first + 1, last - first + 1);
  FMeasured.Splice(first, last - first + 1, last - first + 1);
}

TOverflowLines::TMeasured TOverflowLines::Measure(const TRyxStrings& lines, int first, int last, std::size_t bytes) {
  // The flags of the whole span are found first and written in one walk:
  // setting each by its row number would look its block up again for every
  // line of a long span, a whole loaded text for one.
  TMeasured measured{first, 0};
  int spanFirst = first;
  std::vector<std::uint8_t> flags;
  std::string joined;
  for (int row = first; row <= last && measured.Bytes < bytes; row = measured.End) {
    int lineFirst = row;
    int lineLast = row;
    // Only the first row may be inside its line; each after it starts one.
    const std::string_view line = row == first ? LogicalLineView(lines, row, lineFirst, lineLast, joined)
                                               : LineStartingAt(lines, row, lineLast, joined);
    const std::optional<std::size_t> rows = RowsIfItMayOverflow(line);
    const bool overflows = Overflows(rows, FDisplay);
    if (overflows && FPlayerRows.size() < kMostPlayerRowsKept) FPlayerRows[lineLast] = *rows;
    if (row == first) spanFirst = lineFirst;
    flags.resize(static_cast<std::size_t>(lineLast - spanFirst + 1), 0);
    flags.back() = overflows ? 1 : 0;
    // A line's break counts as a byte, so that a walk over empty lines moves on by bounded steps too.
    measured.Bytes += line.size() + 1;
    measured.End = lineLast + 1;
  }
  if (flags.empty()) return measured;
  FCount -= FFlags.CountSet(spanFirst, spanFirst + static_cast<int>(flags.size()) - 1);
  FFlags.Write(spanFirst, flags);
  FCount += static_cast<int>(std::count(flags.begin(), flags.end(), 1));
  FMeasured.Write(spanFirst, std::vector<std::uint8_t>(flags.size(), 1));
  return measured;
}

std::optional<std::size_t> TOverflowLines::RowsIfItMayOverflow(std::string_view line) {
  if (line.size() < kLongLine) return PlayerRowsIfItMayOverflow(line, FDisplay);
  if (!MayOverflow(line, FDisplay)) return std::nullopt;
  FLongLine.Update(line, FDisplay.HalfCount);
  return FLongLine.Layout().Rows.size();
}
