// Typed characters, input-method results, the Insert and Tab keys and the Convert key's reconversion.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/editor/EditorFixture.h"

namespace {

using namespace std::string_literals;

// 日本語 in code page 932.
const std::string kNihongo = "\x93\xfa\x96\x7b\x8c\xea";

struct Fixture : TEditorFixture {
  using TEditorFixture::TEditorFixture;
  void Char(unsigned code) { edit.Perform(WM_CHAR, code, 1); }
  // A committed composition as the host delivers it, followed by the
  // WM_IME_CHAR messages that the default handling would make of it.
  void Commit(const std::string& result) {
    host.SetImeResult(result);
    edit.Perform(WM_IME_STARTCOMPOSITION, 0, 0);
    edit.Perform(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
    for (std::size_t i = 0; i + 1 < result.size(); i += 2)
      edit.Perform(WM_IME_CHAR, static_cast<unsigned char>(result[i]) * 256u + static_cast<unsigned char>(result[i + 1]), 1);
    edit.Perform(WM_IME_ENDCOMPOSITION, 0, 0);
  }
};

TEST(RyxEditInput, TypesPrintableAsciiAndHalfWidthKatakanaOnly) {
  Fixture f;
  for (unsigned code : {0x41u, 0x20u, 0x7Eu, 0xB1u, 0xA0u, 0xDFu}) f.Char(code);
  EXPECT_EQ(f.Text(), "A ~\xB1\xA0\xDF");
  EXPECT_EQ(f.changes, 6);
  // Tab, Enter, Backspace and Escape have keys of their own; a lone lead
  // byte is half a character; 0x7F, 0x80 and 0xE0 up are no characters here.
  for (unsigned code : {0x09u, 0x0Du, 0x08u, 0x1Bu, 0x00u, 0x7Fu, 0x80u, 0x82u, 0x9Fu, 0xE0u, 0xFFu, 0x8140u})
    f.Char(code);
  EXPECT_EQ(f.Text(), "A ~\xB1\xA0\xDF");
  EXPECT_EQ(f.changes, 6);
  EXPECT_EQ(f.edit.CaretCol(), 6);
}

TEST(RyxEditInput, CtrlAndTheKeyPressHandlerCanKeepACharacterOut) {
  Fixture f("ab");
  f.Caret(0, 1);
  f.host.SetKeyDown(VK_CONTROL, true);
  f.Char('x');
  f.host.SetKeyDown(VK_CONTROL, false);
  EXPECT_EQ(f.Text(), "ab");
  std::vector<char> seen;
  f.edit.OnKeyPress = [&seen](TObject*, char& key) {
    seen.push_back(key);
    if (key == 'q') key = '\0';
    if (key == 'u') key = 'U';
  };
  f.Char('q');
  f.Char('u');
  EXPECT_EQ(seen, (std::vector<char>{'q', 'u'}));
  EXPECT_EQ(f.Text(), "aUb");
}

TEST(RyxEditInput, AnImeResultIsTypedOnceAsOneChange) {
  Fixture f("ab");
  f.Caret(0, 1);
  f.Commit(kNihongo);
  EXPECT_EQ(f.Text(), "a" + kNihongo + "b");
  EXPECT_EQ(f.edit.CaretCol(), 7);
  EXPECT_EQ(f.changes, 1);
  ASSERT_EQ(f.edit.UndoList().size(), 1u);
  EXPECT_EQ(f.edit.UndoList()[0].Text, kNihongo);
  f.Key('Z', false, true);
  EXPECT_EQ(f.Text(), "ab");
}

TEST(RyxEditInput, ImeMessagesWithoutAResultTypeNothing) {
  Fixture f("ab");
  f.host.SetImeResult(kNihongo);
  // A composition still being edited has no result string.
  f.edit.Perform(WM_IME_COMPOSITION, 0, 0x0008);
  EXPECT_EQ(f.Text(), "ab");
  f.host.SetImeResult("");
  f.edit.Perform(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
  EXPECT_EQ(f.Text(), "ab");
  // A window without an input context has nothing to read.
  f.host.SetImeResult(kNihongo);
  f.host.SetImeAvailable(false);
  f.edit.Perform(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
  EXPECT_EQ(f.Text(), "ab");
  EXPECT_EQ(f.changes, 0);
}

TEST(RyxEditInput, CompleteCompositionAsksTheInputMethodToCommit) {
  Fixture f("ab");
  f.edit.CompleteComposition();
  EXPECT_EQ(f.host.ImeNotifications(),
            (std::vector<std::pair<DWORD, DWORD>>{{NI_COMPOSITIONSTR, CPS_COMPLETE}}));
  f.host.SetImeAvailable(false);
  f.edit.CompleteComposition();
  EXPECT_EQ(f.host.ImeNotifications().size(), 1u);
  EXPECT_EQ(f.Text(), "ab");
}

TEST(RyxEditInput, AnImeResultStopsAtANulByte) {
  Fixture f;
  f.Commit("\x93\xfa"s + '\0' + "x");
  EXPECT_EQ(f.Text(), "\x93\xfa");
  EXPECT_EQ(f.edit.Lines().Count(), 1);
}

TEST(RyxEditInput, AnImeResultWithALineBreakSplitsTheLine) {
  Fixture f("ab");
  f.Caret(0, 1);
  f.Commit("\x93\xfa\r\n\x96\x7b");
  EXPECT_EQ(f.Text(), "a\x93\xfa\r\n\x96\x7b" "b");
  EXPECT_EQ(f.edit.CaretLine(), 1);
  EXPECT_EQ(f.edit.CaretCol(), 2);
}

TEST(RyxEditInput, InsertKeyTogglesOverwriteWhichReplacesWholeCharacters) {
  Fixture f("a\x82\xA0" "cd");
  std::vector<bool> modes;
  f.edit.OnChangeInsMode = [&modes](TObject*, bool insmode) { modes.push_back(insmode); };
  f.Key(VK_INSERT);
  EXPECT_FALSE(f.edit.InsertMode());
  // A double-byte result over a letter takes the letter and the whole next
  // character, padding with a space.
  f.Commit("\x93\xfa");
  EXPECT_EQ(f.Text(), "\x93\xfa \x63" "d");
  EXPECT_EQ(f.edit.CaretCol(), 2);
  // A letter over a double-byte character takes both of its bytes.
  f.Caret(0, 0);
  f.Char('x');
  EXPECT_EQ(f.Text(), "x  cd");
  // Tab never types over.
  f.Key(VK_TAB);
  EXPECT_EQ(f.Text(), "x\t  cd");
  // At the end of the content overwrite inserts.
  f.Caret(0, 6);
  f.Char('e');
  EXPECT_EQ(f.Text(), "x\t  cde");
  f.Key(VK_INSERT);
  f.Caret(0, 0);
  f.Char('y');
  EXPECT_EQ(f.Text(), "yx\t  cde");
  EXPECT_EQ(modes, (std::vector<bool>{false, true}));
}

TEST(RyxEditInput, TabReplacesTheSelectionAndIsUndoneWithIt) {
  Fixture f("abcd");
  f.Key(VK_RIGHT);
  f.Key(VK_RIGHT, true);
  f.Key(VK_RIGHT, true);
  f.Key(VK_TAB);
  EXPECT_EQ(f.Text(), "a\td");
  EXPECT_EQ(f.edit.CaretCol(), 2);
  EXPECT_EQ(f.changes, 1);
  f.Key('Z', false, true);
  EXPECT_EQ(f.Text(), "abcd");
}

TEST(RyxEditInput, ReadOnlyRefusesEveryKeyAndMessageThatWouldChangeTheText) {
  Fixture f("ab\r\ncd");
  f.Caret(0, 1);
  f.edit.SetReadOnly(true);
  bool reconverted = false;
  f.edit.OnIMEReConvert = [&reconverted](TObject*) { reconverted = true; };
  f.Char('x');
  f.Commit(kNihongo);
  for (WORD key : {VK_DELETE, VK_BACK, VK_TAB, VK_INSERT, VK_RETURN}) f.Key(key);
  f.Key(VK_DELETE, false, true);
  f.Key(VK_BACK, false, true);
  f.Key(VK_RIGHT, true);
  f.host.SetKeyDown(VK_CONVERT, true);
  f.Key(VK_CONVERT);
  f.host.SetKeyDown(VK_CONVERT, false);
  EXPECT_EQ(f.Text(), "ab\r\ncd");
  EXPECT_TRUE(f.edit.InsertMode());
  EXPECT_FALSE(reconverted);
  EXPECT_EQ(f.changes, 0);
  EXPECT_FALSE(f.edit.Modified());
}

struct Reconvert : Fixture {
  Reconvert() : Fixture("abc\r\ndef") {
    edit.OnIMEReConvert = [this](TObject*) {
      ++requests;
      anchor = edit.SelStart();
    };
  }
  void Convert() {
    host.SetKeyDown(VK_CONVERT, true);
    Key(VK_CONVERT);
    host.SetKeyDown(VK_CONVERT, false);
  }
  int requests = 0;
  TPoint anchor;
};

TEST(RyxEditReconvert, PutsTheCaretAtTheSelectionStartBeforeAsking) {
  Reconvert f;
  f.Caret(0, 1);
  f.Key(VK_RIGHT, true);
  f.Key(VK_DOWN, true);
  f.Convert();
  EXPECT_EQ(f.requests, 1);
  EXPECT_EQ(f.edit.CaretLine(), 0);
  EXPECT_EQ(f.edit.CaretCol(), 1);
  EXPECT_EQ(f.anchor.X, 2);
  EXPECT_EQ(f.anchor.Y, 1);
  EXPECT_TRUE(f.edit.SelActive());
  // Already at the start: nothing moves.
  f.Convert();
  EXPECT_EQ(f.requests, 2);
  EXPECT_EQ(f.edit.CaretCol(), 1);
  EXPECT_EQ(f.anchor.Y, 1);
}

TEST(RyxEditReconvert, AsksNothingWithoutASelectionOrWhileComposing) {
  Reconvert f;
  f.Convert();
  EXPECT_EQ(f.requests, 0);
  f.Key(VK_RIGHT, true);
  f.edit.Perform(WM_IME_STARTCOMPOSITION, 0, 0);
  f.Convert();
  EXPECT_EQ(f.requests, 0);
  f.edit.Perform(WM_IME_ENDCOMPOSITION, 0, 0);
  f.Convert();
  EXPECT_EQ(f.requests, 1);
}

}  // namespace
