// The mark of word mode's next unit, drawn after the rows like the display guides and the match frames.
#include "app/core/WordUnitMark.h"

#include <algorithm>
#include <string>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "platform/Canvas.h"

namespace {

constexpr TColor kMarkColor = 0xD06E1E;  // blue (0x00BBGGRR)
constexpr int kBarHeight = 3;

}  // namespace

std::pair<int, int> MarkedUnitRows(const TRyxEdit& edit, const TMarkedUnit& unit) {
  const int first = edit.ToDisplay({unit.Line, static_cast<int>(unit.Start)}).Line;
  const int last = edit.ToDisplay({unit.Line, static_cast<int>(unit.End)}).Line;
  return {first, std::max(first, last)};
}

void DrawMarkedUnit(ICanvas& canvas, const TRyxEdit& edit, const TMarkedUnit& unit, int L1, int L2) {
  const auto [firstRow, lastRow] = MarkedUnitRows(edit, unit);
  const int first = std::max({L1, edit.TopLine(), firstRow});
  const int last = std::min({L2, edit.TopLine() + edit.VisibleLines() - 1, lastRow});
  const TColor brush = canvas.BrushColor();
  const TColor pen = canvas.PenColor();
  canvas.SetBrushColor(kMarkColor);
  canvas.SetPen(kMarkColor, 1);
  for (int row = first; row <= last; ++row) {
    const std::string text = StripEndMarker(StripLineEnd(edit.Lines().Get(row)));
    const int rowStart = edit.ToLogical({row, 0}).Col;
    const int a = std::max(0, static_cast<int>(unit.Start) - rowStart);
    const int b = std::min(static_cast<int>(text.size()), static_cast<int>(unit.End) - rowStart);
    if (b <= a) continue;
    const int x1 = std::max(edit.TextLeft(), edit.TextLeft() - edit.ScrollX() + edit.TextXOfColumn(text, a));
    const int x2 = edit.TextLeft() - edit.ScrollX() + edit.TextXOfColumn(text, b);
    if (x2 <= x1) continue;
    const int top = edit.TopMargin() + (row - edit.TopLine()) * edit.LineHeight();
    const int bottom = top + edit.LineHeight();
    // A frame round the characters and a bar under them.
    canvas.MoveTo(x1, top);
    canvas.LineTo(x2, top);
    canvas.MoveTo(x1, top);
    canvas.LineTo(x1, bottom);
    canvas.MoveTo(x2, top);
    canvas.LineTo(x2, bottom);
    canvas.FillRect(TRect{x1, bottom - kBarHeight, x2 + 1, bottom});
  }
  canvas.SetPen(pen, 1);
  canvas.SetBrushColor(brush);
}
