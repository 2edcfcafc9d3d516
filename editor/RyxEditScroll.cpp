// TRyxEdit: text-area size, scroll ranges and messages, keeping the caret in view, and the jumps to the text ends.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "editor/IntMath.h"
#include "editor/RyxEdit.h"
#include "editor/RyxEditCaretGuard.h"
#include "editor/RyxEditSub.h"

void TRyxEdit::WMSize(TMessage& message) {
  UpdateTextArea(ClientWidth(), ClientHeight());
  if (FWordWrap && FAutoWrap) RewrapAll(true);
  UpdateVScrollRange(true);
  UpdateHScrollRange(true);
  message.Result = 0;
}

void TRyxEdit::UpdateTextArea(int width, int height) {
  FTextWidth = width - FTextLeft;
  FTextHeight = height - FTopMargin;
  if (FLineHeight > 0) FVisibleLines = FloorDiv(FTextHeight, FLineHeight);
  FOverScroll = CeilDiv(FVisibleLines, kOverScrollDivisor);
  FHScrollStep = CeilDiv(FTextWidth, kHScrollStepDivisor);
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
    const int needed =
        Canvas().TextWidth(std::to_string(FLines.LogicalLineOf(count - 1) + 1)) + FLeftMargin + kGutterPadding;
    while (needed > FTextLeft) FTextLeft += kGutterStep;
    while (2 * needed < 2 * FTextLeft - 3 * FDigitWidth && needed > FTextLeftMin) FTextLeft -= kGutterStep;
    const int w = Width();
    const int h = Height();
    FTextRect = TRect{FTextLeft, FTopMargin, w, h};
    FLinesRect = TRect{0, FTopMargin, w, h};
    FTextWidth = w - FTextLeft - FVBarWidth;
    FGutterWidth = FTextLeft - FLeftMargin;
  }
  if (FVertScrollBar) {
    host.EnableScrollBar(SB_VERT, FVisibleLines < count + FOverScroll ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
    FVScrollScale = std::max(1, CeilDiv(FVScrollMax, kScrollRangeLimit));
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
    FMaxLineWidth = std::max(FMaxLineWidth, TextXOfColumn(FLines.Get(i), INT_MAX));
  if (!FHorzScrollBar) return;
  IControlHost& host = Host();
  host.EnableScrollBar(SB_HORZ,
                       FTextWidth < FMaxLineWidth + FHScrollStep ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
  FHScrollScale = std::max(1, CeilDiv(FMaxLineWidth, kScrollRangeLimit));
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
    scrolled = MoveCaretInView(col, line);
    if (scrolled || col >= 0) UpdateCaretPos();
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

bool TRyxEdit::MoveCaretInView(int col, int line) {
  const int oldLine = FCaretLine;
  if (col >= 0) {
    line = std::min(FLines.Count() - 1, line);
    const std::string_view text = FLines.Get(line);
    FCaretX = TextXOfColumn(text, std::min(col, ContentLength(text))) - FScrollX;
    FCaretCol = std::min(col, ContentLength(text));
    FCaretLine = line;
  }
  const TCaretHidden hidden(Host());
  const int oldTop = FTopLine;
  const int oldScrollX = FScrollX;
  if (ScrollToCaret(FCaretX, FCaretLine, 3)) {
    const bool gutterMoved = UpdateVScrollRange(true);
    UpdateHScrollRange(true);
    if (!gutterMoved && FScrollX == oldScrollX && ScrollRowsInPlace(FTopLine - oldTop)) {
      // The old caret row's underline moved with its pixels.
      if (oldLine >= FTopLine && oldLine < FTopLine + FVisibleLines) DrawUnderline(oldLine, false);
      DrawUnderline(FCaretLine, true);
    } else {
      PaintScreen();
    }
    return true;
  }
  if (FCaretLine != oldLine) MoveUnderline(oldLine, FCaretLine);
  return false;
}

bool TRyxEdit::ScrollRowsInPlace(int rows) {
  // A selection's rows and a view not yet painted are painted whole.
  if (!FMayMovePixels || FStalePixels || FDeferScreenPaint || FSelActive || FSelAll || rows == 0 ||
      std::abs(rows) >= FVisibleLines)
    return false;
  // The whole rows only: the strip below them holds no row to move.
  TRect band = FLinesRect;
  band.Bottom = std::min(band.Bottom, FTopMargin + FVisibleLines * FLineHeight);
  IControlHost& host = Host();
  host.ScrollWindow(0, -rows * FLineHeight, &band, &band);
  // The view's last row ends its gutter line at its text; a row that was
  // last before the move, or is last after it, is painted again too.
  const int edge = band.Bottom - (rows > 0 ? rows + 1 : 1) * FLineHeight;
  const TRect last{band.Left, edge, band.Right, edge + FLineHeight};
  host.InvalidateRect(&last);
  return true;
}

void TRyxEdit::ScrollCaretIntoView(bool setGoal) { SetCaret(FCaretCol, FCaretLine, setGoal, false); }

void TRyxEdit::WMVScroll(TMessage& message) {
  const int rowHeight = std::max(1, FLineHeight);
  int a = 0;
  switch (LoWord(message.WParam)) {
    case SB_LINEUP:
      a = FKeyScrollCount <= -5 ? -FScrollStep : -1;
      break;
    case SB_LINEDOWN:
      a = FKeyScrollCount >= 5 ? FScrollStep : 1;
      break;
    case SB_PAGEUP:
      a = std::min(-1, -(FTextHeight / rowHeight));
      break;
    case SB_PAGEDOWN:
      a = std::max(1, FTextHeight / rowHeight);
      break;
    case SB_THUMBTRACK:
      a = static_cast<std::int16_t>(HiWord(message.WParam)) * FVScrollScale - FTopLine;
      break;
    case SB_TOP:
      a = -FTopLine;
      break;
    case SB_BOTTOM:
      a = FVScrollMax - FTopLine;
      break;
    default:
      break;
  }
  FVScrollCaretShift = a;
  if (a < 0) {
    FVScrolled = std::max(-FTopLine, a);
  } else {
    FVScrolled = std::max(0, std::min(a, FVScrollMax - FTopLine));
    // A caret deeper than the first row of the bottom band stays on its line while the view comes to it.
    if (FCaretLine + FOverScroll - FTopLine > FVisibleLines) FVScrollCaretShift = 0;
  }
  FInVScroll = true;
  if (FVScrolled != 0) {
    IControlHost& host = Host();
    DrawUnderline(FCaretLine, false);
    FTopLine += FVScrolled;
    {
      const TCaretHidden hidden(host);
      host.InvalidateRect(&FLinesRect);
      if (FScrollMovesCaret) {
        if (!FCaretScrollFix || FKeyScroll)
          MoveCaretLines(FVScrollCaretShift);
        else
          UpdateCaretPos();
      }
    }
    if (FVertScrollBar) host.SetScrollPos(SB_VERT, CeilDiv(FTopLine, FVScrollScale), true);
  }
  FInVScroll = false;
  FScrollMovesCaret = true;
  message.Result = FVScrolled;
}

void TRyxEdit::WMHScroll(TMessage& message) {
  int a = 0;
  switch (LoWord(message.WParam)) {
    case SB_LINELEFT:
      a = -FHScrollStep;
      break;
    case SB_LINERIGHT:
      a = FHScrollStep;
      break;
    case SB_PAGELEFT:
      a = std::min(-1, -(FTextWidth / 3));
      break;
    case SB_PAGERIGHT:
      a = std::max(1, FTextWidth / 3);
      break;
    case SB_THUMBTRACK:
      a = static_cast<std::int16_t>(HiWord(message.WParam)) * FHScrollScale - FScrollX;
      break;
    default:
      break;
  }
  message.Result = 0;
  if (a < 0) {
    FHScrolled = std::max(-FScrollX, a);
  } else if (FTextWidth >= FMaxLineWidth + FHScrollStep) {
    FHScrolled = 0;
  } else {
    // A view already past the end of the range (the caret moves may put it there)
    // must not be pulled back left by a request to the right.
    FHScrolled = std::max(0, std::min(a, FMaxLineWidth - FScrollX - FHScrollStep));
  }
  if (FHScrolled == 0) return;
  IControlHost& host = Host();
  const TCaretHidden hidden(host);
  FScrollX += FHScrolled;
  if (FHorzScrollBar) host.SetScrollPos(SB_HORZ, CeilDiv(FScrollX, FHScrollScale), true);
  host.ScrollWindow(-FHScrolled, 0, &FTextRect, &FTextRect);
  FCaretX -= FHScrolled;
  if (OnUserDraw) {
    PaintTopMargin();
    FireUserDraw();
  }
  UpdateCaretPos();
}

void TRyxEdit::WMMouseWheel(TMessage& message) {
  const int delta = static_cast<std::int16_t>(HiWord(message.WParam));
  const int notches = std::abs(delta / 120);
  // Part notches are dropped, not saved up for the next message.
  const WORD code = delta >= 120 ? SB_LINEUP : SB_LINEDOWN;
  if (delta >= 120 || delta <= -120) {
    for (int i = 0; i < notches; ++i) {
      Perform(WM_VSCROLL, code, notches);
      Perform(WM_VSCROLL, code, notches);
    }
  }
  message.Result = 0;
}

void TRyxEdit::PrepareDocumentJump() {
  const bool shift = Host().GetKeyState(VK_SHIFT) < 0;
  if (FSelActive || FSelAll) {
    if (!shift) ClearSelection();
    return;
  }
  // Without a selection, Shift starts one at the caret before the jump.
  FSelActive = shift || FMouseSelecting;
  if (FSelActive) {
    FSelStartLine = FCaretLine;
    FSelStartCol = FCaretCol;
  }
}

void TRyxEdit::GotoDocumentStart() {
  if (FCaretLine == 0 && FCaretCol == 0) return;
  IControlHost& host = Host();
  const TCaretHidden hidden(host);
  PrepareDocumentJump();
  FScrollX = FCaretX = FTopLine = FCaretLine = FCaretCol = FGoalCol = 0;
  host.SetScrollPos(SB_VERT, 0, false);
  host.SetScrollPos(SB_HORZ, 0, false);
  UpdateVScrollRange(true);
  UpdateHScrollRange(true);
  // The whole-text selection keeps its ends; any other moves its end to the start.
  if (!FSelActive && !FSelAll) FSelStartLine = FSelStartCol = 0;
  if (!FSelAll) FSelEndLine = FSelEndCol = FSelPaintLine = FSelPaintCol = 0;
  PaintScreen();
  UpdateCaretPos();
}

void TRyxEdit::GotoDocumentEnd() {
  const int last = FLines.Count() - 1;
  const std::string content = StripLineEnd(FLines.Get(last));
  const int length = static_cast<int>(content.size());
  if (FCaretLine == last && FCaretCol == length) return;
  IControlHost& host = Host();
  const TCaretHidden hidden(host);
  PrepareDocumentJump();
  FCaretLine = last;
  const int width = TextXOfColumn(content, length);
  FScrollX = std::max(0, width - FTextWidth + FCaretHMargin);
  FCaretX = width - FScrollX;
  FCaretCol = length;
  if (!FSelActive && !FSelAll) {
    FSelStartLine = FCaretLine;
    FSelStartCol = FCaretCol;
  }
  FSelEndLine = FSelPaintLine = FCaretLine;
  FSelEndCol = FSelPaintCol = FCaretCol;
  FTopLine = FVScrollMax;
  host.SetScrollPos(SB_VERT, CeilDiv(FTopLine, FVScrollScale), false);
  host.SetScrollPos(SB_HORZ, 0, false);
  UpdateVScrollRange(true);
  UpdateHScrollRange(true);
  FGoalCol = FCaretCol;
  PaintScreen();
  UpdateCaretPos();
}
