// TRyxEdit: the mouse: pressing places the caret, Shift extends, the gutter selects a line, dragging selects, the right button pops up the menu.
#include <algorithm>
#include <string>
#include <utility>

#include "editor/RyxEdit.h"
#include "editor/RyxEditCaretGuard.h"
#include "editor/RyxEditSub.h"

void TRyxEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  CompleteComposition();
  // The second press of a double click belongs to the double click and is not reported.
  if (FDblClicked) {
    FDblClicked = false;
    if (button == TMouseButton::mbLeft) SelectClickedWordOrLine(x, y);
    return;
  }
  FClickCount = 1;
  FWordSelecting = false;
  // The right and middle buttons leave the caret and the selection where they are.
  if (button == TMouseButton::mbLeft) PressLeft(x, y);
  if (button == TMouseButton::mbRight) PopupAt({x, y});
  TCustomControl::MouseDown(button, shift, x, y);
}

void TRyxEdit::PressLeft(int x, int y) {
  IControlHost& host = Host();
  const bool shiftHeld = host.GetKeyState(VK_SHIFT) < 0;
  const int oldScrollX = FScrollX;
  host.SetFocus();
  bool pressedInSelection = false;
  {
    const TCaretHidden hidden(host);
    DrawUnderline(FCaretLine, false);
    MoveCaretToPoint(x, y);
    FMouseSelecting = true;
    FSavedCaretScrollFix = FCaretScrollFix;
    if (shiftHeld) {
      if (FSelAll) {
        // The whole-text selection becomes an ordinary one from the text's start,
        // so that its end can follow the press and an edit removes what is shown.
        FSelAll = false;
        FSelPaintCol = FSelEndCol;
        FSelPaintLine = FSelEndLine;
      }
      FSelActive = true;
      ExtendSelection(FCaretCol, FCaretLine);
    } else if (x < FTextLeft - 4) {
      SelectLineAtCaret();
    } else {
      int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
      pressedInSelection = CaretInSelection(startCol, startLine, endLine, endCol);
      if (!pressedInSelection) ClearSelection();
    }
    if (FScrollX != oldScrollX) PaintScreen();
    UpdateCaretPos();
  }
  // Before the focus has arrived there is no caret to show: create it now.
  if (!host.Focused()) Perform(WM_SETFOCUS, 0, 0);
  if (pressedInSelection) StartDragFromPress();
}

void TRyxEdit::SelectLineAtCaret() {
  ClearSelection();
  // The whole logical line, from its first piece to its last; the caret goes to its start.
  std::string text;
  int last = FCaretLine;
  FCaretLine = ToDisplay({ToLogical({FCaretLine, 0}).Line, 0}).Line;
  FCaretCol = 0;
  JoinLogicalLine(FCaretLine, text, last);
  const int length = static_cast<int>(StripEndMarker(FLines.Get(last)).size());
  // The empty last line has nothing to select; the caret just goes there.
  if (length == 0 && last == FCaretLine) return;
  FSelStartLine = FSelPaintLine = last;
  FSelStartCol = FSelPaintCol = length;
  FSelActive = true;
  ExtendSelection(0, FCaretLine);
  // Clearing has announced the caret already, so the caret update will not
  // give the owner its turn: the line was painted over what the owner drew there.
  FireUserClientDraw(std::max(0, FCaretLine - 1), std::min(FLines.Count() - 1, FCaretLine + 1));
}

void TRyxEdit::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  TrackMouse(x, y);
}

void TRyxEdit::TrackMouse(int X, int Y) {
  FAutoScrollDir = 0;
  if (!FMouseSelecting) return;
  const int oldScrollX = FScrollX;
  if (FWordSelecting)
    TrackWords(X, Y);
  else
    TrackCharacters(X, Y);
  // A point beyond the text area's side scrolled the view sideways.
  if (FScrollX != oldScrollX) {
    const TCaretHidden hidden(Host());
    PaintScreen();
    UpdateCaretPos();
  }
}

void TRyxEdit::TrackCharacters(int X, int Y) {
  // Restored on release: while selecting, the timer's scrolls must carry the caret along.
  FCaretScrollFix = false;
  // Outside the text area the timer moves the caret, one step a tick, until the mouse comes back.
  if (Y > FVisibleLines * FLineHeight + FTopMargin) {
    FAutoScrollDir = 1;
  } else if (Y <= FTopMargin) {
    FAutoScrollDir = -1;
  } else if (X > FTextLeft + FTextWidth) {
    FAutoScrollDir = 2;
  } else if (X <= FTextLeft && FScrollX > 0) {
    FAutoScrollDir = -2;
  }
  if (FAutoScrollDir != 0) return;
  MoveCaretToPoint(X, Y);
  if (FCaretCol == FSelPaintCol && FCaretLine == FSelPaintLine) return;
  const TCaretHidden hidden(Host());
  if (FDragging) {
    // The caret marks the drop point; without a selection the anchor goes along with it.
    if (!FSelActive && !FSelAll) CollapseSelection();
  } else {
    // A selection dragged down into the gutter grows by whole lines: its start
    // goes to the start of its line, and the part of that line it gains shows.
    if (X < FTextLeft && FCaretLine == FSelStartLine + 1 && FSelStartCol > 0) {
      const int oldStartCol = std::exchange(FSelStartCol, 0);
      RepaintSelectionSpan(FSelStartLine, 0, oldStartCol, FCaretLine, FCaretCol);
    }
    FSelActive = true;
    ExtendSelection(FCaretCol, FCaretLine);
  }
  UpdateCaretPos();
}

void TRyxEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  EndMouseSelection();
  DrawUnderline(FCaretLine, true);
}

TPoint TRyxEdit::KeyboardMenuPoint() const { return {FTextLeft + FCaretX, FTopMargin + FCaretY + FLineHeight}; }

void TRyxEdit::DblClick() {
  TCustomControl::DblClick();
  FDblClicked = true;
  FClickCount = FClickCount == 2 ? 3 : 2;
}

void TRyxEdit::SelectClickedWordOrLine(int x, int y) {
  IControlHost& host = Host();
  host.SetFocus();
  const int oldScrollX = FScrollX;
  {
    const TCaretHidden hidden(host);
    DrawUnderline(FCaretLine, false);
    MoveCaretToPoint(x, y);
    // A press beyond a row's end may scroll the view sideways.
    if (FScrollX != oldScrollX) PaintScreen();
  }
  if (FClickCount >= 3) {
    FWordSelecting = false;
    const TCaretHidden hidden(host);
    SelectLineAtCaret();
    PaintScreen();
    UpdateCaretPos();
    return;
  }
  // The caret went to the nearest boundary; the word is the one of the
  // character under the point, which is the one before a boundary right of it.
  TDisplayPos at{FCaretLine, FCaretCol};
  if (x - FTextLeft < FCaretX && at.Col > 0)
    at.Col -= ByteTypeAt(FLines.Get(at.Line), at.Col, FSingleByteMode) == kTrailByte ? 2 : 1;
  FAnchorWord = WordAround(at);
  SetSel(FAnchorWord.first.Col, FAnchorWord.first.Line, FAnchorWord.second.Line, FAnchorWord.second.Col);
  FWordSelecting = true;
  FMouseSelecting = true;
  FSavedCaretScrollFix = FCaretScrollFix;
}

void TRyxEdit::TrackWords(int x, int y) {
  MoveCaretToPoint(x, y);
  const TDisplayPos at{FCaretLine, FCaretCol};
  // The anchor word stays selected; the other end goes to the edge of the word the point is in.
  TDisplayPos anchor = FAnchorWord.first;
  TDisplayPos end = FAnchorWord.second;
  if (at < FAnchorWord.first) {
    anchor = FAnchorWord.second;
    end = WordAround(at).first;
  } else if (at > FAnchorWord.second) {
    end = WordAround(at).second;
    // A point right on a word's start ends the selection there.
    if (WordAround(at).first == at) end = at;
  }
  if (end.Line == FSelEndLine && end.Col == FSelEndCol && anchor.Line == FSelStartLine && anchor.Col == FSelStartCol)
    return UpdateCaretPos();
  SetSel(anchor.Col, anchor.Line, end.Line, end.Col);
}
