// The editor control's editing operations and clipboard messages on the headless backend.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/editor/EditorFixture.h"

namespace {

using namespace std::string_literals;

using Fixture = TEditorFixture;

using Rows = std::vector<std::string>;

TEST(RyxEditTyping, OverwriteReplacesWholeCharactersAndStopsAtTheLineEnd) {
  const struct {
    std::string text;
    int col;
    std::string typed;
    bool singleByte;
    std::string result;
    int caretCol;
    std::string overwritten;
  } cases[] = {
      // A letter over a double-byte character takes both bytes and pads with a space.
      {"\x82\xA0" "b", 0, "x", false, "x b", 1, "\x82\xA0"},
      // A double-byte character over a letter and the lead byte of the next one.
      {"a\x82\xA0" "c", 0, "\x82\xA2", false, "\x82\xA2 c", 2, "a\x82\xA0"},
      {"\x82\xA0" "c", 0, "\x82\xA2", false, "\x82\xA2" "c", 2, "\x82\xA0"},
      {"abc", 2, "x", false, "abx", 3, "c"},
      {"abc", 1, "xyz", false, "axyz", 4, "bc"},
      // Every byte is a character of its own.
      {"\x82\xA0" "b", 0, "x", true, "x\xA0" "b", 1, "\x82"},
  };
  for (const auto& c : cases) {
    Fixture f(c.text);
    f.edit.SetSingleByteMode(c.singleByte);
    f.edit.ToggleInsertMode();
    f.Caret(0, c.col);
    f.edit.TypeText(c.typed);
    EXPECT_EQ(f.edit.GetAllText(), c.result) << c.text;
    EXPECT_EQ(f.edit.CaretCol(), c.caretCol) << c.text;
    ASSERT_EQ(f.edit.UndoList().size(), 2u) << c.text;
    EXPECT_EQ(f.edit.UndoList()[1].Kind, ukOverwrite);
    EXPECT_EQ(f.edit.UndoList()[1].Text, c.overwritten) << c.text;
    EXPECT_EQ(f.edit.UndoList()[0].Kind, ukInsert);
  }
}

TEST(RyxEditTyping, OverwriteAtTheEndOfALineInsertsBeforeTheBreak) {
  Fixture f("ab\r\ncd");
  f.edit.ToggleInsertMode();
  f.Caret(0, 2);
  f.edit.TypeText("x");
  EXPECT_EQ(f.Rows(), (Rows{"abx\r\n", "cd\0\0"s}));
  ASSERT_EQ(f.edit.UndoList().size(), 1u);
  EXPECT_EQ(f.edit.UndoList()[0].Kind, ukInsert);
}

TEST(RyxEditTyping, TypingReplacesTheSelectionAndAnnouncesTheRow) {
  Fixture f("one\r\ntwo\r\nthree");
  std::vector<int> drawn;
  f.edit.OnUserClientDraw = [&drawn](TObject*, int, int, int L1, int L2) { drawn = {L1, L2}; };
  f.Select(0, 1, 2, 2);
  f.edit.TypeText("\x82\xA0\r\nZ");
  EXPECT_EQ(f.Rows(), (Rows{"o\x82\xA0\r\n", "Zree\0\0"s}));
  EXPECT_EQ(f.edit.CaretLine(), 1);
  EXPECT_EQ(f.edit.CaretCol(), 1);
  EXPECT_FALSE(f.edit.SelActive());
  EXPECT_EQ(f.changes, 1);
  EXPECT_EQ(drawn, (std::vector<int>{1, 1}));
  EXPECT_TRUE(f.host.Caret().Visible());
}

TEST(RyxEditTyping, TheCaretStaysInViewWhileTyping) {
  Fixture f;
  f.edit.TypeText(std::string(100, 'a'));
  EXPECT_GT(f.edit.ScrollX(), 0);
  EXPECT_GE(f.edit.CaretX(), 0);
  EXPECT_LE(f.edit.CaretX(), f.edit.TextWidth());
  EXPECT_EQ(f.edit.CaretCol(), 100);
}

TEST(RyxEditNewLine, AutoIndentRepeatsTheLeadingBlanks) {
  const struct {
    std::string text;
    int col;
    bool autoIndent;
    Rows rows;
    int caretCol;
  } cases[] = {
      {"  \tab", 3, true, {"  \t\r\n", "  \tab\0\0"s}, 3},
      {"    ab", 2, true, {"  \r\n", "    ab\0\0"s}, 2},
      {"  \tab", 3, false, {"  \t\r\n", "ab\0\0"s}, 0},
      // A full-width space is text, not indent.
      {"\x81\x40" "ab", 2, true, {"\x81\x40\r\n", "ab\0\0"s}, 0},
  };
  for (const auto& c : cases) {
    Fixture f(c.text);
    f.edit.SetAutoIndent(c.autoIndent);
    f.Caret(0, c.col);
    f.edit.NewLine();
    EXPECT_EQ(f.Rows(), c.rows) << c.text;
    EXPECT_EQ(f.edit.CaretLine(), 1);
    EXPECT_EQ(f.edit.CaretCol(), c.caretCol) << c.text;
    EXPECT_EQ(f.changes, 1);
  }
}

TEST(RyxEditNewLine, ScrollsOnceTheCaretNearsTheBottom) {
  std::string text = "x";
  for (int i = 0; i < 20; ++i) text += "\r\nx";
  Fixture f(text);
  // The view keeps a fifth of its rows, rounded up, below the caret.
  const int keep = f.edit.VisibleLines() - (f.edit.VisibleLines() + 4) / 5;
  f.Caret(keep, 1);
  ASSERT_EQ(f.edit.TopLine(), 0);
  f.edit.NewLine();
  EXPECT_EQ(f.edit.TopLine(), 1);
  EXPECT_EQ(f.edit.CaretLine(), keep + 1);
}

TEST(RyxEditDelete, SelectionsAcrossRowsJoinTheirEnds) {
  for (const bool reversed : {false, true}) {
    Fixture f("abc\r\ndef\r\nghi\r\njkl");
    if (reversed)
      f.Select(2, 2, 0, 1);
    else
      f.Select(0, 1, 2, 2);
    f.edit.DeleteSelection(true);
    EXPECT_EQ(f.Rows(), (Rows{"ai\r\n", "jkl\0\0"s}));
    EXPECT_EQ(f.edit.CaretLine(), 0);
    EXPECT_EQ(f.edit.CaretCol(), 1);
    EXPECT_EQ(f.edit.SelStart(), f.edit.SelEnd());
    EXPECT_FALSE(f.edit.SelActive());
    ASSERT_EQ(f.edit.UndoList().size(), 1u);
    EXPECT_EQ(f.edit.UndoList()[0].Text, "bc\r\ndef\r\ngh");
    EXPECT_EQ(f.changes, 0);
  }
}

TEST(RyxEditDelete, AnEmptyRowGoesWithItsLineBreak) {
  for (const bool anchorAtEnd : {false, true}) {
    Fixture f("a\r\n\r\nb");
    // The anchor may sit past the break of the row it is on; the caret cannot.
    if (anchorAtEnd)
      f.Select(1, 2, 1, 0);
    else
      f.Select(1, 0, 1, 2);
    f.edit.DeleteSelection(true);
    EXPECT_EQ(f.Rows(), (Rows{"a\r\n", "b\0\0"s}));
    EXPECT_EQ(f.edit.CaretLine(), 1);
    EXPECT_EQ(f.edit.CaretCol(), 0);
  }
}

TEST(RyxEditDelete, AnEmptySelectionDeletesNothing) {
  Fixture f("a\r\n\r\nb");
  f.Select(1, 0, 1, 0);
  f.edit.DeleteSelection(true);
  EXPECT_EQ(f.edit.GetAllText(), "a\r\n\r\nb");
  EXPECT_TRUE(f.edit.UndoList().empty());
}

TEST(RyxEditSelection, BoundsInTextOrder) {
  Fixture f("ab\r\ncd");
  int sc = -1, sl = -1, el = -1, ec = -1;
  f.Caret(1, 1);
  EXPECT_FALSE(f.edit.GetSelBounds(sc, sl, el, ec));
  EXPECT_EQ((std::vector<int>{sl, sc, el, ec}), (std::vector<int>{1, 1, 1, 1}));
  // An end at the start of a row is the end of the row above, its break included.
  f.Select(1, 0, 0, 1);
  EXPECT_TRUE(f.edit.GetSelBounds(sc, sl, el, ec));
  EXPECT_EQ((std::vector<int>{sl, sc, el, ec}), (std::vector<int>{0, 1, 0, 4}));
  f.edit.SelectAll();
  EXPECT_TRUE(f.edit.GetSelBounds(sc, sl, el, ec));
  EXPECT_EQ((std::vector<int>{sl, sc, el, ec}), (std::vector<int>{0, 0, 1, 2}));
}

TEST(RyxEditSelection, SelectAllCoversTheTextButNotItsEndMarker) {
  Fixture f("ab\r\n\x82\xA0");
  int selectionChanges = 0;
  std::vector<int> drawn;
  f.edit.OnSelectionChange = [&selectionChanges](TObject*) { ++selectionChanges; };
  f.edit.OnUserClientDraw = [&drawn](TObject*, int, int, int L1, int L2) { drawn = {L1, L2}; };
  f.edit.SelectAll();
  EXPECT_TRUE(f.edit.SelAll());
  EXPECT_EQ(selectionChanges, 1);
  EXPECT_EQ(drawn, (std::vector<int>{0, 1}));
  f.edit.Perform(WM_COPY, 0, 0);
  EXPECT_EQ(f.host.Clipboard(), "ab\r\n\x82\xA0");
  f.edit.TypeText("z");
  EXPECT_EQ(f.Rows(), (Rows{"z\0\0"s}));

  Fixture empty;
  empty.edit.SelectAll();
  EXPECT_FALSE(empty.edit.SelAll());
}

TEST(RyxEditClipboard, CutMovesTheSelectionToTheClipboard) {
  Fixture f("abc\r\ndef");
  f.Select(0, 1, 1, 1);
  f.edit.Perform(WM_CUT, 0, 0);
  EXPECT_EQ(f.host.Clipboard(), "bc\r\nd");
  EXPECT_EQ(f.Rows(), (Rows{"aef\0\0"s}));
  EXPECT_EQ(f.changes, 1);
}

TEST(RyxEditClipboard, CutWithoutASelectionOnlySignalsAChange) {
  Fixture f("abc");
  f.host.SetClipboard("kept");
  f.edit.Perform(WM_CUT, 0, 0);
  EXPECT_EQ(f.host.Clipboard(), "kept");
  EXPECT_EQ(f.edit.GetAllText(), "abc");
  EXPECT_EQ(f.changes, 1);
  EXPECT_FALSE(f.edit.Modified());
}

TEST(RyxEditClipboard, ACutThatCouldNotCopyKeepsTheText) {
  Fixture f("abc");
  f.host.SetClipboard("old");
  f.host.SetClipboardFails(true);
  f.Select(0, 0, 0, 2);
  f.edit.Perform(WM_CUT, 0, 0);
  EXPECT_EQ(f.host.TakeMessageBoxes(), std::vector<std::string>{"Error:OC002"});
  EXPECT_EQ(f.edit.GetAllText(), "abc");
  EXPECT_TRUE(f.edit.SelActive());
  EXPECT_FALSE(f.edit.Modified());
  EXPECT_EQ(f.host.Clipboard(), "old");
  f.host.SetClipboardFails(false);
  f.edit.Perform(WM_CUT, 0, 0);
  EXPECT_EQ(f.host.Clipboard(), "ab");
  EXPECT_EQ(f.edit.GetAllText(), "c");
  EXPECT_TRUE(f.host.TakeMessageBoxes().empty());
}

TEST(RyxEditClipboard, PasteSplitsAtEachLineBreak) {
  Fixture f("abXYZ");
  f.Caret(0, 2);
  f.host.SetClipboard("1\r\n2\r\n3\r\n4");
  f.edit.Perform(WM_PASTE, 0, 0);
  EXPECT_EQ(f.Rows(), (Rows{"ab1\r\n", "2\r\n", "3\r\n", "4XYZ\0\0"s}));
  EXPECT_EQ(f.edit.CaretLine(), 3);
  EXPECT_EQ(f.edit.CaretCol(), 1);
  EXPECT_EQ(f.changes, 1);
  ASSERT_EQ(f.edit.UndoList().size(), 1u);
  EXPECT_EQ(f.edit.UndoList()[0].Kind, ukInsert);
  EXPECT_EQ(f.edit.UndoList()[0].Text, "1\r\n2\r\n3\r\n4");
}

TEST(RyxEditClipboard, PasteReplacesTheSelectionAndStopsAtANul) {
  Fixture f("abcd");
  f.Select(0, 1, 0, 3);
  f.host.SetClipboard("X\0\0tail"s);
  f.edit.Perform(WM_PASTE, 0, 0);
  EXPECT_EQ(f.Rows(), (Rows{"aXd\0\0"s}));
  EXPECT_EQ(f.edit.CaretCol(), 2);
}

TEST(RyxEditClipboard, PasteWithoutClipboardTextDoesNothing) {
  Fixture f("abcd");
  f.Select(0, 1, 0, 3);
  f.edit.Perform(WM_PASTE, 0, 0);
  EXPECT_EQ(f.edit.GetAllText(), "abcd");
  EXPECT_TRUE(f.edit.SelActive());
  EXPECT_EQ(f.changes, 0);
}

TEST(RyxEditClipboard, ReadOnlyRefusesCutPasteAndUndo) {
  Fixture f("abc");
  f.edit.TypeText("x");
  f.edit.SetReadOnly(true);
  f.host.SetClipboard("clip");
  f.Select(0, 0, 0, 2);
  f.edit.Perform(WM_CUT, 0, 0);
  f.edit.Perform(WM_PASTE, 0, 0);
  f.edit.Perform(WM_UNDO, 0, 0);
  EXPECT_EQ(f.edit.GetAllText(), "xabc");
  EXPECT_EQ(f.host.Clipboard(), "clip");
  f.edit.SetReadOnly(false);
  f.edit.Perform(WM_PASTE, 0, 0);
  EXPECT_EQ(f.edit.GetAllText(), "clipbc");
  f.edit.Perform(WM_UNDO, 0, 0);
  EXPECT_EQ(f.edit.GetAllText(), "xabc");
}

}  // namespace
