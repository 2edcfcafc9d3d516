// Undo and redo of the editor control: the history rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/editor/EditorFixture.h"

namespace {

using namespace std::string_literals;

// A fixture that also records the history events.
struct Events : TEditorFixture {
  explicit Events(const std::string& text = "") : TEditorFixture(text) {
    edit.OnChangeModify = [this](TObject*, bool value) { modified.push_back(value); };
    edit.OnChangeRedoMode = [this](TObject*, bool enabled) { redo.push_back(enabled); };
  }
  std::vector<bool> modified;
  std::vector<bool> redo;
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
  EXPECT_EQ(f.ScreenWrong(), "");
  f.edit.Perform(WM_UNDO, 0, 0);
  EXPECT_EQ(f.edit.GetAllText(), "one\r\ntwo\r\nthree");
  EXPECT_EQ(f.edit.CaretLine(), 2);
  EXPECT_EQ(f.edit.CaretCol(), 1);
  EXPECT_EQ(f.ScreenWrong(), "");
  EXPECT_TRUE(f.host.Caret().Visible());
}

}  // namespace
