// The drag-and-drop session's check: text dragged and dropped by the mouse on a headless control, unwrapped,
// wrapped at a column or at the window's width, with the text, undo and redo checked against a plain model.
#include <array>
#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/fuzz/FuzzChecks.h"
#include "tests/fuzz/FuzzReader.h"

// How the bytes are read: the first byte picks the form (unwrapped, wrapped
// at a column, or wrapped at the window's width with AutoWrap) and the second
// its column or width; the third gives how many pieces of text follow, one
// byte each. Every later byte picks a step: a drag (the selection's two ends,
// the drop point and how it ends), undo, redo, or a change of the wrap.
// Positions are a row and one of the row's places, as bytes.

namespace {

// Beyond this size of text, copies are skipped, so that every row stays in view.
constexpr std::size_t kMaxText = 512;
constexpr int kWideWindow = 6000;
constexpr int kTallWindow = 2400;

// Whole characters, a line break, and a lead byte alone, which pairs with
// whatever byte follows it or stands alone before a line's end.
const std::array<std::string_view, 10> kPieces{"a",        "Z",    " ",  "\t",       "\xB1",
                                                "\x82\xA0", "\r\n", "\x82", "\x88\x9F", "\x81\x40"};

// One state of the text in the model's history. A lone removal is undone
// together with an insertion made later at the same place (a copy dropped
// where a move took text away, and that move's drop undone).
struct TStep {
  std::string Text;
  bool LoneRemoval = false;
  std::size_t At = 0;
};

class TDragSession {
 public:
  TDragSession() : FHost(kWideWindow, kTallWindow) {
    FHost.Attach(FEdit);
    FHost.SetFocus();
  }

  std::string Run(std::string_view input) {
    TReader in(input);
    SetForm(in.Byte(), in.Byte());
    std::string text;
    for (unsigned n = in.Byte(); n > 0; --n) text += kPieces[in.Byte() % kPieces.size()];
    FEdit.SetAllText(text);
    FHistory = {TStep{Text()}};
    if (std::string fault = Check("setting the text"); !fault.empty()) return fault;
    for (int step = 0; !in.Done(); ++step) {
      std::string what;
      try {
        what = Step(in);
      } catch (const std::exception& e) {
        return "step " + std::to_string(step) + " raised: " + e.what();
      }
      if (std::string fault = Check(what); !fault.empty()) return "step " + std::to_string(step) + ": " + fault;
    }
    return UndoAndRedoEverything();
  }

 private:
  void SetForm(unsigned form, unsigned size) {
    FAutoWrap = form % 3 == 2;
    FEdit.SetAutoWrap(FAutoWrap);
    FEdit.SetWordWrap(form % 3 != 0);
    if (FAutoWrap) {
      // The player's line is wider than the window, which then sets the wrap.
      FEdit.SetColumn(40);
      FHost.Resize(120 + static_cast<int>(size) * 4, kTallWindow);
    } else {
      FEdit.SetColumn(10 + static_cast<int>(size % 16));
    }
  }

  std::string Text() const { return StripEndMarker(FEdit.GetAllText()); }

  // The offset in the whole text of a row and column.
  std::size_t Offset(int row, int col) const {
    std::size_t offset = 0;
    for (int i = 0; i < row; ++i) offset += FEdit.Lines().Get(i).size();
    return offset + static_cast<std::size_t>(col);
  }

  // A row and one of its places: a character's start or the end of its
  // content, and, for a selection's end, the place past its line break.
  std::pair<int, int> Place(TReader& in, bool pastBreak) const {
    const int row = static_cast<int>(in.Byte() % static_cast<unsigned>(FEdit.Lines().Count()));
    const std::string_view text = FEdit.Lines().Get(row);
    const int content = ContentLength(text);
    const TByteTypes kinds(text.substr(0, static_cast<std::size_t>(content)), false);
    std::vector<int> places;
    for (int col = 0; col <= content; ++col)
      if (kinds.At(col + 1) != kTrailByte) places.push_back(col);
    if (pastBreak && text.ends_with("\r\n")) places.push_back(static_cast<int>(text.size()));
    return {row, places[in.Byte() % places.size()]};
  }

  // The client point of a place, or false when its row is out of view.
  bool Point(std::pair<int, int> place, int& x, int& y) const {
    const int row = place.first - FEdit.TopLine();
    if (row < 0 || row >= FEdit.VisibleLines()) return false;
    x = FEdit.TextLeft() + FEdit.TextXOfColumn(FEdit.Lines().Get(place.first), place.second) - FEdit.ScrollX() + 1;
    y = FEdit.TopMargin() + row * FEdit.LineHeight() + FEdit.LineHeight() / 2;
    return true;
  }

  std::string Step(TReader& in) {
    switch (in.Byte() % 6) {
      case 0:
      case 1:
      case 2:
        return Drag(in);
      case 3:
        return Undo();
      case 4:
        return Redo();
      default:
        return ChangeWrap(in.Byte());
    }
  }

  std::string Drag(TReader& in) {
    const auto anchor = Place(in, true);
    const auto caret = Place(in, true);
    const unsigned how = in.Byte();
    FEdit.Perform(EM_SETSEL, PackPosition(anchor.second, anchor.first),
                  static_cast<LPARAM>(PackPosition(caret.second, caret.first)));
    int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
    if (!FEdit.GetSelBounds(startCol, startLine, endLine, endCol)) return "nothing selected";
    const std::size_t from = Offset(startLine, startCol);
    const std::size_t to = Offset(endLine, endCol);
    int x = 0, y = 0;
    if (!Point({startLine, startCol}, x, y)) return "selection out of view";
    const std::size_t drags = FHost.Drags().size();
    FHost.SetKeyDown(VK_LBUTTON, true);
    FEdit.MouseDown(TMouseButton::mbLeft, ssLeft, x, y);
    if (FHost.Drags().size() == drags) {
      // The press missed the selection (its start lies past a line break): an ordinary click.
      FHost.SetKeyDown(VK_LBUTTON, false);
      FEdit.MouseUp(TMouseButton::mbLeft, 0, x, y);
      return "press beside the selection";
    }
    const auto target = Place(in, false);
    bool accept = false;
    if (Point(target, x, y)) FEdit.DragOver(&FEdit, x, y, TDragState::dsDragMove, accept);
    const std::size_t drop = Offset(FEdit.CaretLine(), FEdit.CaretCol());
    const bool elsewhere = how & 1;
    const bool copy = (how & 2) && FHistory.back().Text.size() < kMaxText;
    FHost.SetKeyDown(VK_LBUTTON, false);
    FHost.SetKeyDown(VK_CONTROL, copy);
    FHost.EndDrag(elsewhere ? nullptr : &FEdit, x, y);
    FHost.SetKeyDown(VK_CONTROL, false);
    const std::string what = std::string(elsewhere ? "drag elsewhere" : copy ? "copy" : "move") + " of bytes " +
                             std::to_string(from) + ".." + std::to_string(to) + " to " + std::to_string(drop);
    // Ends on both sides of a line break select no byte: nothing moves.
    if (!elsewhere && from < to && (drop < from || drop > to)) Dropped(from, to, drop, copy);
    return what;
  }

  // The model of a drop outside the selection: a move removes the bytes and
  // puts them where the drop point's neighbours are, a copy only puts them in.
  void Dropped(std::size_t from, std::size_t to, std::size_t drop, bool copy) {
    FRedo.clear();
    std::string text = FHistory.back().Text;
    const std::string moved = text.substr(from, to - from);
    if (copy) {
      text.insert(drop, moved);
      if (FHistory.size() > 1 && FHistory.back().LoneRemoval && FHistory.back().At == drop) FHistory.pop_back();
      FHistory.push_back({text});
      return;
    }
    text.erase(from, to - from);
    FHistory.push_back({text, true, from});
    text.insert(drop > to ? drop - moved.size() : drop, moved);
    FHistory.push_back({text});
  }

  std::string Undo() {
    FEdit.Undo();
    if (FHistory.size() > 1) {
      FRedo.push_back(FHistory.back());
      FHistory.pop_back();
    }
    return "undo";
  }

  std::string Redo() {
    FEdit.Redo();
    if (!FRedo.empty()) {
      FHistory.push_back(FRedo.back());
      FRedo.pop_back();
    }
    return "redo";
  }

  std::string ChangeWrap(unsigned value) {
    if (FAutoWrap) {
      FHost.Resize(120 + static_cast<int>(value) * 4, kTallWindow);
      return "window width " + std::to_string(FHost.ClientWidth());
    }
    if (value & 1) {
      FEdit.SetWordWrap(!FEdit.WordWrap());
      return FEdit.WordWrap() ? "wrap on" : "wrap off";
    }
    FEdit.SetColumn(10 + static_cast<int>(value % 16));
    return "column " + std::to_string(FEdit.Column());
  }

  std::string Check(const std::string& what) {
    if (std::vector<std::string> boxes = FHost.TakeMessageBoxes(); !boxes.empty())
      return "after " + what + " the host showed \"" + boxes.front() + "\"";
    const TRyxStrings& lines = FEdit.Lines();
    if (std::string fault = CheckLineForm(lines, FEdit.WordWrap()); !fault.empty()) return "after " + what + " " + fault;
    if (FEdit.WordWrap()) {
      TRyxStrings fresh;
      FEdit.BuildWrappedLines(fresh);
      bool same = fresh.Count() == lines.Count();
      for (int i = 0; same && i < lines.Count(); ++i) same = fresh.Get(i) == lines.Get(i);
      if (!same) return "after " + what + " the rows differ from a fresh wrap of the text";
    }
    if (std::string fault = CheckCaretPlace(FEdit); !fault.empty()) return "after " + what + " " + fault;
    if (const std::string text = Text(); text != FHistory.back().Text)
      return "after " + what + " the text is \"" + PrintableBytes(text) + "\", not \"" +
             PrintableBytes(FHistory.back().Text) + "\"";
    if (FEdit.UndoList().empty() != (FHistory.size() == 1) || FEdit.RedoList().empty() != FRedo.empty())
      return "after " + what + " the undo or redo list is " + (FEdit.UndoList().empty() ? "empty" : "not empty") +
             " against the model's";
    return {};
  }

  std::string UndoAndRedoEverything() {
    while (FHistory.size() > 1)
      if (std::string fault = Check(Undo()); !fault.empty()) return fault;
    while (!FRedo.empty())
      if (std::string fault = Check(Redo()); !fault.empty()) return fault;
    return {};
  }

  THeadlessHost FHost;
  TRyxEdit FEdit;
  bool FAutoWrap = false;
  std::vector<TStep> FHistory;
  std::vector<TStep> FRedo;
};

}  // namespace

std::string CheckDragSession(std::string_view input) {
  try {
    TDragSession session;
    return session.Run(input);
  } catch (const std::exception& e) {
    return std::string("exception: ") + e.what();
  }
}
