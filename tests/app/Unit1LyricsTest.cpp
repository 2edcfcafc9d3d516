// Tests of the lyrics workbench in the main window: the time-tag tools, the tag check panel and the player preview.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QListWidget>
#include <QTimer>
#include <QStatusBar>
#include <functional>
#include <iterator>
#include <optional>
#include <random>

#include "app/UnitPreviewPanel.h"
#include "app/UnitTagCheckPanel.h"
#include "platform/qt/ControlHostWidget.h"
#include "tests/app/FormFixture.h"

namespace {

using LyricsTest = FormTest;

TEST_F(LyricsTest, TagToolsRewriteEveryTagAsOneUndoStep) {
  TForm1& form = Create();
  const std::string original = "[ti:t]\r\n[00:00.50]a<00:01.00>b\r\n[00:02:00]c\r\n[00:03.250]d";
  form.RyxEdit1->SetAllText(original);
  struct TCase {
    QAction* action;
    double seconds;
    QString reply;
    std::string text;
    QString message;
  };
  const std::vector<TCase> cases = {
      {form.ShiftTagsAction, 1.5, {}, "[ti:t]\r\n[00:02.00]a<00:02.50>b\r\n[00:03:50]c\r\n[00:04.750]d",
       "タイムタグを 1.50 秒ずらしました (0 秒か最後の時刻で止めたタグ: 0 個)"},
      {form.ShiftTagsAction, -0.75, {}, "[ti:t]\r\n[00:00.00]a<00:00.25>b\r\n[00:01:25]c\r\n[00:02.500]d",
       "タイムタグを -0.75 秒ずらしました (0 秒か最後の時刻で止めたタグ: 1 個)"},
      {form.UnifyTagsAction, 0, "[mm:ss:xx]", "[ti:t]\r\n[00:00:50]a<00:01.00>b\r\n[00:02:00]c\r\n[00:03:25]d",
       "タイムタグを [mm:ss:xx] にそろえました"},
      {form.UnifyTagsAction, 0, "[mm:ss.xx]", "[ti:t]\r\n[00:00.50]a<00:01.00>b\r\n[00:02.00]c\r\n[00:03.25]d",
       "タイムタグを [mm:ss.xx] にそろえました"},
      {form.DeleteAllTagsAction, 0, {}, "[ti:t]\r\nab\r\nc\r\nd", "4 個のタイムタグを削除しました (すべての形式)"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.message.toStdString());
    Dialogs.Seconds.push_back(c.seconds);
    if (!c.reply.isEmpty()) Dialogs.Replies.push_back(c.reply);
    c.action->trigger();
    EXPECT_EQ(Text(), c.text);
    EXPECT_EQ(form.StatusBar1->currentMessage(), c.message);
    form.RyxEdit1->Undo();
    EXPECT_EQ(Text(), original);
    Dialogs.Seconds.clear();
  }
  // Cancelled boxes change nothing.
  form.ShiftTagsAction->trigger();
  Dialogs.Replies.push_back("キャンセル");
  form.UnifyTagsAction->trigger();
  EXPECT_EQ(Text(), original);
  EXPECT_FALSE(form.RyxEdit1->Modified());
  EXPECT_TRUE(Exceptions.empty());
}

TEST_F(LyricsTest, TheStatusCountFollowsTheRecheckAndAnotherFileClearsIt) {
  const auto other = Dir.WriteFile("other.lrc", "[00:01.00]x");
  TForm1& form = Create();
  form.RyxEdit1->SetAllText("[00:05.00]a\r\n[00:04.00]b");
  form.CheckTagsAction->trigger();
  EXPECT_EQ(form.StatusBar1->currentMessage(), "タイムタグの問題: 1 件");
  form.TagRecheckTimer->setInterval(0);
  form.RyxEdit1->MoveCaretTo(1, 0);
  form.RyxEdit1->TypeText("c\r\n");
  for (int i = 0; i < 5 && form.TagRecheckTimer->isActive(); ++i) QApplication::processEvents();
  ASSERT_EQ(form.TagCheckPanel->List()->count(), 2);
  EXPECT_EQ(form.StatusBar1->currentMessage(), "タイムタグの問題: 2 件");
  form.RyxEdit1->SetAllText("[00:05.00]a\r\n[00:06.00]b");
  for (int i = 0; i < 5 && form.TagRecheckTimer->isActive(); ++i) QApplication::processEvents();
  EXPECT_EQ(form.StatusBar1->currentMessage(), "タイムタグに問題は見つかりませんでした");
  Dialogs.Replies = {"保存しない"};
  Drop(form, {FileUrl(other)});
  EXPECT_TRUE(form.StatusBar1->currentMessage().isEmpty());
}

TEST_F(LyricsTest, TheCheckPanelListsProblemsAndTakesTheCaretToThem) {
  TForm1& form = Create();
  form.RyxEdit1->SetAllText("[00:05.00]a\r\n[00:04.00]b\r\nc\r\n\r\n[1:2:3]d\r\n[offset:x]");
  form.CheckTagsAction->trigger();
  QListWidget* list = form.TagCheckPanel->List();
  std::vector<int> lines;
  for (int i = 0; i < list->count(); ++i) {
    lines.push_back(list->item(i)->data(Qt::UserRole).toInt());
    EXPECT_TRUE(list->item(i)->text().startsWith(QString("%1 行目: ").arg(lines.back())));
  }
  EXPECT_EQ(lines, (std::vector<int>{2, 3, 5, 6}));
  EXPECT_EQ(form.StatusBar1->currentMessage(), "タイムタグの問題: 4 件");

  emit list->itemDoubleClicked(list->item(2));
  EXPECT_EQ(form.RyxEdit1->CaretLine(), 4);
  EXPECT_EQ(form.RyxEdit1->CaretCol(), 0);

  form.RyxEdit1->SetAllText("[00:01.00]a\r\n[00:02.00]b");
  form.CheckTagsAction->trigger();
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(list->item(0)->text(), "タイムタグに問題は見つかりませんでした");
  // The message line is no problem: a double click leaves the caret.
  form.RyxEdit1->MoveCaretTo(1, 3);
  emit list->itemDoubleClicked(list->item(0));
  EXPECT_EQ(form.RyxEdit1->CaretLine(), 1);
  EXPECT_TRUE(Exceptions.empty());
}

TEST_F(LyricsTest, TheCheckPanelFollowsTheEditsOrSaysItIsOutOfDate) {
  TForm1& form = Create();
  form.RyxEdit1->SetAllText("[00:05.00]a\r\n[00:04.00]b\r\n[00:04.00]c");
  form.CheckTagsAction->trigger();
  QListWidget* list = form.TagCheckPanel->List();
  auto firstLine = [list] { return list->item(0)->data(Qt::UserRole).toInt(); };
  ASSERT_EQ(firstLine(), 2);
  list->setCurrentRow(1);
  auto pressEnterAtStart = [&form] {
    form.RyxEdit1->MoveCaretTo(0, 0);
    form.RyxEdit1->Perform(WM_KEYDOWN, VK_RETURN, 0);
  };
  // A line put in above the problem moves it down once the typing pauses.
  pressEnterAtStart();
  for (QElapsedTimer waited; firstLine() != 3 && waited.elapsed() < 5000;) QApplication::processEvents();
  EXPECT_EQ(firstLine(), 3);
  EXPECT_EQ(list->currentRow(), 1);  // still on the entry the user chose
  EXPECT_FALSE(form.TagCheckPanel->OutOfDate());

  // A check too slow to run at every pause leaves the list greyed, and its
  // entries no longer take the caret to a line that has moved.
  form.LiveTagCheckLimit = std::chrono::milliseconds(-1);
  pressEnterAtStart();
  EXPECT_TRUE(form.TagCheckPanel->OutOfDate());
  EXPECT_FALSE(list->isEnabled());
  emit list->itemDoubleClicked(list->item(0));
  EXPECT_EQ(form.RyxEdit1->CaretLine(), 1);
  form.CheckTagsAction->trigger();
  EXPECT_FALSE(form.TagCheckPanel->OutOfDate());
  EXPECT_EQ(firstLine(), 4);
  EXPECT_TRUE(Exceptions.empty());
}

TEST_F(LyricsTest, ThePreviewFollowsTheCaretAndTheEdits) {
  TForm1& form = Create();
  form.show();
  form.RyxEdit1->SetAllText("[00:01.00]abc\r\n[00:02.00]\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB\x82\xAD"
                            "\x82\xAF\x82\xB1\x82\xB3\x82\xB5\x82\xB7\x82\xB9\x82\xBB\x82\xBD\x82\xBF\x82\xC1\x82\xC4\x82\xC6"
                            "\x82\xC8\x82\xC9\x82\xCA\x82\xCB\x82\xCC");
  form.PreviewAction->trigger();
  QApplication::processEvents();
  auto shown = [&form] {
    // The panel widens to the widest heading it has drawn; the layout settles first.
    form.PreviewPanel->View()->grab();
    QApplication::processEvents();
    return form.PreviewPanel->View()->grab().toImage();
  };
  form.RyxEdit1->MoveCaretTo(1, 0);
  shown();
  form.RyxEdit1->MoveCaretTo(0, 0);
  const QImage first = shown();
  form.RyxEdit1->MoveCaretTo(1, 0);
  const QImage second = shown();
  EXPECT_NE(second, first);
  form.RyxEdit1->MoveCaretTo(1, 10);
  form.RyxEdit1->TypeText("x");
  EXPECT_NE(shown(), second);
  form.RyxEdit1->Undo();
  EXPECT_EQ(shown(), second);
  form.RyxEdit1->MoveCaretTo(0, 2);
  EXPECT_EQ(shown(), first);
  EXPECT_TRUE(Exceptions.empty());
}

// The panel is painted again exactly when what it shows changed: the line
// shown (the caret's, or the sung line while a song plays), its text, its
// number. A key on another line leaves it as it is.
TEST_F(LyricsTest, ThePreviewIsPaintedAgainOnlyWhenWhatItShowsChanged) {
  TForm1& form = Create();
  form.show();
  form.RyxEdit1->SetAllText("[00:01.00]one\r\n[00:02.00]two\r\n[00:03.00]three\r\nfour");
  form.SetPreviewShown(true);
  QApplication::processEvents();
  struct TPaints : QObject {
    int Count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) ++Count;
      return false;
    }
  } paints;
  form.PreviewPanel->View()->installEventFilter(&paints);
  std::optional<int> sung;
  form.PreviewPanel->View()->SungLine = [&sung] { return sung; };
  struct TCase {
    const char* Name;
    std::function<void()> Act;
    bool Painted;
  };
  TRyxEdit& edit = *form.RyxEdit1;
  const std::vector<TCase> cases = {
      {"the caret to another line", [&] { edit.MoveCaretTo(1, 0); }, true},
      {"the caret along its line", [&] { edit.MoveCaretTo(1, 5); }, false},
      {"a key on the caret's line", [&] { edit.TypeText("x"); }, true},
      {"a line break above the caret: its number", [&] {
         edit.MoveCaretTo(0, 0);
         edit.TypeText("\r\n");
         edit.MoveCaretTo(2, 0);
       }, true},
      {"a song: its sung line shown", [&] {
         sung = 0;
         form.PreviewPanel->View()->Refresh();
       }, true},
      {"a key on a line not sung", [&] { edit.TypeText("y"); }, false},
      {"the caret to another line not sung", [&] { edit.MoveCaretTo(3, 0); }, false},
      {"a key on the sung line", [&] {
         edit.MoveCaretTo(0, 0);
         edit.TypeText("z");
       }, true},
      {"the song on to the next line", [&] {
         sung = 2;
         form.PreviewPanel->View()->Refresh();
       }, true},
      {"the song stopped: the caret's line again", [&] {
         sung.reset();
         form.PreviewPanel->View()->Refresh();
       }, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    paints.Count = 0;
    c.Act();
    QApplication::processEvents();
    EXPECT_EQ(paints.Count > 0, c.Painted);
  }
  form.PreviewPanel->View()->SungLine = nullptr;
  // Rewrapped under a caret on the last row: the change is reported before
  // the caret finds its new row, and the panel reads the caret's line after.
  edit.TypeText(std::string(40, 'w'));
  form.N18->trigger();
  edit.MoveCaretTo(edit.Lines().Count() - 1, 0);
  form.N18->trigger();
  QApplication::processEvents();
  EXPECT_TRUE(Exceptions.empty());
}

// Whatever the keys do to the text, the caret, the selection and the view,
// the editor's pixels with their guides and overflow marks are what a whole
// repaint draws: each change redraws the decorations of the rows it painted.
TEST_F(LyricsTest, AfterEachKeyTheEditorShowsWhatAWholeRepaintDraws) {
  TForm1& form = Create();
  form.resize(700, 400);
  form.show();
  std::string text;
  for (int line = 1; line <= 60; ++line)
    text += "[00:" + std::to_string(10 + line) + ".00]" + std::string(static_cast<std::size_t>(line % 7) * 6, 'w') +
            "\r\n";
  form.RyxEdit1->SetAllText(text);
  form.SetPreviewShown(true);
  auto* host = static_cast<ControlHostWidget*>(form.centralWidget());
  host->setFocus();
  QApplication::processEvents();
  struct TKey {
    int Key;
    Qt::KeyboardModifiers Modifiers;
    const char* Text;
  };
  const TKey keys[] = {
      {Qt::Key_Down, Qt::NoModifier, ""},        {Qt::Key_Up, Qt::NoModifier, ""},
      {Qt::Key_PageDown, Qt::NoModifier, ""},    {Qt::Key_PageUp, Qt::NoModifier, ""},
      {Qt::Key_End, Qt::NoModifier, ""},         {Qt::Key_Home, Qt::NoModifier, ""},
      {Qt::Key_Return, Qt::NoModifier, "\r"},    {Qt::Key_Backspace, Qt::NoModifier, ""},
      {Qt::Key_Delete, Qt::NoModifier, ""},      {Qt::Key_A, Qt::NoModifier, "a"},
      {Qt::Key_Down, Qt::ShiftModifier, ""},     {Qt::Key_End, Qt::ShiftModifier, ""},
      {Qt::Key_Z, Qt::ControlModifier, ""},      {Qt::Key_End, Qt::ControlModifier, ""},
      {Qt::Key_Home, Qt::ControlModifier, ""},
  };
  std::mt19937 random(7);
  for (int step = 0; step < 160; ++step) {
    const TKey& key = keys[random() % std::size(keys)];
    QKeyEvent press(QEvent::KeyPress, key.Key, key.Modifiers, QString::fromLatin1(key.Text));
    QApplication::sendEvent(host, &press);
    QKeyEvent release(QEvent::KeyRelease, key.Key, key.Modifiers, QString::fromLatin1(key.Text));
    QApplication::sendEvent(host, &release);
    QApplication::processEvents();
    const QImage shown = host->canvas().pixmap().toImage();
    host->InvalidateRect(nullptr);
    host->grab();
    ASSERT_EQ(shown, host->canvas().pixmap().toImage()) << "step " << step << ", key " << key.Key;
  }
  EXPECT_TRUE(Exceptions.empty());
}

TEST_F(LyricsTest, ThePreviewCountsOverflowingLinesAsTheTextChangesAndIsRemembered) {
  Dir.WriteFile("verselet.ini", "[Verselet 0.3]\nShowPreview=0\n");
  {
    TForm1& form = Create();
    form.show();
    form.DeviceSettings().HalfCount = 4;
    form.DeviceSettings().LineCount = 1;
    form.RyxEdit1->SetAllText("abcd\r\n[00:01.00]abcd\r\nabcdef");
    EXPECT_EQ(form.OverflowLineCount(), 0);
    form.PreviewAction->trigger();
    EXPECT_TRUE(form.PreviewShown());
    EXPECT_TRUE(form.PreviewPanel->isVisible());
    EXPECT_TRUE(form.PreviewAction->isChecked());
    EXPECT_EQ(form.OverflowLineCount(), 1);
    form.RyxEdit1->MoveCaretTo(0, 4);
    form.RyxEdit1->TypeText("e");
    EXPECT_EQ(form.OverflowLineCount(), 2);
    form.RyxEdit1->Undo();
    EXPECT_EQ(form.OverflowLineCount(), 1);
    // A new display is measured anew.
    form.DeviceSettings().HalfCount = 16;
    EXPECT_EQ(form.OverflowLineCount(), 0);
    // A long text is counted a step at a time between the events: its count is told once it is whole.
    std::string longText;
    for (int i = 0; i < 20000; ++i) longText += "abcdefghijklmnopq\r\nabc\r\n";
    form.RyxEdit1->SetAllText(longText);
    EXPECT_EQ(form.OverflowLineCount(), std::nullopt);
    for (int i = 0; i < 100 && !form.OverflowLineCount(); ++i) QApplication::processEvents();
    EXPECT_EQ(form.OverflowLineCount(), 20000);
    // The panel's own close box switches the preview off.
    form.PreviewPanel->close();
    EXPECT_FALSE(form.PreviewShown());
    EXPECT_FALSE(form.PreviewAction->isChecked());
    form.PreviewAction->trigger();
    // Closing the window is not closing the panel: the preview stays on for the next start.
    form.close();
    EXPECT_TRUE(form.PreviewShown());
    Form.reset();
  }
  EXPECT_NE(TTempDir::ReadFile(IniPath()).find("ShowPreview=1"), std::string::npos);
  TForm1& again = Create();
  EXPECT_TRUE(again.PreviewShown());
  EXPECT_TRUE(again.PreviewAction->isChecked());
  EXPECT_TRUE(Exceptions.empty());
}

TEST_F(LyricsTest, UncountedTagsWrapWhereThePlayerBreaksAndAreRemembered) {
  {
    TForm1& form = Create();
    form.show();
    EXPECT_FALSE(form.CountTagsAction->isChecked());
    EXPECT_EQ(form.RyxEdit1->ColumnCounting(), nullptr);
    form.DeviceSettings().HalfCount = 10;
    form.N18->trigger();
    form.RyxEdit1->SetAllText("[00:01.00]<00:01.00>abcde<00:02.00>fghij<00:03.00>klm\r\n[ti:a title longer than ten]");
    form.CountTagsAction->trigger();
    std::vector<std::string> rows;
    for (int i = 0; i < form.RyxEdit1->Lines().Count(); ++i) rows.emplace_back(form.RyxEdit1->Lines().Get(i));
    EXPECT_EQ(rows, (std::vector<std::string>{"[00:01.00]<00:01.00>abcde<00:02.00>fghij", "<00:03.00>klm\r\n",
                                              std::string("[ti:a title longer than ten]\0\0", 30)}));
    form.close();
    Form.reset();
  }
  EXPECT_NE(TTempDir::ReadFile(IniPath()).find("SkipTags=1"), std::string::npos);
  TForm1& again = Create();
  EXPECT_TRUE(again.CountTagsAction->isChecked());
  EXPECT_NE(again.RyxEdit1->ColumnCounting(), nullptr);
  EXPECT_TRUE(Exceptions.empty());
}

TEST_F(LyricsTest, CheckPanelHoldsTheFirstProblemsAndTheirNumber) {
  TForm1& form = Create();
  std::string text;
  for (int i = 0; i < 10050; ++i) text += "[00:61.00]x\r\n";
  form.RyxEdit1->SetAllText(text);
  form.CheckTagsAction->trigger();
  QListWidget* list = form.TagCheckPanel->List();
  ASSERT_EQ(list->count(), 10001);
  EXPECT_EQ(list->item(10000)->text(), "問題は全部で 10050 件あります (最初の 10000 件を表示しています)");
  EXPECT_EQ(form.StatusBar1->currentMessage(), "タイムタグの問題: 10050 件");
}

}  // namespace
