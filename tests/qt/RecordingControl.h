// TRecordingControl: a control that records the messages and virtual calls it receives, and the fixture that hosts it.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/CustomControl.h"
#include "platform/qt/ControlHostWidget.h"

// One message or virtual call, with the key state the host reported while it was handled.
struct TRecord {
  UINT Msg = 0;  // 0 for a virtual call
  std::string Call;  // "down", "move", "up", "dblclick" for virtual calls
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  TMouseButton Button = TMouseButton::mbLeft;
  TShiftState Shift = 0;
  int X = 0;
  int Y = 0;
  bool ShiftDown = false;
  bool CtrlDown = false;
  bool AltDown = false;
  bool ConvertDown = false;
  std::string ImeResult;
  // Drags: the state of a drag over, the dropped text of another program, whether this control took the drop.
  TDragState DragState = TDragState::dsDragMove;
  std::string DroppedText;
  bool DroppedHere = false;
};

class TRecordingControl : public TCustomControl {
 public:
  std::vector<TRecord> Records;
  TCreateParams Params{WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE};
  LRESULT DlgCode = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
  // Runs inside WndProc after the message was recorded.
  std::function<void(TMessage&)> OnMessage;
  // A left press begins a drag of this text when it is set.
  std::string DragOnPress;
  bool AcceptDrags = true;

  void WndProc(TMessage& message) override {
    TRecord record = Snapshot();
    record.Msg = message.Msg;
    record.WParam = message.WParam;
    record.LParam = message.LParam;
    if (message.Msg == WM_IME_COMPOSITION) {
      IControlHost& host = Host();
      const HIMC context = host.ImmGetContext();
      record.ImeResult = host.ImmGetCompositionString(context, GCS_RESULTSTR);
      host.ImmReleaseContext(context);
    }
    Records.push_back(record);
    if (message.Msg == WM_GETDLGCODE) message.Result = DlgCode;
    if (OnMessage) OnMessage(message);
    if (message.Msg != WM_GETDLGCODE) TCustomControl::WndProc(message);
  }
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
    Mouse("down", button, shift, x, y);
    if (button == TMouseButton::mbLeft && !DragOnPress.empty()) BeginDrag(DragOnPress);
  }
  void DragOver(TObject* source, int x, int y, TDragState state, bool& accept) override {
    Mouse(source == this ? "dragover" : "foreignover", TMouseButton::mbLeft, 0, x, y);
    Records.back().DragState = state;
    accept = AcceptDrags;
  }
  void DragDrop(TObject* source, int x, int y) override {
    Mouse("dragdrop", TMouseButton::mbLeft, 0, x, y);
    if (const auto* text = dynamic_cast<const TTextDragObject*>(source)) Records.back().DroppedText = text->Text;
  }
  void DoEndDrag(TObject* target, int x, int y) override {
    Mouse("enddrag", TMouseButton::mbLeft, 0, x, y);
    Records.back().DroppedHere = target == this;
  }
  void MouseMove(TShiftState shift, int x, int y) override { Mouse("move", TMouseButton::mbLeft, shift, x, y); }
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override { Mouse("up", button, shift, x, y); }
  void DblClick() override {
    TRecord record = Snapshot();
    record.Call = "dblclick";
    Records.push_back(record);
  }

  // The records of the given messages, in order.
  std::vector<TRecord> Of(std::initializer_list<UINT> messages) const {
    std::vector<TRecord> out;
    std::copy_if(Records.begin(), Records.end(), std::back_inserter(out), [&](const TRecord& r) {
      return std::find(messages.begin(), messages.end(), r.Msg) != messages.end();
    });
    return out;
  }
  std::vector<TRecord> Calls() const {
    std::vector<TRecord> out;
    std::copy_if(Records.begin(), Records.end(), std::back_inserter(out), [](const TRecord& r) { return r.Msg == 0; });
    return out;
  }

 protected:
  void CreateParams(TCreateParams& params) override { params = Params; }

 private:
  TRecord Snapshot() const {
    TRecord record;
    if (HandleAllocated()) {
      const IControlHost& host = Host();
      record.ShiftDown = host.GetKeyState(VK_SHIFT) < 0;
      record.CtrlDown = host.GetKeyState(VK_CONTROL) < 0;
      record.AltDown = host.GetKeyState(VK_MENU) < 0;
      record.ConvertDown = host.GetKeyState(VK_CONVERT) < 0;
    }
    return record;
  }
  void Mouse(const char* call, TMouseButton button, TShiftState shift, int x, int y) {
    TRecord record = Snapshot();
    record.Call = call;
    record.Button = button;
    record.Shift = shift;
    record.X = x;
    record.Y = y;
    Records.push_back(record);
  }
};

// A recording control in a 300 x 200 host with both bars and a client edge.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Widget = std::make_unique<ControlHostWidget>(Control);
    Widget->resize(300, 200);
    Widget->createWindow();
    Control.Records.clear();
  }
  void TearDown() override { Widget.reset(); }

  void Send(QEvent& event) { QCoreApplication::sendEvent(Widget.get(), &event); }
  void Key(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {},
           bool autoRepeat = false) {
    QKeyEvent event(type, key, modifiers, text, autoRepeat);
    Send(event);
  }
  // A point of the client area in widget coordinates.
  QPointF At(int x, int y) const { return QPointF(Widget->clientRect().topLeft() + QPoint(x, y)); }

  TRecordingControl Control;
  std::unique_ptr<ControlHostWidget> Widget;
};
