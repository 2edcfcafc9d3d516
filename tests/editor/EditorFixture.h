// A focused editor control on a headless window, unwrapped or wrapped at a column, with the small drivers and the
// screen oracle the editor tests share.
#pragma once

#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "platform/LeadByte.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/editor/ScreenOracle.h"

// The random editing tests run in both forms: unwrapped, and wrapped at a small column.
inline constexpr int kUnwrapped = 0;
inline constexpr int kWrapColumn = 10;

class TEditorFixture {
 public:
  // wrapColumn 0 leaves the text unwrapped; otherwise it is wrapped at that column.
  explicit TEditorFixture(const std::string& text = "", int clientHeight = 265, int wrapColumn = kUnwrapped)
      : host(440, clientHeight) {
    host.Attach(edit);
    edit.SetWordWrap(wrapColumn > 0);
    if (wrapColumn > 0) edit.SetColumn(wrapColumn);
    host.SetFocus();
    edit.SetAllText(text);
    edit.OnChange = [this](TObject*) { ++changes; };
  }

  // Caret and Select take logical positions (lines of the text), converted to rows.
  void Caret(int line, int col) {
    const TDisplayPos at = edit.ToDisplay({line, col});
    edit.Perform(edit.MsgSetCaretPos(), 0, static_cast<LPARAM>(PackPosition(at.Col, at.Line)));
  }
  void Select(int anchorLine, int anchorCol, int caretLine, int caretCol) {
    const TDisplayPos anchor = edit.ToDisplay({anchorLine, anchorCol});
    const TDisplayPos caret = edit.ToDisplay({caretLine, caretCol});
    edit.Perform(EM_SETSEL, PackPosition(anchor.Col, anchor.Line), static_cast<LPARAM>(PackPosition(caret.Col, caret.Line)));
  }
  // The caret as a logical position.
  TLogicalPos LogicalCaret() const { return edit.ToLogical({edit.CaretLine(), edit.CaretCol()}); }
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

  // Client coordinates of half-width cell col of a visible row; col -1 is the gutter.
  int CellX(int col) const { return col < 0 ? 2 : edit.TextLeft() + 8 * col + 4; }
  int RowY(int row) const { return edit.TopMargin() + edit.LineHeight() * row + edit.LineHeight() / 2; }

  // One input by name, so that a case reads as the keys a user pressed:
  // "Right", "Ctrl+Shift+Back", "type:ab" (typed characters), "ime:..." (an
  // input-method result), "press:row,col[,shift]" "move:row,col" "release"
  // (the left button; col -1 is the gutter), "sel:al,ac,cl,cc" (EM_SETSEL),
  // "pressat:line,col" (the left button on that byte of the text, which must
  // be in view), "caret:line,col", "clear" "cut" "copy" "paste:..." (the messages),
  // "drop:row,col[,ctrl]" (a text drag moved to the cell and released there,
  // 1 holding Ctrl), "dropelsewhere" (released outside the control); while a
  // text drag runs, "move" reports a drag over the control and "release" drops
  // the text, as the platform's drag does,
  // "readonly:0|1", "scrollfix:0|1", "size:w,h", "tick", and the operations
  // "DeleteCharLeft" and "DeleteWordLeft" called directly.
  void Do(const std::string& step) {
    const std::size_t colon = step.find(':');
    const std::string name = step.substr(0, colon);
    const std::string arg = colon == std::string::npos ? "" : step.substr(colon + 1);
    std::vector<int> n;
    std::istringstream numbers(arg);
    for (std::string item; std::getline(numbers, item, ',');) n.push_back(std::atoi(item.c_str()));
    if (name == "type") {
      for (const char c : arg) edit.Perform(WM_CHAR, static_cast<unsigned char>(c), 1);
    } else if (name == "ime") {
      host.SetImeResult(arg);
      edit.Perform(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
    } else if (name == "press") {
      // A third number 1 holds Shift down for the press.
      const bool shift = n.size() > 2 && n[2] != 0;
      host.SetKeyDown(VK_SHIFT, shift);
      edit.MouseDown(TMouseButton::mbLeft, shift ? ssShift : 0, CellX(n.at(1)), RowY(n.at(0)));
      host.SetKeyDown(VK_SHIFT, false);
    } else if (name == "pressat") {
      const std::string row(edit.Lines().Get(n.at(0)));
      edit.MouseDown(TMouseButton::mbLeft, 0, edit.TextLeft() + edit.TextXOfColumn(row, n.at(1)) - edit.ScrollX() + 1,
                     RowY(n.at(0) - edit.TopLine()));
    } else if (name == "move") {
      bool accept = false;
      if (host.DragRunning())
        edit.DragOver(&edit, CellX(n.at(1)), RowY(n.at(0)), TDragState::dsDragMove, accept);
      else
        edit.MouseMove(0, CellX(n.at(1)), RowY(n.at(0)));
    } else if (name == "drop") {
      Do("move:" + arg);
      host.SetKeyDown(VK_CONTROL, n.size() > 2 && n[2] != 0);
      Do("release");
      host.SetKeyDown(VK_CONTROL, false);
    } else if (name == "dropelsewhere") {
      host.EndDrag(nullptr, 0, 0);
    } else if (name == "release") {
      if (!host.EndDrag(&edit, 0, 0)) edit.MouseUp(TMouseButton::mbLeft, 0, 0, 0);
    } else if (name == "sel") {
      edit.Perform(EM_SETSEL, MakeLong(static_cast<WORD>(n.at(1)), static_cast<WORD>(n.at(0))),
                   static_cast<LPARAM>(MakeLong(static_cast<WORD>(n.at(3)), static_cast<WORD>(n.at(2)))));
    } else if (name == "caret") {
      edit.Perform(edit.MsgSetCaretPos(), 0,
                   static_cast<LPARAM>(MakeLong(static_cast<WORD>(n.at(1)), static_cast<WORD>(n.at(0)))));
    } else if (name == "clear" || name == "cut" || name == "copy") {
      edit.Perform(name == "clear" ? WM_CLEAR : name == "cut" ? WM_CUT : WM_COPY, 0, 0);
    } else if (name == "paste") {
      host.SetClipboard(arg);
      edit.Perform(WM_PASTE, 0, 0);
    } else if (name == "readonly") {
      edit.SetReadOnly(n.at(0) != 0);
    } else if (name == "scrollfix") {
      edit.SetCaretScrollFix(n.at(0) != 0);
    } else if (name == "size") {
      host.Resize(n.at(0), n.at(1));
    } else if (name == "tick") {
      host.TickTimers();
    } else if (name == "DeleteCharLeft") {
      edit.DeleteCharLeft();
    } else if (name == "DeleteWordLeft") {
      edit.DeleteWordLeft();
    } else {
      NamedKey(step);
    }
  }
  // "Ctrl+Shift+Key" with the key's name.
  void NamedKey(const std::string& chord) {
    static const std::map<std::string, WORD> keys{
        {"Back", VK_BACK},   {"Tab", VK_TAB},     {"Return", VK_RETURN}, {"PageUp", VK_PRIOR},
        {"PageDown", VK_NEXT}, {"End", VK_END},   {"Home", VK_HOME},     {"Left", VK_LEFT},
        {"Up", VK_UP},       {"Right", VK_RIGHT}, {"Down", VK_DOWN},     {"Insert", VK_INSERT},
        {"Delete", VK_DELETE}, {"A", 'A'},        {"C", 'C'},            {"V", 'V'},
        {"X", 'X'},          {"Y", 'Y'},            {"Z", 'Z'}};
    std::string rest = chord;
    bool shift = false, ctrl = false;
    for (bool more = true; more;) {
      more = false;
      if (rest.rfind("Ctrl+", 0) == 0) rest = rest.substr(5), ctrl = more = true;
      if (rest.rfind("Shift+", 0) == 0) rest = rest.substr(6), shift = more = true;
    }
    const auto key = keys.find(rest);
    if (key == keys.end()) throw std::invalid_argument("no such step: " + chord);
    Key(key->second, shift, ctrl);
  }

  // What is wrong with the stored text, the caret, the selection or the
  // messages shown; empty when nothing is. Every logical line but the last
  // ends in CR LF, the last in the end marker, and no other CR LF or NUL is
  // inside; wrapped, the rows are the pieces a fresh wrap of the text gives.
  // The caret and the selection's ends stand on characters' first bytes,
  // and a focused control shows its caret.
  std::string Broken() {
    const TRyxStrings& lines = edit.Lines();
    const int count = lines.Count();
    if (count < 1) return "no line";
    for (int i = 0; i < count; ++i) {
      const std::string row(lines.Get(i));
      const bool soft = edit.WordWrap() && i + 1 < count && !HasLineEnd(row);
      const std::string end = i + 1 < count ? std::string("\r\n") : std::string(2, '\0');
      if (!soft && (row.size() < 2 || row.substr(row.size() - 2) != end)) return "row " + std::to_string(i) + " ends badly";
      const std::string content = soft ? row : row.substr(0, row.size() - 2);
      if (content.empty() && soft) return "row " + std::to_string(i) + " is an empty piece";
      if (content.find("\r\n") != std::string::npos || content.find('\0') != std::string::npos)
        return "row " + std::to_string(i) + " holds a line break or NUL";
    }
    if (edit.WordWrap()) {
      TRyxStrings fresh;
      edit.BuildWrappedLines(fresh);
      if (fresh.Count() != count) return "the pieces differ from a fresh wrap in number";
      for (int i = 0; i < count; ++i)
        if (fresh.Get(i) != lines.Get(i)) return "row " + std::to_string(i) + " differs from a fresh wrap";
    }
    auto onText = [&](int line, int col, bool lineBreakEnd) {
      if (line < 0 || line >= count) return false;
      const std::string row(lines.Get(line));
      if (lineBreakEnd && line + 1 < count && col == static_cast<int>(row.size())) return true;
      const int content = ContentLength(row);
      // Characters from the row's start: a lead byte pairs with the next content byte.
      for (int at = 0;; at += IsDBCSLeadByte(static_cast<unsigned char>(row[static_cast<std::size_t>(at)])) && at + 1 < content ? 2 : 1) {
        if (at == col) return true;
        if (at >= content) return false;
      }
    };
    if (!onText(edit.CaretLine(), edit.CaretCol(), false))
      return "caret at " + std::to_string(edit.CaretLine()) + ":" + std::to_string(edit.CaretCol());
    if (edit.SelActive()) {
      for (const TPoint end : {edit.SelStart(), edit.SelEnd()})
        if (!onText(end.Y, end.X, true)) return "selection end at " + std::to_string(end.Y) + ":" + std::to_string(end.X);
    }
    if (const auto boxes = host.TakeMessageBoxes(); !boxes.empty()) return "message box " + boxes.front();
    // Each step hides the caret as often as it shows it again.
    if (host.Focused() && !host.Caret().Visible()) return "caret left hidden";
    return "";
  }

  // What the text area shows wrongly since the last call, or "" (see TScreenOracle).
  std::string ScreenWrong() { return screen.Check(host, edit); }

  THeadlessHost host;
  TRyxEdit edit;
  TScreenOracle screen;
  int changes = 0;
};
