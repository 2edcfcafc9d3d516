// Tests of the Edit menu, the tools as undoable steps with their counts, and characters that Shift-JIS cannot hold.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QStatusBar>

#include "platform/CodePage.h"
#include "platform/LookAlikeFolds.h"
#include "tests/LookAlikeText.h"
#include "platform/qt/ControlHostWidget.h"
#include "tests/app/FormFixture.h"

namespace {

using EditTest = FormTest;

}  // namespace

// Qt's own key delivery offers a key to the shortcuts first; its test library reaches it through this.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text = QString(), bool autorep = false, ushort count = 1);

namespace {

// A key as the window system delivers it: an enabled action's shortcut takes it, else the focused editor.
void PressKey(QWidget* editor, int key, Qt::KeyboardModifiers modifiers) {
  if (qt_sendShortcutOverrideEvent(editor, 0, key, modifiers)) return;
  QKeyEvent down(QEvent::KeyPress, key, modifiers);
  QApplication::sendEvent(editor, &down);
  QKeyEvent up(QEvent::KeyRelease, key, modifiers);
  QApplication::sendEvent(editor, &up);
}

// Which of the Edit menu's actions are enabled, in menu order: undo, redo, cut, copy, paste, delete, select all.
std::string Enabled(const TForm1& form) {
  std::string flags;
  for (const QAction* action :
       {form.EditActions->Undo, form.EditActions->Redo, form.EditActions->Cut, form.EditActions->Copy,
        form.EditActions->Paste, form.EditActions->Delete, form.EditActions->SelectAll})
    flags += action->isEnabled() ? '1' : '0';
  return flags;
}

TEST_F(EditTest, EditActionsAreEnabledAsTheStateAllows) {
  TForm1& form = Create();
  TRyxEdit& edit = *form.RyxEdit1;
  QGuiApplication::clipboard()->clear();
  struct TStep {
    const char* Do;
    std::function<void()> Run;
    std::string Enabled;
  };
  const std::vector<TStep> steps{
      {"fresh", [] {}, "0000000"},
      {"type", [&] { edit.TypeText("ab"); }, "1000001"},
      {"select all", [&] { form.EditActions->SelectAll->trigger(); }, "1011011"},
      {"copy", [&] { form.EditActions->Copy->trigger(); }, "1011111"},
      {"delete", [&] { form.EditActions->Delete->trigger(); }, "1000100"},
      {"undo", [&] { form.EditActions->Undo->trigger(); }, "1100101"},
      {"read-only",
       [&] {
         edit.SetReadOnly(true);
         form.EditActions->UpdateState();
       },
       "0000001"},
      {"writable",
       [&] {
         edit.SetReadOnly(false);
         form.EditActions->UpdateState();
       },
       "1100101"},
      {"redo", [&] { form.EditActions->Redo->trigger(); }, "1000100"},
  };
  for (const TStep& step : steps) {
    step.Run();
    EXPECT_EQ(Enabled(form), step.Enabled) << step.Do;
  }
  EXPECT_EQ(Text(), "");
}

TEST_F(EditTest, KeysGoToAnEnabledActionElseToTheEditorAndBothAgree) {
  TForm1& form = Create();
  form.show();
  QApplication::setActiveWindow(&form);
  QWidget* editor = form.centralWidget();
  editor->setFocus();
  for (const char* typed : {"a", "b", "c"}) form.RyxEdit1->TypeText(typed);
  form.RyxEdit1->Undo();
  struct TPress {
    int Key;
    Qt::KeyboardModifiers Modifiers;
    std::string Text;
  };
  const std::vector<TPress> presses{
      {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "abc"},
      {Qt::Key_Z, Qt::ControlModifier, "ab"},
      {Qt::Key_Y, Qt::ControlModifier, "abc"},
      // Nothing left to redo: the editor gets the key, and it must not undo.
      {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "abc"},
      {Qt::Key_Home, Qt::NoModifier, "abc"},
      // Nothing selected: the editor's Delete removes one character.
      {Qt::Key_Delete, Qt::NoModifier, "bc"},
      {Qt::Key_A, Qt::ControlModifier, "bc"},
      {Qt::Key_Delete, Qt::NoModifier, ""},
  };
  for (const TPress& press : presses) {
    PressKey(editor, press.Key, press.Modifiers);
    EXPECT_EQ(Text(), press.Text) << QKeySequence(press.Key | press.Modifiers).toString().toStdString();
  }
}

TEST_F(EditTest, EachToolIsOneStepThatUndoAndRedoRetraceAndTellsItsCount) {
  struct TCase {
    QAction* TForm1::*Item;
    std::string Before;
    std::string After;
    std::string Message;
  };
  // "z" is typed at the end before the tool runs, so that the history before the tool shows too.
  const std::vector<TCase> cases{
      {&TForm1::N9, "[00:01:00]a[00:02:00]\r\nb", "a\r\nbz", "2 個のタイムタグを削除しました"},
      {&TForm1::N9, "no tags", "no tagsz", "0 個のタイムタグを削除しました"},
      {&TForm1::N9, "[00:01.00]a<00:01.50>b", "[00:01.00]a<00:01.50>bz",
       "0 個のタイムタグを削除しました (他の形式のタグは「すべての形式のタイムタグを削除」で削除できます)"},
      {&TForm1::N16, "[00:01:00]a[00:01:50]b[00:02:00]", "[00:01:00]abz", "2 個のカラオケタグを削除しました"},
      {&TForm1::N16, "a[00:01:00][00:02:00]]b", "abz", "2 個のカラオケタグを削除しました"},
      {&TForm1::N10, "a\r\n \r\n\x81\x40\r\nb", "a\r\nbz\r\n", "2 行を削除しました"},
      {&TForm1::UTF81, "\x89\xCC", "\xE6\xAD\x8Cz", "UTF-8 に変換しました"},
      // アイウエオカキクケコサシスセソタチ: 34 cells and "z", three rows of 16, become two.
      {&TForm1::HalfwidthAction,
       "\x83\x41\x83\x43\x83\x45\x83\x47\x83\x49\x83\x4A\x83\x4C\x83\x4E\x83\x50\x83\x52\x83\x54\x83\x56"
       "\x83\x58\x83\x5A\x83\x5C\x83\x5E\x83\x60",
       "\xB1\xB2\xB3\xB4\xB5\xB6\xB7\xB8\xB9\xBA\xBB\xBC\xBD\xBE\xBF\xC0\xC1z",
       "17 文字を半角に変換しました。プレーヤーの表示が 1 行減りました"},
      {&TForm1::FullwidthAction, "[00:01.00]\xB6\xDE", "[00:01.00]\x83\x4B\x82\x9A", "2 文字を全角に変換しました"},
      {&TForm1::KatakanaAction, "\x82\xA0", "\x83\x41z", "1 文字をカタカナに変換しました"},
      {&TForm1::HiraganaAction, "\x83\x41", "\x82\xA0z", "1 文字をひらがなに変換しました"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Message);
    TForm1& form = Create();
    form.RyxEdit1->SetAllText(c.Before);
    form.RyxEdit1->GotoDocumentEnd();
    form.RyxEdit1->TypeText("z");
    (form.*c.Item)->trigger();
    EXPECT_EQ(Text(), c.After);
    EXPECT_EQ(form.StatusBar1->currentMessage().toStdString(), c.Message);
    std::vector<std::string> history{c.Before, c.Before + "z"};
    if (c.After != history.back()) history.push_back(c.After);
    for (std::size_t i = history.size() - 1; i > 0; --i) {
      form.EditActions->Undo->trigger();
      EXPECT_EQ(Text(), history[i - 1]);
    }
    EXPECT_FALSE(form.RyxEdit1->Modified());
    EXPECT_EQ(Title(), "新しいテキスト - Verselet 0.3");
    for (std::size_t i = 1; i < history.size(); ++i) {
      form.EditActions->Redo->trigger();
      EXPECT_EQ(Text(), history[i]);
    }
    EXPECT_EQ(Title(), "*新しいテキスト - Verselet 0.3");
  }
}

TEST_F(EditTest, CharactersWithoutAShiftJisFormAreShownAndTheUserMayCancel) {
  TForm1& form = Create();
  form.show();
  auto* host = static_cast<ControlHostWidget*>(form.centralWidget());
  const QString lossy = QString::fromUtf8("a\xF0\x9F\x8E\xB5\xC3\xA9\xF0\x9F\x8E\xB5");  // a, a note, é, a note
  struct TWay {
    const char* Name;
    std::function<void()> Run;
  };
  const std::vector<TWay> ways{
      {"paste",
       [&] {
         QGuiApplication::clipboard()->setText(lossy);
         form.EditActions->Paste->trigger();
       }},
      {"input method",
       [&] {
         QInputMethodEvent commit;
         commit.setCommitString(lossy);
         QApplication::sendEvent(host, &commit);
       }},
      {"Shift-JIS conversion",
       [&] {
         form.RyxEdit1->SetAllText(lossy.toStdString());
         form.ANSI1->trigger();
       }},
  };
  for (const TWay& way : ways) {
    SCOPED_TRACE(way.Name);
    form.RyxEdit1->SetAllText("");
    Dialogs.Questions.clear();
    Dialogs.Replies = {"キャンセル"};
    way.Run();
    const std::string kept = std::string(way.Name) == "Shift-JIS conversion" ? lossy.toStdString() : "";
    EXPECT_EQ(Text(), kept);
    ASSERT_EQ(Dialogs.Questions.size(), 1u);
    const QString question = Dialogs.Questions[0].Text;
    EXPECT_TRUE(question.contains(QString::fromUtf8("「\xF0\x9F\x8E\xB5」「\xC3\xA9」"))) << question.toStdString();
    EXPECT_TRUE(question.contains("全 3 文字")) << question.toStdString();
    EXPECT_EQ(Dialogs.Questions[0].DefaultButton, Dialogs.Questions[0].CancelButton);

    form.RyxEdit1->SetAllText("");
    Dialogs.Replies = {"続ける"};
    way.Run();
    EXPECT_EQ(Text(), "a???");
  }
  // Text that Shift-JIS holds is taken without a question.
  Dialogs.Questions.clear();
  form.RyxEdit1->SetAllText("");
  QGuiApplication::clipboard()->setText(QString::fromUtf8("\xE6\xAD\x8C"));
  form.EditActions->Paste->trigger();
  EXPECT_EQ(Text(), "\x89\xCC");
  EXPECT_TRUE(Dialogs.Questions.empty());
}

// Every way text comes in folds the look-alikes through the one table and tells how many it folded.
TEST_F(EditTest, LookAlikeCharactersAreFoldedOnEveryWayIn) {
  const auto [from, to] = LookAlikeText();
  const QString text = QString::fromStdU16String(from);
  const std::string utf8 = UnicodeToUtf8(from);
  const std::string utf16 = Utf16LeWithMark(from);
  TForm1& form = Create();
  form.show();
  QWidget* host = form.centralWidget();
  const auto open = [&](const std::string& name, const std::string& bytes) {
    Dir.WriteFile(name, bytes);
    Dialogs.Replies = {"変換して開く"};
    Dialogs.Answers.push_back({true, Path(name)});
    form.N6->trigger();
  };
  struct TWay {
    const char* Name;
    std::function<void()> Run;
  };
  const std::vector<TWay> ways{
      {"open UTF-8", [&] { open("utf8.txt", "\xEF\xBB\xBF" + utf8); }},
      {"open UTF-16", [&] { open("utf16.txt", utf16); }},
      {"paste",
       [&] {
         QGuiApplication::clipboard()->setText(text);
         form.EditActions->Paste->trigger();
       }},
      {"drop",
       [&] {
         QMimeData data;
         data.setText(text);
         QDragEnterEvent enter(QPoint(60, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QApplication::sendEvent(host, &enter);
         QDropEvent drop(QPointF(60, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QApplication::sendEvent(host, &drop);
         QCoreApplication::processEvents();
       }},
      {"input method",
       [&] {
         QInputMethodEvent commit;
         commit.setCommitString(text);
         QApplication::sendEvent(host, &commit);
       }},
      {"typing",
       [&] {
         QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
         QApplication::sendEvent(host, &press);
       }},
  };
  for (const TWay& way : ways) {
    SCOPED_TRACE(way.Name);
    form.RyxEdit1->ClearAll();
    form.StatusBar1->clearMessage();
    Dialogs.Questions.clear();
    way.Run();
    EXPECT_EQ(Text(), UnicodeToAnsi(to));
    EXPECT_EQ(form.StatusBar1->currentMessage().toStdString(), DescribeFolded(from.size()));
    EXPECT_LE(Dialogs.Questions.size(), 1u) << "only the question of the open, never the lossy one";
  }
}

// With a selection only the selection is converted, as one step that undo takes back.
TEST_F(EditTest, AConversionOfTheSelectionIsOneStep) {
  TForm1& form = Create();
  form.RyxEdit1->SetAllText("\x83\x41\x83\x43\r\n\x83\x45\x83\x47");  // アイ / ウエ
  form.RyxEdit1->SetSel(2, 0, 1, 2);
  form.HalfwidthAction->trigger();
  EXPECT_EQ(Text(), "\x83\x41\xB2\r\n\xB3\x83\x47");
  EXPECT_EQ(form.StatusBar1->currentMessage().toStdString(), "2 文字を半角に変換しました");
  form.EditActions->Undo->trigger();
  EXPECT_EQ(Text(), "\x83\x41\x83\x43\r\n\x83\x45\x83\x47");
}

}  // namespace
