// TRyxEdit: the marks for line ends, the end of the text, tabs and full-width spaces, and the dotted-line drawer.
#include <cstdlib>
#include <string>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"

namespace {

constexpr TColor kInvert = 0xFFFFFF;

// Calls proc for every point of the line from (x1, y1) towards (x2, y2),
// the end point excluded, stepping as a line-point generator does.
template <typename Proc>
void LineDDA(int x1, int y1, int x2, int y2, Proc&& proc) {
  const int dx = std::abs(x2 - x1);
  const int dy = std::abs(y2 - y1);
  const int sx = x1 < x2 ? 1 : -1;
  const int sy = y1 < y2 ? 1 : -1;
  int err = dx - dy;
  while (x1 != x2 || y1 != y2) {
    proc(x1, y1);
    const int e2 = 2 * err;
    if (e2 > -dy) {
      err -= dy;
      x1 += sx;
    }
    if (e2 < dx) {
      err += dx;
      y1 += sy;
    }
  }
}

}  // namespace

void TRyxEdit::DrawLineEndMark(int x, std::string_view endBytes, int y) {
  ICanvas& canvas = Canvas();
  if (endBytes == kEndMarker) {
    if (!FShowEOF) return;
    canvas.SetTextColor(FCREOFcolor);
    canvas.SetBkColor(FColor);
    canvas.TextOut(x, y, kEndOfTextLabel);
  } else if (endBytes == "\r\n" && FShowCR) {
    canvas.SetBrushColor(FColor);
    canvas.SetPen(FCREOFcolor);
    DrawCRMark(x, y);
  }
}

void TRyxEdit::DrawCRMark(int x, int y) {
  ICanvas& canvas = Canvas();
  const int top = y + FMarkGap;
  const int bottom = y + FMarkHeight;
  canvas.MoveTo(x + 4, top);
  canvas.LineTo(x + 4, bottom);
  canvas.LineTo(x + 1, bottom - 3);
  canvas.MoveTo(x + 4, bottom);
  canvas.LineTo(x + 7, bottom - 3);
}

void TRyxEdit::DrawBlankMarks(const TRect& clip, int x0, const TTabMarks& marks, bool selected,
                              const std::string& text, int y) {
  ICanvas& canvas = Canvas();
  canvas.SetPen(selected ? FCREOFcolor ^ kInvert : FCREOFcolor);
  if (FShowDblSpace && !FSingleByteMode) {
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
      const bool lead = IsDBCSLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < n;
      if (lead && text.compare(i, 2, "\x81\x40") == 0) {
        const int xR = x0 + canvas.TextWidth(std::string_view(text).substr(0, i + 2));
        if (xR >= clip.Left && xR - FZenWidth <= clip.Right) {
          const int left = xR - FZenWidth + 3;
          const int right = xR - 3;
          const int top = y + 2;
          const int bottom = y + FZenHeight - 2;
          DrawDotLine(right, top, right, bottom);
          DrawDotLine(right, bottom, left, bottom);
          DrawDotLine(left, bottom, left, top);
          DrawDotLine(left, top, right, top);
        }
      }
      i += lead ? 2 : 1;
    }
  }
  for (const int p : marks) {
    if (p < 0) break;
    const int xs = p - FScrollX + FTextLeft + 1;
    const int tip = xs + FHanWidth - 2;
    const int ym = y + FZenHeight / 2;
    if (xs + FHanWidth < clip.Left || xs > clip.Right) continue;
    canvas.MoveTo(xs, ym);
    canvas.LineTo(tip, ym);
    canvas.LineTo(tip - 3, ym - 3);
    canvas.MoveTo(tip, ym);
    canvas.LineTo(tip - 3, ym + 3);
  }
}

void TRyxEdit::DrawDotLine(int x1, int y1, int x2, int y2) {
  LineDDA(x1, y1, x2, y2, [this](int x, int y) { DotLineProc(x, y); });
}

void TRyxEdit::DotLineProc(int x, int y) {
  TDotLineState& dot = FDotLine;
  if (dot.Counter == 0) dot.Start = TPoint{x, y};
  if (dot.Counter == dot.PixelsOn) {
    // The next point follows the dot's start, so this draws the start pixel alone.
    ICanvas& canvas = dot.Canvas ? *dot.Canvas : Canvas();
    canvas.MoveTo(dot.Start.X, dot.Start.Y);
    canvas.LineTo(x, y);
  }
  dot.Last = TPoint{x, y};
  if (++dot.Counter >= dot.PixelsOn + dot.PixelsOff) dot.Counter = 0;
}
