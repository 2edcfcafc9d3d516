// The `call` command: the control's public operations by name.
#include <array>
#include <string>

#include "tools/verselet-script/Commands.h"
#include "tools/verselet-script/Json.h"

namespace {

struct TOperation {
  std::string_view Name;
  std::string_view Usage;
  std::size_t Args;
  TAction (*Parse)(const TArgs& args);
};

// An operation without arguments or result.
template <void (TRyxEdit::*Op)()>
TAction Plain(const TArgs&) {
  return [](TScriptSession& s) { (s.Edit().*Op)(); };
}

bool LoadFile(TRyxEdit& edit, const std::filesystem::path& path) { return edit.LoadFromFile(path); }
bool SaveFile(TRyxEdit& edit, const std::filesystem::path& path) { return edit.SaveToFile(path); }

template <bool (*Op)(TRyxEdit&, const std::filesystem::path&)>
TAction FileOp(const TArgs& args) {
  // A file name is a path of this system, not code page 932 text.
  const std::filesystem::path path(args.Text(0, TTextEncoding::Utf8));
  return [path](TScriptSession& s) { s.Print(Op(s.Edit(), path) ? "result=1" : "result=0"); };
}

TAction SetAllText(const TArgs& args) {
  const std::string text = args.Text(0);
  return [text](TScriptSession& s) { s.Edit().SetAllText(text); };
}

TAction GetAllText(const TArgs&) {
  return [](TScriptSession& s) { s.Print("result=" + JsonBytes(s.Edit().GetAllText())); };
}

TAction LastFileError(const TArgs&) {
  return [](TScriptSession& s) { s.Print("result=" + JsonUtf8(s.Edit().LastFileError())); };
}

TAction ExpandTabs(const TArgs& args) {
  const std::string text = args.Text(0);
  return [text](TScriptSession& s) { s.Print("result=" + JsonBytes(s.Edit().ExpandTabs(text))); };
}

TAction TextXOfColumn(const TArgs& args) {
  const std::string line = args.Text(0);
  const int col = args.Int(1, 0, 0x7FFFFFFF);
  return [line, col](TScriptSession& s) { s.Print("result=" + std::to_string(s.Edit().TextXOfColumn(line, col))); };
}

TAction TypeText(const TArgs& args) {
  const std::string text = args.Text(0);
  return [text](TScriptSession& s) { s.Edit().TypeText(text); };
}

TAction InsertAtCaret(const TArgs& args) {
  const std::string text = args.Text(0);
  const bool redraw = args.Int(1, 0, 1) != 0;
  return [text, redraw](TScriptSession& s) { s.Edit().InsertAtCaret(text, redraw); };
}

TAction DeleteSelection(const TArgs& args) {
  const bool redraw = args.Int(0, 0, 1) != 0;
  return [redraw](TScriptSession& s) { s.Edit().DeleteSelection(redraw); };
}

TAction GetSelBounds(const TArgs&) {
  return [](TScriptSession& s) {
    int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
    const bool selected = s.Edit().GetSelBounds(startCol, startLine, endLine, endCol);
    s.Print("result=" + std::string(selected ? "1" : "0") + " start=" + std::to_string(startLine) + "," +
            std::to_string(startCol) + " end=" + std::to_string(endLine) + "," + std::to_string(endCol));
  };
}

TAction Loaded(const TArgs&) {
  return [](TScriptSession& s) { s.Edit().Loaded(); };
}

TAction Paint(const TArgs&) {
  return [](TScriptSession& s) { s.Edit().Paint(); };
}

TAction RecreateWnd(const TArgs&) {
  return [](TScriptSession& s) { s.Edit().RecreateWnd(); };
}

const std::array kOperations{
    TOperation{"ClearAll", "", 0, Plain<&TRyxEdit::ClearAll>},
    TOperation{"LoadFromFile", "\"path\"", 1, FileOp<&LoadFile>},
    TOperation{"SaveToFile", "\"path\"", 1, FileOp<&SaveFile>},
    TOperation{"SetAllText", "\"text\"", 1, SetAllText},
    TOperation{"GetAllText", "", 0, GetAllText},
    TOperation{"CopyToClipboard", "", 0, Plain<&TRyxEdit::CopyToClipboard>},
    TOperation{"CutToClipboard", "", 0, Plain<&TRyxEdit::CutToClipboard>},
    TOperation{"PasteFromClipboard", "", 0, Plain<&TRyxEdit::PasteFromClipboard>},
    TOperation{"SelectAll", "", 0, Plain<&TRyxEdit::SelectAll>},
    TOperation{"GetSelBounds", "", 0, GetSelBounds},
    TOperation{"DeleteSelection", "REDRAW", 1, DeleteSelection},
    TOperation{"InsertAtCaret", "\"text\" REDRAW", 2, InsertAtCaret},
    TOperation{"TypeText", "\"text\"", 1, TypeText},
    TOperation{"NewLine", "", 0, Plain<&TRyxEdit::NewLine>},
    TOperation{"ToggleInsertMode", "", 0, Plain<&TRyxEdit::ToggleInsertMode>},
    TOperation{"DeleteCharRight", "", 0, Plain<&TRyxEdit::DeleteCharRight>},
    TOperation{"DeleteCharLeft", "", 0, Plain<&TRyxEdit::DeleteCharLeft>},
    TOperation{"DeleteWordRight", "", 0, Plain<&TRyxEdit::DeleteWordRight>},
    TOperation{"DeleteWordLeft", "", 0, Plain<&TRyxEdit::DeleteWordLeft>},
    TOperation{"InsertTab", "", 0, Plain<&TRyxEdit::InsertTab>},
    TOperation{"StartReconvert", "", 0, Plain<&TRyxEdit::StartReconvert>},
    TOperation{"CompleteComposition", "", 0, Plain<&TRyxEdit::CompleteComposition>},
    TOperation{"Undo", "", 0, Plain<&TRyxEdit::Undo>},
    TOperation{"Redo", "", 0, Plain<&TRyxEdit::Redo>},
    TOperation{"GotoDocumentStart", "", 0, Plain<&TRyxEdit::GotoDocumentStart>},
    TOperation{"GotoDocumentEnd", "", 0, Plain<&TRyxEdit::GotoDocumentEnd>},
    TOperation{"Redesign", "", 0, Plain<&TRyxEdit::Redesign>},
    TOperation{"RefreshView", "", 0, Plain<&TRyxEdit::RefreshView>},
    TOperation{"LastFileError", "", 0, LastFileError},
    TOperation{"ExpandTabs", "\"text\"", 1, ExpandTabs},
    TOperation{"TextXOfColumn", "\"line\" COL", 2, TextXOfColumn},
    TOperation{"Loaded", "", 0, Loaded},
    TOperation{"Paint", "", 0, Paint},
    TOperation{"RecreateWnd", "", 0, RecreateWnd},
};

}  // namespace

TAction ParseCall(const TArgs& args) {
  args.ExpectCount(1, 3, "call OPERATION [ARGS]");
  const std::string& name = args.Word(0);
  for (const TOperation& op : kOperations) {
    if (!SameName(op.Name, name)) continue;
    const TArgs rest = args.From(1);
    rest.ExpectCount(op.Args, op.Args, "call " + std::string(op.Name) + " " + std::string(op.Usage));
    return op.Parse(rest);
  }
  throw TScriptError("unknown operation '" + name + "'");
}
