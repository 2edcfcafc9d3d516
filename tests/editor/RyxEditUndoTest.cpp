// Undo and redo of the editor control: a random edit sequence against a plain text model, and the history rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "platform/LeadByte.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/editor/EditorFixture.h"

namespace {

using namespace std::string_literals;

struct Fixture : TEditorFixture {
  explicit Fixture(int wrapColumn = kUnwrapped) : TEditorFixture("", 265, wrapColumn) { edit.SetShowEOF(false); }
};

// The text area as drawn: the characters at each pixel column of each row top,
// built from the canvas operations alone. Opaque text output and fills erase
// what lay under their rectangle.
class TScreen {
 public:
  void Apply(const std::vector<TCanvasOp>& ops) {
    for (const TCanvasOp& op : ops) {
      if (op.Op == "fill") Erase(op.Rect);
      if (op.Op != "text") continue;
      if (op.Clip) Erase(*op.Clip);
      int x = op.X;
      for (std::size_t i = 0; i < op.Text.size();) {
        const std::size_t n = IsDBCSLeadByte(static_cast<unsigned char>(op.Text[i])) ? 2 : 1;
        if (!op.Clip || (x >= op.Clip->Left && x < op.Clip->Right)) FCells[op.Y][x] = op.Text.substr(i, n);
        x += n == 2 ? 16 : 8;
        i += n;
      }
    }
  }
  // What the text area shows in the row whose top is y, between left and right.
  std::map<int, std::string> Row(int y, int left, int right) const {
    std::map<int, std::string> cells;
    if (const auto row = FCells.find(y); row != FCells.end())
      for (const auto& [x, ch] : row->second)
        if (x >= left && x < right) cells[x] = ch;
    return cells;
  }

 private:
  void Erase(const TRect& r) {
    for (auto& [y, row] : FCells)
      if (y >= r.Top && y < r.Bottom)
        std::erase_if(row, [&r](const auto& cell) { return cell.first >= r.Left && cell.first < r.Right; });
  }
  std::map<int, std::map<int, std::string>> FCells;
};

// Every visible row shows exactly its text, and nothing is left below the text.
void ExpectScreenShowsText(Fixture& f, TScreen& screen) {
  screen.Apply(f.host.HeadlessCanvas().TakeOps());
  const TRyxEdit& e = f.edit;
  const int left = e.TextLeft();
  const int right = e.TextLeft() + e.TextWidth();
  for (int i = 0; i < e.VisibleLines(); ++i) {
    const int row = e.TopLine() + i;
    const int y = i * e.LineHeight() + e.TopMargin();
    std::map<int, std::string> expected;
    if (row < e.Lines().Count()) {
      std::string text = StripLineEnd(e.Lines().Get(row));
      text = e.ExpandTabs(text);
      int x = left - e.ScrollX();
      for (std::size_t k = 0; k < text.size();) {
        const std::size_t n = IsDBCSLeadByte(static_cast<unsigned char>(text[k])) ? 2 : 1;
        if (x >= left && x < right) expected[x] = text.substr(k, n);
        x += n == 2 ? 16 : 8;
        k += n;
      }
    }
    ASSERT_EQ(screen.Row(y, left, right), expected) << "row " << row;
  }
}

// The text with the caret and selection as byte offsets; a line break is one unit.
struct TModel {
  std::string Text;

  std::vector<std::size_t> Boundaries() const {
    std::vector<std::size_t> at;
    for (std::size_t i = 0;;) {
      at.push_back(i);
      if (i >= Text.size()) return at;
      i += Text.compare(i, 2, "\r\n") == 0 || IsDBCSLeadByte(static_cast<unsigned char>(Text[i])) ? 2 : 1;
    }
  }
  bool IsLead(std::size_t i) const {
    const auto at = Boundaries();
    return std::binary_search(at.begin(), at.end(), i) && IsDBCSLeadByte(static_cast<unsigned char>(Text[i]));
  }
  std::size_t LineEnd(std::size_t i) const { return std::min(Text.find("\r\n", i), Text.size()); }
  std::pair<int, int> Position(std::size_t offset) const {
    int line = 0;
    std::size_t start = 0;
    for (std::size_t p = Text.find("\r\n"); p != std::string::npos && p < offset; p = Text.find("\r\n", p + 2)) {
      ++line;
      start = p + 2;
    }
    return {line, static_cast<int>(offset - start)};
  }
};

// The stored form, and with wrapping the pieces a fresh wrap gives.
void ExpectStoredForm(Fixture& f) { EXPECT_EQ(f.Broken(), ""); }

class RyxEditUndoRandom : public testing::TestWithParam<int> {};

TEST_P(RyxEditUndoRandom, RandomEditsMatchTheModelAndUndoRetracesThem) {
  Fixture f(GetParam());
  TScreen screen;
  std::mt19937 rng(20261208);
  auto pick = [&rng](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  const std::vector<std::string> pieces{"a", "b", "Z", "\t", " ", "\x82\xA0", "\x8A\xBF", "\xB1", "\r\n"};
  auto randomText = [&] {
    std::string s;
    for (std::size_t n = 1 + pick(4); n > 0; --n) s += pieces[pick(pieces.size())];
    return s;
  };
  TModel model;
  std::vector<std::string> history{""};
  bool lastWasPureDelete = false;
  std::size_t lastDeleteAt = 0;

  for (int step = 0; step < 300; ++step) {
    const auto at = model.Boundaries();
    std::size_t a = at[pick(at.size())];
    std::size_t b = a;
    if (pick(5) < 2) {
      b = at[pick(at.size())];
      const auto [al, ac] = model.Position(a);
      const auto [bl, bc] = model.Position(b);
      f.Select(al, ac, bl, bc);
    } else {
      const auto [line, col] = model.Position(a);
      f.Caret(line, col);
    }
    const std::size_t s = std::min(a, b);
    const std::size_t selected = std::max(a, b) - s;
    auto removeSelection = [&] {
      model.Text.erase(s, selected);
      return s;
    };
    std::size_t caret = s;
    std::size_t where = s;
    bool changed = true;
    bool pureInsert = false;
    bool pureDelete = false;
    // Typing over a selection in overwrite mode undoes the overwrite first, then the deletion.
    std::optional<std::string> afterDeletion;
    switch (pick(6)) {
      case 0:
      case 1: {  // typed text, in either mode
        if (pick(4) == 0) f.edit.ToggleInsertMode();
        std::string typed = randomText();
        caret = removeSelection();
        const std::size_t end = model.LineEnd(caret);
        std::size_t overwritten = 0;
        std::size_t advance = typed.size();
        if (!f.edit.InsertMode() && caret < end) {
          const std::size_t n = typed.size();
          overwritten = std::min(end - caret, n);
          if (caret + n <= end && model.IsLead(caret + n - 1)) {
            overwritten = std::min(end - caret, n + 1);
            typed += ' ';
          }
        }
        pureInsert = selected == 0 && overwritten == 0;
        if (selected > 0 && overwritten > 0) afterDeletion = model.Text;
        model.Text.replace(caret, overwritten, typed);
        f.edit.TypeText(typed.substr(0, advance));
        caret += advance;
        break;
      }
      case 2: {  // paste
        const std::string text = randomText();
        f.host.SetClipboard(text);
        f.edit.Perform(WM_PASTE, 0, 0);
        caret = removeSelection();
        pureInsert = selected == 0;
        model.Text.insert(caret, text);
        caret += text.size();
        break;
      }
      case 3: {  // cut
        const std::string clipboard = model.Text.substr(s, selected);
        f.edit.Perform(WM_CUT, 0, 0);
        if (selected > 0) {
          EXPECT_EQ(f.host.Clipboard(), clipboard);
        }
        caret = removeSelection();
        pureDelete = selected > 0;
        changed = selected > 0;
        break;
      }
      case 4: {  // Enter
        const bool indent = pick(2) == 0;
        f.edit.SetAutoIndent(indent);
        f.edit.NewLine();
        caret = removeSelection();
        std::string text = "\r\n";
        std::size_t from = 0;
        if (const std::size_t p = caret < 2 ? std::string::npos : model.Text.rfind("\r\n", caret - 2);
            p != std::string::npos)
          from = p + 2;
        for (std::size_t i = from; indent && i < caret && static_cast<unsigned char>(model.Text[i]) <= 0x20; ++i)
          text += model.Text[i];
        model.Text.insert(caret, text);
        caret += text.size();
        pureInsert = selected == 0;
        break;
      }
      default: {  // the whole text replaced by typing over a select-all
        f.edit.SelectAll();
        if (!f.edit.InsertMode()) f.edit.ToggleInsertMode();
        const std::string typed = randomText();
        f.edit.TypeText(typed);
        pureInsert = model.Text.empty();
        where = 0;
        model.Text = typed;
        caret = typed.size();
        break;
      }
    }
    SCOPED_TRACE("step " + std::to_string(step));
    ASSERT_EQ(f.edit.GetAllText(), model.Text);
    ExpectStoredForm(f);
    ASSERT_EQ(f.Broken(), "");
    const auto [line, col] = model.Position(caret);
    EXPECT_EQ(f.LogicalCaret(), (TLogicalPos{line, col}));
    EXPECT_FALSE(f.edit.SelActive() || f.edit.SelAll());
    EXPECT_TRUE(f.host.Caret().Visible());
    ExpectScreenShowsText(f, screen);
    if (!changed) continue;
    if (afterDeletion) history.push_back(*afterDeletion);
    // An insertion where a lone deletion left the caret is undone together with it.
    if (pureInsert && lastWasPureDelete && lastDeleteAt == where)
      history.back() = model.Text;
    else
      history.push_back(model.Text);
    lastWasPureDelete = pureDelete;
    lastDeleteAt = where;
  }
  ASSERT_GT(history.size(), 150u);

  for (std::size_t i = history.size() - 1; i > 0; --i) {
    f.edit.Undo();
    ASSERT_EQ(f.edit.GetAllText(), history[i - 1]) << "undo back to " << i - 1;
    ExpectStoredForm(f);
    ExpectScreenShowsText(f, screen);
  }
  EXPECT_TRUE(f.edit.UndoList().empty());
  EXPECT_EQ(f.edit.UndoSize(), 0);
  EXPECT_FALSE(f.edit.Modified());
  f.edit.Undo();
  EXPECT_EQ(f.edit.GetAllText(), "");

  for (std::size_t i = 1; i < history.size(); ++i) {
    f.edit.Redo();
    ASSERT_EQ(f.edit.GetAllText(), history[i]) << "redo to " << i;
    ExpectScreenShowsText(f, screen);
  }
  EXPECT_TRUE(f.edit.RedoList().empty());
  EXPECT_TRUE(f.edit.Modified());
  f.edit.Undo();
  EXPECT_EQ(f.edit.GetAllText(), history[history.size() - 2]);
}

INSTANTIATE_TEST_SUITE_P(Forms, RyxEditUndoRandom, testing::Values(kUnwrapped, kWrapColumn));

// A fixture that also counts the history events.
struct Events : Fixture {
  explicit Events(const std::string& text = "") {
    edit.SetAllText(text);
    edit.OnChangeModify = [this](TObject*, bool value) { modified.push_back(value); };
    edit.OnChangeRedoMode = [this](TObject*, bool enabled) { redo.push_back(enabled); };
    edit.OnChange = [this](TObject*) { ++changes; };
  }
  std::vector<bool> modified;
  std::vector<bool> redo;
  int changes = 0;
};

TEST(RyxEditUndo, EachTypedCharacterIsOneStepAndTheModifiedStateFollows) {
  Events f;
  f.edit.TypeText("a");
  f.edit.TypeText("b");
  EXPECT_EQ(f.modified, std::vector<bool>{true});
  f.edit.Undo();
  EXPECT_EQ(f.edit.GetAllText(), "a");
  EXPECT_EQ(f.edit.CaretCol(), 1);
  EXPECT_EQ(f.redo, std::vector<bool>{true});
  f.edit.Undo();
  EXPECT_EQ(f.edit.GetAllText(), "");
  EXPECT_EQ(f.modified, (std::vector<bool>{true, false}));
  EXPECT_EQ(f.changes, 4);
  // Nothing left: nothing happens and nothing is announced.
  f.edit.Undo();
  EXPECT_EQ(f.changes, 4);
  EXPECT_EQ(f.redo, std::vector<bool>{true});
  f.edit.Redo();
  f.edit.Redo();
  EXPECT_EQ(f.edit.GetAllText(), "ab");
  EXPECT_EQ(f.modified, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(f.redo, (std::vector<bool>{true, false}));
}

TEST(RyxEditUndo, AReplacementIsUndoneInOneStep) {
  Events f("xabcx");
  f.Select(0, 1, 0, 4);
  f.edit.TypeText("Z");
  ASSERT_EQ(f.edit.UndoList().size(), 2u);
  EXPECT_EQ(f.edit.UndoList()[1].Kind, ukDelete);
  f.edit.Undo();
  EXPECT_EQ(f.edit.GetAllText(), "xabcx");
  EXPECT_TRUE(f.edit.UndoList().empty());
  ASSERT_EQ(f.edit.RedoList().size(), 2u);
  EXPECT_EQ(f.edit.RedoList()[0].Kind, ukInsert);
  EXPECT_EQ(f.edit.RedoList()[0].Text, "abc");
  f.edit.Redo();
  EXPECT_EQ(f.edit.GetAllText(), "xZx");
}

TEST(RyxEditUndo, OverwriteIsUndoneWithTheCaretBeforeTheRestoredBytes) {
  for (const std::string& text : {"abc"s, "ab\x82\xA0"s}) {
    Events f(text);
    f.edit.ToggleInsertMode();
    f.Caret(0, 2);
    f.edit.TypeText("x");
    f.edit.Undo();
    EXPECT_EQ(f.edit.GetAllText(), text);
    EXPECT_EQ(f.edit.CaretLine(), 0);
    EXPECT_EQ(f.edit.CaretCol(), 2);
    EXPECT_TRUE(f.edit.UndoList().empty());
  }
}

// A lead byte alone from the input method, typed over text, takes the
// padding of a half-overwritten character as its trail: the caret goes after
// them, never onto the trail, and the next overwrite is redone where it was done.
TEST(RyxEditUndo, OverwritesAfterALoneLeadByteAreRedoneWhereTheyWereDone) {
  for (const std::string& text : {"abcdef"s, "a\x82\xA0" "cdef"s, "ab\x82\xA0"s}) {
    for (int col = 0; col < 4; ++col) {
      SCOPED_TRACE(testing::PrintToString(text) + " at " + std::to_string(col));
      Events f(text);
      f.edit.ToggleInsertMode();
      f.Caret(0, col);
      std::vector<std::string> history{text};
      for (const std::string& input : {"\x82"s, "X"s, "\x82"s, "\x88\x9F"s}) {
        f.Do("ime:" + input);
        ASSERT_EQ(f.Broken(), "") << "after " << testing::PrintToString(input);
        history.push_back(f.edit.GetAllText());
      }
      for (std::size_t i = history.size() - 1; i-- > 0;) {
        f.edit.Undo();
        ASSERT_EQ(f.edit.GetAllText(), history[i]) << "undo back to " << i;
      }
      for (std::size_t i = 1; i < history.size(); ++i) {
        f.edit.Redo();
        ASSERT_EQ(f.edit.GetAllText(), history[i]) << "redo to " << i;
        ASSERT_EQ(f.Broken(), "");
      }
    }
  }
}

TEST(RyxEditUndo, UndoOfALineBreakJoinsTheRowsAgain) {
  Events f("abcd");
  f.edit.SetAutoIndent(true);
  f.Caret(0, 2);
  f.edit.NewLine();
  f.edit.TypeText("\t");
  f.Caret(1, 0);
  f.edit.NewLine();
  EXPECT_EQ(f.edit.GetAllText(), "ab\r\n\r\n\tcd");
  f.edit.Undo();
  EXPECT_EQ(f.edit.GetAllText(), "ab\r\n\tcd");
  f.edit.Undo();
  f.edit.Undo();
  EXPECT_EQ(f.edit.GetAllText(), "abcd");
  EXPECT_EQ(f.edit.Lines().Count(), 1);
  EXPECT_EQ(f.edit.CaretCol(), 2);
}

TEST(RyxEditUndo, TheBudgetDropsTheOldestRecords) {
  Events f;
  f.edit.SetUndoBuf(5);
  for (const char* text : {"ab", "cd", "ef"}) {
    f.host.SetClipboard(text);
    f.edit.Perform(WM_PASTE, 0, 0);
  }
  EXPECT_EQ(f.edit.UndoList().size(), 2u);
  EXPECT_EQ(f.edit.UndoSize(), 4);
  f.edit.Undo();
  f.edit.Undo();
  f.edit.Undo();
  EXPECT_EQ(f.edit.GetAllText(), "ab");
  // History was lost, so the text still differs from what was loaded.
  EXPECT_TRUE(f.edit.Modified());
  EXPECT_EQ(f.modified, std::vector<bool>{true});
}

TEST(RyxEditUndo, AChangeLargerThanTheBudgetEmptiesTheHistory) {
  Events f;
  f.edit.SetUndoBuf(10);
  f.edit.TypeText("a");
  f.host.SetClipboard("0123456789X");
  f.edit.Perform(WM_PASTE, 0, 0);
  EXPECT_TRUE(f.edit.UndoList().empty());
  EXPECT_EQ(f.edit.UndoSize(), 0);
  f.edit.Undo();
  EXPECT_EQ(f.edit.GetAllText(), "a0123456789X");
  f.edit.TypeText("b");
  f.edit.Undo();
  EXPECT_EQ(f.edit.GetAllText(), "a0123456789X");
  EXPECT_TRUE(f.edit.Modified());
}

TEST(RyxEditUndo, WithoutRecordingEditsStillModifyAndUndoDoesNothing) {
  for (const bool recordingOff : {true, false}) {
    Events f("abc");
    f.edit.TypeText("x");
    // Either switch stops recording: the property itself, or an empty budget.
    if (recordingOff)
      f.edit.SetUndoRec(false);
    else
      f.edit.SetUndoBuf(0);
    f.Caret(0, 0);
    f.edit.TypeText("q");
    EXPECT_EQ(f.modified, std::vector<bool>{true});
    // Replayed now, the record of "x" would remove the "q" that took its place.
    f.edit.Undo();
    f.edit.SetUndoRec(true);
    f.edit.SetUndoBuf(0xF8000);
    f.edit.Undo();
    EXPECT_EQ(f.edit.GetAllText(), "qxabc");
    EXPECT_TRUE(f.edit.RedoList().empty());
    EXPECT_TRUE(f.edit.Modified());
  }
}

TEST(RyxEditUndo, ANewChangeEndsTheRedoHistory) {
  for (const bool announced : {true, false}) {
    Events f;
    if (!announced) f.edit.OnChangeRedoMode = nullptr;
    f.edit.TypeText("a");
    f.edit.TypeText("b");
    f.edit.Undo();
    f.edit.TypeText("c");
    EXPECT_TRUE(f.edit.RedoList().empty());
    f.edit.Redo();
    EXPECT_EQ(f.edit.GetAllText(), "ac");
    EXPECT_EQ(f.redo, announced ? (std::vector<bool>{true, false}) : std::vector<bool>{});
  }
}

TEST(RyxEditUndo, ReplacingTheDocumentClearsTheHistory) {
  Events f;
  f.edit.TypeText("a");
  f.edit.Undo();
  f.edit.TypeText("b");
  f.edit.Undo();
  f.modified.clear();
  f.redo.clear();
  f.edit.SetAllText("new");
  EXPECT_TRUE(f.edit.UndoList().empty());
  EXPECT_TRUE(f.edit.RedoList().empty());
  EXPECT_EQ(f.edit.UndoSize(), 0);
  EXPECT_EQ(f.modified, std::vector<bool>{false});
  EXPECT_EQ(f.redo, std::vector<bool>{false});
  f.edit.Redo();
  EXPECT_EQ(f.edit.GetAllText(), "new");
}

TEST(RyxEditUndo, UndoMessageAndUndoOfACutShowTheRestoredRows) {
  Events f("one\r\ntwo\r\nthree");
  f.Select(0, 1, 2, 1);
  f.edit.Perform(WM_CUT, 0, 0);
  TScreen screen;
  f.edit.RefreshView();
  ExpectScreenShowsText(f, screen);
  f.edit.Perform(WM_UNDO, 0, 0);
  EXPECT_EQ(f.edit.GetAllText(), "one\r\ntwo\r\nthree");
  EXPECT_EQ(f.edit.CaretLine(), 2);
  EXPECT_EQ(f.edit.CaretCol(), 1);
  ExpectScreenShowsText(f, screen);
  EXPECT_TRUE(f.host.Caret().Visible());
}

}  // namespace
