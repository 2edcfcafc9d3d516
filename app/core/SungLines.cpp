// TSungLines: the line tags of a text sorted by time, looked up by binary search.
#include "app/core/SungLines.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "app/core/TimeTags.h"
#include "editor/RyxEditSub.h"
#include "editor/Ryxstrings.h"

void TSungLines::Read(const TRyxStrings& rows) {
  FTimes.clear();
  FRows = rows.Count();
  FLineEnds = rows.LogicalLineOf(FRows);
  ReadLines(rows, 0, 0, FLineEnds, FTimes);
  std::sort(FTimes.begin(), FTimes.end());
}

void TSungLines::Changed(const TRyxStrings& rows, int first, int oldLast, int newLast) {
  if (first < 0 || oldLast < first - 1 || oldLast >= FRows || newLast < first - 1 || newLast >= rows.Count() ||
      FRows - (oldLast - first) + (newLast - first) != rows.Count())
    throw std::out_of_range("TSungLines: the reported rows do not match the text");
  // The rows after the change are those after it before: counting the line
  // breaks from its end to the end of the text places it in the old lines.
  const int lineEnds = rows.LogicalLineOf(rows.Count());
  const int firstLine = rows.LogicalLineOf(first);
  const int newLastLine = rows.LogicalLineOf(newLast + 1);
  const int oldLastLine = FLineEnds - (lineEnds - newLastLine);
  const int shift = newLastLine - oldLastLine;
  // One pass over the tags, none over the text: the changed lines' go, the
  // later lines' are renumbered, which keeps their order.
  auto kept = FTimes.begin();
  for (auto& entry : FTimes) {
    if (entry.second >= firstLine && entry.second <= oldLastLine) continue;
    if (entry.second > oldLastLine) entry.second += shift;
    *kept++ = entry;
  }
  FTimes.erase(kept, FTimes.end());
  TEntries read;
  ReadLines(rows, rows.FirstIndexOfLogicalLine(firstLine), firstLine, newLastLine, read);
  std::sort(read.begin(), read.end());
  const auto middle = FTimes.insert(FTimes.end(), read.begin(), read.end());
  std::inplace_merge(FTimes.begin(), middle, FTimes.end());
  FRows = rows.Count();
  FLineEnds = lineEnds;
}

void TSungLines::ReadLines(const TRyxStrings& rows, int row, int line, int lastLine, TEntries& entries) {
  TTaggedLine parsed;
  // The start of each logical line, gathered across the rows word wrap
  // broke it into: a tag may straddle two of them, and line tags stand at the start.
  constexpr std::size_t kHeadBytes = 64;
  std::string head;
  bool read = false;
  for (; row < rows.Count() && line <= lastLine; ++row) {
    const std::string_view piece = rows.Get(row);
    const std::string_view content = piece.substr(0, static_cast<std::size_t>(ContentLength(piece)));
    if (!read && head.size() < kHeadBytes) head.append(content.substr(0, kHeadBytes - head.size()));
    const bool lineEnd = HasLineEnd(piece);
    if (!read && (lineEnd || head.size() >= kHeadBytes || row + 1 == rows.Count())) {
      ParseTaggedLine(head, parsed);
      for (std::size_t i = 0; i < parsed.LineTagCount; ++i) entries.emplace_back(TMillis{parsed.Tags[i].Millis}, line);
      read = true;
    }
    if (lineEnd) {
      ++line;
      head.clear();
      read = false;
    } else if (read) {
      // The rest of a long line is passed over, not walked row by row: on to
      // the row that ends it (a last line without a break ends at the last row).
      const int next = rows.FirstIndexOfLogicalLine(line + 1);
      const int lastRow = rows.LogicalLineOf(next) > line ? next - 1 : next;
      row = std::max(row, lastRow - 1);
    }
  }
}

std::optional<int> TSungLines::LineAt(TMillis position) const {
  // The first entry after position, by time; the one before it is the latest at or before it, the last line of a shared time.
  const auto after = std::upper_bound(FTimes.begin(), FTimes.end(), position,
                                      [](TMillis at, const std::pair<TMillis, int>& entry) { return at < entry.first; });
  if (after == FTimes.begin()) return std::nullopt;
  return std::prev(after)->second;
}
