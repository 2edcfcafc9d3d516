// TRyxEdit: placing the system caret and announcing caret moves.
#include <algorithm>

#include "editor/RyxEdit.h"

void TRyxEdit::UpdateCaretPos() {
  if (!FTimer.Enabled()) return;
  IControlHost& host = Host();
  FCaretY = (FCaretLine - FTopLine) * FLineHeight;
  if (const HIMC context = host.ImmGetContext(); context != 0) {
    FCompForm.dwStyle = CFS_POINT;
    FCompForm.ptCurrentPos = TPoint{FCaretX + FTextLeft, FCaretY + FTopMargin};
    host.ImmSetCompositionWindow(context, FCompForm);
    host.ImmReleaseContext(context);
  }
  PlaceSystemCaret();
  if (FCaretCol == FLastCaretCol && FCaretLine == FLastCaretLine && FCaretX == FLastCaretX) return;
  if (OnSelectionChange) OnSelectionChange(this);
  if (OnMoveCaret) OnMoveCaret(this);
  FLastCaretCol = FCaretCol;
  FLastCaretLine = FCaretLine;
  FLastCaretX = FCaretX;
  if (FSelActive) {
    const int first = std::min(FSelStartLine, FSelEndLine);
    const int last = std::max(FSelStartLine, FSelEndLine);
    FireUserClientDraw(std::max(0, first - 1), std::min(FLines.Count() - 1, last + 1));
  }
}

void TRyxEdit::ShowError(const std::string& code) {
  if (HandleAllocated()) Host().MessageBox(code, "", MB_OK);
}
