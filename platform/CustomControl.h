// TCustomControl: a custom-painted windowed control whose window and canvas come from a host.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/Canvas.h"
#include "platform/ControlHost.h"
#include "platform/Messages.h"
#include "platform/PopupMenu.h"
#include "platform/Types.h"

enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// Text that another program drags over a control, or that the middle button
// brings from the primary selection. Its Text (code page 932) is filled in
// only when it is dropped: reading it may ask the user about characters
// that code page 932 cannot hold.
class TTextDragObject : public TObject {
 public:
  std::string Text;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;

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
  // Popped up by the right button and by WM_CONTEXTMENU; the owner keeps it alive.
  IPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(IPopupMenu* menu) { FPopupMenu = menu; }

  // Starts a drag of this control at once, without waiting for the mouse to
  // move: DoStartDrag runs now, then the host carries the drag, offering text
  // to other programs too. The host reports DragOver and DragDrop to the
  // control under the mouse, Source being this control, and DoEndDrag to
  // this control when the button is released or the drag is cancelled,
  // Target being the control that took the drop (nullptr when none of ours did).
  void BeginDrag(std::string_view text);
  // The selected text (code page 932), which the host offers as the
  // platform's primary selection; empty without a selection.
  virtual std::string SelText() const { return {}; }

  virtual void WndProc(TMessage& message);
  // Messages nobody handled end here; the result stays 0.
  virtual void DefaultHandler(TMessage& message);
  virtual void Paint() {}
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void DblClick();
  virtual void DoStartDrag();
  // Accept starts false; the default lets OnDragOver decide.
  virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
  virtual void DragDrop(TObject* Source, int X, int Y);
  virtual void DoEndDrag(TObject* Target, int X, int Y);
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
  TNotifyEvent OnStartDrag;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TEndDragEvent OnEndDrag;

 protected:
  virtual void CreateParams(TCreateParams& params);
  // The modifier keys held during the message being handled.
  TShiftState KeyboardShiftState() const;
  // Fires OnKeyDown, whose handler may change the key; false when it took
  // the key away (set it to 0) so that the control must not act on it.
  bool DoKeyDown(WORD& key);
  // Where a menu asked for from the keyboard opens, in client coordinates.
  virtual TPoint KeyboardMenuPoint() const { return {0, 0}; }
  // Pops up PopupMenu, when there is one, at a client point.
  void PopupAt(TPoint client);

 private:
  IControlHost* FHost = nullptr;
  bool FCtl3D = true;
  bool FTabStop = true;
  TCursor FCursor = crDefault;
  IPopupMenu* FPopupMenu = nullptr;
};
