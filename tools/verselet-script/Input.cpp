// Keyboard, typed characters, input-method results and the mouse, delivered as the host delivers them.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "tools/verselet-script/Commands.h"
#include "tools/verselet-script/Constants.h"

namespace {

struct TModifier {
  std::string_view Name;
  TShiftState Bit;
  WORD Key;
};

constexpr std::array kModifiers{TModifier{"shift", ssShift, VK_SHIFT}, TModifier{"ctrl", ssCtrl, VK_CONTROL},
                                TModifier{"alt", ssAlt, VK_MENU}};

struct TButton {
  std::string_view Name;
  TMouseButton Button;
  TShiftState Bit;
  WORD Key;
};

constexpr std::array kButtons{TButton{"left", TMouseButton::mbLeft, ssLeft, VK_LBUTTON},
                              TButton{"right", TMouseButton::mbRight, ssRight, VK_RBUTTON},
                              TButton{"middle", TMouseButton::mbMiddle, ssMiddle, VK_MBUTTON}};

const TModifier* FindModifier(std::string_view name) {
  for (const TModifier& m : kModifiers) {
    if (SameName(m.Name, name)) return &m;
  }
  return nullptr;
}

const TButton* FindButton(std::string_view name) {
  for (const TButton& b : kButtons) {
    if (SameName(b.Name, name)) return &b;
  }
  return nullptr;
}

// Holds the given modifier keys down in the host's key state while a
// message is handled, as a real key state would show them; a key that was
// already down (an earlier `keydown Shift`) stays down afterwards.
class THeldModifiers {
 public:
  THeldModifiers(THeadlessHost& host, TShiftState modifiers) : FHost(host) {
    for (const TModifier& m : kModifiers) {
      if ((modifiers & m.Bit) == 0) continue;
      FSaved.push_back({m.Key, host.GetKeyState(m.Key) < 0});
      host.SetKeyDown(m.Key, true);
    }
  }
  ~THeldModifiers() {
    for (const auto& [key, down] : FSaved) FHost.SetKeyDown(key, down);
  }
  THeldModifiers(const THeldModifiers&) = delete;
  THeldModifiers& operator=(const THeldModifiers&) = delete;

 private:
  THeadlessHost& FHost;
  std::vector<std::pair<WORD, bool>> FSaved;
};

TShiftState HeldButtons(const THeadlessHost& host) {
  TShiftState shift = 0;
  for (const TButton& b : kButtons) {
    if (host.GetKeyState(b.Key) < 0) shift |= b.Bit;
  }
  return shift;
}

struct TKeyStroke {
  WORD Key = 0;
  TShiftState Modifiers = 0;
};

// "[Ctrl+][Shift+][Alt+]NAME", or a key code as a number.
TKeyStroke ParseKeyStroke(const std::string& text) {
  TKeyStroke stroke;
  std::string_view rest = text;
  for (std::size_t plus = rest.find('+'); plus != std::string_view::npos && plus + 1 < rest.size();
       plus = rest.find('+')) {
    const TModifier* m = FindModifier(rest.substr(0, plus));
    if (!m) throw TScriptError("unknown modifier '" + std::string(rest.substr(0, plus)) + "'");
    stroke.Modifiers |= m->Bit;
    rest.remove_prefix(plus + 1);
  }
  if (const auto key = FindKey(rest)) {
    stroke.Key = *key;
  } else if (const auto code = ParseNumber(rest); code && *code > 0 && *code < 256) {
    stroke.Key = static_cast<WORD>(*code);
  } else {
    throw TScriptError("unknown key '" + std::string(rest) + "'");
  }
  return stroke;
}

// Alt turns key messages into their system variants, as on the desktop.
void SendKey(TScriptSession& session, const TKeyStroke& stroke, bool down) {
  THeadlessHost& host = session.Host();
  TRyxEdit& edit = session.Edit();
  const THeldModifiers held(host, stroke.Modifiers);
  // The platform's drag takes Esc: the drag ends on no target, and the control never sees the key.
  if (down && stroke.Key == VK_ESCAPE && host.EndDrag(nullptr, 0, 0)) return;
  host.SetKeyDown(stroke.Key, down);
  const bool alt = (stroke.Modifiers & ssAlt) != 0;
  const LPARAM context = alt ? LPARAM{1} << 29 : 0;
  if (down)
    edit.Perform(alt ? WM_SYSKEYDOWN : WM_KEYDOWN, stroke.Key, 1 | context);
  else
    edit.Perform(alt ? WM_SYSKEYUP : WM_KEYUP, stroke.Key, static_cast<LPARAM>(0xC0000001u) | context);
}

TKeyStroke ParseKeyArgs(const TArgs& args, std::string_view command) {
  args.ExpectCount(1, 1, std::string(command) + " [Ctrl+][Shift+][Alt+]NAME");
  return ParseKeyStroke(args.Word(0));
}

enum class TMouseAction { Down, Move, Up };

struct TMouseInput {
  TMouseAction Action = TMouseAction::Down;
  int X = 0;
  int Y = 0;
  std::optional<TButton> Button;
  TShiftState Modifiers = 0;
};

// The words after the coordinates: at most one button and any modifiers, in any order.
void ParseMouseWords(const TArgs& args, TMouseInput& input, bool buttons) {
  for (std::size_t i = 0; i < args.Count(); ++i) {
    const std::string& word = args.Word(i);
    if (const TButton* b = buttons ? FindButton(word) : nullptr) {
      if (input.Button) throw TScriptError("more than one mouse button");
      input.Button = *b;
    } else if (const TModifier* m = FindModifier(word)) {
      input.Modifiers |= m->Bit;
    } else {
      throw TScriptError("'" + word + "' is neither a mouse button nor shift, ctrl or alt");
    }
  }
}

// While a text drag runs, moves over the window reach the control as the drag's own.
void DragOver(TScriptSession& session, const TMouseInput& input) {
  TCustomControl& control = session.Edit();
  bool accept = false;
  control.DragOver(&control, input.X, input.Y, TDragState::dsDragMove, accept);
}

void SendMouse(TScriptSession& session, const TMouseInput& input) {
  THeadlessHost& host = session.Host();
  TCustomControl& control = session.Edit();
  const THeldModifiers held(host, input.Modifiers);
  const TButton button = input.Button.value_or(kButtons[0]);
  switch (input.Action) {
    case TMouseAction::Down:
      host.SetKeyDown(button.Key, true);
      control.MouseDown(button.Button, input.Modifiers | HeldButtons(host), input.X, input.Y);
      break;
    case TMouseAction::Move: {
      if (host.DragRunning()) {
        DragOver(session, input);
        break;
      }
      const TShiftState pressed = input.Button ? input.Button->Bit : 0;
      control.MouseMove(input.Modifiers | HeldButtons(host) | pressed, input.X, input.Y);
      break;
    }
    case TMouseAction::Up:
      host.SetKeyDown(button.Key, false);
      // A text drag takes the release as the platform's does: it drops where
      // the button is released, or, outside the window, on no target.
      if (host.DragRunning()) {
        const bool inside =
            input.X >= 0 && input.Y >= 0 && input.X < host.ClientWidth() && input.Y < host.ClientHeight();
        if (inside) DragOver(session, input);
        host.EndDrag(inside ? &control : nullptr, input.X, input.Y);
        break;
      }
      control.MouseUp(button.Button, input.Modifiers | HeldButtons(host), input.X, input.Y);
      break;
  }
}

}  // namespace

TAction ParseKey(const TArgs& args) {
  const TKeyStroke stroke = ParseKeyArgs(args, "key");
  return [stroke](TScriptSession& s) {
    SendKey(s, stroke, true);
    SendKey(s, stroke, false);
  };
}

TAction ParseKeyDown(const TArgs& args) {
  const TKeyStroke stroke = ParseKeyArgs(args, "keydown");
  return [stroke](TScriptSession& s) { SendKey(s, stroke, true); };
}

TAction ParseKeyUp(const TArgs& args) {
  const TKeyStroke stroke = ParseKeyArgs(args, "keyup");
  return [stroke](TScriptSession& s) { SendKey(s, stroke, false); };
}

TAction ParseChar(const TArgs& args) {
  args.ExpectCount(1, 1, "char CODE | char \"text\"");
  std::vector<WPARAM> codes;
  if (args.IsString(0)) {
    for (const char c : args.Text(0)) codes.push_back(static_cast<unsigned char>(c));
  } else {
    codes.push_back(static_cast<WPARAM>(args.Int(0, 0, 0xFFFF)));
  }
  return [codes](TScriptSession& s) {
    for (const WPARAM code : codes) s.Edit().Perform(WM_CHAR, code, 1);
  };
}

TAction ParseIme(const TArgs& args) {
  args.ExpectCount(1, 1, "ime \"text\"");
  const std::string text = args.Text(0);
  return [text](TScriptSession& s) {
    THeadlessHost& host = s.Host();
    TRyxEdit& edit = s.Edit();
    host.SetImeResult(text);
    try {
      edit.Perform(WM_IME_STARTCOMPOSITION, 0, 0);
      edit.Perform(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
      edit.Perform(WM_IME_ENDCOMPOSITION, 0, 0);
    } catch (...) {
      host.SetImeResult({});
      throw;
    }
    host.SetImeResult({});
  };
}

TAction ParseMouse(const TArgs& args) {
  constexpr std::string_view usage = "mouse down|move|up X Y [left|right|middle] [shift] [ctrl] [alt]";
  args.ExpectCount(3, 7, usage);
  TMouseInput input;
  const std::string& action = args.Word(0);
  if (SameName(action, "down"))
    input.Action = TMouseAction::Down;
  else if (SameName(action, "move"))
    input.Action = TMouseAction::Move;
  else if (SameName(action, "up"))
    input.Action = TMouseAction::Up;
  else
    throw TScriptError("usage: " + std::string(usage));
  input.X = args.Int(1, -32768, 32767);
  input.Y = args.Int(2, -32768, 32767);
  ParseMouseWords(args.From(3), input, true);
  return [input](TScriptSession& s) { SendMouse(s, input); };
}

TAction ParseDblClick(const TArgs& args) {
  args.ExpectCount(2, 5, "dblclick X Y [shift] [ctrl] [alt]");
  TMouseInput input;
  input.X = args.Int(0, -32768, 32767);
  input.Y = args.Int(1, -32768, 32767);
  ParseMouseWords(args.From(2), input, false);
  return [input](TScriptSession& s) {
    THeadlessHost& host = s.Host();
    TCustomControl& control = s.Edit();
    const THeldModifiers held(host, input.Modifiers);
    control.DblClick();
    host.SetKeyDown(VK_LBUTTON, true);
    control.MouseDown(TMouseButton::mbLeft, input.Modifiers | HeldButtons(host) | ssDouble, input.X, input.Y);
  };
}
