// THeadlessHost: a deterministic window for a control: fake caret, scroll bars, timer, keys, IME and clipboard.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/ControlHost.h"
#include "platform/CustomControl.h"
#include "platform/WindowState.h"
#include "platform/headless/HeadlessCanvas.h"

// Nothing is shown anywhere: the client size is set by the test, painting
// is recorded by the canvas, message boxes are recorded and answered IDOK.
// The client area's corner lies at kScreenOrigin on the screen. A drag that
// the control begins is recorded and runs until the test ends it with
// EndDrag, as the release of the button would; the test reports the mouse
// moves in between to the control's DragOver itself.
// Width() adds the vertical bar's width to the client width while the
// window style asks for that bar.
class THeadlessHost : public IControlHost {
 public:
  static constexpr int kSysVBarWidth = 16;
  static constexpr TPoint kScreenOrigin{100, 50};

  THeadlessHost(int clientWidth = 440, int clientHeight = 265, int halfWidth = 8, int fullWidth = 16,
                int cellHeight = 16);

  // Creates the control's window here.
  void Attach(TCustomControl& control);
  // Resizes the client area and tells the attached control.
  void Resize(int clientWidth, int clientHeight);
  // Takes the focus away from the attached control.
  void KillFocus();
  // Ticks every enabled timer once.
  void TickTimers();
  void SetKeyDown(int virtualKey, bool down);
  void SetImeAvailable(bool available) { FImeAvailable = available; }
  void SetImeResult(const std::string& ansi) { FImeResult = ansi; }
  void SetClipboard(const std::string& ansi) { FClipboard = ansi; FClipboardHasText = true; }
  // While set, writing the clipboard fails as when another program holds it open.
  void SetClipboardFails(bool fails) { FClipboardFails = fails; }

  THeadlessCanvas& HeadlessCanvas() { return FCanvas; }
  const TCaretState& Caret() const { return FCaret; }
  const TScrollBarState& ScrollBar(int bar) const { return bar == SB_VERT ? FVBar : FHBar; }
  const TCreateParams& Params() const { return FParams; }
  const std::string& Clipboard() const { return FClipboard; }
  const TLogFont& CompositionFont() const { return FCompositionFont; }
  const TCompositionForm& CompositionForm() const { return FCompositionForm; }
  // The (action, index) pairs the control sent to the input method.
  const std::vector<std::pair<DWORD, DWORD>>& ImeNotifications() const { return FImeNotifications; }
  TCursor CurrentCursor() const { return FCursor; }
  // The text of every drag begun so far, and the cursor the running drag shows.
  const std::vector<std::string>& Drags() const { return FDrags; }
  TCursor DragCursor() const { return FDragCursor; }
  bool DragRunning() const { return FDragRunning; }
  // Ends the running drag: dropped on target (its DragDrop, then the
  // control's DoEndDrag) or, without a target, elsewhere. False when no drag runs.
  bool EndDrag(TCustomControl* target, int x, int y);
  std::vector<std::string> TakeMessageBoxes();
  std::vector<TRect> TakeInvalidations();

  // IControlHost.
  std::uintptr_t WindowHandle() const override { return 1; }
  int ClientWidth() const override { return FClientWidth; }
  int ClientHeight() const override { return FClientHeight; }
  int Width() const override;
  int Height() const override { return FClientHeight; }
  ICanvas& Canvas() override { return FCanvas; }
  void ApplyCreateParams(const TCreateParams& params) override;
  void InvalidateRect(const TRect* rect) override;
  void ScrollWindow(int dx, int dy, const TRect* scroll, const TRect* clip) override;
  void SetFocus() override;
  bool Focused() const override { return FFocused; }
  void SetCursor(TCursor cursor) override { FCursor = cursor; }
  TPoint ClientToScreen(TPoint client) const override {
    return {client.X + kScreenOrigin.X, client.Y + kScreenOrigin.Y};
  }
  int GetSystemMetrics(int index) const override;
  void AttachTimer(TTimer& timer) override;
  void DetachTimer(TTimer& timer) override;
  bool CreateCaret(int width, int height) override;
  void SetCaretPos(int x, int y) override;
  void ShowCaret() override;
  void HideCaret() override;
  void DestroyCaret() override;
  void SetScrollRange(int bar, int minPos, int maxPos, bool redraw) override;
  int SetScrollPos(int bar, int pos, bool redraw) override;
  int GetScrollPos(int bar) const override;
  void EnableScrollBar(int bar, UINT arrows) override;
  void ShowScrollBar(int bar, bool show) override;
  short GetKeyState(int virtualKey) const override;
  HIMC ImmGetContext() override { return FImeAvailable ? 1 : 0; }
  void ImmReleaseContext(HIMC) override {}
  bool ImmSetCompositionFont(HIMC context, const TLogFont& font) override;
  bool ImmSetCompositionWindow(HIMC context, const TCompositionForm& form) override;
  std::string ImmGetCompositionString(HIMC context, LPARAM which) override;
  bool ImmNotifyIME(HIMC context, DWORD action, DWORD index) override;
  bool GetClipboardText(std::string& text) override;
  bool SetClipboardText(std::string_view text) override;
  void BeginDrag(std::string_view text) override;
  void SetDragCursor(TCursor cursor) override { FDragCursor = cursor; }
  int MessageBox(const std::string& text, const std::string& caption, UINT flags) override;

 private:
  TScrollBarState& Bar(int bar) { return bar == SB_VERT ? FVBar : FHBar; }

  int FClientWidth;
  int FClientHeight;
  THeadlessCanvas FCanvas;
  TCustomControl* FControl = nullptr;
  TCreateParams FParams;
  TCaretState FCaret;
  TScrollBarState FVBar;
  TScrollBarState FHBar;
  std::vector<TTimer*> FTimers;
  std::map<int, bool> FKeys;
  bool FFocused = false;
  TCursor FCursor = crDefault;
  std::vector<std::string> FDrags;
  TCursor FDragCursor = crDefault;
  bool FDragRunning = false;
  bool FImeAvailable = true;
  std::string FImeResult;
  TLogFont FCompositionFont;
  TCompositionForm FCompositionForm;
  std::vector<std::pair<DWORD, DWORD>> FImeNotifications;
  std::string FClipboard;
  bool FClipboardHasText = false;
  bool FClipboardFails = false;
  std::vector<std::string> FMessageBoxes;
  std::vector<TRect> FInvalidations;
};
