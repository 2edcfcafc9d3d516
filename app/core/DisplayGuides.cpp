// DrawDisplayGuides: the tag line and one grey line per player display line.
#include "app/core/DisplayGuides.h"

#include <algorithm>
#include <cstdint>

#include "app/core/FuncUnit.h"
#include "app/core/TagCounting.h"
#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"

namespace {

// Width of count spaces, measured as one string because a proportional
// font need not make it count times the width of one space. A space is at
// least a pixel wide, so more than kMaxGuideX of them reach past every guide.
int SpacesWidth(const ICanvas& canvas, int count) {
  return canvas.TextWidth(RepeatString(std::min(count, kMaxGuideX), " "));
}

// Bytes after a row's last player break that are still measured for the guides past its end.
constexpr std::size_t kLongestMeasuredTail = 4096;

void VerticalLine(ICanvas& canvas, int x, int top, int bottom) {
  canvas.MoveTo(x, top);
  canvas.LineTo(x, bottom);
}

}  // namespace

void DrawDisplayGuides(ICanvas& canvas, int x1, int top, int textHeight, const TDeviceSettings& settings,
                       int scrollX) {
  const int bottom = top + textHeight;
  const std::int64_t origin = std::int64_t{x1} - scrollX;
  // A guide marks the end of a column, one pixel left of the next: at column 0 that is x1 - 1.
  const std::int64_t leftmost = std::int64_t{x1} - 1;
  int tag = 0;
  if (settings.ShowTagLine) {
    canvas.SetPen(kTagLineColor);
    tag = SpacesWidth(canvas, kTagColumnChars);
    if (origin + tag - 1 >= leftmost) VerticalLine(canvas, static_cast<int>(origin + tag - 1), top, bottom);
  }
  canvas.SetPen(kGuideLineColor);
  const std::int64_t w = SpacesWidth(canvas, settings.HalfCount);
  // With no width every guide falls on the same x; one line shows them all.
  const int count = w == 0 ? std::min(settings.LineCount, 1) : settings.LineCount;
  for (int k = 1; k <= count; ++k) {
    const std::int64_t x = origin + tag + k * w - 1;
    if (x > kMaxGuideX) break;
    if (x >= leftmost) VerticalLine(canvas, static_cast<int>(x), top, bottom);
  }
}

void DrawCountedGuides(ICanvas& canvas, const TRyxEdit& edit, const TDeviceSettings& settings,
                       const IColumnCounting& counting, int L1, int L2) {
  const TRyxStrings& lines = edit.Lines();
  const int first = std::max(L1, edit.TopLine());
  const int last = std::min({L2, edit.TopLine() + edit.VisibleLines() - 1, lines.Count() - 1});
  if (settings.LineCount < 1 || settings.HalfCount < 1) return;
  canvas.SetPen(kGuideLineColor);
  const auto most = static_cast<std::size_t>(settings.LineCount);
  const std::int64_t origin = std::int64_t{edit.TextLeft()} - edit.ScrollX();
  for (int row = first; row <= last; ++row) {
    if (RowInSilentLine(lines, row, counting)) continue;
    const std::string_view stored = lines.Get(row);
    const std::string_view text = stored.substr(0, static_cast<std::size_t>(ContentLength(stored)));
    const TCountedRows rows = CountedRows(text, settings.HalfCount, counting, most);
    const int top = edit.TopMargin() + (row - edit.TopLine()) * edit.LineHeight();
    auto guide = [&](std::int64_t x) {
      if (x >= edit.TextLeft() - 1 && x <= kMaxGuideX)
        VerticalLine(canvas, static_cast<int>(x), top, top + edit.LineHeight());
    };
    for (const std::size_t at : rows.Breaks) guide(origin + edit.TextXOfColumn(text, static_cast<int>(at)) - 1);
    // Past the text the guides go on as if spaces filled the last row and the
    // ones after it; a row whose tail of markup lies past any screen is not measured to its end.
    const std::size_t tailStart = rows.Breaks.empty() ? 0 : rows.Breaks.back();
    if (text.size() - tailStart > kLongestMeasuredTail) continue;
    const std::int64_t end = origin + edit.TextXOfColumn(text, static_cast<int>(text.size())) - 1;
    for (std::size_t k = rows.Breaks.size() + 1; k <= most; ++k) {
      const std::int64_t cells =
          static_cast<std::int64_t>(k - rows.Breaks.size()) * settings.HalfCount - rows.LastColumns;
      const std::int64_t x = end + SpacesWidth(canvas, static_cast<int>(std::min<std::int64_t>(cells, kMaxGuideX)));
      if (x > kMaxGuideX) break;
      guide(x);
    }
  }
}
