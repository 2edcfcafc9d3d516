// TSungLines: the line tags of a text sorted by time, looked up by binary search.
#include "app/core/SungLines.h"

#include <algorithm>

#include "app/core/TimeTags.h"
#include "editor/RyxEditSub.h"
#include "editor/Ryxstrings.h"

void TSungLines::Read(const TRyxStrings& rows) {
  FTimes.clear();
  TTaggedLine parsed;
  // The start of each logical line, gathered across the rows word wrap
  // broke it into: a tag may straddle two of them, and line tags stand at the start.
  constexpr std::size_t kHeadBytes = 64;
  std::string head;
  bool read = false;
  int line = 0;
  for (int row = 0; row < rows.Count(); ++row) {
    const std::string_view piece = rows.Get(row);
    const std::string_view content = piece.substr(0, static_cast<std::size_t>(ContentLength(piece)));
    if (!read && head.size() < kHeadBytes) head.append(content.substr(0, kHeadBytes - head.size()));
    const bool lineEnd = HasLineEnd(piece);
    if (!read && (lineEnd || head.size() >= kHeadBytes || row + 1 == rows.Count())) {
      ParseTaggedLine(head, parsed);
      for (std::size_t i = 0; i < parsed.LineTagCount; ++i) FTimes.emplace_back(TMillis{parsed.Tags[i].Millis}, line);
      read = true;
    }
    if (lineEnd) {
      ++line;
      head.clear();
      read = false;
    }
  }
  std::sort(FTimes.begin(), FTimes.end());
}

std::optional<int> TSungLines::LineAt(TMillis position) const {
  // The first entry after position, by time; the one before it is the latest at or before it, the last line of a shared time.
  const auto after = std::upper_bound(FTimes.begin(), FTimes.end(), position,
                                      [](TMillis at, const std::pair<TMillis, int>& entry) { return at < entry.first; });
  if (after == FTimes.begin()) return std::nullopt;
  return std::prev(after)->second;
}
