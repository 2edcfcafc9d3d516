// TCustomControl: window lifetime, message dispatch and the default mouse and key virtuals.
#include "platform/CustomControl.h"

#include "platform/Exceptions.h"

TCustomControl::~TCustomControl() = default;

void TCustomControl::CreateWnd(IControlHost& host) {
  FHost = &host;
  TCreateParams params;
  CreateParams(params);
  host.ApplyCreateParams(params);
  host.SetCursor(FCursor);
  Perform(WM_CREATE, 0, 0);
  // A new window learns its size right after its creation, before any paint.
  Perform(WM_SIZE, 0,
          static_cast<LPARAM>(MakeLong(static_cast<WORD>(host.ClientWidth()), static_cast<WORD>(host.ClientHeight()))));
}

void TCustomControl::DestroyWnd() {
  if (!FHost) return;
  Perform(WM_DESTROY, 0, 0);
  FHost = nullptr;
}

void TCustomControl::RecreateWnd() {
  if (!FHost) return;
  IControlHost& host = *FHost;
  DestroyWnd();
  CreateWnd(host);
}

IControlHost& TCustomControl::Host() const {
  if (!FHost) throw EInOutError("ウィンドウがまだありません");
  return *FHost;
}

ICanvas& TCustomControl::Canvas() const { return Host().Canvas(); }

LRESULT TCustomControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  WndProc(message);
  return message.Result;
}

int TCustomControl::Width() const { return FHost ? FHost->Width() : 0; }
int TCustomControl::Height() const { return FHost ? FHost->Height() : 0; }
int TCustomControl::ClientWidth() const { return FHost ? FHost->ClientWidth() : 0; }
int TCustomControl::ClientHeight() const { return FHost ? FHost->ClientHeight() : 0; }

void TCustomControl::SetCursor(TCursor cursor) {
  FCursor = cursor;
  if (FHost) FHost->SetCursor(cursor);
}

void TCustomControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_PAINT:
      Paint();
      return;
    case WM_SETFOCUS:
      if (OnEnter) OnEnter(this);
      return;
    case WM_KILLFOCUS:
      if (OnExit) OnExit(this);
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      WORD key = static_cast<WORD>(message.WParam);
      DoKeyDown(key);
      return;
    }
    case WM_CONTEXTMENU: {
      // A menu asked for from the keyboard comes with the point (-1, -1).
      const auto x = static_cast<short>(LoWord(static_cast<DWORD>(message.LParam)));
      const auto y = static_cast<short>(HiWord(static_cast<DWORD>(message.LParam)));
      if (x == -1 && y == -1)
        PopupAt(KeyboardMenuPoint());
      else if (FPopupMenu)
        FPopupMenu->Popup(x, y);
      return;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = static_cast<WORD>(message.WParam);
      KeyUp(key, KeyboardShiftState());
      return;
    }
    default:
      DefaultHandler(message);
  }
}

void TCustomControl::DefaultHandler(TMessage&) {}

void TCustomControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TCustomControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TCustomControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TCustomControl::KeyUp(WORD& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TCustomControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TCustomControl::BeginDrag(std::string_view text) {
  DoStartDrag();
  Host().BeginDrag(text);
}

void TCustomControl::DoStartDrag() {
  if (OnStartDrag) OnStartDrag(this);
}

void TCustomControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  Accept = static_cast<bool>(OnDragOver);
  if (OnDragOver) OnDragOver(this, Source, X, Y, State, Accept);
}

void TCustomControl::DragDrop(TObject* Source, int X, int Y) {
  if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TCustomControl::DoEndDrag(TObject* Target, int X, int Y) {
  if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TCustomControl::PopupAt(TPoint client) {
  if (!FPopupMenu) return;
  const TPoint screen = Host().ClientToScreen(client);
  FPopupMenu->Popup(screen.X, screen.Y);
}

void TCustomControl::CreateParams(TCreateParams& params) { params = TCreateParams{}; }

bool TCustomControl::DoKeyDown(WORD& key) {
  if (OnKeyDown) OnKeyDown(this, key, KeyboardShiftState());
  return key != 0;
}

TShiftState TCustomControl::KeyboardShiftState() const {
  if (!FHost) return 0;
  TShiftState shift = 0;
  if (FHost->GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (FHost->GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  if (FHost->GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}
