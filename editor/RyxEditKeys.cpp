// TRyxEdit: the key dispatch of WM_KEYDOWN and WM_SYSKEYDOWN, key release, page moves and the auto-scroll tick.
#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"

void TRyxEdit::WMKeyDown(TMessage& message) {
  message.Result = 0;
  auto key = static_cast<WORD>(message.WParam);
  if (!DoKeyDown(key)) return;
  FKeyScroll = true;
  const IControlHost& host = Host();
  const bool shift = host.GetKeyState(VK_SHIFT) < 0;
  const bool ctrl = host.GetKeyState(VK_CONTROL) < 0;
  const bool convert = host.GetKeyState(VK_CONVERT) < 0;
  const bool nonConvert = host.GetKeyState(VK_NONCONVERT) < 0;
  // A key may act in several stages: Ctrl+Shift+Insert copies, then pastes.
  if (ctrl)
    CtrlKey(key);
  else
    PlainKey(key);
  if (shift) ShiftKey(key);
  if (!shift && !ctrl) {
    UnmodifiedKey(key);
    if (!FReadOnly && convert)
      StartReconvert();
    else if ((convert || nonConvert) && FCaretScrollFix)
      ScrollCaretIntoView(true);
  }
  AnyModifierKey(key);
  FKeyScroll = false;
  message.Result = 0;
}

void TRyxEdit::WMSysKeyDown(TMessage& message) {
  TCustomControl::WndProc(message);
  if (message.WParam == VK_MENU && FCaretScrollFix) ScrollCaretIntoView(true);
  message.Result = 0;
}

void TRyxEdit::CtrlKey(WORD key) {
  switch (key) {
    case VK_BACK:
      if (!FReadOnly) DeleteWordLeft();
      break;
    case VK_DELETE:
      if (!FReadOnly) DeleteWordRight();
      break;
    case VK_END:
      GotoDocumentEnd();
      break;
    case VK_HOME:
      GotoDocumentStart();
      break;
    case VK_LEFT:
      MoveCaretLeft(true);
      break;
    case VK_RIGHT:
      MoveCaretRight(true);
      break;
    case VK_INSERT:
    case 'C':
      CopyToClipboard();
      break;
    case 'A':
      SelectAll();
      break;
    case 'V':
      if (!FReadOnly) PasteFromClipboard();
      break;
    case 'X':
      if (!FReadOnly) CutToClipboard();
      break;
    case 'Z':
      // Ctrl+Shift+Z and Ctrl+Y redo, as most editors of this platform do.
      if (FReadOnly) break;
      if (Host().GetKeyState(VK_SHIFT) < 0)
        Redo();
      else
        Undo();
      break;
    case 'Y':
      if (!FReadOnly) Redo();
      break;
    case VK_OEM_COMMA:
      MoveCaretLineStart();
      break;
    case VK_OEM_PERIOD:
      MoveCaretLineEnd();
      break;
    default:
      if (FCaretScrollFix) ScrollCaretIntoView(true);
  }
}

void TRyxEdit::PlainKey(WORD key) {
  switch (key) {
    case VK_END:
      MoveCaretLineEnd();
      break;
    case VK_HOME:
      MoveCaretLineStart();
      break;
    case VK_LEFT:
      MoveCaretLeft(false);
      break;
    case VK_RIGHT:
      MoveCaretRight(false);
      break;
    default:
      break;
  }
}

void TRyxEdit::ShiftKey(WORD key) {
  if (FReadOnly) return;
  switch (key) {
    case VK_INSERT:
      PasteFromClipboard();
      break;
    case VK_DELETE:
      CutToClipboard();
      break;
    default:
      break;
  }
}

void TRyxEdit::UnmodifiedKey(WORD key) {
  if (FReadOnly) return;
  switch (key) {
    case VK_BACK:
      DeleteCharLeft();
      break;
    case VK_INSERT:
      ToggleInsertMode();
      break;
    case VK_DELETE:
      DeleteCharRight();
      break;
    default:
      break;
  }
}

void TRyxEdit::AnyModifierKey(WORD key) {
  switch (key) {
    case VK_TAB:
      if (!FReadOnly) InsertTab();
      break;
    case VK_RETURN:
      if (!FReadOnly) NewLine();
      break;
    case VK_ESCAPE:
      if (FCaretScrollFix) ScrollCaretIntoView(true);
      break;
    case VK_PRIOR:
      PageMove(SB_PAGEUP);
      break;
    case VK_NEXT:
      PageMove(SB_PAGEDOWN);
      break;
    case VK_UP:
      MoveCaretVert(-1);
      break;
    case VK_DOWN:
      MoveCaretVert(1);
      break;
    default:
      break;
  }
}

void TRyxEdit::PageMove(WORD code) {
  if (FCaretScrollFix) ScrollCaretIntoView(true);
  Perform(WM_VSCROLL, code, 0);
  // A view already at the top or the bottom: the caret itself goes a page.
  if (FVScrolled == 0) MoveCaretLines(FVScrollCaretShift);
}

void TRyxEdit::KeyUp(WORD& key, TShiftState shift) {
  FKeyScrollCount = 0;
  TCustomControl::KeyUp(key, shift);
}

void TRyxEdit::AutoScrollTick() {
  switch (FAutoScrollDir) {
    case 1:
      MoveCaretVert(1);
      break;
    case -1:
      MoveCaretVert(-1);
      break;
    case 2:
      if (FCaretCol < static_cast<int>(StripLineEnd(FLines.Get(FCaretLine)).size())) MoveCaretRight(false);
      break;
    case -2:
      if (FCaretCol > 0) MoveCaretLeft(false);
      break;
    default:
      break;
  }
}
