// Tests of the find bar, go to line, the status fields and zoom in the main window.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>

#include "app/UnitFindBar.h"
#include "app/UnitStatusFields.h"
#include "platform/CodePage.h"
#include "tests/app/FormFixture.h"

namespace {

std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }

// The selection as (start line, start col, end line, end col).
std::array<int, 4> Selection(const TForm1& form) {
  int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
  form.RyxEdit1->GetSelBounds(startCol, startLine, endLine, endCol);
  return {startLine, startCol, endLine, endCol};
}

class SearchTest : public FormTest {
 protected:
  TForm1& CreateWith(const std::string& utf8) {
    TForm1& form = Create();
    form.show();
    form.RyxEdit1->SetAllText(Sjis(utf8));
    return form;
  }
  void Find(TForm1& form, const std::string& pattern, bool regex, bool replace = false) {
    (replace ? form.ReplaceAction : form.FindAction)->trigger();
    form.FindBar->FindEdit->setText(QString::fromStdString(pattern));
    form.FindBar->RegularExpression->setChecked(regex);
  }
  QString Message() const { return Form->StatusBar1->currentMessage(); }
};

TEST_F(SearchTest, FindSelectsWholeCharactersAndWrapsWithAMessage) {
  // "ー" is 0x81 0x5B; only the real brackets are found.
  TForm1& form = CreateWith("ラー[1]ー\r\nー[2]");
  Find(form, "[", false);
  EXPECT_TRUE(form.FindBar->isVisible());
  form.FindNextAction->trigger();
  EXPECT_EQ(Selection(form), (std::array<int, 4>{0, 4, 0, 5}));
  form.FindNextAction->trigger();
  EXPECT_EQ(Selection(form), (std::array<int, 4>{1, 2, 1, 3}));
  EXPECT_TRUE(Message().isEmpty());
  form.FindNextAction->trigger();
  EXPECT_EQ(Selection(form), (std::array<int, 4>{0, 4, 0, 5}));
  EXPECT_EQ(Message(), "文頭に戻って検索しました");
  form.FindPreviousAction->trigger();
  EXPECT_EQ(Selection(form), (std::array<int, 4>{1, 2, 1, 3}));
  EXPECT_EQ(Message(), "文末に戻って検索しました");

  Find(form, "\\[[0-9", true);
  form.FindNextAction->trigger();
  EXPECT_NE(Message().indexOf("を使えません"), -1) << Message().toStdString();
  EXPECT_TRUE(Exceptions.empty());
  Find(form, "ン", false);
  form.FindNextAction->trigger();
  EXPECT_EQ(Message(), "見つかりません: ン");
}

TEST_F(SearchTest, ReplaceAllIsOneUndoStepWithItsCount) {
  TForm1& form = CreateWith("[00:12]歌[01:02]ー\r\n[10:00]");
  const std::string before = Text();
  Find(form, "\\[(\\d+):(\\d+)\\]", true, true);
  form.FindBar->ReplaceEdit->setText("<$2-$1>");
  EXPECT_EQ(form.FindBar->ReplaceAll(), 3u);
  EXPECT_EQ(Text(), Sjis("<12-00>歌<02-01>ー\r\n<00-10>"));
  EXPECT_EQ(Message(), "3 個置換しました");
  EXPECT_TRUE(form.RyxEdit1->Modified());
  form.EditActions->Undo->trigger();
  EXPECT_EQ(Text(), before);
  EXPECT_FALSE(form.RyxEdit1->Modified());
}

TEST_F(SearchTest, ReplaceOneReplacesTheSelectedMatchThenFindsTheNext) {
  TForm1& form = CreateWith("abc ABC abc");
  Find(form, "abc", false, true);
  form.FindBar->MatchCase->setChecked(true);
  form.FindBar->ReplaceEdit->setText("$x");
  form.FindBar->ReplaceOne();  // only selects the first match
  EXPECT_EQ(Selection(form), (std::array<int, 4>{0, 0, 0, 3}));
  form.FindBar->ReplaceOne();
  EXPECT_EQ(Text(), "$x ABC abc");
  EXPECT_EQ(Selection(form), (std::array<int, 4>{0, 7, 0, 10}));
  form.EditActions->Undo->trigger();
  EXPECT_EQ(Text(), "abc ABC abc");
  // A replacement that Shift-JIS cannot hold changes nothing.
  form.FindBar->ReplaceEdit->setText(QString::fromUtf8("\xC3\xA9"));
  EXPECT_EQ(form.FindBar->ReplaceAll(), 0u);
  EXPECT_EQ(Text(), "abc ABC abc");
}

TEST_F(SearchTest, WidthOptionFindsBothForms) {
  TForm1& form = CreateWith("ｶﾞｲﾄﾞ\r\nガイド");
  Find(form, "ガイド", false);
  form.FindNextAction->trigger();
  EXPECT_EQ(Selection(form), (std::array<int, 4>{1, 0, 1, 6}));
  form.FindBar->IgnoreWidth->setChecked(true);
  form.FindNextAction->trigger();
  EXPECT_EQ(Selection(form), (std::array<int, 4>{0, 0, 0, 5}));
  EXPECT_EQ(Message(), "文頭に戻って検索しました");
}

TEST_F(SearchTest, GoToLineShowsTheRangeAndStaysWithinIt) {
  TForm1& form = CreateWith("one\r\ntwo\r\nthree");
  form.RyxEdit1->MoveCaretTo(0, 2);
  const struct {
    std::deque<int> Answer;  // none: cancelled
    int Row;
  } cases[] = {{{3}, 2}, {{}, 2}, {{2}, 1}, {{99}, 2}, {{-4}, 0}};
  for (const auto& c : cases) {
    Dialogs.Numbers = c.Answer;
    form.GotoLineAction->trigger();
    EXPECT_EQ(form.RyxEdit1->CaretLine(), c.Row);
    EXPECT_EQ(form.RyxEdit1->CaretCol(), 0);
  }
  ASSERT_FALSE(Dialogs.NumberLabels.empty());
  EXPECT_EQ(Dialogs.NumberLabels.back(), "行番号 (1 - 3):");
}

TEST_F(SearchTest, StatusFieldsFollowTheCaretModeAndState) {
  TForm1& form = CreateWith("ab\r\n\t歌x");
  const TStatusFields& fields = *form.StatusFields;
  form.RyxEdit1->MoveCaretTo(1, 3);
  EXPECT_EQ(fields.Position->text(), "2 行, 7 桁");  // a tab to cell 4, the double-byte character two more
  EXPECT_TRUE(fields.Selection->isHidden());
  form.RyxEdit1->SetSel(1, 0, 1, 3);
  EXPECT_EQ(fields.Selection->text(), "4 文字選択");
  EXPECT_FALSE(fields.Selection->isHidden());  // b, the line break, the tab, 歌
  EXPECT_EQ(fields.Mode->text(), "挿入");
  form.RyxEdit1->ToggleInsertMode();
  EXPECT_EQ(fields.Mode->text(), "上書");
  EXPECT_EQ(fields.Encoding->text(), "Shift-JIS");
  EXPECT_EQ(fields.LineBreak->text(), "CRLF");
  EXPECT_EQ(fields.State->text(), "");
  form.RyxEdit1->TypeText("z");
  EXPECT_EQ(fields.State->text(), "変更あり");
  // A tool's passing message still shows beside the fields.
  form.StatusBar1->showMessage("12 個のタイムタグを削除しました", 3000);
  EXPECT_EQ(form.StatusBar1->currentMessage(), "12 個のタイムタグを削除しました");
}

TEST_F(SearchTest, ZoomChangesTheFontForTheSessionOnly) {
  TForm1& form = CreateWith("歌詞");
  const int size = form.RyxEdit1->Font().Size();
  const int lineHeight = form.RyxEdit1->LineHeight();
  form.ZoomInAction->trigger();
  form.ZoomInAction->trigger();
  EXPECT_EQ(form.RyxEdit1->Font().Size(), size + 4);
  EXPECT_GT(form.RyxEdit1->LineHeight(), lineHeight);
  form.ZoomOutAction->trigger();
  EXPECT_EQ(form.RyxEdit1->Font().Size(), size + 2);
  form.ZoomResetAction->trigger();
  EXPECT_EQ(form.RyxEdit1->Font().Size(), size);
  EXPECT_EQ(form.RyxEdit1->LineHeight(), lineHeight);
  // Far past the smallest size, one step in is already larger again.
  for (int i = 0; i < 100; ++i) form.ZoomOutAction->trigger();
  const int smallest = form.RyxEdit1->Font().Size();
  form.ZoomInAction->trigger();
  EXPECT_GT(form.RyxEdit1->Font().Size(), smallest);

  // Zoomed when the window goes: the settings keep the size they gave.
  form.ZoomInAction->trigger();
  Form.reset();
  TForm1& again = Create();
  EXPECT_EQ(again.RyxEdit1->Font().Size(), size);
}

}  // namespace
