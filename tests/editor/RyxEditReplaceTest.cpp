// Whole-text replacement as one undoable step (the budget, the saved state, the events) and the redo keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/TempDir.h"
#include "tests/editor/EditorFixture.h"

namespace {

// In either form, undo puts the caret and the view back where the step found
// them and redo where it left them, wherever they went in between.
TEST(RyxEditReplace, UndoAndRedoPutTheCaretAndTheViewBackWhereTheStepFoundAndLeftThem) {
  std::string text;
  for (int line = 0; line < 40; ++line) text += "line " + std::to_string(line) + "\r\n";
  for (const bool rewrite : {false, true}) {
    SCOPED_TRACE(rewrite ? "rewrite" : "string");
    TEditorFixture f(text);
    f.Caret(30, 2);
    const TViewPlace found = f.edit.Place();
    ASSERT_GT(found.Top.Line, 0);
    if (rewrite)
      f.edit.ReplaceAllText([](const TStoredText& stored, TRyxStringsWriter& out) {
        out.Write("head\r\n");
        stored.ForEachLine([&out](std::string_view line) { out.Write(line, line); });
      });
    else
      f.edit.ReplaceAllText("head\r\n" + text);
    const TViewPlace left = f.edit.Place();
    EXPECT_EQ(left.Caret, (TLogicalPos{31, 2})) << "the caret stays on its text";
    f.Caret(0, 0);
    f.edit.Undo();
    EXPECT_EQ(f.edit.Place().Caret, found.Caret);
    EXPECT_EQ(f.edit.Place().Top, found.Top);
    f.Do("Ctrl+End");
    f.edit.Redo();
    EXPECT_EQ(f.edit.Place().Caret, left.Caret);
    EXPECT_EQ(f.edit.Place().Top, left.Top);
  }
}

TEST(RyxEditReplace, AStepLargerThanTheBudgetIsStillUndoneUntilTheNextChange) {
  const std::string old = std::string(30, 'a') + "\r\ntwo";
  TEditorFixture f(old);
  f.edit.SetUndoBuf(10);
  f.edit.TypeText("x");
  const std::string big(64, 'b');
  f.edit.ReplaceAllText(big);
  EXPECT_EQ(f.edit.UndoList().size(), 1u) << "older records make way for the step";
  f.edit.Undo();
  EXPECT_EQ(f.edit.GetAllText(), "x" + old);
  EXPECT_TRUE(f.edit.Modified()) << "the history before the step is gone";
  f.edit.Redo();
  EXPECT_EQ(f.edit.GetAllText(), big);
  f.edit.Undo();
  f.edit.Redo();
  EXPECT_EQ(f.edit.GetAllText(), big);

  // The next change goes within the budget, and the step no longer fits.
  f.Caret(0, 0);
  f.edit.TypeText("y");
  f.edit.Undo();
  f.edit.Undo();
  EXPECT_EQ(f.edit.GetAllText(), big);
}

TEST(RyxEditReplace, TheModifiedStateAndTheEventsFollowTheStep) {
  TEditorFixture f("[00:01:00]a\r\nb");
  std::vector<bool> modified;
  f.edit.OnChangeModify = [&modified](TObject*, bool value) { modified.push_back(value); };
  f.edit.ReplaceAllText("[00:01:00]a\r\nb");
  EXPECT_TRUE(modified.empty()) << "the same text is no change";
  EXPECT_EQ(f.changes, 0);
  f.edit.ReplaceAllText("a\r\nb");
  f.edit.Undo();
  f.edit.Redo();
  f.edit.Undo();
  EXPECT_EQ(modified, (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(f.changes, 4);
  EXPECT_EQ(f.edit.GetAllText(), "[00:01:00]a\r\nb");
  // A NUL ends the text, as it ends pasted text.
  f.edit.ReplaceAllText(std::string("ab\0cd", 5));
  EXPECT_EQ(f.edit.GetAllText(), "ab");
}

TEST(RyxEditReplace, TheSavedTextIsTheUnmodifiedOneWhereverUndoAndRedoGo) {
  // Steps after "ab" is typed and saved; the text after each and whether it counts as modified.
  struct TStep {
    const char* Do;
    std::string Text;
    bool Modified;
  };
  const std::vector<TStep> steps{{"type c", "abc", true}, {"undo", "ab", false},  {"undo", "a", true},
                                 {"redo", "ab", false},   {"redo", "abc", true},  {"undo", "ab", false},
                                 {"undo", "a", true},     {"type x", "ax", true}, {"undo", "a", true},
                                 {"save", "a", false},    {"undo", "", true},     {"redo", "a", false}};
  TEditorFixture f;
  const TTempDir folder;
  const auto file = folder.Path() / "saved.txt";
  f.edit.TypeText("a");
  f.edit.TypeText("b");
  ASSERT_TRUE(f.edit.SaveToFile(file));
  EXPECT_FALSE(f.edit.Modified());
  for (const TStep& step : steps) {
    const std::string what = step.Do;
    if (what == "undo") f.edit.Undo();
    if (what == "redo") f.edit.Redo();
    if (what == "save") {
      ASSERT_TRUE(f.edit.SaveToFile(file));
    }
    if (what.starts_with("type ")) f.edit.TypeText(what.substr(5));
    EXPECT_EQ(f.edit.GetAllText(), step.Text) << what;
    EXPECT_EQ(f.edit.Modified(), step.Modified) << what << " to " << step.Text;
  }
}

TEST(RyxEditReplace, CtrlYAndCtrlShiftZRedoWhereCtrlZUndoes) {
  struct TCase {
    WORD Key;
    bool Shift;
    bool ReadOnly;
    std::string After;
  };
  for (const TCase& c : {TCase{'Z', false, false, "a"}, TCase{'Z', true, false, "abc"}, TCase{'Y', false, false, "abc"},
                         TCase{'Y', false, true, "ab"}, TCase{'Z', true, true, "ab"}}) {
    TEditorFixture f;
    for (const char* typed : {"a", "b", "c"}) f.edit.TypeText(typed);
    f.edit.Undo();
    f.edit.SetReadOnly(c.ReadOnly);
    f.Key(c.Key, c.Shift, true);
    EXPECT_EQ(f.edit.GetAllText(), c.After) << c.Key << c.Shift << c.ReadOnly;
  }
}

}  // namespace
