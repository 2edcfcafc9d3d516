// The deletion keys: Delete, Backspace and their word forms, and their undo.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/editor/EditorFixture.h"

namespace {

using namespace std::string_literals;

// あい (hiragana), アイ (katakana) and 日 (kanji) in code page 932.
const std::string kA = "\x82\xA0", kI = "\x82\xA2";
const std::string kKa = "\x83\x41", kKi = "\x83\x43";
const std::string kNichi = "\x93\xfa";

struct Fixture : TEditorFixture {
  using TEditorFixture::TEditorFixture;
  std::pair<int, int> At() const { return {edit.CaretLine(), edit.CaretCol()}; }
};

using Pos = std::pair<int, int>;

struct KeyCase {
  std::string text;
  Pos caret;
  WORD key;
  bool ctrl;
  std::string result;
  Pos after;
  TUndoKind kind;
  std::string removed;
};

// Each deletion is one undo record holding exactly the removed bytes, and
// one Ctrl+Z brings back the text as it was.
void CheckDeletions(const std::vector<KeyCase>& cases) {
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.text + " key " + std::to_string(c.key) + (c.ctrl ? " ctrl" : "") + " at col " +
                 std::to_string(c.caret.second));
    Fixture f(c.text);
    f.Caret(c.caret.first, c.caret.second);
    f.Key(c.key, false, c.ctrl);
    EXPECT_EQ(f.Text(), c.result);
    EXPECT_EQ(f.At(), c.after);
    EXPECT_EQ(f.changes, 1);
    ASSERT_EQ(f.edit.UndoList().size(), 1u);
    EXPECT_EQ(f.edit.UndoList()[0].Kind, c.kind);
    EXPECT_EQ(f.edit.UndoList()[0].Text, c.removed);
    f.Key('Z', false, true);
    EXPECT_EQ(f.Text(), c.text);
    EXPECT_TRUE(f.edit.UndoList().empty());
    EXPECT_FALSE(f.edit.Modified());
  }
}

TEST(RyxEditDeleteKeys, DeleteAndBackspaceTakeWholeCharactersAndLineBreaks) {
  CheckDeletions({
      {"a" + kNichi + "b", {0, 1}, VK_DELETE, false, "ab", {0, 1}, ukForwardDelete, kNichi},
      {"a" + kNichi + "b", {0, 3}, VK_BACK, false, "ab", {0, 1}, ukBackDelete, kNichi},
      {"a" + kNichi + "b", {0, 0}, VK_DELETE, false, kNichi + "b", {0, 0}, ukForwardDelete, "a"},
      {"\xB1\xB2", {0, 2}, VK_BACK, false, "\xB1", {0, 1}, ukBackDelete, "\xB2"},
      // A line break goes as one unit and joins the lines.
      {"ab\r\ncd", {0, 2}, VK_DELETE, false, "abcd", {0, 2}, ukForwardDelete, "\r\n"},
      {"ab\r\ncd", {1, 0}, VK_BACK, false, "abcd", {0, 2}, ukBackDelete, "\r\n"},
      {kNichi + "\r\n\r\n", {1, 0}, VK_DELETE, false, kNichi + "\r\n", {1, 0}, ukForwardDelete, "\r\n"},
      // A lead byte cut off by the line end is deleted alone, never with the line break.
      {"a\x82\r\nb", {0, 1}, VK_DELETE, false, "a\r\nb", {0, 1}, ukForwardDelete, "\x82"},
  });
}

TEST(RyxEditDeleteKeys, DeleteUndoneAfterAJoinSplitsTheLineAgainWithTheCaretAtItsEnd) {
  Fixture f("ab\r\ncd\r\nef");
  f.Caret(0, 2);
  f.Key(VK_DELETE);
  f.Key(VK_DELETE);
  EXPECT_EQ(f.Text(), "abd\r\nef");
  EXPECT_EQ(f.edit.Lines().Count(), 2);
  f.Key('Z', false, true);
  EXPECT_EQ(f.Text(), "abcd\r\nef");
  f.Key('Z', false, true);
  EXPECT_EQ(f.Text(), "ab\r\ncd\r\nef");
  EXPECT_EQ(f.edit.Lines().Get(0), "ab\r\n");
  EXPECT_EQ(f.edit.Lines().Get(1), "cd\r\n");
  EXPECT_EQ(f.At(), Pos(0, 2));
  EXPECT_EQ(f.edit.RedoList().size(), 2u);
}

TEST(RyxEditDeleteKeys, NothingToDeleteChangesNothingAndSignalsNothing) {
  Fixture f("ab\r\ncd");
  f.Key(VK_BACK);
  f.Key(VK_BACK, false, true);
  f.Caret(1, 2);
  f.Key(VK_DELETE);
  f.Key(VK_DELETE, false, true);
  EXPECT_EQ(f.Text(), "ab\r\ncd");
  EXPECT_EQ(f.changes, 0);
  EXPECT_FALSE(f.edit.Modified());
  Fixture empty("");
  empty.Key(VK_DELETE);
  empty.Key(VK_BACK);
  EXPECT_EQ(empty.edit.Lines().Get(0), "\0\0"s);
  EXPECT_EQ(empty.changes, 0);
}

TEST(RyxEditDeleteKeys, DeleteAndBackspaceRemoveASelectionAsOneDeletion) {
  for (WORD key : {VK_DELETE, VK_BACK}) {
    Fixture f("ab\r\ncd");
    f.Caret(0, 1);
    f.Key(VK_DOWN, true);
    f.Key(key);
    EXPECT_EQ(f.Text(), "ad");
    EXPECT_EQ(f.At(), Pos(0, 1));
    EXPECT_EQ(f.edit.UndoList()[0].Kind, ukDelete);
    f.Key('Z', false, true);
    EXPECT_EQ(f.Text(), "ab\r\ncd");
  }
}

TEST(RyxEditDeleteKeys, WordDeletesTakeOneRunOfACharacterClass) {
  const std::string kana = kA + kI + kKa + kKi;
  CheckDeletions({
      {"abc  def", {0, 0}, VK_DELETE, true, "  def", {0, 0}, ukDelete, "abc"},
      {"abc  def", {0, 3}, VK_DELETE, true, "abcdef", {0, 3}, ukDelete, "  "},
      {"abc  def", {0, 8}, VK_BACK, true, "abc  ", {0, 5}, ukDelete, "def"},
      {"ab12,cd", {0, 0}, VK_DELETE, true, ",cd", {0, 0}, ukDelete, "ab12"},
      {"\xB1\xB2" "ab", {0, 0}, VK_DELETE, true, "ab", {0, 0}, ukDelete, "\xB1\xB2"},
      // Hiragana, katakana and kanji are three classes.
      {kana, {0, 0}, VK_DELETE, true, kKa + kKi, {0, 0}, ukDelete, kA + kI},
      {kana + kNichi, {0, 8}, VK_BACK, true, kA + kI + kNichi, {0, 4}, ukDelete, kKa + kKi},
      {kNichi + kNichi + "x", {0, 4}, VK_BACK, true, "x", {0, 0}, ukDelete, kNichi + kNichi},
      // A tab and a line break go alone, as Delete and Backspace take them.
      {"ab\tcd", {0, 2}, VK_DELETE, true, "abcd", {0, 2}, ukForwardDelete, "\t"},
      {"ab\tcd", {0, 3}, VK_BACK, true, "abcd", {0, 2}, ukBackDelete, "\t"},
      {"ab\r\ncd", {0, 2}, VK_DELETE, true, "abcd", {0, 2}, ukForwardDelete, "\r\n"},
      {"ab\r\ncd", {1, 0}, VK_BACK, true, "abcd", {0, 2}, ukBackDelete, "\r\n"},
      {"a\x82\r\nb", {0, 1}, VK_DELETE, true, "a\r\nb", {0, 1}, ukForwardDelete, "\x82"},
  });
}

TEST(RyxEditDeleteKeys, CtrlDeleteDropsASelectAllButDeletesAnOrdinarySelection) {
  Fixture f("abc def");
  f.Key('A', false, true);
  f.Key(VK_DELETE, false, true);
  EXPECT_EQ(f.Text(), " def");
  EXPECT_FALSE(f.edit.SelAll());
  f.Key(VK_RIGHT, true);
  f.Key(VK_RIGHT, true);
  f.Key(VK_DELETE, false, true);
  EXPECT_EQ(f.Text(), "ef");
  EXPECT_EQ(f.changes, 2);
}

TEST(RyxEditDeleteKeys, CtrlBackspaceAtTheTextStartIgnoresASelection) {
  Fixture f("abc def");
  f.Key(VK_RIGHT, true);
  f.Key(VK_RIGHT, true);
  f.Key(VK_LEFT, true);
  f.Key(VK_LEFT, true);
  ASSERT_TRUE(f.edit.SelActive());
  f.Key(VK_BACK, false, true);
  EXPECT_EQ(f.Text(), "abc def");
  EXPECT_EQ(f.changes, 0);
  // Elsewhere the selection goes first.
  f.Caret(0, 5);
  f.Key(VK_RIGHT, true);
  f.Key(VK_BACK, false, true);
  EXPECT_EQ(f.Text(), "abc df");
}

}  // namespace
