// THeadlessHost: the window services as plain recorded state.
#include "platform/headless/HeadlessHost.h"

#include <algorithm>
#include <utility>

THeadlessHost::THeadlessHost(int clientWidth, int clientHeight, int halfWidth, int fullWidth, int cellHeight)
    : FClientWidth(clientWidth), FClientHeight(clientHeight), FCanvas(halfWidth, fullWidth, cellHeight) {}

void THeadlessHost::Attach(TCustomControl& control) {
  FControl = &control;
  control.CreateWnd(*this);
}

void THeadlessHost::Resize(int clientWidth, int clientHeight) {
  FClientWidth = clientWidth;
  FClientHeight = clientHeight;
  if (FControl)
    FControl->Perform(WM_SIZE, 0, static_cast<LPARAM>(MakeLong(static_cast<WORD>(clientWidth),
                                                               static_cast<WORD>(clientHeight))));
}

void THeadlessHost::TickTimers() {
  // A tick may detach timers, so walk a copy.
  const std::vector<TTimer*> timers = FTimers;
  for (TTimer* timer : timers) timer->Tick();
}

void THeadlessHost::SetKeyDown(int virtualKey, bool down) { FKeys[virtualKey] = down; }

std::vector<std::string> THeadlessHost::TakeMessageBoxes() { return std::exchange(FMessageBoxes, {}); }

std::vector<TRect> THeadlessHost::TakeInvalidations() { return std::exchange(FInvalidations, {}); }

int THeadlessHost::Width() const {
  return FClientWidth + ((FParams.Style & WS_VSCROLL) != 0 ? kSysVBarWidth : 0);
}

void THeadlessHost::ApplyCreateParams(const TCreateParams& params) {
  FParams = params;
  FVBar.Visible = (params.Style & WS_VSCROLL) != 0;
  FHBar.Visible = (params.Style & WS_HSCROLL) != 0;
}

void THeadlessHost::InvalidateRect(const TRect* rect) {
  FInvalidations.push_back(rect ? *rect : TRect{0, 0, FClientWidth, FClientHeight});
}

void THeadlessHost::ScrollWindow(int, int, const TRect* scroll, const TRect*) { InvalidateRect(scroll); }

void THeadlessHost::SetFocus() {
  if (FFocused) return;
  FFocused = true;
  if (FControl) FControl->Perform(WM_SETFOCUS, 0, 0);
}

void THeadlessHost::KillFocus() {
  if (!FFocused) return;
  FFocused = false;
  if (FControl) FControl->Perform(WM_KILLFOCUS, 0, 0);
}

int THeadlessHost::GetSystemMetrics(int index) const {
  switch (index) {
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
      return kSysVBarWidth;
    case SM_CXSCREEN:
      return 1920;
    case SM_CYSCREEN:
      return 1080;
    default:
      return 0;
  }
}

void THeadlessHost::AttachTimer(TTimer& timer) {
  if (std::find(FTimers.begin(), FTimers.end(), &timer) == FTimers.end()) FTimers.push_back(&timer);
}

void THeadlessHost::DetachTimer(TTimer& timer) { std::erase(FTimers, &timer); }

bool THeadlessHost::CreateCaret(int width, int height) {
  FCaret.Create(width, height);
  return true;
}

void THeadlessHost::SetCaretPos(int x, int y) { FCaret.MoveTo(x, y); }

void THeadlessHost::ShowCaret() { FCaret.Show(); }

void THeadlessHost::HideCaret() { FCaret.Hide(); }

void THeadlessHost::DestroyCaret() { FCaret.Destroy(); }

void THeadlessHost::SetScrollRange(int bar, int minPos, int maxPos, bool) { Bar(bar).SetRange(minPos, maxPos); }

int THeadlessHost::SetScrollPos(int bar, int pos, bool) { return Bar(bar).SetPos(pos); }

int THeadlessHost::GetScrollPos(int bar) const { return ScrollBar(bar).Pos; }

void THeadlessHost::EnableScrollBar(int bar, UINT arrows) {
  if (bar == SB_BOTH) {
    FVBar.Enable(arrows);
    FHBar.Enable(arrows);
    return;
  }
  Bar(bar).Enable(arrows);
}

void THeadlessHost::ShowScrollBar(int bar, bool show) {
  if (bar == SB_BOTH) {
    FVBar.Visible = FHBar.Visible = show;
    return;
  }
  Bar(bar).Visible = show;
}

short THeadlessHost::GetKeyState(int virtualKey) const {
  const auto it = FKeys.find(virtualKey);
  return it != FKeys.end() && it->second ? static_cast<short>(0x8000) : 0;
}

bool THeadlessHost::ImmSetCompositionFont(HIMC context, const TLogFont& font) {
  if (context == 0) return false;
  FCompositionFont = font;
  return true;
}

bool THeadlessHost::ImmSetCompositionWindow(HIMC context, const TCompositionForm& form) {
  if (context == 0) return false;
  FCompositionForm = form;
  return true;
}

std::string THeadlessHost::ImmGetCompositionString(HIMC context, LPARAM which) {
  if (context == 0 || which != GCS_RESULTSTR) return {};
  return FImeResult;
}

bool THeadlessHost::ImmNotifyIME(HIMC context, DWORD action, DWORD index) {
  if (context == 0) return false;
  FImeNotifications.emplace_back(action, index);
  return true;
}

bool THeadlessHost::GetClipboardText(std::string& text) {
  if (!FClipboardHasText) return false;
  text = FClipboard;
  return true;
}

bool THeadlessHost::SetClipboardText(std::string_view text) {
  if (FClipboardFails) return false;
  FClipboard = std::string(text);
  FClipboardHasText = true;
  return true;
}

void THeadlessHost::BeginDrag(std::string_view text) {
  FDrags.emplace_back(text);
  FDragRunning = true;
}

bool THeadlessHost::EndDrag(TCustomControl* target, int x, int y) {
  if (!FDragRunning || !FControl) return false;
  FDragRunning = false;
  if (target) target->DragDrop(FControl, x, y);
  FControl->DoEndDrag(target, x, y);
  return true;
}

int THeadlessHost::MessageBox(const std::string& text, const std::string&, UINT) {
  FMessageBoxes.push_back(text);
  return IDOK;
}
