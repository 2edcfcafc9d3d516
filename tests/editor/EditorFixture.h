// A focused, unwrapped editor control on a headless window, with the small drivers the editor tests share.
#pragma once

#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "platform/headless/HeadlessHost.h"

class TEditorFixture {
 public:
  explicit TEditorFixture(const std::string& text = "", int clientHeight = 265) : host(440, clientHeight) {
    host.Attach(edit);
    edit.SetWordWrap(false);
    host.SetFocus();
    edit.SetAllText(text);
    edit.OnChange = [this](TObject*) { ++changes; };
  }

  void Caret(int line, int col) {
    edit.Perform(edit.MsgSetCaretPos(), 0, static_cast<LPARAM>(PackPosition(col, line)));
  }
  void Select(int anchorLine, int anchorCol, int caretLine, int caretCol) {
    edit.Perform(EM_SETSEL, PackPosition(anchorCol, anchorLine), static_cast<LPARAM>(PackPosition(caretCol, caretLine)));
  }
  // A key pressed while the given modifiers are held. Without the release the
  // next press of the same key counts as an auto-repeat.
  void Key(WORD key, bool shift = false, bool ctrl = false, bool release = true) {
    host.SetKeyDown(VK_SHIFT, shift);
    host.SetKeyDown(VK_CONTROL, ctrl);
    edit.Perform(WM_KEYDOWN, key, 0);
    if (release) edit.Perform(WM_KEYUP, key, 0);
    host.SetKeyDown(VK_SHIFT, false);
    host.SetKeyDown(VK_CONTROL, false);
  }
  // The whole text without the end-of-text marker.
  std::string Text() const { return StripEndMarker(edit.GetAllText()); }
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int i = 0; i < edit.Lines().Count(); ++i) rows.emplace_back(edit.Lines().Get(i));
    return rows;
  }

  THeadlessHost host;
  TRyxEdit edit;
  int changes = 0;
};
