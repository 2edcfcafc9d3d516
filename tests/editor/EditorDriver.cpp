// The weighted random driver of the editor control: the steps, what the model expects of each, and the checks.
#include "tests/editor/EditorDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace {

// The names in a text, between spaces.
std::vector<std::string> Names(std::string_view text) {
  std::vector<std::string> names;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find(' ', at), text.size());
    names.emplace_back(text.substr(at, end - at));
    at = end + 1;
  }
  return names;
}

bool IsOneOf(const std::string& name, std::string_view names) {
  const std::vector<std::string> all = Names(names);
  return std::find(all.begin(), all.end(), name) != all.end();
}

// The steps by weight. In a name %r and %c stand for a row and a column of
// the view or just beyond it, %l and %k for a line and a column the messages
// give (inside a character or a line break, or far beyond the text), %s for
// the first character of the selection where it is in view, %t, %i and %p
// for typed, composed and pasted text, %x for text, %f for a file, %a for the
// text transformed as a tool would, %n for a number.
const std::vector<std::pair<int, std::vector<std::string>>> kSteps{
    {14, Names("Right Left Up Down Home End Ctrl+Right Ctrl+Left Shift+Right Shift+Left Shift+Up Shift+Down "
               "Shift+Home Shift+End Ctrl+Home Ctrl+End Ctrl+Shift+End Ctrl+Shift+Home PageDown PageUp "
               "Ctrl+Shift+Right Ctrl+Shift+Left Ctrl+A caret:%l,%k sel:%l,%k,%l,%k sel:%l,%k,%l,%k")},
    {12, Names("type:%t type:%t compose:%i")},
    {12, Names("Back Back Delete Delete Return Tab Ctrl+Delete Ctrl+Back Ctrl+Shift+Back DeleteCharLeft "
               "DeleteWordLeft")},
    {5, Names("Ctrl+C copy Ctrl+X cut Shift+Delete Ctrl+V Shift+Insert paste:%p")},
    {10, Names("press:%r,%c press:%r,%c press:%r,%c,1 move:%r,%c move:%r,%c release tick dblclick:%r,%c")},
    {3, Names("pressat:%s")},
    {8, Names("Ctrl+Z Ctrl+Z Ctrl+Z undo Ctrl+Y Ctrl+Shift+Z")},
    {3, Names("wrap:off wrap:10 wrap:16 wrap:72 wrap:window counting:1 counting:0 size:440,265 size:200,265 "
              "size:120,200 size:440,60 size:440,10")},
    {3, Names("setall:%x setall:%x clearall load:%f replace:%a replace:%a rewrite:%n,%a rewrite:%n,%a "
              "rewritefails clear")},
    // Read-only comes seldom and goes soon, so that most steps may edit.
    {2, Names("scrollfix:1 scrollfix:0 autoindent:1 autoindent:0 Insert readonly:1 readonly:0 readonly:0 readonly:0 "
              "readonly:0 readonly:0")}};
// While a text drag runs, the platform's drag loop takes the input.
const std::vector<std::string> kDragSteps =
    Names("move:%r,%c move:%r,%c move:%r,%c move:%r,%c release release releasecopy dropelsewhere tick");

const std::vector<int> kMessageLines{0, 1, 2, 5, 13, 65535};
const std::vector<int> kMessageCols{0, 1, 2, 3, 4, 5, 6, 7, 9, 65535};
const std::vector<std::string> kTyped{"a", "z", " ", "0", "<", ">", "#", "[", "]", "\xB1", "\xDF", "\xA1"};
const std::vector<std::string> kComposed{"\x82\xA0", "\x93\xFA", "\x82\xA0\x82\xA2",
                                         "ab",       "\x81\x40", "\x88\x9F\x88\xA0x"};
// A CR or LF alone, a lead byte alone, and a NUL that ends the pasted text.
const std::vector<std::string> kPasted{
    "\r", "\n", "\r\n", "\x82", "q\r", "\nw", "\x93\xFA", std::string("a\0b", 3), "z\r\nz", "<2345678>"};
// Pieces of text; the markup pieces make and break tags and silent lines when the wrap counts with the hook.
const std::vector<std::string> kPieces{
    "a", "bc", " ", "\t", "\x82\xA0", "\x93\xFA",        "\xB1", "\r\n", "xyz", "\x81\x40", "\x88\x9F", "[1]", "<1>",
    "<", ">",  "#", "!",  "0",        "<123456789abcdef"};
// Lines of a file with LF breaks: a CR stays inside a line, and "あ" read
// from UTF-8 ends a line in a lead byte without its trail.
const std::vector<std::string> kFilePieces{"ab", "\xE3\x81\x82", "A\rB", "\t",  "\x93\xFA", " ",
                                           "\r", "xyz",          "\xB1", "<1>", "#"};

std::string Print(const std::string& bytes) { return testing::PrintToString(bytes); }

// The text of a file read with LF breaks: each LF ends a line, and a CR is content.
std::string ReadWithLf(std::string file) {
  for (std::size_t lf = file.find('\n'); lf != std::string::npos; lf = file.find('\n', lf + 2))
    file.insert(lf, 1, '\r');
  return file;
}

std::size_t SameStart(const std::string& a, const std::string& b) {
  return static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
}

// Whole-text transforms of the kinds the tools make: every bracketed run
// dropped, one line dropped, every letter upper-cased, text appended.
std::string Transform(std::string text, int kind, std::size_t where) {
  const TTextModel model(text);
  switch (kind) {
    case 0:
      for (std::size_t open = text.find('['), close; open != std::string::npos; open = text.find('[', open + 1))
        if ((close = text.find(']', open)) != std::string::npos) text.erase(open, close + 1 - open);
      return text;
    case 1: {
      const std::size_t start = model.LineStart(std::min(where, text.size()));
      return text.erase(start, std::min(text.size(), model.ContentEnd(start) + 2) - start);
    }
    case 2:
      for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      return text;
    default:
      return text + (where % 2 ? "\r\n[x]tail" : "z");
  }
}

// The rewrite form of the whole-text step, as a tool's filter drives it: the
// new text written in pieces of random sizes, each with the old line it was
// made from, so that lines are cut between writes and kept lines share their bytes.
void Rewrite(TRyxEdit& edit, const std::string& after, unsigned seed) {
  std::mt19937 random(seed);
  edit.ReplaceAllText([&](const TStoredText& text, TRyxStringsWriter& out) {
    std::size_t at = 0;
    text.ForEachLine([&](std::string_view line) {
      const std::size_t n = std::min<std::size_t>(after.size() - at, random() % (line.size() + 3));
      out.Write(std::string_view(after).substr(at, n), line);
      at += n;
    });
    out.Write(std::string_view(after).substr(at));
  });
}

}  // namespace

TEditorDriver::TEditorDriver(unsigned seed)
    : FSeed(seed), FRandom(seed), F("", 265, seed % 2 ? kWrapColumn : kUnwrapped) {
  F.host.SetClipboard("ab");
  F.edit.OnChange = [this](TObject*) {
    ++FChangeEvents;
    FReportsAtChange = FReports;
    FModifiedAtChange = F.edit.Modified();
  };
  F.edit.OnLinesChanged = [this](TObject*, int first, int oldLast, int newLast) {
    ++FReports;
    const TRyxStrings& lines = F.edit.Lines();
    if (first < 0 || oldLast < first - 1 || oldLast >= static_cast<int>(FMirror.size()) || newLast < first - 1 ||
        newLast >= lines.Count()) {
      FReportWrong = "a change report of rows out of range";
      return;
    }
    FMirror.erase(FMirror.begin() + first, FMirror.begin() + oldLast + 1);
    for (int row = first; row <= newLast; ++row) FMirror.insert(FMirror.begin() + row, std::string(lines.Get(row)));
    if (!F.edit.WordWrap()) return;
    TRyxStrings fresh;
    F.edit.BuildWrappedLines(fresh);
    bool final = fresh.Count() == lines.Count();
    for (int row = 0; final && row < lines.Count(); ++row) final = fresh.Get(row) == lines.Get(row);
    if (!final) FReportEarly = "a change reported before the rows were rewrapped";
  };
  FMirror = F.Rows();
}

std::string TEditorDriver::Run(int steps) {
  std::string wrong = Step("load:" + RandomFile());
  for (int n = 0; wrong.empty() && n < steps; ++n) wrong = Step(Pick(ReadBefore()));
  // A session that changes the text too seldom checks too little.
  if (wrong.empty() && FModel.Changes() < static_cast<std::size_t>(steps) / 8)
    wrong = "only " + std::to_string(FModel.Changes()) + " changes";
  // Then any drag ends, the text becomes writable, and the whole history is undone and redone.
  for (const char* end : {"dropelsewhere", "readonly:0"})
    if (wrong.empty()) wrong = Step(end);
  while (wrong.empty() && FModel.UndoCount() > 0) wrong = Step("Ctrl+Z");
  while (wrong.empty() && FModel.RedoCount() > 0) wrong = Step("Ctrl+Y");
  return Failure(wrong);
}

std::string TEditorDriver::Replay(const std::vector<std::string>& steps) {
  std::string wrong;
  for (std::size_t n = 0; wrong.empty() && n < steps.size(); ++n) wrong = Step(steps[n]);
  return Failure(wrong);
}

std::string TEditorDriver::Failure(const std::string& wrong) const {
  if (wrong.empty()) return "";
  std::ostringstream out;
  out << "seed " << FSeed << ", step " << FSteps.size() << " " << Print(FSteps.back()) << ": " << wrong << "\nsteps:";
  for (const std::string& step : FSteps) out << ' ' << Print(step);
  return out.str();
}

TEditorDriver::TBefore TEditorDriver::ReadBefore() const {
  const TRyxEdit& edit = F.edit;
  int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
  edit.GetSelBounds(startCol, startLine, endLine, endCol);
  return {Offset(edit.CaretLine(), edit.CaretCol()),
          Offset(startLine, startCol),
          Offset(endLine, endCol),
          edit.SelActive() || edit.SelAll(),
          edit.SelAll(),
          edit.ReadOnly(),
          edit.InsertMode(),
          F.host.DragRunning(),
          F.host.Clipboard()};
}

std::size_t TEditorDriver::Offset(int row, int col) const {
  std::size_t offset = 0;
  for (int i = 0; i < row; ++i) offset += F.edit.Lines().Get(i).size();
  return offset + static_cast<std::size_t>(col);
}

std::string TEditorDriver::Pick(const TBefore& b) {
  for (;;) {
    const std::vector<std::string>* names = &kDragSteps;
    if (!b.Dragging)
      for (int weight = Number(1, 72); const auto& [share, group] : kSteps)
        if ((weight -= share) <= 0) {
          names = &group;
          break;
        }
    if (const std::string step = Fill(Any(*names)); !step.empty()) return step;
  }
}

std::string TEditorDriver::Fill(const std::string& name) {
  const std::map<char, std::function<std::string()>> values{
      {'r', [&] { return std::to_string(Number(-1, 16)); }},
      {'c', [&] { return std::to_string(Number(-1, 50)); }},
      {'l', [&] { return std::to_string(Any(kMessageLines)); }},
      {'k', [&] { return std::to_string(Any(kMessageCols)); }},
      {'s', [&] { return SelectionStartInView(); }},
      {'t', [&] { return Any(kTyped); }},
      {'i', [&] { return Any(kComposed); }},
      {'p', [&] { return Any(kPasted); }},
      {'x', [&] { return RandomText(); }},
      {'f', [&] { return RandomFile(); }},
      {'a', [&] { return Transform(FModel.Text(), Number(0, 3), static_cast<std::size_t>(Number(0, 4000))); }},
      {'n', [&] { return std::to_string(Number(0, 999)); }}};
  std::string step;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] != '%') {
      step += name[i];
    } else if (const std::string value = values.at(name[++i])(); !value.empty()) {
      step += value;
    } else {
      return "";
    }
  }
  return step;
}

// The row and column of the selection's first character, or "" when it is not in view.
std::string TEditorDriver::SelectionStartInView() const {
  const TRyxEdit& e = F.edit;
  int col = 0, line = 0, endLine = 0, endCol = 0;
  if (!e.GetSelBounds(col, line, endLine, endCol) || (line == endLine && col == endCol) || line < e.TopLine() ||
      line >= e.TopLine() + e.VisibleLines())
    return "";
  const int x = e.TextXOfColumn(e.Lines().Get(line), col) - e.ScrollX();
  return x < 0 || x >= e.TextWidth() - 2 ? "" : std::to_string(line) + "," + std::to_string(col);
}

std::string TEditorDriver::Step(const std::string& step) {
  const TBefore b = ReadBefore();
  FSteps.push_back(step);
  FReports = FChangeEvents = 0;
  FReportsAtChange = -1;
  FReportWrong.clear();
  FReportEarly.clear();
  FExpectWrong.clear();
  const std::size_t changes = FModel.Changes();
  const std::string before = FModel.Text();
  Execute(step);
  Expect(step, b);
  const std::string wrong = Check(step, b, FModel.Changes() != changes);
  if (wrong.empty()) return "";
  return wrong + "\nbefore the step: text " + Print(before) + ", caret " + std::to_string(b.Caret) + ", selection " +
         std::to_string(b.SelStart) + "-" + std::to_string(b.SelEnd) + (b.SelAll ? " (all)" : "") +
         (b.SelShown ? "" : " (none)") + (b.InsertMode ? "" : ", overwriting") + (b.ReadOnly ? ", read-only" : "");
}

void TEditorDriver::Execute(const std::string& step) {
  const std::size_t colon = step.find(':');
  const std::string name = step.substr(0, colon);
  const std::string arg = colon == std::string::npos ? "" : step.substr(colon + 1);
  TRyxEdit& edit = F.edit;
  if (name == "compose") {
    // The composing string comes and changes before the result; none of it is typed.
    edit.Perform(WM_IME_STARTCOMPOSITION, 0, 0);
    edit.Perform(WM_IME_COMPOSITION, 0, 0);
    F.Do("ime:" + arg);
    edit.Perform(WM_IME_CHAR, static_cast<unsigned char>(arg[0]), 1);
    edit.Perform(WM_IME_ENDCOMPOSITION, 0, 0);
  } else if (name == "dblclick") {
    edit.DblClick();
    F.Do("press:" + arg);
  } else if (name == "releasecopy") {
    F.host.SetKeyDown(VK_CONTROL, true);
    F.Do("release");
    F.host.SetKeyDown(VK_CONTROL, false);
  } else if (name == "undo") {
    edit.Perform(WM_UNDO, 0, 0);
  } else if (name == "autoindent") {
    edit.SetAutoIndent(arg == "1");
  } else if (name == "wrap") {
    edit.SetWordWrap(arg != "off");
    edit.SetAutoWrap(arg == "window");
    if (arg != "off" && arg != "window") edit.SetColumn(std::stoi(arg));
  } else if (name == "counting") {
    edit.SetColumnCounting(arg == "1" ? &FMarkup : nullptr);
  } else if (name == "setall") {
    edit.SetAllText(arg);
  } else if (name == "clearall") {
    edit.ClearAll();
  } else if (name == "load") {
    if (!edit.LoadFromFile(FFolder.WriteFile("load.txt", arg))) FExpectWrong = "the file was not loaded";
  } else if (name == "replace") {
    edit.ReplaceAllText(arg);
  } else if (name == "rewrite") {
    Rewrite(edit, arg.substr(arg.find(',') + 1), static_cast<unsigned>(std::stoul(arg)));
  } else if (name == "rewritefails") {
    try {
      edit.ReplaceAllText([](const TStoredText& text, TRyxStringsWriter& out) {
        text.ForEachLine([&out](std::string_view line) { out.Write("x\r\n", line); });
        throw std::runtime_error("the filter failed");
      });
      FExpectWrong = "the failing rewrite did not fail";
    } catch (const std::runtime_error&) {
    }
  } else {
    F.Do(step);
  }
}

void TEditorDriver::Expect(const std::string& step, TBefore b) {
  const std::size_t colon = step.find(':');
  const std::string name = step.substr(0, colon);
  const std::string arg = colon == std::string::npos ? "" : step.substr(colon + 1);
  const std::string& text = FModel.Text();
  // The owner's operations.
  if (name == "setall" || name == "clearall" || name == "load")
    return FModel.Reset(name == "load" ? ReadWithLf(arg) : arg);
  if (name == "replace" || name == "rewrite")
    return ExpectReplaced(b, name == "replace" ? arg : arg.substr(arg.find(',') + 1), name == "replace");
  const bool cuts = IsOneOf(name, "Ctrl+X cut Shift+Delete");
  if ((cuts && !b.ReadOnly) || IsOneOf(name, "Ctrl+C copy")) {
    if (F.host.Clipboard() != (b.SelShown ? text.substr(b.SelStart, b.SelEnd - b.SelStart) : b.Clipboard))
      FExpectWrong = "the clipboard holds " + Print(F.host.Clipboard());
  }
  // Called directly, as the owner's menu calls them, the deletions are not refused while read-only; keys and messages
  // are.
  if (name == "DeleteCharLeft" || name == "DeleteWordLeft") b.ReadOnly = false;
  if (b.ReadOnly) return;
  if (name == "type" || name == "compose") {
    ExpectTyped(b, arg);
  } else if ((name == "Back" || name == "DeleteCharLeft") && !b.SelShown) {
    if (b.Caret > 0) FModel.Erase(ukBackDelete, FModel.Before(b.Caret), b.Caret - FModel.Before(b.Caret));
  } else if (name == "Delete" && !b.SelShown) {
    if (b.Caret < text.size())
      FModel.Erase(ukForwardDelete, b.Caret, b.Caret == FModel.ContentEnd(b.Caret) ? 2 : FModel.CharSize(b.Caret));
  } else if (IsOneOf(name, "Back DeleteCharLeft Delete") || cuts) {
    TakeSelection(b);
  } else if (name == "Return" || name == "Tab") {
    const std::size_t at = TakeSelection(b);
    std::string typed = name == "Tab" ? "\t" : "\r\n";
    // With auto-indent, the blanks that start the line, up to the caret.
    for (std::size_t i = FModel.LineStart(at);
         name == "Return" && F.edit.AutoIndent() && i < at && static_cast<unsigned char>(text[i]) <= 0x20; ++i)
      typed += text[i];
    FModel.Insert(at, typed);
  } else if (IsOneOf(name, "Ctrl+V Shift+Insert paste")) {
    // Pasted text ends at a NUL.
    const std::string pasted = name == "paste" ? arg : b.Clipboard;
    const std::size_t at = TakeSelection(b);
    if (const std::string kept = pasted.substr(0, pasted.find('\0')); !kept.empty()) FModel.Insert(at, kept);
  } else if (IsOneOf(name, "Ctrl+Delete Ctrl+Back Ctrl+Shift+Back DeleteWordLeft")) {
    ExpectWordDeleted(b, name == "Ctrl+Delete");
  } else if (IsOneOf(name, "release releasecopy") && b.Dragging) {
    // The drop point is the caret: a move takes the selection out first, a
    // copy does not, and a drop on the selection changes nothing.
    if (b.SelEnd == b.SelStart || (b.Caret >= b.SelStart && b.Caret <= b.SelEnd)) return;
    const std::string moved = text.substr(b.SelStart, b.SelEnd - b.SelStart);
    const bool move = name == "release";
    if (move) FModel.Erase(ukDelete, b.SelStart, moved.size());
    FModel.Insert(move && b.Caret > b.SelEnd ? b.Caret - moved.size() : b.Caret, moved);
  } else if (IsOneOf(name, "Ctrl+Z undo")) {
    FModel.Undo();
  } else if (IsOneOf(name, "Ctrl+Y Ctrl+Shift+Z")) {
    FModel.Redo();
  } else if (name == "clear" && !text.empty()) {
    FModel.Erase(ukDelete, 0, text.size());
  }
}

std::string TEditorDriver::Check(const std::string& step, const TBefore& b, bool changed) {
  const TRyxEdit& edit = F.edit;
  if (!FExpectWrong.empty()) return FExpectWrong;
  if (F.Text() != FModel.Text()) return "the text is " + Print(F.Text()) + ", the model's " + Print(FModel.Text());
  if (const std::string broken = F.Broken(); !broken.empty()) return broken;
  if (const std::size_t caret = Offset(edit.CaretLine(), edit.CaretCol()); changed && caret != FModel.Caret())
    return "the caret at " + std::to_string(caret) + ", the model's at " + std::to_string(FModel.Caret());
  if (edit.UndoList().size() != FModel.UndoCount() || edit.RedoList().size() != FModel.RedoCount())
    return "undo and redo records " + std::to_string(edit.UndoList().size()) + " and " +
           std::to_string(edit.RedoList().size()) + ", the model's " + std::to_string(FModel.UndoCount()) + " and " +
           std::to_string(FModel.RedoCount());
  if (edit.Modified() != (FModel.UndoCount() > 0)) return "modified " + std::to_string(edit.Modified());
  if (!FReportWrong.empty()) return FReportWrong;
  if (changed && !FReportEarly.empty()) return FReportEarly;
  if (FMirror != F.Rows()) return "the rows kept from the change reports differ from the store";
  // A rewrap without a change of the text may report its rows as it goes.
  const bool rewraps = step.starts_with("wrap:") || step.starts_with("counting:") || step.starts_with("size:");
  if (FReports != (changed ? 1 : 0) && (changed || !rewraps)) return std::to_string(FReports) + " change reports";
  // Cut and paste signal also when nothing changed.
  const bool signals = changed || (!b.ReadOnly && IsOneOf(step.substr(0, step.find(':')),
                                                          "Ctrl+X cut Shift+Delete Ctrl+V Shift+Insert paste"));
  if (FChangeEvents != (signals ? 1 : 0)) return "OnChange fired " + std::to_string(FChangeEvents) + " times";
  if (changed && FReportsAtChange != 1) return "OnChange fired before the change report";
  if (changed && FModifiedAtChange != edit.Modified()) return "OnChange fired before the modified state was settled";
  return F.ScreenWrong();
}

std::size_t TEditorDriver::TakeSelection(const TBefore& b) {
  if (b.SelEnd == b.SelStart) return b.Caret;
  FModel.Erase(ukDelete, b.SelStart, b.SelEnd - b.SelStart);
  return FModel.Caret();
}

void TEditorDriver::ExpectTyped(const TBefore& b, std::string typed) {
  const std::size_t at = TakeSelection(b);
  const std::size_t n = typed.size();
  const std::size_t rest = FModel.ContentEnd(at) - at;
  bool padded = false;
  if (!b.InsertMode && rest > 0) {
    // Overwriting only the first byte of a double-byte character takes it
    // whole and leaves a space, before which the caret stays.
    padded = n < rest && FModel.CharStart(at + n - 1) == at + n - 1 && FModel.CharSize(at + n - 1) == 2;
    FModel.Erase(ukOverwrite, at, std::min(rest, n) + (padded ? 1 : 0));
    if (padded) typed += ' ';
  }
  FModel.Insert(at, typed);
  if (padded) FModel.SetCaret(at + n);
}

void TEditorDriver::ExpectWordDeleted(const TBefore& b, bool right) {
  if (!right && b.Caret == 0) return;
  // A selection goes; a whole-text selection is forgotten and a word goes.
  if (b.SelShown && !b.SelAll) {
    TakeSelection(b);
    return;
  }
  const std::string& before = FModel.Text();
  const std::string now = F.Text();
  if (now == before) return;
  // Bytes next to the caret went, nothing else: the word, or a tab or line
  // break alone as Backspace and Delete take them.
  const std::size_t gone = before.size() - std::min(before.size(), now.size());
  const std::size_t from = right ? b.Caret : b.Caret - std::min(b.Caret, gone);
  if (gone == 0 || now != before.substr(0, from) + before.substr(std::min(before.size(), from + gone))) {
    FExpectWrong = "the word deletion left " + Print(now);
    return;
  }
  const std::string removed = before.substr(from, gone);
  const bool single =
      removed == "\r\n" || removed == "\t" ||
      (right && gone == 1 && (removed == "\r" || IsDBCSLeadByte(static_cast<unsigned char>(removed[0]))));
  FModel.Erase(single ? (right ? ukForwardDelete : ukBackDelete) : ukDelete, from, gone);
}

// The string form knows the changed bytes exactly: a caret before them
// stays, one after them moves with its text; the rewrite form keeps it on its
// text as far as the rewrite kept that.
void TEditorDriver::ExpectReplaced(const TBefore& b, const std::string& after, bool exact) {
  const std::string& before = FModel.Text();
  if (after == before) return;
  const std::size_t same = SameStart(before, after);
  std::size_t suffix = 0;
  while (suffix < std::min(before.size(), after.size()) - same &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
    ++suffix;
  const std::size_t caret = Offset(F.edit.CaretLine(), F.edit.CaretCol());
  if (exact && ((b.Caret < same && caret != b.Caret) ||
                (b.Caret > before.size() - suffix &&
                 caret != TTextModel(after).CharStart(after.size() - (before.size() - b.Caret)))))
    FExpectWrong = "the caret went from " + std::to_string(b.Caret) + " to " + std::to_string(caret);
  FModel.Replace(after, b.Caret, caret);
}

std::string TEditorDriver::RandomText() {
  std::string text;
  for (int n = Number(0, 12); n > 0; --n) text += Any(kPieces);
  return text;
}

std::string TEditorDriver::RandomFile() {
  std::string file = "x\n";
  for (int line = Number(0, 12); line > 0; --line) {
    for (int n = Number(0, 3); n > 0; --n) file += Any(kFilePieces);
    file += '\n';
  }
  return file + Any(kFilePieces);
}
