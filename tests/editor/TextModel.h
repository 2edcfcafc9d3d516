// The plain model of the editor's text: the bytes with their lines and characters, and the changes recorded for
// undo as byte offsets, replayed as the control replays them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "editor/RyxEdit.h"
#include "platform/LeadByte.h"

// Lines are what lies between CR LF pairs (a CR or an LF alone is content);
// a lead byte pairs with the next byte of its line's content. Positions are
// byte offsets into the whole text.
class TTextModel {
 public:
  explicit TTextModel(std::string text = "") : FText(std::move(text)) {}

  const std::string& Text() const { return FText; }
  // Where the last change left the caret.
  std::size_t Caret() const { return FCaret; }
  void SetCaret(std::size_t at) { FCaret = at; }
  // How many changes were made, undone or redone so far.
  std::size_t Changes() const { return FChanges; }
  std::size_t UndoCount() const { return FUndo.size(); }
  std::size_t RedoCount() const { return FRedo.size(); }

  std::size_t LineStart(std::size_t at) const {
    const std::size_t p = at < 2 ? std::string::npos : FText.rfind("\r\n", at - 2);
    return p == std::string::npos ? 0 : p + 2;
  }
  std::size_t ContentEnd(std::size_t at) const { return std::min(FText.find("\r\n", LineStart(at)), FText.size()); }
  // The size of the character that starts at at.
  std::size_t CharSize(std::size_t at) const {
    return IsDBCSLeadByte(static_cast<unsigned char>(FText[at])) && at + 1 < ContentEnd(at) ? 2 : 1;
  }
  // The start of the character that holds the byte at at; for the LF of a line break, its CR.
  std::size_t CharStart(std::size_t at) const {
    const std::size_t end = ContentEnd(at);
    if (at >= end) return std::min(at, end);
    std::size_t i = LineStart(at);
    while (i + CharSize(i) <= at) i += CharSize(i);
    return i;
  }
  // Where an edit leaves a caret meant for at: past a line break that at would split, else as CharStart.
  std::size_t CaretAt(std::size_t at) const {
    if (at > 0 && at < FText.size() && FText.compare(at - 1, 2, "\r\n") == 0) return at + 1;
    return CharStart(at);
  }
  // The start of the character or line break that ends at at.
  std::size_t Before(std::size_t at) const { return at == LineStart(at) ? at - 2 : CharStart(at - 1); }
  // The changes the control records.
  void Insert(std::size_t at, const std::string& bytes) {
    Record({ukInsert, at, bytes});
    FText.insert(at, bytes);
    FCaret = CaretAt(at + bytes.size());
  }
  void Erase(TUndoKind kind, std::size_t at, std::size_t n) {
    Record({kind, at, FText.substr(at, n)});
    FText.erase(at, n);
    FCaret = CaretAt(at);
  }
  // The whole text replaced in one step; undo puts the caret back where it stood before, redo where it stood after.
  void Replace(const std::string& text, std::size_t caretBefore, std::size_t caretAfter) {
    Record({ukReplace, 0, FText, text, caretBefore, caretAfter});
    FText = text;
    FCaret = caretAfter;
  }
  // A new document, without history.
  void Reset(const std::string& text) {
    FText = text;
    FUndo.clear();
    FRedo.clear();
    FCaret = 0;
    ++FChanges;
  }
  bool Undo() { return Replay(FUndo, FRedo); }
  bool Redo() { return Replay(FRedo, FUndo); }

 private:
  // Bytes holds what undo puts back (for a replacement, the text before it); Other the text after a replacement.
  struct TRecord {
    TUndoKind Kind;
    std::size_t At;
    std::string Bytes;
    std::string Other = {};
    std::size_t CaretBefore = 0;
    std::size_t CaretAfter = 0;
  };

  void Record(TRecord record) {
    FUndo.push_back(std::move(record));
    FRedo.clear();
    ++FChanges;
  }
  // An insertion is taken out, and a deletion or overwrite recorded at the
  // same place just before it goes back in the same step; any other record
  // puts its bytes back.
  bool Replay(std::vector<TRecord>& from, std::vector<TRecord>& to) {
    if (from.empty()) return false;
    ++FChanges;
    TRecord head = std::move(from.back());
    from.pop_back();
    if (head.Kind == ukReplace) {
      const bool undo = &from == &FUndo;
      FText = undo ? head.Bytes : head.Other;
      FCaret = CharStart(undo ? head.CaretBefore : head.CaretAfter);
    } else if (head.Kind == ukInsert) {
      FText.erase(head.At, head.Bytes.size());
      FCaret = CaretAt(head.At);
      head.Kind = ukDelete;
      if (!from.empty() && from.back().At == head.At &&
          (from.back().Kind == ukDelete || from.back().Kind == ukOverwrite)) {
        to.push_back(std::move(head));
        head = std::move(from.back());
        from.pop_back();
        FText.insert(FCaret, head.Bytes);
        FCaret = head.Kind == ukOverwrite ? CharStart(FCaret) : CaretAt(FCaret + head.Bytes.size());
        head.Kind = ukInsert;
      }
    } else {
      FText.insert(head.At, head.Bytes);
      const bool caretBefore = head.Kind == ukForwardDelete || head.Kind == ukOverwrite;
      FCaret = caretBefore ? CharStart(head.At) : CaretAt(head.At + head.Bytes.size());
      head.Kind = ukInsert;
    }
    to.push_back(std::move(head));
    return true;
  }

  std::string FText;
  std::vector<TRecord> FUndo;
  std::vector<TRecord> FRedo;
  std::size_t FCaret = 0;
  std::size_t FChanges = 0;
};
