// TCustomControl: a custom-painted windowed control whose window and canvas come from a host.
#pragma once

#include <functional>

#include "platform/Canvas.h"
#include "platform/ControlHost.h"
#include "platform/Messages.h"
#include "platform/Types.h"

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

// The window exists while a host is attached: CreateWnd attaches one and
// sends WM_CREATE and WM_SIZE, DestroyWnd detaches it. Perform is the control's
// SendMessage to itself: it runs WndProc synchronously.
class TCustomControl : public TObject {
 public:
  TCustomControl() = default;
  ~TCustomControl() override;

  void CreateWnd(IControlHost& host);
  void DestroyWnd();
  // Creates the window again on the same host, so that new style bits apply.
  void RecreateWnd();
  bool HandleAllocated() const { return FHost != nullptr; }
  // The host and its canvas; only while the window exists (EInOutError otherwise).
  IControlHost& Host() const;
  ICanvas& Canvas() const;

  LRESULT Perform(UINT msg, WPARAM wParam, LPARAM lParam);

  int Width() const;
  int Height() const;
  int ClientWidth() const;
  int ClientHeight() const;

  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool value) { FCtl3D = value; }
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value) { FTabStop = value; }
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor);

  virtual void WndProc(TMessage& message);
  // Messages nobody handled end here; the result stays 0.
  virtual void DefaultHandler(TMessage& message);
  virtual void Paint() {}
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void DblClick();
  // After the owner has set the stored properties.
  virtual void Loaded() {}

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

 protected:
  virtual void CreateParams(TCreateParams& params);
  // The modifier keys held during the message being handled.
  TShiftState KeyboardShiftState() const;
  // Fires OnKeyDown, whose handler may change the key; false when it took
  // the key away (set it to 0) so that the control must not act on it.
  bool DoKeyDown(WORD& key);

 private:
  IControlHost* FHost = nullptr;
  bool FCtl3D = true;
  bool FTabStop = true;
  TCursor FCursor = crDefault;
};
