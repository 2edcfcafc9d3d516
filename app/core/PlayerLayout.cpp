// Breaking a tag-free line into player rows, one character at a time.
#include "app/core/PlayerLayout.h"

#include "app/core/TimeTags.h"
#include "platform/LeadByte.h"

namespace {

std::string WithoutTimeTags(std::string_view line) {
  std::string text;
  std::size_t copied = 0;
  for (const TTimeTag& tag : ParseTaggedLine(line).Tags) {
    text.append(line.substr(copied, tag.Start - copied));
    copied = tag.Start + tag.Length;
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
  TPlayerRow row;
  for (std::size_t i = 0; i < text.size();) {
    const bool wide = IsDBCSLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    const int cells = wide ? 2 : 1;
    if (row.Length > 0 && row.Cells + cells > halfCount) {
      onRow(row);
      row = TPlayerRow{i, 0, 0};
    }
    row.Length += static_cast<std::size_t>(cells);
    row.Cells += cells;
    i += static_cast<std::size_t>(cells);
  }
  onRow(row);
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
