// The window services a control needs from the toolkit that hosts it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Canvas.h"
#include "platform/Font.h"
#include "platform/Messages.h"
#include "platform/Timer.h"
#include "platform/Types.h"

// Cursor ids: negative ids are the stock cursors, positive ids the
// application's own slots (drag cursors 1 and 2, the hand 32761).
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crDragMove = 1;
inline constexpr TCursor crDragCopy = 2;
inline constexpr TCursor crHandLink = 32761;

// The style bits a control asks for when its window is created.
struct TCreateParams {
  DWORD Style = 0;
  DWORD ExStyle = 0;
};

using HIMC = std::uintptr_t;

class IControlHost {
 public:
  virtual ~IControlHost() = default;

  // Window.
  virtual std::uintptr_t WindowHandle() const = 0;
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  // The outer size, frame and scroll bars included.
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual ICanvas& Canvas() = 0;
  virtual void ApplyCreateParams(const TCreateParams& params) = 0;
  // A null rectangle means the whole client area.
  virtual void InvalidateRect(const TRect* rect) = 0;
  virtual void ScrollWindow(int dx, int dy, const TRect* scroll, const TRect* clip) = 0;
  virtual void SetFocus() = 0;
  virtual bool Focused() const = 0;
  virtual void SetCursor(TCursor cursor) = 0;
  virtual TPoint ClientToScreen(TPoint client) const = 0;
  virtual int GetSystemMetrics(int index) const = 0;
  // The host drives the timer's ticks from its event loop while the window exists.
  virtual void AttachTimer(TTimer& timer) = 0;
  virtual void DetachTimer(TTimer& timer) = 0;

  // System caret, with the platform's show/hide counting: a caret shows only
  // when ShowCaret was called once more than HideCaret.
  virtual bool CreateCaret(int width, int height) = 0;
  virtual void SetCaretPos(int x, int y) = 0;
  virtual void ShowCaret() = 0;
  virtual void HideCaret() = 0;
  virtual void DestroyCaret() = 0;

  // Scroll bars (bar is SB_HORZ or SB_VERT).
  virtual void SetScrollRange(int bar, int minPos, int maxPos, bool redraw) = 0;
  virtual int SetScrollPos(int bar, int pos, bool redraw) = 0;
  virtual int GetScrollPos(int bar) const = 0;
  virtual void EnableScrollBar(int bar, UINT arrows) = 0;
  virtual void ShowScrollBar(int bar, bool show) = 0;

  // State of a key at the time of the message being handled: bit 15 set
  // while it is down, bit 0 set while a toggle key is on.
  virtual short GetKeyState(int virtualKey) const = 0;

  // Input method. ImmGetContext returns 0 when the window has none.
  virtual HIMC ImmGetContext() = 0;
  virtual void ImmReleaseContext(HIMC context) = 0;
  virtual bool ImmSetCompositionFont(HIMC context, const TLogFont& font) = 0;
  virtual bool ImmSetCompositionWindow(HIMC context, const TCompositionForm& form) = 0;
  // The committed text of the current composition in code page 932.
  virtual std::string ImmGetCompositionString(HIMC context, LPARAM which) = 0;
  virtual bool ImmNotifyIME(HIMC context, DWORD action, DWORD index) = 0;

  // Clipboard text in code page 932. GetClipboardText returns false when
  // the clipboard holds no text or cannot be opened.
  virtual bool GetClipboardText(std::string& text) = 0;
  virtual bool SetClipboardText(std::string_view text) = 0;

  // Drag and drop. BeginDrag carries a drag of the control from the press
  // that is being handled until the button is released, offering the text
  // (code page 932) to other programs as well; it reports the drag to the
  // control as TCustomControl::BeginDrag describes.
  virtual void BeginDrag(std::string_view text) = 0;
  // The cursor shown while a drag runs; the control's own cursor comes back when the drag ends.
  virtual void SetDragCursor(TCursor cursor) = 0;

  // A modal message box; texts are UTF-8. Returns the button pressed (IDOK ...).
  virtual int MessageBox(const std::string& text, const std::string& caption, UINT flags) = 0;
};
