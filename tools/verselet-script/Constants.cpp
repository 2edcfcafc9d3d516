// The key and scroll-request names of the script.
#include "tools/verselet-script/Constants.h"

#include <array>

#include "platform/Messages.h"
#include "tools/verselet-script/ScriptLexer.h"

namespace {

struct TKeyName {
  std::string_view Name;
  std::string_view Constant;
  WORD Code;
};

constexpr std::array kKeys{
    TKeyName{"Left", "VK_LEFT", VK_LEFT},
    TKeyName{"Right", "VK_RIGHT", VK_RIGHT},
    TKeyName{"Up", "VK_UP", VK_UP},
    TKeyName{"Down", "VK_DOWN", VK_DOWN},
    TKeyName{"Home", "VK_HOME", VK_HOME},
    TKeyName{"End", "VK_END", VK_END},
    TKeyName{"PageUp", "VK_PRIOR", VK_PRIOR},
    TKeyName{"PageDown", "VK_NEXT", VK_NEXT},
    TKeyName{"Insert", "VK_INSERT", VK_INSERT},
    TKeyName{"Delete", "VK_DELETE", VK_DELETE},
    TKeyName{"Back", "VK_BACK", VK_BACK},
    TKeyName{"Tab", "VK_TAB", VK_TAB},
    TKeyName{"Return", "VK_RETURN", VK_RETURN},
    TKeyName{"Escape", "VK_ESCAPE", VK_ESCAPE},
    TKeyName{"Space", "VK_SPACE", VK_SPACE},
    TKeyName{"Convert", "VK_CONVERT", VK_CONVERT},
    TKeyName{"NonConvert", "VK_NONCONVERT", VK_NONCONVERT},
    TKeyName{"OemComma", "VK_OEM_COMMA", VK_OEM_COMMA},
    TKeyName{"OemPeriod", "VK_OEM_PERIOD", VK_OEM_PERIOD},
    TKeyName{"Shift", "VK_SHIFT", VK_SHIFT},
    TKeyName{"Ctrl", "VK_CONTROL", VK_CONTROL},
    TKeyName{"Alt", "VK_MENU", VK_MENU},
};

struct TConstant {
  std::string_view Name;
  WORD Value;
};

constexpr std::array kScrollRequests{
    TConstant{"SB_LINEUP", SB_LINEUP},         TConstant{"SB_LINELEFT", SB_LINELEFT},
    TConstant{"SB_LINEDOWN", SB_LINEDOWN},     TConstant{"SB_LINERIGHT", SB_LINERIGHT},
    TConstant{"SB_PAGEUP", SB_PAGEUP},         TConstant{"SB_PAGELEFT", SB_PAGELEFT},
    TConstant{"SB_PAGEDOWN", SB_PAGEDOWN},     TConstant{"SB_PAGERIGHT", SB_PAGERIGHT},
    TConstant{"SB_THUMBPOSITION", SB_THUMBPOSITION}, TConstant{"SB_THUMBTRACK", SB_THUMBTRACK},
    TConstant{"SB_TOP", SB_TOP},               TConstant{"SB_LEFT", SB_LEFT},
    TConstant{"SB_BOTTOM", SB_BOTTOM},         TConstant{"SB_RIGHT", SB_RIGHT},
    TConstant{"SB_ENDSCROLL", SB_ENDSCROLL},
};

// Letters and digits are their own key codes.
std::optional<WORD> LetterOrDigit(std::string_view name) {
  if (name.size() != 1) return std::nullopt;
  const char c = name[0];
  if (c >= '0' && c <= '9') return static_cast<WORD>(c);
  if (c >= 'A' && c <= 'Z') return static_cast<WORD>(c);
  if (c >= 'a' && c <= 'z') return static_cast<WORD>(c - 'a' + 'A');
  return std::nullopt;
}

}  // namespace

std::optional<WORD> FindKey(std::string_view name) {
  for (const TKeyName& key : kKeys) {
    if (SameName(key.Name, name)) return key.Code;
  }
  return LetterOrDigit(name);
}

std::optional<std::int64_t> FindConstant(std::string_view name) {
  for (const TKeyName& key : kKeys) {
    if (SameName(key.Constant, name)) return key.Code;
  }
  for (const TConstant& request : kScrollRequests) {
    if (SameName(request.Name, name)) return request.Value;
  }
  return std::nullopt;
}
