// TRyxEdit: exchanging the selected text with the clipboard.
#include <algorithm>
#include <exception>
#include <string>

#include "editor/RyxEdit.h"

bool TRyxEdit::CopySelection() {
  if (FCaretScrollFix) SetCaret(FCaretCol, FCaretLine, true, false);
  if (!FSelActive && !FSelAll) return true;
  try {
    if (Host().SetClipboardText(GetSelText())) return true;
    ShowError("Error:OC002");
  } catch (const std::exception&) {
    ShowError("Error:OC007");
  }
  return false;
}

void TRyxEdit::CopyToClipboard() { CopySelection(); }

void TRyxEdit::CutToClipboard() {
  const TEditScope edit(*this, true, TChangeSignal::Always);
  if (CopySelection() && (FSelActive || FSelAll)) DeleteSelection(true);
}

void TRyxEdit::PasteFromClipboard() {
  std::string text;
  if (!Host().GetClipboardText(text)) return;
  // Plain clipboard text ends at its first NUL; inside a row a NUL would read as the end of the text.
  text.resize(std::min(text.size(), text.find('\0')));
  const TEditScope edit(*this, true, TChangeSignal::Always);
  if (FSelActive || FSelAll) DeleteSelection(true);
  AddUndo(ukInsert, text, FCaretCol, FCaretLine);
  InsertAtCaret(text, true);
}
