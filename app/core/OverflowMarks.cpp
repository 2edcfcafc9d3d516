// The overflow marks: finding the rows in view and the x of their line ends.
#include "app/core/OverflowMarks.h"

#include <algorithm>
#include <string>

#include "app/core/OverflowLines.h"
#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "platform/CodePage.h"

namespace {

constexpr TColor kBadge = RGB(208, 0, 0);
constexpr TColor kBadgeText = RGB(255, 255, 255);
// Past the cell of the line-break mark, which the editor paints after every line.
constexpr int kAfterBreakCell = 8 + 4;

}  // namespace

void DrawOverflowMarks(ICanvas& canvas, const TRyxEdit& edit, TOverflowLines& overflow, int L1, int L2) {
  const TRyxStrings& lines = edit.Lines();
  const int first = std::max(L1, edit.TopLine());
  const int last = std::min({L2, edit.TopLine() + edit.VisibleLines() - 1, lines.Count() - 1});
  if (first > last) return;
  // The rows in view are measured before the walk over the text gets to them.
  overflow.MeasureRows(lines, first, last);
  if (overflow.Count() == 0) return;
  const TColor text = canvas.TextColor();
  const TColor background = canvas.BkColor();
  canvas.SetTextColor(kBadgeText);
  canvas.SetBkColor(kBadge);
  for (int row = first; row <= last; ++row) {
    if (!overflow.EndsOverflow(row)) continue;
    const std::string_view stored = lines.Get(row);
    const std::string_view content = stored.substr(0, static_cast<std::size_t>(ContentLength(stored)));
    const std::size_t rows = overflow.PlayerRows(lines, row);
    int x = edit.TextLeft() - edit.ScrollX() + edit.TextXOfColumn(content, static_cast<int>(content.size())) +
            kAfterBreakCell;
    std::string badge = std::to_string(rows);
    badge.insert(badge.begin(), ' ');
    badge.append("行 ");
    const std::string ansi = UnicodeToAnsi(Utf8ToUnicode(badge));
    // A wrapped row may reach the window's edge: its badge goes over the row's end rather than out of view.
    if (edit.WordWrap()) x = std::min(x, edit.TextLeft() + edit.TextWidth() - canvas.TextWidth(ansi));
    if (x >= edit.ClientWidth()) continue;
    const int y = edit.TopMargin() + (row - edit.TopLine()) * edit.LineHeight();
    canvas.TextOut(std::max(x, edit.TextLeft()), y, ansi);
  }
  canvas.SetTextColor(text);
  canvas.SetBkColor(background);
}
