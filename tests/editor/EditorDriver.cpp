// The weighted random driver of the editor control: the actions, what the model expects of each, and the checks.
#include "tests/editor/EditorDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace {

// What the actions type, paste and write; the markup pieces make and break
// tags and silent lines when the wrap counts with the hook.
const std::vector<std::string> kPieces{
    "a", "bc", " ", "\t", "\x82\xA0", "\x93\xFA",        "\xB1", "\r\n", "xyz", "\x81\x40", "\x88\x9F", "[1]", "<1>",
    "<", ">",  "#", "!",  "0",        "<123456789abcdef"};
const std::vector<std::string> kTyped{"a", "z", " ", "0", "<", ">", "#", "[", "]", "\xB1", "\xDF", "\xA1"};
const std::vector<std::string> kComposed{"\x82\xA0", "\x93\xFA", "\x82\xA0\x82\xA2",
                                         "ab",       "\x81\x40", "\x88\x9F\x88\xA0x"};
// A CR or LF alone, a lead byte alone, and a NUL that ends the pasted text.
const std::vector<std::string> kPasted{
    "\r", "\n", "\r\n", "\x82", "q\r", "\nw", "\x93\xFA", std::string("a\0b", 3), "z\r\nz", "<2345678>"};
// Lines of a file with LF breaks: a CR stays inside a line, and "あ" read
// from UTF-8 ends a line in a lead byte without its trail.
const std::vector<std::string> kFilePieces{"ab", "\xE3\x81\x82", "A\rB", "\t",  "\x93\xFA", " ",
                                           "\r", "xyz",          "\xB1", "<1>", "#"};
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

const std::vector<std::string> kMoves = Names(
    "Right Left Up Down Home End Ctrl+Right Ctrl+Left Shift+Right Shift+Left Shift+Up Shift+Down Shift+Home Shift+End "
    "Ctrl+Home Ctrl+End Ctrl+Shift+End Ctrl+Shift+Home PageDown PageUp Ctrl+Shift+Right Ctrl+Shift+Left Ctrl+A");
const std::vector<std::string> kWrapSwitches = Names(
    "wrap:off wrap:10 wrap:16 wrap:72 wrap:window counting:1 counting:0 size:440,265 size:200,265 size:120,200 "
    "size:440,60 size:440,10");
const std::vector<std::string> kSettings = Names("scrollfix:1 scrollfix:0 autoindent:1 autoindent:0 Insert");
const std::vector<std::string> kClipboardKeys = Names("Ctrl+C copy Ctrl+X cut Shift+Delete Ctrl+V Shift+Insert paste");

std::string Print(const std::string& bytes) { return testing::PrintToString(bytes); }

// Whether a lead byte ends a line of the text, a character of its own.
bool HasLoneLead(const std::string& text) {
  const TTextModel model(text);
  for (std::size_t at = 0; at < text.size(); at = model.ContentEnd(at) + 2)
    if (const std::size_t end = model.ContentEnd(at);
        end > at && model.CharStart(end - 1) == end - 1 && IsDBCSLeadByte(static_cast<unsigned char>(text[end - 1])))
      return true;
  return false;
}

// Faults not mended yet: an edit repaints its first changed row from the
// edited byte on, also where what the row shows before that byte changed:
// the rewrap moved bytes before it to the next row, a CR before it became a
// line break's, or a lead byte that ends its line before the edit or after
// it makes the character before the edited byte another one. After such an
// edit the view is painted afresh, so that the screen is checked still.
bool RepaintMisses(const std::string& before, const std::string& after, const std::vector<std::string>& rowsBefore,
                   const std::vector<std::string>& rowsAfter) {
  if (before == after) return false;
  if (HasLoneLead(before) || HasLoneLead(after)) return true;
  const auto edited = static_cast<std::size_t>(
      std::mismatch(before.begin(), before.end(), after.begin(), after.end()).first - before.begin());
  std::size_t start = 0;
  std::size_t row = 0;
  for (; row < rowsBefore.size() && row < rowsAfter.size() && rowsBefore[row] == rowsAfter[row]; ++row)
    start += rowsBefore[row].size();
  if (row == rowsBefore.size() || row == rowsAfter.size()) return false;
  const std::string old = StripLineEnd(rowsBefore[row]);
  const std::string now = StripLineEnd(rowsAfter[row]);
  return start + static_cast<std::size_t>(std::mismatch(old.begin(), old.end(), now.begin(), now.end()).first -
                                          old.begin()) <
         edited;
}

// The text of a file read with LF breaks: each LF ends a line, and a CR is content.
std::string ReadWithLf(std::string file) {
  for (std::size_t lf = file.find('\n'); lf != std::string::npos; lf = file.find('\n', lf + 2))
    file.insert(lf, 1, '\r');
  return file;
}

// Whole-text transforms of the kinds the tools make: every bracketed run
// dropped, one line dropped, every letter upper-cased, text appended.
std::string Transform(std::string text, int kind, std::size_t where) {
  switch (kind) {
    case 0:
      for (std::size_t open = text.find('['); open != std::string::npos; open = text.find('[', open + 1)) {
        const std::size_t close = text.find(']', open);
        if (close != std::string::npos) text.erase(open, close + 1 - open);
      }
      return text;
    case 1: {
      const TTextModel model(text);
      const std::size_t start = model.LineStart(std::min(where, text.size()));
      const std::size_t end = model.ContentEnd(start);
      return text.erase(start, std::min(text.size(), end + 2) - start);
    }
    case 2:
      std::transform(text.begin(), text.end(), text.begin(),
                     [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
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
  const std::string file = RandomFile();
  std::string wrong =
      Step({"load:" + file, [this, file](const TBefore&) { FModel.Reset(ReadWithLf(file)); }}, ReadBefore());
  for (int n = 0; wrong.empty() && n < steps; ++n) {
    const TBefore b = ReadBefore();
    wrong = Step(Pick(b), b);
  }
  // A session that changes the text too seldom checks too little.
  if (wrong.empty() && FModel.Changes() < static_cast<std::size_t>(steps) / 8)
    wrong = "only " + std::to_string(FModel.Changes()) + " changes";
  // Then any drag ends, the text becomes writable, and the whole history is undone and redone.
  for (const char* end : {"dropelsewhere", "readonly:0"})
    if (wrong.empty()) wrong = Step({end}, ReadBefore());
  while (wrong.empty() && FModel.UndoCount() > 0)
    wrong = Step({"Ctrl+Z", [this](const TBefore&) { FModel.Undo(); }}, ReadBefore());
  while (wrong.empty() && FModel.RedoCount() > 0)
    wrong = Step({"Ctrl+Y", [this](const TBefore&) { FModel.Redo(); }}, ReadBefore());
  if (wrong.empty()) return "";
  std::ostringstream out;
  out << "seed " << FSeed << ", step " << FSteps.size() << " " << Print(FSteps.back()) << ": " << wrong << "\nsteps:";
  for (const std::string& step : FSteps) out << ' ' << Print(step);
  return out.str();
}

TEditorDriver::TBefore TEditorDriver::ReadBefore() const {
  const TRyxEdit& edit = F.edit;
  TBefore b;
  b.Caret = Offset(edit.CaretLine(), edit.CaretCol());
  int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
  edit.GetSelBounds(startCol, startLine, endLine, endCol);
  b.SelStart = Offset(startLine, startCol);
  b.SelEnd = Offset(endLine, endCol);
  b.SelShown = edit.SelActive() || edit.SelAll();
  b.SelAll = edit.SelAll();
  b.ReadOnly = edit.ReadOnly();
  b.InsertMode = edit.InsertMode();
  b.Clipboard = F.host.Clipboard();
  return b;
}

std::size_t TEditorDriver::Offset(int row, int col) const {
  std::size_t offset = 0;
  for (int i = 0; i < row; ++i) offset += F.edit.Lines().Get(i).size();
  return offset + static_cast<std::size_t>(col);
}

TEditorDriver::TAction TEditorDriver::Pick(const TBefore& b) {
  using TKind = TAction (TEditorDriver::*)(const TBefore&);
  static const std::vector<std::pair<int, TKind>> kinds{{14, &TEditorDriver::MoveKey},  {12, &TEditorDriver::Typing},
                                                        {12, &TEditorDriver::EditKey},  {5, &TEditorDriver::Clipboard},
                                                        {10, &TEditorDriver::Mouse},    {3, &TEditorDriver::TextDrag},
                                                        {8, &TEditorDriver::UndoRedo},  {3, &TEditorDriver::WrapSwitch},
                                                        {3, &TEditorDriver::WholeText}, {2, &TEditorDriver::Setting}};
  for (;;) {
    // While a text drag runs, the platform's drag loop takes the input.
    TKind kind = &TEditorDriver::DragStep;
    if (!F.host.DragRunning())
      for (int weight = Number(1, 72); const auto& [share, next] : kinds) {
        kind = next;
        if ((weight -= share) <= 0) break;
      }
    if (TAction action = (this->*kind)(b); !MeetsOpenFault(action, b)) return action;
  }
}

// Faults this driver found that are not mended yet, which it keeps away
// from: a selection set by EM_SETSEL or by a double click keeps its paint
// position at the anchor, so that the next move that extends it repaints the
// wrong span; while the whole text is selected, a rewrap moves the
// selection's end to the caret and Ctrl+Shift+Home moves it to the start,
// so that an edit then removes nothing of what is shown selected; and Ctrl+A
// while the button is held leaves the mouse selection going, which then
// follows the mouse while the whole text still shows selected; and a text
// drag that ends elsewhere leaves the paint position at the drop point.
bool TEditorDriver::MeetsOpenFault(const TAction& action, const TBefore& b) const {
  return action.Step.starts_with("sel:") || action.Step.starts_with("dblclick:") || action.Step == "dropelsewhere" ||
         (b.SelAll && (action.Rewraps || action.Step == "Ctrl+Shift+Home")) || (action.Step == "Ctrl+A" && FButtonHeld);
}

std::string TEditorDriver::Step(const TAction& action, const TBefore& b) {
  FSteps.push_back(action.Step);
  FReports = FChangeEvents = 0;
  FReportsAtChange = -1;
  FReportWrong.clear();
  FReportEarly.clear();
  FExpectWrong.clear();
  const std::size_t changes = FModel.Changes();
  const std::string before = FModel.Text();
  const std::vector<std::string> rowsBefore = F.Rows();
  Execute(action.Step);
  if (action.Step.starts_with("press") || action.Step.starts_with("dblclick:")) FButtonHeld = true;
  if (action.Step.starts_with("release") || action.Step == "dropelsewhere") FButtonHeld = false;
  if (action.Expect) action.Expect(b);
  const std::string wrong = Check(action, b, before, rowsBefore, FModel.Changes() != changes);
  if (wrong.empty()) return "";
  return wrong + "\nbefore the step: text " + Print(before) + ", caret " + std::to_string(b.Caret) + ", selection " +
         std::to_string(b.SelStart) + "-" + std::to_string(b.SelEnd) +
         (b.SelAll     ? " (all)"
          : b.SelShown ? ""
                       : " (none)") +
         (b.InsertMode ? "" : ", overwriting") + (b.ReadOnly ? ", read-only" : "");
}

std::string TEditorDriver::Check(const TAction& action, const TBefore& b, const std::string& before,
                                 const std::vector<std::string>& rowsBefore, bool changed) {
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
  if (FReports != (changed ? 1 : 0) && !(action.Rewraps && !changed))
    return std::to_string(FReports) + " change reports";
  if (FChangeEvents != (changed || (action.AlwaysSignals && !b.ReadOnly) ? 1 : 0))
    return "OnChange fired " + std::to_string(FChangeEvents) + " times";
  if (changed && FReportsAtChange != 1) return "OnChange fired before the change report";
  if (RepaintMisses(before, FModel.Text(), rowsBefore, F.Rows())) F.host.InvalidateRect(nullptr);
  return F.ScreenWrong();
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
    const std::size_t comma = arg.find(',');
    Rewrite(edit, arg.substr(comma + 1), static_cast<unsigned>(std::stoul(arg.substr(0, comma))));
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

std::string TEditorDriver::RandomFile() {
  std::string file = "x\n";
  for (int line = Number(0, 12); line > 0; --line) {
    for (int n = Number(0, 3); n > 0; --n) file += Any(kFilePieces);
    file += '\n';
  }
  return file + Any(kFilePieces);
}

std::string TEditorDriver::RandomText(int pieces) {
  std::string text;
  for (int n = Number(0, pieces); n > 0; --n) text += Any(kPieces);
  return text;
}

TEditorDriver::TAction TEditorDriver::MoveKey(const TBefore&) {
  if (Chance(80)) return {Any(kMoves)};
  // The selection and caret messages, with values inside a character or line break and beyond the text.
  const std::vector<int> lines{0, 1, 2, 5, 13, 65535};
  const std::vector<int> cols{0, 1, 2, 3, 4, 5, 6, 7, 9, 65535};
  const std::string caret = std::to_string(Any(lines)) + "," + std::to_string(Any(cols));
  return {Chance(70) ? "sel:" + std::to_string(Any(lines)) + "," + std::to_string(Any(cols)) + "," + caret
                     : "caret:" + caret};
}

TEditorDriver::TAction TEditorDriver::Typing(const TBefore&) {
  const bool composed = Chance(30);
  const std::string text = composed ? Any(kComposed) : Any(kTyped);
  return {(composed ? "compose:" : "type:") + text, [this, text](const TBefore& b) { ExpectTyped(b, text); }};
}

TEditorDriver::TAction TEditorDriver::EditKey(const TBefore&) {
  switch (Number(0, 9)) {
    case 0:
    case 1:
      return {"Back", [this](const TBefore& b) {
                if (b.ReadOnly || (!b.SelShown && b.Caret == 0)) return;
                if (b.SelShown)
                  TakeSelection(b);
                else
                  FModel.Erase(ukBackDelete, FModel.Before(b.Caret), b.Caret - FModel.Before(b.Caret));
              }};
    case 2:
    case 3:
      return {"Delete", [this](const TBefore& b) {
                if (b.ReadOnly || (!b.SelShown && b.Caret == FModel.Text().size())) return;
                if (b.SelShown)
                  TakeSelection(b);
                else
                  FModel.Erase(ukForwardDelete, b.Caret,
                               b.Caret == FModel.ContentEnd(b.Caret) ? 2 : FModel.CharSize(b.Caret));
              }};
    case 4:
      return {"Return", [this](const TBefore& b) {
                if (b.ReadOnly) return;
                const std::size_t at = TakeSelection(b);
                std::string text = "\r\n";
                // With auto-indent, the blanks that start the line, up to the caret.
                for (std::size_t i = FModel.LineStart(at);
                     F.edit.AutoIndent() && i < at && static_cast<unsigned char>(FModel.Text()[i]) <= 0x20; ++i)
                  text += FModel.Text()[i];
                FModel.Insert(at, text);
              }};
    case 5:
      return {"Tab", [this](const TBefore& b) { ExpectInserted(b, "\t"); }};
    case 6:
      return {"Ctrl+Delete", [this](const TBefore& b) { ExpectWordDeleted(b, true); }};
    case 7:
      return {Chance(50) ? "Ctrl+Back" : "Ctrl+Shift+Back", [this](const TBefore& b) { ExpectWordDeleted(b, false); }};
    case 8:
      // The operations called directly, as the owner's menu does: no read-only check of the keys.
      return {"DeleteCharLeft", [this](const TBefore& b) {
                if (b.SelShown)
                  TakeSelection(b);
                else if (b.Caret > 0)
                  FModel.Erase(ukBackDelete, FModel.Before(b.Caret), b.Caret - FModel.Before(b.Caret));
              }};
    default:
      return {"DeleteWordLeft", [this](TBefore b) {
                b.ReadOnly = false;
                ExpectWordDeleted(b, false);
              }};
  }
}

TEditorDriver::TAction TEditorDriver::Clipboard(const TBefore& current) {
  std::string step = Any(kClipboardKeys);
  if (step == "paste") step += ":" + Any(kPasted);
  const bool copies = step == "Ctrl+C" || step == "copy";
  if (const bool cut = step == "Ctrl+X" || step == "cut" || step == "Shift+Delete"; copies || cut) {
    return {step,
            [this, cut](const TBefore& b) {
              if (cut && b.ReadOnly) return;
              const std::string selected = FModel.Text().substr(b.SelStart, b.SelEnd - b.SelStart);
              if (F.host.Clipboard() != (b.SelShown ? selected : b.Clipboard))
                FExpectWrong = "the clipboard holds " + Print(F.host.Clipboard());
              if (cut && b.SelShown) TakeSelection(b);
            },
            cut};
  }
  const std::string pasted = step.starts_with("paste:") ? step.substr(6) : current.Clipboard;
  return {step, [this, pasted](const TBefore& b) { ExpectInserted(b, pasted.substr(0, pasted.find('\0'))); }, true};
}

TEditorDriver::TAction TEditorDriver::Mouse(const TBefore&) {
  const std::string cell = std::to_string(Number(0, 15)) + "," + std::to_string(Number(-1, 40));
  switch (Number(0, 9)) {
    case 0:
    case 1:
    case 2:
      return {"press:" + cell + (Chance(20) ? ",1" : "")};
    case 3:
    case 4:
    case 5:
      return {"move:" + std::to_string(Number(-1, 16)) + "," + std::to_string(Number(-1, 60))};
    case 6:
    case 7:
      return {"release"};
    case 8:
      return {"tick"};
    default:
      return {"dblclick:" + cell};
  }
}

TEditorDriver::TAction TEditorDriver::TextDrag(const TBefore& b) {
  // A press on the selection's first character, where that is in view, drags the selection.
  const TRyxEdit& e = F.edit;
  int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
  if (b.SelEnd == b.SelStart || !e.GetSelBounds(startCol, startLine, endLine, endCol) || startLine < e.TopLine() ||
      startLine >= e.TopLine() + e.VisibleLines())
    return Mouse(b);
  const int x = e.TextXOfColumn(e.Lines().Get(startLine), startCol) - e.ScrollX();
  if (x < 0 || x >= e.TextWidth() - 2) return Mouse(b);
  return {"pressat:" + std::to_string(startLine) + "," + std::to_string(startCol)};
}

TEditorDriver::TAction TEditorDriver::DragStep(const TBefore&) {
  // A drop puts the selection where the caret marks the drop point: a move
  // takes it out first, a copy does not, and a drop on the selection changes nothing.
  auto drop = [this](bool copy) {
    return [this, copy](const TBefore& b) {
      const std::size_t at = b.Caret;
      if (b.ReadOnly || b.SelEnd == b.SelStart || (at >= b.SelStart && at <= b.SelEnd)) return;
      const std::string moved = FModel.Text().substr(b.SelStart, b.SelEnd - b.SelStart);
      if (!copy) FModel.Erase(ukDelete, b.SelStart, moved.size());
      FModel.Insert(!copy && at > b.SelEnd ? at - moved.size() : at, moved);
    };
  };
  const int n = Number(0, 19);
  if (n < 10) return {"move:" + std::to_string(Number(-1, 16)) + "," + std::to_string(Number(-1, 45))};
  if (n < 14) return {"release", drop(false)};
  if (n < 17) return {"releasecopy", drop(true)};
  if (n < 19) return {"dropelsewhere"};
  return {"tick"};
}

TEditorDriver::TAction TEditorDriver::UndoRedo(const TBefore&) {
  if (Chance(60))
    return {Chance(70) ? "Ctrl+Z" : "undo", [this](const TBefore& b) {
              if (!b.ReadOnly) FModel.Undo();
            }};
  return {Chance(50) ? "Ctrl+Y" : "Ctrl+Shift+Z", [this](const TBefore& b) {
            if (!b.ReadOnly) FModel.Redo();
          }};
}

TEditorDriver::TAction TEditorDriver::WrapSwitch(const TBefore&) { return {Any(kWrapSwitches), nullptr, false, true}; }

TEditorDriver::TAction TEditorDriver::WholeText(const TBefore&) {
  const std::string after = Transform(FModel.Text(), Number(0, 3), static_cast<std::size_t>(Number(0, 4000)));
  switch (Number(0, 9)) {
    case 0:
    case 1: {
      const std::string text = RandomText(12);
      return {"setall:" + text, [this, text](const TBefore&) { FModel.Reset(text); }};
    }
    case 2:
      return {"clearall", [this](const TBefore&) { FModel.Reset(""); }};
    case 3:
    case 4:
      // The string form knows the changed bytes exactly: a caret before
      // them stays, one after them moves with its text.
      return {"replace:" + after, [this, after](const TBefore& b) {
                const std::string& before = FModel.Text();
                if (after == before) return;
                const auto same = static_cast<std::size_t>(
                    std::mismatch(before.begin(), before.end(), after.begin(), after.end()).first - before.begin());
                std::size_t suffix = 0;
                while (suffix < std::min(before.size(), after.size()) - same &&
                       before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
                  ++suffix;
                const std::size_t caret = Offset(F.edit.CaretLine(), F.edit.CaretCol());
                if ((b.Caret < same && caret != b.Caret) ||
                    (b.Caret > before.size() - suffix &&
                     caret != TTextModel(after).CharStart(after.size() - (before.size() - b.Caret))))
                  FExpectWrong = "the caret went from " + std::to_string(b.Caret) + " to " + std::to_string(caret);
                FModel.Replace(after, b.Caret, caret);
              }};
    case 5:
    case 6:
      return {"rewrite:" + std::to_string(Number(0, 999)) + "," + after, [this, after](const TBefore& b) {
                if (after != FModel.Text())
                  FModel.Replace(after, b.Caret, Offset(F.edit.CaretLine(), F.edit.CaretCol()));
              }};
    case 7:
      return {"rewritefails"};
    case 8: {
      const std::string file = RandomFile();
      return {"load:" + file, [this, file](const TBefore&) { FModel.Reset(ReadWithLf(file)); }};
    }
    default:
      return {"clear", [this](const TBefore& b) {
                if (!b.ReadOnly && !FModel.Text().empty()) FModel.Erase(ukDelete, 0, FModel.Text().size());
              }};
  }
}

// Read-only comes seldom and goes soon, so that most steps may edit.
TEditorDriver::TAction TEditorDriver::Setting(const TBefore& b) {
  if (Chance(b.ReadOnly ? 60 : 10)) return {b.ReadOnly ? "readonly:0" : "readonly:1"};
  return {Any(kSettings)};
}

std::size_t TEditorDriver::TakeSelection(const TBefore& b) {
  if (b.SelEnd == b.SelStart) return b.Caret;
  FModel.Erase(ukDelete, b.SelStart, b.SelEnd - b.SelStart);
  return FModel.Caret();
}

void TEditorDriver::ExpectInserted(const TBefore& b, const std::string& text) {
  if (b.ReadOnly) return;
  const std::size_t at = TakeSelection(b);
  if (!text.empty()) FModel.Insert(at, text);
}

void TEditorDriver::ExpectTyped(const TBefore& b, std::string typed) {
  if (b.ReadOnly) return;
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
  if (b.ReadOnly || (!right && b.Caret == 0)) return;
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
