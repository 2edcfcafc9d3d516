// TRyxEdit: text-area size, scroll ranges, and keeping the caret in view.
#include <algorithm>
#include <string>

#include "editor/IntMath.h"
#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"

void TRyxEdit::WMSize(TMessage& message) {
  UpdateTextArea(ClientWidth(), ClientHeight());
  UpdateVScrollRange(true);
  UpdateHScrollRange(true);
  message.Result = 0;
}

void TRyxEdit::UpdateTextArea(int width, int height) {
  FTextWidth = width - FTextLeft;
  FTextHeight = height - FTopMargin;
  if (FLineHeight > 0) FVisibleLines = FloorDiv(FTextHeight, FLineHeight);
  FOverScroll = CeilDiv(FVisibleLines, 5);
  FHScrollStep = CeilDiv(FTextWidth, 5);
  SetCurSetMode(FCurSetMode);
  const int bottom = FVisibleLines * FLineHeight + FTopMargin;
  FTextRect = TRect{FTextLeft, 0, width, bottom};
  FLinesRect = TRect{0, FTopMargin, width, bottom};
}

bool TRyxEdit::UpdateVScrollRange(bool redraw) {
  IControlHost& host = Host();
  const int count = FLines.Count();
  FVScrollMax = std::max(0, count + FOverScroll - FVisibleLines - 1);
  const int oldTextLeft = FTextLeft;
  if (FShowLineNumber) {
    const int needed = Canvas().TextWidth(std::to_string(count)) + FLeftMargin + 7;
    while (needed > FTextLeft) FTextLeft += 10;
    while (2 * needed < 2 * FTextLeft - 3 * FDigitWidth && needed > FTextLeftMin) FTextLeft -= 10;
    const int w = Width();
    const int h = Height();
    FTextRect = TRect{FTextLeft, FTopMargin, w, h};
    FLinesRect = TRect{0, FTopMargin, w, h};
    FTextWidth = w - FTextLeft - FVBarWidth;
    FGutterWidth = FTextLeft - FLeftMargin;
  }
  if (FVertScrollBar) {
    host.EnableScrollBar(SB_VERT, FVisibleLines < count + FOverScroll ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
    FVScrollScale = std::max(1, CeilDiv(FVScrollMax, 32767));
    const int rangeMax = CeilDiv(FVScrollMax, FVScrollScale);
    host.SetScrollRange(SB_VERT, 0, rangeMax, false);
    host.SetScrollPos(SB_VERT, CeilDiv(FTopLine, FVScrollScale), redraw);
    if (rangeMax == 0) host.ShowScrollBar(SB_VERT, true);
  }
  return FTextLeft != oldTextLeft;
}

void TRyxEdit::UpdateHScrollRange(bool redraw) {
  FMaxLineWidth = 0;
  const int last = std::min(FLines.Count() - 1, FTopLine + FVisibleLines - 1);
  for (int i = FTopLine; i <= last; ++i)
    FMaxLineWidth = std::max(FMaxLineWidth, Canvas().TextWidth(ExpandTabs(FLines.Get(i))));
  if (!FHorzScrollBar) return;
  IControlHost& host = Host();
  host.EnableScrollBar(SB_HORZ,
                       FTextWidth < FMaxLineWidth + FHScrollStep ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
  FHScrollScale = std::max(1, CeilDiv(FMaxLineWidth, 32767));
  host.SetScrollRange(SB_HORZ, 0, std::max(1, CeilDiv(FMaxLineWidth, FHScrollScale) - FHScrollStep), redraw);
}

bool TRyxEdit::ScrollToCaret(int x, int line, int margin) {
  try {
    const int oldScrollX = FScrollX;
    const int oldTopLine = FTopLine;
    const int tx = x + FScrollX;
    if (x > FTextWidth - margin) {
      FScrollX = tx + FHScrollStep - FTextWidth;
      FCaretX = tx - FScrollX;
    } else if (x < margin) {
      FScrollX = std::max(0, tx - (FTextWidth - FHScrollStep));
      FCaretX = tx - FScrollX;
    }
    const int count = FLines.Count();
    const int keep = FVisibleLines - FOverScroll;
    if (line > FTopLine + keep)
      FTopLine = std::max(0, line - keep);
    else if (FTopLine < count - keep) {
      if (line < FTopLine) FTopLine = std::max(0, line - FOverScroll + 1);
    } else {
      FTopLine = std::max(0, line - keep);
    }
    if (FVisibleLines >= count + FOverScroll) FTopLine = 0;
    return FScrollX != oldScrollX || FTopLine != oldTopLine;
  } catch (const std::exception&) {
    ShowError("Error:OC005");
    return false;
  }
}

bool TRyxEdit::SetCaret(int col, int line, bool setGoal, bool collapse) {
  bool scrolled = false;
  try {
    const int oldLine = FCaretLine;
    const bool move = col >= 0;
    if (move) {
      line = std::min(FLines.Count() - 1, line);
      const std::string& text = FLines.Get(line);
      const int content = static_cast<int>(text.size()) - (HasLineEnd(text) ? 2 : 0);
      col = std::min(col, content);
      FCaretX = TextXOfColumn(text, col) - FScrollX;
      FCaretCol = col;
      FCaretLine = line;
    }
    IControlHost& host = Host();
    if (ScrollToCaret(FCaretX, FCaretLine, 3)) {
      host.HideCaret();
      UpdateVScrollRange(true);
      UpdateHScrollRange(true);
      PaintScreen();
      UpdateCaretPos();
      host.ShowCaret();
      scrolled = true;
    } else if (move) {
      UpdateCaretPos();
      if (FCaretLine != oldLine) {
        host.HideCaret();
        MoveUnderline(oldLine, FCaretLine);
        host.ShowCaret();
      }
    }
    if (collapse) {
      FSelStartLine = FSelEndLine = FSelPaintLine = FCaretLine;
      FSelStartCol = FSelEndCol = FSelPaintCol = FCaretCol;
    }
    if (setGoal) FGoalCol = FCaretCol;
  } catch (const std::exception&) {
    ShowError("Error:OC006");
  }
  return scrolled;
}
