// TEventLog: one recording handler per event of the control.
#include "tools/verselet-script/EventLog.h"

#include <array>
#include <string_view>
#include <utility>

#include "tools/verselet-script/Json.h"

namespace {

// Starts a record with the event's name; the caller adds the arguments.
TJsonWriter Record(std::string_view name) {
  TJsonWriter json;
  json.BeginObject().Key("name").Utf8(name);
  return json;
}

std::string_view ButtonName(TMouseButton button) {
  switch (button) {
    case TMouseButton::mbLeft:
      return "left";
    case TMouseButton::mbRight:
      return "right";
    case TMouseButton::mbMiddle:
      return "middle";
  }
  return "?";
}

// The modifier keys and buttons of a shift state as a JSON array of names.
std::string ShiftStateJson(TShiftState shift) {
  constexpr std::array<std::pair<TShiftState, std::string_view>, 7> kNames{{{ssShift, "shift"},
                                                                           {ssAlt, "alt"},
                                                                           {ssCtrl, "ctrl"},
                                                                           {ssLeft, "left"},
                                                                           {ssRight, "right"},
                                                                           {ssMiddle, "middle"},
                                                                           {ssDouble, "double"}}};
  TJsonWriter json;
  json.BeginArray();
  for (const auto& [bit, name] : kNames) {
    if ((shift & bit) != 0) json.Utf8(name);
  }
  return json.EndArray().Text();
}

}  // namespace

std::string TEventLog::TakeJson() {
  std::string json = "[";
  for (std::size_t i = 0; i < FRecords.size(); ++i) {
    if (i > 0) json += ',';
    json += FRecords[i];
  }
  FRecords.clear();
  return json + "]";
}

void TEventLog::Connect(TRyxEdit& edit) {
  const auto add = [this](TJsonWriter& json) { FRecords.push_back(json.EndObject().Text()); };
  const auto notify = [add](std::string_view name) {
    return [name, add](TObject*) {
      TJsonWriter json = Record(name);
      add(json);
    };
  };
  const auto flag = [add](std::string_view name, std::string_view arg) {
    return [name, arg, add](TObject*, bool value) {
      TJsonWriter json = Record(name);
      json.Key(arg).Bool(value);
      add(json);
    };
  };
  const auto mouse = [add](std::string_view name) {
    return [name, add](TObject*, TMouseButton button, TShiftState shift, int x, int y) {
      TJsonWriter json = Record(name);
      json.Key("button").Utf8(ButtonName(button)).Key("shift").Raw(ShiftStateJson(shift));
      json.Key("x").Int(x).Key("y").Int(y);
      add(json);
    };
  };
  const auto key = [add](std::string_view name) {
    return [name, add](TObject*, WORD& code, TShiftState shift) {
      TJsonWriter json = Record(name);
      json.Key("key").Int(code).Key("shift").Raw(ShiftStateJson(shift));
      add(json);
    };
  };

  edit.OnChange = notify("OnChange");
  edit.OnSelectionChange = notify("OnSelectionChange");
  edit.OnMoveCaret = notify("OnMoveCaret");
  edit.OnPaint = notify("OnPaint");
  edit.OnIMEChanging = notify("OnIMEChanging");
  edit.OnIMEChanged = notify("OnIMEChanged");
  edit.OnIMEReConvert = notify("OnIMEReConvert");
  edit.OnClick = notify("OnClick");
  edit.OnDblClick = notify("OnDblClick");
  edit.OnEnter = notify("OnEnter");
  edit.OnExit = notify("OnExit");
  edit.OnChangeInsMode = flag("OnChangeInsMode", "insmode");
  edit.OnChangeRedoMode = flag("OnChangeRedoMode", "RedoEnable");
  edit.OnChangeModify = flag("OnChangeModify", "modified");
  edit.OnMouseDown = mouse("OnMouseDown");
  edit.OnMouseUp = mouse("OnMouseUp");
  edit.OnKeyDown = key("OnKeyDown");
  edit.OnKeyUp = key("OnKeyUp");
  edit.OnMouseMove = [add](TObject*, TShiftState shift, int x, int y) {
    TJsonWriter json = Record("OnMouseMove");
    json.Key("shift").Raw(ShiftStateJson(shift)).Key("x").Int(x).Key("y").Int(y);
    add(json);
  };
  edit.OnKeyPress = [add](TObject*, char& code) {
    TJsonWriter json = Record("OnKeyPress");
    json.Key("key").Int(static_cast<unsigned char>(code));
    add(json);
  };
  edit.OnUserDraw = [add](TObject*, int c1, int c2, int x1, int x2) {
    TJsonWriter json = Record("OnUserDraw");
    json.Key("c1").Int(c1).Key("c2").Int(c2).Key("x1").Int(x1).Key("x2").Int(x2);
    add(json);
  };
  edit.OnUserClientDraw = [this, add](TObject*, int x1, int x2, int L1, int L2) {
    TJsonWriter json = Record("OnUserClientDraw");
    json.Key("x1").Int(x1).Key("x2").Int(x2).Key("L1").Int(L1).Key("L2").Int(L2);
    add(json);
    if (AfterUserClientDraw) AfterUserClientDraw(x1, x2, L1, L2);
  };
  edit.OnManualStartDrag = [add](TObject*, const std::string& selectStr, bool& canDrag) {
    TJsonWriter json = Record("OnManualStartDrag");
    json.Key("SelectStr").Bytes(selectStr).Key("CanDrag").Bool(canDrag);
    add(json);
  };
}
