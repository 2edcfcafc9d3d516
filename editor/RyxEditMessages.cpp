// TRyxEdit: window-message dispatch, the edit-control messages and the registered caret messages.
#include <algorithm>
#include <cstring>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "platform/Exceptions.h"

namespace {

// Bytes of a stored line up to its first NUL: a CR LF terminator counts, the end marker does not.
std::size_t LengthToNul(const std::string& line) {
  const std::size_t nul = line.find('\0');
  return nul == std::string::npos ? line.size() : nul;
}

}  // namespace

DWORD PackPosition(int col, int line) {
  if (col < 0 || col > 0xFFFF) throw ERangeError("範囲チェックエラー");
  return MakeLong(static_cast<WORD>(col), static_cast<WORD>(std::clamp(line, 0, kPackedLineLimit)));
}

void TRyxEdit::WndProc(TMessage& message) {
  if (FDragging) SwitchDragCursor(message.Msg);
  if (message.Msg == FMsgGetCaretPos) {
    message.Result = PackPosition(FCaretCol, FCaretLine);
    return;
  }
  if (message.Msg == FMsgSetCaretPos) {
    SetCaretPosMessage(message);
    return;
  }
  switch (message.Msg) {
    case WM_CREATE:
      WMCreate(message);
      break;
    case WM_DESTROY:
      Host().DetachTimer(FTimer);
      break;
    case WM_SIZE:
      WMSize(message);
      break;
    case WM_SETFOCUS:
      WMSetFocus(message);
      break;
    case WM_KILLFOCUS:
      WMKillFocus(message);
      break;
    case WM_GETTEXT:
      WMGetText(message);
      break;
    case WM_GETTEXTLENGTH:
      message.Result = static_cast<LRESULT>(GetAllText().size());
      break;
    case WM_ERASEBKGND:
      message.Result = 0;
      break;
    case WM_GETDLGCODE:
      WMGetDlgCode(message);
      break;
    case EM_GETSEL:
      EMGetSel(message);
      break;
    case EM_SETSEL:
      EMSetSel(message);
      break;
    case EM_LINELENGTH:
      EMLineLength(message);
      break;
    case EM_GETLINE:
      EMGetLine(message);
      break;
    case EM_GETLINECOUNT:
      message.Result = FLines.Count();
      break;
    case EM_GETFIRSTVISIBLELINE:
      message.Result = FTopLine;
      break;
    case WM_CUT:
      if (!FReadOnly) CutToClipboard();
      break;
    case WM_COPY:
      CopyToClipboard();
      break;
    case WM_PASTE:
      if (!FReadOnly) PasteFromClipboard();
      break;
    case WM_UNDO:
      if (!FReadOnly) Undo();
      break;
    case WM_CLEAR:
      if (!FReadOnly) ClearText();
      break;
    case WM_VSCROLL:
      WMVScroll(message);
      break;
    case WM_HSCROLL:
      WMHScroll(message);
      break;
    case WM_MOUSEWHEEL:
      WMMouseWheel(message);
      break;
    case WM_KEYDOWN:
      WMKeyDown(message);
      break;
    case WM_SYSKEYDOWN:
      WMSysKeyDown(message);
      break;
    case WM_CHAR:
      WMChar(message);
      break;
    case WM_IME_COMPOSITION:
      WMImeComposition(message);
      break;
    case WM_IME_CHAR:
      // The characters of a finished composition: WM_IME_COMPOSITION has typed them.
      message.Result = 0;
      break;
    case WM_SYSCHAR:
      // Straight to the default handling, which runs the Alt+letter menu keys.
      message.Result = 0;
      TCustomControl::DefaultHandler(message);
      break;
    default:
      TCustomControl::WndProc(message);
  }
}

void TRyxEdit::DefaultHandler(TMessage& message) {
  if (message.Msg == WM_IME_STARTCOMPOSITION) {
    FIMEComposing = true;
    if (OnIMEChanging) {
      if (FCaretScrollFix) SetCaret(FCaretCol, FCaretLine, true, false);
      OnIMEChanging(this);
    }
  } else if (message.Msg == WM_IME_ENDCOMPOSITION) {
    FIMEComposing = false;
    if (OnIMEChanged) OnIMEChanged(this);
  }
  TCustomControl::DefaultHandler(message);
}

void TRyxEdit::WMCreate(TMessage& message) {
  TCustomControl::DefaultHandler(message);
  Host().AttachTimer(FTimer);
  UpdateMetrics();
  Host().SetScrollPos(SB_VERT, 0, false);
  Host().SetScrollPos(SB_HORZ, 0, false);
  UpdateGutter();
  message.Result = 0;
}

void TRyxEdit::WMSetFocus(TMessage& message) {
  TCustomControl::WndProc(message);
  CreateEditCaret();
  FTimer.SetEnabled(true);
  message.Result = 0;
}

void TRyxEdit::WMKillFocus(TMessage& message) {
  TCustomControl::WndProc(message);
  FTimer.SetEnabled(false);
  Host().HideCaret();
  Host().DestroyCaret();
  message.Result = 0;
}

void TRyxEdit::WMGetText(TMessage& message) {
  const std::size_t size = message.WParam;
  char* buffer = reinterpret_cast<char*>(message.LParam);
  if (size == 0 || buffer == nullptr) {
    message.Result = 0;
    return;
  }
  const std::string text = GetAllText();
  const std::size_t n = std::min({size - 1, text.size(), LengthToNul(text)});
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  message.Result = static_cast<LRESULT>(n);
}

void TRyxEdit::WMGetDlgCode(TMessage& message) {
  TCustomControl::WndProc(message);
  message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (FWantTabs)
    message.Result |= DLGC_WANTTAB;
  else
    message.Result &= ~DLGC_WANTTAB;
}

void TRyxEdit::EMGetSel(TMessage& message) {
  auto* start = reinterpret_cast<DWORD*>(message.WParam);
  auto* end = reinterpret_cast<DWORD*>(message.LParam);
  if (start) *start = PackPosition(FSelStartCol, FSelStartLine);
  if (end) *end = PackPosition(FSelEndCol, FSelEndLine);
  message.Result = GetSelLength();
}

void TRyxEdit::EMSetSel(TMessage& message) {
  SetSel(LoWord(message.WParam), HiWord(message.WParam), HiWord(static_cast<WPARAM>(message.LParam)),
         LoWord(static_cast<WPARAM>(message.LParam)));
}

void TRyxEdit::EMLineLength(TMessage& message) {
  const int index = static_cast<int>(message.WParam);
  message.Result = index >= FLines.Count() ? 0 : static_cast<LRESULT>(LengthToNul(std::string(FLines.Get(index))));
}

void TRyxEdit::EMGetLine(TMessage& message) {
  const int index = static_cast<int>(message.WParam);
  auto* buffer = reinterpret_cast<char*>(message.LParam);
  message.Result = 0;
  if (index >= FLines.Count() || buffer == nullptr) return;
  const std::string line(FLines.Get(index));
  if (index == FLines.Count() - 1 && line.size() == 2 && line[0] == '\0') return;
  WORD size = 0;
  std::memcpy(&size, buffer, sizeof size);
  const std::size_t n = std::min<std::size_t>(LengthToNul(line), size);
  std::memcpy(buffer, line.data(), n);
  message.Result = static_cast<LRESULT>(n);
}

bool TRyxEdit::CharKindIsTrail(const std::string& line, int col) const {
  // The CR after a lead byte that ends the line is the line's end, not that byte's trail.
  return StoredByteTypeAt(line, col, FSingleByteMode) == kTrailByte;
}

void TRyxEdit::SetCaretPosMessage(TMessage& message) {
  const auto packed = static_cast<WPARAM>(message.LParam);
  int col = std::max(0, static_cast<int>(LoWord(packed)));
  const int line = std::min(FLines.Count() - 1, static_cast<int>(HiWord(packed)));
  if (CharKindIsTrail(std::string(FLines.Get(line)), col)) --col;
  ClearSelection();
  message.Result = SetCaret(col, line, true, true) ? 1 : 0;
}
