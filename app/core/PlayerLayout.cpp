// Breaking a tag-free line into player rows, one character at a time.
#include "app/core/PlayerLayout.h"

#include "app/core/TimeTags.h"
#include "platform/LeadByte.h"

namespace {

std::string WithoutTimeTags(std::string_view line) {
  // An ID tag line holds no time tags, whatever its value looks like.
  if (ParseIdTag(line)) return std::string(line);
  std::string text;
  std::size_t copied = 0;
  TTimeTagScanner scanner(line);
  TScannedTag found;
  while (scanner.Next(found)) {
    if (found.Reason != nullptr) continue;
    text.append(line.substr(copied, found.Tag.Start - copied));
    copied = found.Tag.Start + found.Tag.Length;
  }
  text.append(line.substr(copied));
  return text;
}

}  // namespace

std::size_t TPlayerLayout::Pages(int lineCount) const {
  if (lineCount < 1) return 1;
  const std::size_t perPage = static_cast<std::size_t>(lineCount);
  return (Rows.size() + perPage - 1) / perPage;
}

namespace {

// Breaks the tag-free text into rows, handing each to onRow in order.
template <class OnRow>
void BreakIntoRows(const std::string& text, int halfCount, OnRow&& onRow) {
  TPlayerRowBreaker breaker(halfCount);
  breaker.Feed(text, true, onRow);
  onRow(breaker.Open());
}

}  // namespace

TPlayerLayout LayOutForPlayer(std::string_view line, int halfCount) {
  TPlayerLayout layout;
  layout.Text = WithoutTimeTags(line);
  BreakIntoRows(layout.Text, halfCount, [&layout](const TPlayerRow& row) { layout.Rows.push_back(row); });
  return layout;
}

bool NeedsMoreThanAPage(std::string_view line, TPlayerDisplay display) {
  if (display.LineCount < 1) return false;
  // Every row but the last holds at least HalfCount - 1 cells, and a line has no more cells than bytes.
  const auto rows = static_cast<std::size_t>(display.LineCount);
  if (display.HalfCount >= 2 && line.size() <= rows * static_cast<std::size_t>(display.HalfCount - 1)) return false;
  return CountPlayerRows(line, display.HalfCount) > rows;
}

std::size_t CountPlayerRows(std::string_view line, int halfCount) {
  std::size_t rows = 0;
  BreakIntoRows(WithoutTimeTags(line), halfCount, [&rows](const TPlayerRow&) { ++rows; });
  return rows;
}
