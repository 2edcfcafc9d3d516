// TTagCounting: time tags found as the tag reader finds them, and the rows a counted text breaks into.
#include "app/core/TagCounting.h"

#include <string>

#include "app/core/TimeTags.h"
#include "editor/RyxEditSub.h"
#include "editor/Ryxstrings.h"

TMarkup TTagCounting::NextMarkup(std::string_view text, std::size_t from) const {
  const auto [start, length] = NextTimeTag(text, from);
  return TMarkup{start, length};
}

bool TTagCounting::IsSilentLine(std::string_view line) const { return ParseIdTag(line).has_value(); }

TCountedRows CountedRows(std::string_view text, int halfCount, const IColumnCounting& counting, std::size_t most) {
  TWrapRule rule;
  rule.Column = halfCount;
  rule.Counting = &counting;
  TCountedRows rows;
  std::size_t at = 0;
  while (rows.Breaks.size() < most) {
    const auto n = static_cast<std::size_t>(WrapPieceLength(text.substr(at), rule));
    if (at + n >= text.size()) break;
    at += n;
    rows.Breaks.push_back(at);
  }
  // The last row counted up to the next break at most: a long line's tail is not walked.
  const std::size_t end = std::min(text.size(), at + static_cast<std::size_t>(WrapPieceLength(text.substr(at), rule)));
  rows.LastColumns = CountedColumns(text.substr(at, end - at), counting);
  return rows;
}

bool RowInSilentLine(const TRyxStrings& lines, int row, const IColumnCounting& counting) {
  const std::size_t limit = IColumnCounting::kLongestSilentLine;
  std::string line;
  for (int r = lines.FirstIndexOfLogicalLine(lines.LogicalLineOf(row)); r < lines.Count(); ++r) {
    const std::string_view piece = lines.Get(r);
    line.append(piece.substr(0, static_cast<std::size_t>(ContentLength(piece))));
    if (line.size() > limit) return false;
    if (HasLineEnd(piece)) break;
  }
  return counting.IsSilentLine(line);
}
