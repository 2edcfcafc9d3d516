// Tests of the tool commands and the display guides as the main window runs them.
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QStatusBar>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/UnitStatusFields.h"
#include "app/core/DisplayGuides.h"
#include "platform/qt/ControlHostWidget.h"
#include "tests/app/FormFixture.h"

namespace {

using ToolsTest = FormTest;

TEST_F(ToolsTest, TagAndLineCommandsTransformTheWholeText) {
  TForm1& form = Create();
  form.RyxEdit1->SetAllText("[00:12:34]\x89\xCC[00:13:00]x\r\n \x81\x40\r\n[00:01:00]a[00:01:50]b");
  form.N16->trigger();
  EXPECT_EQ(Text(), "[00:12:34]\x89\xCCx\r\n \x81\x40\r\n[00:01:00]ab");
  form.N9->trigger();
  EXPECT_EQ(Text(), "\x89\xCCx\r\n \x81\x40\r\nab");
  form.N10->trigger();
  EXPECT_EQ(Text(), "\x89\xCCx\r\nab\r\n");
  EXPECT_TRUE(Exceptions.empty());
}

// Each tool is one step: undo takes it back to the bytes before it, redo
// makes it again, and the modified state follows.
TEST_F(ToolsTest, EachToolIsOneStepThatUndoAndRedoReplay) {
  TForm1& form = Create();
  form.RyxEdit1->SetAllText("[00:12:34]\x89\xCC[00:13:00]x\r\n \x81\x40\r\n[00:01:00]a[00:01:50]b");
  std::vector<std::string> texts{Text()};
  for (QAction* tool : {form.N16, form.N9, form.N10, form.UTF81}) {
    tool->trigger();
    texts.push_back(Text());
    EXPECT_NE(texts.back(), texts[texts.size() - 2]);
  }
  for (std::size_t i = texts.size() - 1; i > 0; --i) {
    form.RyxEdit1->Undo();
    EXPECT_EQ(Text(), texts[i - 1]);
  }
  EXPECT_FALSE(form.RyxEdit1->Modified());
  for (std::size_t i = 1; i < texts.size(); ++i) {
    form.RyxEdit1->Redo();
    EXPECT_EQ(Text(), texts[i]);
  }
  EXPECT_TRUE(form.RyxEdit1->Modified());
  EXPECT_TRUE(Exceptions.empty());
}

// The logical line that holds a row of the editor, without its line break.
std::string LineOfRow(const TRyxEdit& edit, int row) {
  const TLogicalPos at = edit.ToLogical({row, 0});
  std::string text = edit.GetAllText() + "\r\n";
  std::size_t start = 0;
  for (int line = 0; line < at.Line; ++line) start = text.find("\r\n", start) + 2;
  return text.substr(start, text.find("\r\n", start) - start);
}

// The word (w123) of the first line from a row on that has one: a blank line has none.
std::string WordFromRow(const TRyxEdit& edit, int row) {
  for (; row < edit.Lines().Count(); ++row) {
    const std::string line = LineOfRow(edit, row);
    const std::size_t w = line.find('w');
    if (w != std::string::npos) return line.substr(w, 4);
  }
  return {};
}

// Each whole-text tool keeps the caret on the line of text it was on and
// the view on the same lines, though lines before them change or go; undo
// and redo put the caret and the view back where the step found and left them.
TEST_F(ToolsTest, EachWholeTextToolKeepsTheCaretAndTheViewOnTheirText) {
  TForm1& form = Create();
  form.SetClientWidth(600);
  form.SetClientHeight(300);
  form.show();
  QApplication::processEvents();
  TRyxEdit& edit = *form.RyxEdit1;
  std::string text;
  for (int i = 0; i < 200; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "[00:%02d:10]w%03d[00:%02d:50]\x89\xCC\r\n%s", i % 60, i, i % 60, i % 4 == 0 ? "\r\n" : "");
    text += line;
  }
  const std::vector<std::pair<const char*, void (TForm1::*)()>> tools{
      {"karaoke tags", &TForm1::N16Click},  {"useless lines", &TForm1::N10Click},
      {"unify tags", &TForm1::UnifyTagsClick}, {"time tags", &TForm1::N9Click},
      {"to UTF-8", &TForm1::UTF81Click},     {"all tags", &TForm1::DeleteAllTagsClick}};
  for (const auto& [name, tool] : tools) {
    SCOPED_TRACE(name);
    // Each tool meets the same text, in which it has work to do.
    edit.SetAllText(text);
    Dialogs.Replies = {"[mm:ss.xx]"};
    edit.MoveCaretTo(edit.ToDisplay({150, 0}).Line, 4);
    QApplication::processEvents();
    const std::string word = WordFromRow(edit, edit.CaretLine());
    const std::string topWord = WordFromRow(edit, edit.TopLine());
    ASSERT_FALSE(word.empty() || topWord.empty());
    const TLogicalPos caret = edit.ToLogical({edit.CaretLine(), edit.CaretCol()});
    const TLogicalPos top = edit.ToLogical({edit.TopLine(), 0});
    ASSERT_GT(top.Line, 100) << "the view follows the caret down the text";
    const std::string before = Text();
    (form.*tool)();
    ASSERT_NE(Text(), before) << "the tool changed the text";
    // The word of the caret's line is on it after the tool as before it, and the top of the view on the same words.
    EXPECT_NE(LineOfRow(edit, edit.CaretLine()).find(word), std::string::npos) << LineOfRow(edit, edit.CaretLine());
    EXPECT_EQ(WordFromRow(edit, edit.TopLine()), topWord);
    const TLogicalPos caretAfter = edit.ToLogical({edit.CaretLine(), edit.CaretCol()});
    const TLogicalPos topAfter = edit.ToLogical({edit.TopLine(), 0});
    edit.Undo();
    EXPECT_EQ(Text(), before);
    EXPECT_EQ(edit.ToLogical({edit.CaretLine(), edit.CaretCol()}), caret);
    EXPECT_EQ(edit.ToLogical({edit.TopLine(), 0}), top);
    edit.Redo();
    EXPECT_EQ(edit.ToLogical({edit.CaretLine(), edit.CaretCol()}), caretAfter);
    EXPECT_EQ(edit.ToLogical({edit.TopLine(), 0}), topAfter);
  }
  EXPECT_TRUE(Exceptions.empty());
}

TEST_F(ToolsTest, EncodingCommandsRoundTripAndRefuseTextNotInTheirEncoding) {
  TForm1& form = Create();
  form.RyxEdit1->SetAllText("\x89\xCC\x8E\x8C abc");
  form.UTF81->trigger();
  EXPECT_EQ(Text(), "\xE6\xAD\x8C\xE8\xA9\x9E abc");
  form.ANSI1->trigger();
  EXPECT_EQ(Text(), "\x89\xCC\x8E\x8C abc");
  EXPECT_TRUE(Exceptions.empty());

  // Shift-JIS text is no UTF-8: the text stays and the reason is shown.
  form.ANSI1->trigger();
  EXPECT_EQ(Text(), "\x89\xCC\x8E\x8C abc");
  ASSERT_EQ(Exceptions.size(), 1u);
  EXPECT_FALSE(Exceptions[0].empty());
}

// The colour of a pixel of the editor's client area as last painted.
QColor ClientPixel(TForm1& form, int x, int y) {
  auto* host = static_cast<ControlHostWidget*>(form.centralWidget());
  const QImage image = host->grab().toImage();
  return image.pixelColor(host->clientRect().topLeft() + QPoint(x, y));
}

TEST_F(ToolsTest, GuidesAreDrawnAfterEachDisplayLineAndMoveWithTheTagColumn) {
  TForm1& form = Create();
  form.SetClientWidth(900);
  form.show();
  QApplication::processEvents();
  TRyxEdit& edit = *form.RyxEdit1;
  const int space = edit.Canvas().TextWidth(" ");
  const int x1 = edit.TextLeft();
  const int y = edit.TopMargin() + 40;
  const QColor grey(187, 187, 187);
  const QColor pink(255, 204, 204);
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(ClientPixel(form, x1 + 16 * k * space - 1, y), grey) << k;
  EXPECT_NE(ClientPixel(form, x1 + 10 * space - 1, y), pink);

  form.N13->trigger();
  QApplication::processEvents();
  EXPECT_TRUE(form.DeviceSettings().ShowTagLine);
  EXPECT_TRUE(form.N13->isChecked());
  EXPECT_EQ(ClientPixel(form, x1 + 10 * space - 1, y), pink);
  EXPECT_EQ(ClientPixel(form, x1 + 10 * space + 16 * space - 1, y), grey);

  form.N13->trigger();
  EXPECT_FALSE(form.DeviceSettings().ShowTagLine);
  EXPECT_FALSE(form.N13->isChecked());
}

// "プレーヤー向けに整える": the dialog shows what each choice will change
// and what will still overflow, counted anew when a choice changes; going
// on is one step that Undo takes back, and the caret keeps its line.
TEST_F(ToolsTest, PrepareShowsItsSummaryThenActsAsOneStep) {
  TForm1& form = Create();
  form.DeviceSettings().HalfCount = 4;
  form.DeviceSettings().LineCount = 1;
  const std::string before =
      "[offset:+500]\r\n[ti:t]\r\n[00:01:00][00:09.00]ab<00:01.50>cd\r\n[00:05.00]abcdefgh\r\n[00:00.20]x";
  form.RyxEdit1->SetAllText(before);
  form.RyxEdit1->MoveCaretTo(3, 2);
  Dialogs.PrepareReplies.push_back(TPrepareOptions{true, true, true, true});
  Dialogs.PrepareEncoding = TSaveEncoding::Utf8WithBom;
  form.PrepareAction->trigger();
  // The encoding chosen is the one the text will be saved in.
  EXPECT_EQ(form.StatusFields->Encoding->text().toStdString(), "UTF-8 (BOM 付き)");
  ASSERT_EQ(Dialogs.PrepareSummaries.size(), 2u);
  // As the dialog opens (ID lines kept), then with the reply's choices.
  EXPECT_EQ(Dialogs.PrepareSummaries[0].toStdString(),
            "次のように整えます:\n・繰り返しの行を書き出す: 1 行\n"
            "・[offset:500] を適用して削除: 4 個のタグ (うち 1 個は 0 秒 (か表せる最後の時刻) で止める)\n"
            "・ワードタグを削除: 1 個\n・タグを mm:ss.xx に: 1 個\n・表示に収まらない行: 1 (3 行目)");
  EXPECT_EQ(Dialogs.PrepareSummaries[1].toStdString(),
            "次のように整えます:\n・繰り返しの行を書き出す: 1 行\n"
            "・[offset:500] を適用して削除: 4 個のタグ (うち 1 個は 0 秒 (か表せる最後の時刻) で止める)\n"
            "・ワードタグを削除: 1 個\n・タグを mm:ss.xx に: 1 個\n・ID タグの行を削除: 1 行\n"
            "・表示に収まらない行: 1 (2 行目)");
  const std::string prepared = "[00:00.50]abcd\r\n[00:04.50]abcdefgh\r\n[00:00.00]x\r\n[00:08.50]abcd";
  EXPECT_EQ(Text(), prepared);
  EXPECT_EQ(form.RyxEdit1->CaretLine(), 3);
  EXPECT_EQ(form.RyxEdit1->CaretCol(), 0);
  EXPECT_TRUE(form.StatusBar1->currentMessage().startsWith("プレーヤー向けに整えました: 繰り返しの行を書き出す: 1 行、"));
  form.RyxEdit1->Undo();
  EXPECT_EQ(Text(), before);
  form.RyxEdit1->Redo();
  EXPECT_EQ(Text(), prepared);

  // Cancelled, nothing changes; an [offset:] after a tag is said in the summary, and the text stays.
  form.RyxEdit1->SetAllText("[00:01.00]a\r\n[offset:100]");
  form.PrepareAction->trigger();
  EXPECT_EQ(Dialogs.PrepareSummaries.back().toStdString(),
            "整えられません: 2 行目: [offset:] はタイムタグのある行より前に置いてください");
  EXPECT_EQ(Text(), "[00:01.00]a\r\n[offset:100]");
  EXPECT_TRUE(Exceptions.empty());
}

}  // namespace
