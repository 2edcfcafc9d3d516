// TOverflowLines: splicing the row flags as the editor reports changes, and measuring the lines around them.
#include "app/OverflowLines.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "app/TimeTags.h"
#include "editor/RyxEditSub.h"
#include "editor/Ryxstrings.h"

std::string LogicalLineAt(const TRyxStrings& lines, int row, int* firstRow, int* lastRow) {
  int first = row;
  while (first > 0 && !HasLineEnd(lines.Get(first - 1))) --first;
  int last = row;
  while (last + 1 < lines.Count() && !HasLineEnd(lines.Get(last))) ++last;
  std::string text;
  for (int r = first; r <= last; ++r) {
    const std::string_view part = lines.Get(r);
    text.append(part.substr(0, static_cast<std::size_t>(ContentLength(part))));
  }
  if (firstRow) *firstRow = first;
  if (lastRow) *lastRow = last;
  return text;
}

bool OverflowsDisplay(std::string_view line, TPlayerDisplay display) {
  // The player does not show ID tags; the tag check passes them over as well.
  if (display.LineCount < 1 || ParseTaggedLine(line).Id) return false;
  return LayOutForPlayer(line, display.HalfCount).Rows.size() > static_cast<std::size_t>(display.LineCount);
}

void TOverflowLines::Reset(const TRyxStrings& lines) {
  // Row by row in one walk: setting each flag by its row number would look
  // its block up again for every line of the text.
  std::vector<std::uint8_t> flags(static_cast<std::size_t>(lines.Count()), 0);
  FCount = 0;
  for (int row = 0; row < lines.Count();) {
    int last = 0;
    const bool overflows = OverflowsDisplay(LogicalLineAt(lines, row, nullptr, &last), FDisplay);
    flags[static_cast<std::size_t>(last)] = overflows ? 1 : 0;
    if (overflows) ++FCount;
    row = last + 1;
  }
  FFlags.Assign(flags);
}

void TOverflowLines::Changed(const TRyxStrings& lines, int first, int oldLast, int newLast) {
  if (first < 0 || oldLast >= FFlags.Count() || newLast >= lines.Count() || FFlags.Count() - (oldLast - first) +
      (newLast - first) != lines.Count())
    throw std::out_of_range("TOverflowLines: the reported rows do not match the text");
  FCount -= FFlags.CountSet(first, oldLast);
  FFlags.Splice(first, oldLast - first + 1, newLast - first + 1);
  // The rows around keep their bytes; a logical line that runs on into the
  // changed rows is measured whole, since its rows are walked from them.
  Measure(lines, first, newLast);
}

void TOverflowLines::Measure(const TRyxStrings& lines, int first, int last) {
  for (int row = first; row <= last && row < lines.Count();) {
    int lineFirst = 0;
    int lineLast = 0;
    const std::string text = LogicalLineAt(lines, row, &lineFirst, &lineLast);
    FCount -= FFlags.CountSet(lineFirst, lineLast);
    for (int r = lineFirst; r < lineLast; ++r) FFlags.Set(r, false);
    const bool overflows = OverflowsDisplay(text, FDisplay);
    FFlags.Set(lineLast, overflows);
    if (overflows) ++FCount;
    row = lineLast + 1;
  }
}
