// The `msg` command: window messages by name, with buffers for the messages that fill one.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "tools/verselet-script/Commands.h"
#include "tools/verselet-script/Json.h"

namespace {

// How the driver takes part in a message beyond passing its parameters.
enum class TReply {
  Result,
  // wParam is the buffer size; the text copied is printed.
  GetText,
  // lParam is the size the driver writes into the buffer's first WORD.
  GetLine,
  // Two DWORDs receive the packed ends of the selection.
  GetSel,
  // The result is a packed position.
  Position,
};

struct TMessageName {
  std::string_view Name;
  UINT (*Id)(const TRyxEdit&);
  TReply Reply;
};

template <UINT Id>
UINT Fixed(const TRyxEdit&) {
  return Id;
}

using R = TReply;

const std::array kMessages{
    TMessageName{"WM_SIZE", Fixed<WM_SIZE>, R::Result},
    TMessageName{"WM_SETFOCUS", Fixed<WM_SETFOCUS>, R::Result},
    TMessageName{"WM_KILLFOCUS", Fixed<WM_KILLFOCUS>, R::Result},
    TMessageName{"WM_PAINT", Fixed<WM_PAINT>, R::Result},
    TMessageName{"WM_GETTEXT", Fixed<WM_GETTEXT>, R::GetText},
    TMessageName{"WM_GETTEXTLENGTH", Fixed<WM_GETTEXTLENGTH>, R::Result},
    TMessageName{"WM_ERASEBKGND", Fixed<WM_ERASEBKGND>, R::Result},
    TMessageName{"WM_GETDLGCODE", Fixed<WM_GETDLGCODE>, R::Result},
    TMessageName{"WM_KEYDOWN", Fixed<WM_KEYDOWN>, R::Result},
    TMessageName{"WM_KEYUP", Fixed<WM_KEYUP>, R::Result},
    TMessageName{"WM_CHAR", Fixed<WM_CHAR>, R::Result},
    TMessageName{"WM_SYSKEYDOWN", Fixed<WM_SYSKEYDOWN>, R::Result},
    TMessageName{"WM_SYSKEYUP", Fixed<WM_SYSKEYUP>, R::Result},
    TMessageName{"WM_SYSCHAR", Fixed<WM_SYSCHAR>, R::Result},
    TMessageName{"WM_IME_STARTCOMPOSITION", Fixed<WM_IME_STARTCOMPOSITION>, R::Result},
    TMessageName{"WM_IME_ENDCOMPOSITION", Fixed<WM_IME_ENDCOMPOSITION>, R::Result},
    TMessageName{"WM_IME_COMPOSITION", Fixed<WM_IME_COMPOSITION>, R::Result},
    TMessageName{"WM_IME_CHAR", Fixed<WM_IME_CHAR>, R::Result},
    TMessageName{"WM_TIMER", Fixed<WM_TIMER>, R::Result},
    TMessageName{"WM_HSCROLL", Fixed<WM_HSCROLL>, R::Result},
    TMessageName{"WM_VSCROLL", Fixed<WM_VSCROLL>, R::Result},
    TMessageName{"WM_MOUSEWHEEL", Fixed<WM_MOUSEWHEEL>, R::Result},
    TMessageName{"WM_CUT", Fixed<WM_CUT>, R::Result},
    TMessageName{"WM_COPY", Fixed<WM_COPY>, R::Result},
    TMessageName{"WM_PASTE", Fixed<WM_PASTE>, R::Result},
    TMessageName{"WM_CLEAR", Fixed<WM_CLEAR>, R::Result},
    TMessageName{"WM_UNDO", Fixed<WM_UNDO>, R::Result},
    TMessageName{"EM_GETSEL", Fixed<EM_GETSEL>, R::GetSel},
    TMessageName{"EM_SETSEL", Fixed<EM_SETSEL>, R::Result},
    TMessageName{"EM_GETLINECOUNT", Fixed<EM_GETLINECOUNT>, R::Result},
    TMessageName{"EM_LINELENGTH", Fixed<EM_LINELENGTH>, R::Result},
    TMessageName{"EM_GETLINE", Fixed<EM_GETLINE>, R::GetLine},
    TMessageName{"EM_GETFIRSTVISIBLELINE", Fixed<EM_GETFIRSTVISIBLELINE>, R::Result},
    TMessageName{"WM_TRYXEDIT_GETCARETPOS", [](const TRyxEdit& e) { return e.MsgGetCaretPos(); }, R::Position},
    TMessageName{"WM_TRYXEDIT_SETCARETPOS", [](const TRyxEdit& e) { return e.MsgSetCaretPos(); }, R::Result},
};

// The largest WM_GETTEXT buffer a script may ask for.
constexpr std::int64_t kMaxTextBuffer = 1 << 24;

// A buffer for the control to fill, followed by guard bytes, so that a
// write past its end is reported instead of passing unnoticed.
class TGuardedBuffer {
 public:
  explicit TGuardedBuffer(std::size_t size) : FSize(size), FBytes(size + kGuard, kFill) {}

  char* Data() { return FBytes.data(); }
  char At(std::size_t i) const { return FBytes[i]; }
  std::string Prefix(std::size_t n) const { return std::string(FBytes.data(), std::min(n, FSize)); }

  void CheckGuard(std::string_view message) const {
    for (std::size_t i = FSize; i < FBytes.size(); ++i) {
      if (FBytes[i] != kFill)
        throw Exception(std::string(message) + " wrote past the end of its " + std::to_string(FSize) + "-byte buffer");
    }
  }

 private:
  static constexpr std::size_t kGuard = 16;
  static constexpr char kFill = '\xCD';
  std::size_t FSize;
  std::vector<char> FBytes;
};

std::string PositionText(DWORD packed) {
  return std::to_string(HiWord(packed)) + ":" + std::to_string(LoWord(packed));
}

LPARAM Pointer(void* p) { return reinterpret_cast<LPARAM>(p); }

// The copied length must lie within the buffer.
std::size_t CopiedLength(LRESULT result, std::size_t size, std::string_view message) {
  if (result < 0 || static_cast<std::size_t>(result) > size)
    throw Exception(std::string(message) + " returned " + std::to_string(result) + " for a " +
                    std::to_string(size) + "-byte buffer");
  return static_cast<std::size_t>(result);
}

void SendGetText(TScriptSession& session, std::string_view name, UINT id, WPARAM size) {
  TGuardedBuffer buffer(size);
  const LRESULT result = session.Edit().Perform(id, size, Pointer(buffer.Data()));
  buffer.CheckGuard(name);
  const std::size_t n = CopiedLength(result, size, name);
  session.Print("result=" + std::to_string(result) + " text=" + JsonBytes(buffer.Prefix(n)));
  if (size > 0 && (n >= size || buffer.At(n) != '\0'))
    throw Exception(std::string(name) + " left the text without a terminating NUL");
}

void SendGetLine(TScriptSession& session, std::string_view name, UINT id, WPARAM line, WORD size) {
  // The size WORD needs two bytes even when the buffer is smaller.
  TGuardedBuffer buffer(std::max<std::size_t>(size, sizeof size));
  std::memcpy(buffer.Data(), &size, sizeof size);
  const LRESULT result = session.Edit().Perform(id, line, Pointer(buffer.Data()));
  buffer.CheckGuard(name);
  const std::size_t n = CopiedLength(result, size, name);
  session.Print("result=" + std::to_string(result) + " text=" + JsonBytes(buffer.Prefix(n)));
}

void SendGetSel(TScriptSession& session, std::string_view name, UINT id) {
  TGuardedBuffer start(sizeof(DWORD));
  TGuardedBuffer end(sizeof(DWORD));
  const DWORD unset = 0xFFFFFFFF;
  std::memcpy(start.Data(), &unset, sizeof unset);
  std::memcpy(end.Data(), &unset, sizeof unset);
  const LRESULT result =
      session.Edit().Perform(id, static_cast<WPARAM>(Pointer(start.Data())), Pointer(end.Data()));
  start.CheckGuard(name);
  end.CheckGuard(name);
  DWORD startPos = 0;
  DWORD endPos = 0;
  std::memcpy(&startPos, start.Data(), sizeof startPos);
  std::memcpy(&endPos, end.Data(), sizeof endPos);
  session.Print("result=" + std::to_string(result) + " start=" + PositionText(startPos) + " end=" +
                PositionText(endPos));
}

const TMessageName& FindMessage(std::string_view name) {
  for (const TMessageName& message : kMessages) {
    if (SameName(message.Name, name)) return message;
  }
  throw TScriptError("unknown message '" + std::string(name) + "'");
}

}  // namespace

TAction ParseMessage(const TArgs& args) {
  args.ExpectCount(1, 3, "msg NAME [WPARAM [LPARAM]]");
  const TMessageName& message = FindMessage(args.Word(0));
  const std::int64_t w = args.Has(1) ? args.Number(1) : 0;
  const std::int64_t l = args.Has(2) ? args.Number(2) : 0;
  const auto wParam = static_cast<WPARAM>(w);
  const auto lParam = static_cast<LPARAM>(l);
  switch (message.Reply) {
    case TReply::GetText:
      if (w < 0 || w > kMaxTextBuffer)
        throw TScriptError("WM_GETTEXT takes a buffer size from 0 to " + std::to_string(kMaxTextBuffer));
      return [&message, wParam](TScriptSession& s) {
        SendGetText(s, message.Name, message.Id(s.Edit()), wParam);
      };
    case TReply::GetLine:
      if (l < 0 || l > 0xFFFF) throw TScriptError("EM_GETLINE takes a buffer size from 0 to 65535");
      return [&message, wParam, l](TScriptSession& s) {
        SendGetLine(s, message.Name, message.Id(s.Edit()), wParam, static_cast<WORD>(l));
      };
    case TReply::GetSel:
      return [&message](TScriptSession& s) { SendGetSel(s, message.Name, message.Id(s.Edit())); };
    case TReply::Position:
      return [&message, wParam, lParam](TScriptSession& s) {
        const LRESULT result = s.Edit().Perform(message.Id(s.Edit()), wParam, lParam);
        s.Print("result=" + std::to_string(result) + " pos=" + PositionText(static_cast<DWORD>(result)));
      };
    case TReply::Result:
      break;
  }
  return [&message, wParam, lParam](TScriptSession& s) {
    s.Print("result=" + std::to_string(s.Edit().Perform(message.Id(s.Edit()), wParam, lParam)));
  };
}
