// Input sequences that once broke the stored text, each replayed step by step with the text checked whole after every step.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/editor/EditorFixture.h"
#include "tests/TempDir.h"

namespace {

using Pos = std::pair<int, int>;

// "あ" in UTF-8 read as code page 932: a double-byte character, then a lead byte with no trail.
const std::string kUtf8A = "\xE3\x81\x82";
const std::string kNichi = "\x93\xFA";

struct Sequence {
  const char* what;
  std::string text;
  // Loaded from a file with LF breaks, so that a CR stays inside a line.
  bool lfFile;
  std::vector<std::string> steps;
  std::string result;
  Pos caret;
};

// After every step the text is whole; at the end it is the expected one, and
// undoing every change gives back the text the sequence started from.
void Replay(const std::vector<Sequence>& sequences) {
  for (const Sequence& s : sequences) {
    SCOPED_TRACE(s.what);
    TTempDir folder;
    TEditorFixture f(s.lfFile ? "" : s.text);
    if (s.lfFile) {
      ASSERT_TRUE(f.edit.LoadFromFile(folder.WriteFile("lf.txt", s.text)));
    }
    const std::string original = f.Text();
    for (const std::string& step : s.steps) {
      SCOPED_TRACE(step);
      f.Do(step);
      ASSERT_EQ(f.Broken(), "");
    }
    EXPECT_EQ(f.Text(), s.result);
    EXPECT_EQ((Pos{f.edit.CaretLine(), f.edit.CaretCol()}), s.caret);
    f.Do("release");
    f.Do("readonly:0");
    for (int n = 0; n < 100 && !f.edit.UndoList().empty(); ++n) f.Do("Ctrl+Z");
    EXPECT_EQ(f.Text(), original);
    EXPECT_EQ(f.Broken(), "");
  }
}

TEST(RyxEditIntegrity, ALeadByteBeforeTheTerminatorIsACharacterOfItsOwn) {
  const std::string a = kUtf8A;
  Replay({
      {"Right steps over it to the line break", a + "\r\nb", false, {"Right", "Right", "Right", "type:x"},
       a + "\r\nxb", {1, 1}},
      {"Right stops before the end marker", "b\r\n" + a, false, {"Ctrl+End", "Left", "Right", "Right", "type:x"},
       "b\r\n" + a + "x", {1, 4}},
      {"Ctrl+Right ends the word at the lone byte", a + "\r\nb", false, {"Ctrl+Right", "type:x"},
       a + "x\r\nb", {0, 4}},
      {"Ctrl+Right over the last line's end", "b\r\n" + a, false, {"Down", "Ctrl+Right", "Ctrl+Right", "Return"},
       "b\r\n" + a + "\r\n", {2, 0}},
      {"Enter after it", a + "\r\nb", false, {"End", "Return"}, a + "\r\n\r\nb", {1, 0}},
      {"Shift+Right selects it alone", a + "\r\nb", false, {"Right", "Shift+Right", "Delete"},
       "\xE3\x81\r\nb", {0, 2}},
      {"Shift+Right then Backspace", a + "\r\nb", false, {"Right", "Shift+Right", "Shift+Right", "Back"},
       "\xE3\x81" "b", {0, 2}},
      {"overwriting it takes one byte", a + "\r\nb", false, {"Right", "Insert", "type:x"}, "\xE3\x81x\r\nb", {0, 3}},
      {"Ctrl+Left from the line's end", "c " + a + "\r\nb", false, {"End", "Ctrl+Left", "Ctrl+Delete"},
       "c \r\nb", {0, 2}},
      {"a click right of it", a + "\r\nb", false, {"press:0,20", "release", "type:x"}, a + "x\r\nb", {0, 4}},
      {"the caret message to the line's end", a + "\r\nb", false, {"caret:0,3", "type:x"}, a + "x\r\nb", {0, 4}},
  });
}

TEST(RyxEditIntegrity, ACRInsideALineStaysContent) {
  Replay({
      {"Right passes it", "x\nA\rB", true, {"Down", "Right", "Right", "Right", "Right", "type:y"},
       "x\r\nA\rBy", {1, 4}},
      {"typing before it", "x\nA\rB", true, {"Down", "type:y"}, "x\r\nyA\rB", {1, 1}},
      {"Ctrl+Shift+Backspace then a letter", "x\nA\rB", true, {"Ctrl+End", "Ctrl+Shift+Back", "type:z"},
       "x\r\nA\rz", {1, 3}},
      {"Ctrl+Right stops at it and goes on", "x\nA\rB", true, {"Down", "Ctrl+Right", "Ctrl+Right", "type:y"},
       "x\r\nA\ryB", {1, 3}},
      {"Delete takes it alone", "x\nA\rB", true, {"Down", "Right", "Delete"}, "x\r\nAB", {1, 1}},
      {"a break typed after it", "x\nA\r\nB", true, {"Down", "Right", "Right", "Return"},
       "x\r\nA\r\r\n\r\nB", {2, 0}},
      {"a pasted LF completes a line break", "x\nA\rB", true, {"Down", "Right", "Right", "paste:\n"},
       "x\r\nA\r\nB", {2, 0}},
      {"deleting between a CR and an LF makes them a line break", "x\nAq", true,
       {"Down", "Right", "paste:\rz\n", "Left", "Left", "Delete"}, "x\r\nA\r\nq", {2, 0}},
  });
}

TEST(RyxEditIntegrity, AGutterSelectionDeletesWholeLines) {
  const std::string text = "one\r\ntwo\r\nthree\r\nfour";
  Replay({
      {"dragged down within the gutter", text, false, {"press:1,-1", "move:2,-1", "release", "Delete"},
       "one\r\nthree\r\nfour", {1, 0}},
      {"dragged down into the text", text, false, {"press:1,-1", "move:2,3", "release", "Delete", "Back"},
       "one\r\ntwoee\r\nfour", {1, 3}},
      {"dragged up into the text", text, false, {"press:1,-1", "move:0,1", "release", "Delete", "Back"},
       "three\r\nfour", {0, 0}},
      {"dragged up within the gutter", text, false, {"press:1,-1", "move:0,-1", "release", "Delete"},
       "three\r\nfour", {0, 0}},
      {"typed over", text, false, {"press:2,-1", "release", "type:x"}, "one\r\ntwo\r\nxfour", {2, 1}},
      {"cut, then pasted a line lower", text, false, {"press:0,-1", "release", "cut", "Down", "Ctrl+V"},
       "two\r\none\r\nthree\r\nfour", {2, 0}},
  });
}

// An edit made while the left button is held ends the mouse selection: the
// button's later moves select nothing until it is pressed again.
TEST(RyxEditIntegrity, AKeyThatEditsEndsTheMouseSelection) {
  const std::string text = "one\r\ntwo\r\nthree";
  Replay({
      {"Backspace twice at a line start", text, false, {"press:2,0", "Back", "Back", "release"},
       "one\r\ntwthree", {1, 2}},
      {"Backspace over a dragged selection, then more moves", text, false,
       {"press:1,3", "move:2,1", "Back", "Back", "move:0,1", "tick", "release", "type:x"}, "one\r\ntwxhree", {1, 3}},
      {"Delete joining the held line", text, false, {"press:1,3", "Delete", "Delete", "move:0,0", "release"},
       "one\r\ntwohree", {1, 3}},
      {"typing over a selection that is still being dragged", text, false,
       {"press:0,1", "move:2,2", "type:xy", "move:0,0", "release", "Shift+Home", "Delete"}, "ree", {0, 0}},
      {"undo while held", text, false, {"press:1,1", "type:a", "Ctrl+Z", "move:2,4", "release"}, text, {1, 1}},
  });
}

TEST(RyxEditIntegrity, CtrlShiftBackspaceLeavesNoStaleAnchor) {
  Replay({
      {"at a line start, then Shift+Home and a letter", "ab\r\ncd", false,
       {"Down", "Ctrl+Shift+Back", "Shift+Home", "type:x"}, "xcd", {0, 1}},
      {"at a line start, then Shift+Home and a copy", "ab\r\ncd", false,
       {"Down", "Ctrl+Shift+Back", "Shift+Home", "Ctrl+C", "End", "Ctrl+V"}, "abcdab", {0, 6}},
      {"after a tab, then Shift+Home and a letter", "a\tb", false, {"Right", "Right", "Ctrl+Shift+Back", "Shift+Home", "type:x"},
       "xb", {0, 1}},
  });
}

TEST(RyxEditIntegrity, UpAndDownMeasureTheGoalOnTheLineWhereItWasSet) {
  const std::string text = "\tbcdefgh\r\nabcdefghij\r\nabcdefghij";
  Replay({
      {"Left in between", text, false,
       {"Right", "Right", "Down", "Left", "Left", "Left", "Left", "Left", "Down", "type:x"},
       "\tbcdefgh\r\nabcdefghij\r\nabxcdefghij", {2, 3}},
      {"Down twice keeps the goal from the tab line", text, false, {"Right", "Right", "Down", "Down", "type:x"},
       "\tbcdefgh\r\nabcdefghij\r\nabcdefgxhij", {2, 8}},
  });
}

TEST(RyxEditIntegrity, SetSelSettlesBothEndsOnTheText) {
  const std::string text = "a" + kUtf8A + "\r\n" + kNichi + "b";
  Replay({
      {"a caret on a trail byte", text, false, {"sel:0,2,0,2", "type:x"}, "ax" + kUtf8A + "\r\n" + kNichi + "b", {0, 2}},
      {"an anchor on a trail byte", text, false, {"sel:1,1,1,3", "type:x"}, "a" + kUtf8A + "\r\nx", {1, 1}},
      {"both ends between CR and LF", text, false, {"sel:0,5,0,5", "type:x"}, "a" + kUtf8A + "x\r\n" + kNichi + "b",
       {0, 5}},
      // Joined to the next line, the lone lead byte pairs with the kanji's lead byte.
      {"an anchor between CR and LF", text, false, {"sel:0,5,1,0", "Delete"}, "a" + kUtf8A + kNichi + "b", {0, 3}},
      {"an anchor just past the line break", text, false, {"sel:0,6,1,2", "Back"}, "a" + kUtf8A + "\r\nb", {1, 0}},
      {"an end inside the end marker", text, false, {"sel:1,4,1,5", "type:x"}, "a" + kUtf8A + "\r\n" + kNichi + "bx",
       {1, 4}},
      {"the largest values", text, false, {"sel:0,0,65535,65535", "type:x"}, "x", {0, 1}},
      {"the largest values reversed", text, false, {"sel:65535,65535,0,1", "Back"}, "a", {0, 1}},
      {"an end on the lone lead byte's neighbour", text, false, {"sel:0,1,0,4", "Delete"}, "a\r\n" + kNichi + "b",
       {0, 1}},
  });
}

TEST(RyxEditIntegrity, DeletingLeftInATinyViewKeepsTheCaretOffTheEndMarker) {
  Replay({
      {"DeleteCharLeft at a line start", "ab\r\ncd", false,
       {"size:440,10", "scrollfix:1", "caret:1,0", "DeleteCharLeft", "type:x"}, "abxcd", {0, 3}},
      {"DeleteWordLeft at a line start", "ab\r\ncd", false,
       {"size:440,10", "scrollfix:1", "caret:1,0", "DeleteWordLeft", "type:x"}, "abxcd", {0, 3}},
      {"DeleteCharLeft twice from the last line", "ab\r\n\r\ncd", false,
       {"size:440,10", "scrollfix:1", "caret:2,0", "DeleteCharLeft", "DeleteCharLeft", "type:x"}, "abxcd", {0, 3}},
      {"Backspace at a line start", "ab\r\ncd", false, {"size:440,10", "scrollfix:1", "caret:1,0", "Back", "type:x"},
       "abxcd", {0, 3}},
  });
}

TEST(RyxEditIntegrity, ClearIsRefusedWhenReadOnlyAndUndoneOtherwise) {
  Replay({
      {"read-only", "one\r\ntwo", false, {"readonly:1", "clear"}, "one\r\ntwo", {0, 0}},
      {"writable", "one\r\ntwo", false, {"Down", "clear"}, "", {0, 0}},
      {"writable, then typed", "one\r\ntwo", false, {"clear", "type:x"}, "x", {0, 1}},
  });
}

}  // namespace
