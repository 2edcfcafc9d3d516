// DrawDisplayGuides: the tag line and one grey line per player display line.
#include "app/core/DisplayGuides.h"

#include <algorithm>
#include <cstdint>

#include "app/core/FuncUnit.h"

namespace {

// Width of count spaces, measured as one string because a proportional
// font need not make it count times the width of one space. A space is at
// least a pixel wide, so more than kMaxGuideX of them reach past every guide.
int SpacesWidth(const ICanvas& canvas, int count) {
  return canvas.TextWidth(RepeatString(std::min(count, kMaxGuideX), " "));
}

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
