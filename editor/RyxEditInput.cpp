// TRyxEdit: typed characters (WM_CHAR) and input-method results (WM_IME_COMPOSITION, WM_IME_CHAR).
#include <string>

#include "editor/RyxEdit.h"

namespace {

// Printable ASCII and the half-width katakana and signs. Control characters
// have keys of their own; double-byte characters come as input-method results.
bool IsTypedCharacter(unsigned code) { return (code >= 0x20 && code <= 0x7E) || (code >= 0xA0 && code <= 0xDF); }

}  // namespace

void TRyxEdit::WMChar(TMessage& message) {
  message.Result = 0;
  const unsigned code = LoWord(message.WParam);
  char key = static_cast<char>(code & 0xFF);
  // The owner sees the character first and may take it away.
  if (OnKeyPress) OnKeyPress(this, key);
  if (key == '\0' || FReadOnly || Host().GetKeyState(VK_CONTROL) < 0) return;
  const unsigned typed = code > 0xFF ? code : static_cast<unsigned char>(key);
  if (IsTypedCharacter(typed)) TypeText(std::string(1, static_cast<char>(typed)));
}

void TRyxEdit::WMImeComposition(TMessage& message) {
  DefaultHandler(message);
  message.Result = 0;
  if (FReadOnly || (message.LParam & GCS_RESULTSTR) == 0) return;
  IControlHost& host = Host();
  const HIMC context = host.ImmGetContext();
  if (context == 0) return;
  std::string result = host.ImmGetCompositionString(context, GCS_RESULTSTR);
  host.ImmReleaseContext(context);
  // A NUL would end the text early: it is the end-of-text marker's byte.
  if (const std::size_t nul = result.find('\0'); nul != std::string::npos) result.resize(nul);
  if (!result.empty()) TypeText(result);
}

void TRyxEdit::CompleteComposition() {
  IControlHost& host = Host();
  const HIMC context = host.ImmGetContext();
  if (context == 0) return;
  host.ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE);
  host.ImmReleaseContext(context);
}
