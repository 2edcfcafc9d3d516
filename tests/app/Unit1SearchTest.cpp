// Tests of the find bar, go to line, the status fields and zoom in the main window.
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QThread>

#include "app/UnitFindBar.h"
#include "app/UnitStatusFields.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"
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
  // Keys as the user types them into a field.
  static void Type(QWidget* field, const QString& text) {
    for (const QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QCoreApplication::sendEvent(field, &press);
    }
  }
  static void PressEnter(QWidget* field) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(field, &press);
  }
  // Lets the search as you type and its count run to their end.
  static void Settle(TForm1& form) {
    for (int i = 0; i < 2000 && form.FindBar->LiveWorkPending(); ++i) {
      QCoreApplication::processEvents();
      QThread::msleep(2);
    }
    ASSERT_FALSE(form.FindBar->LiveWorkPending());
  }
  // Pixels of the match frames' orange in the window.
  static int FramePixels(TForm1& form) {
    const QImage image = form.centralWidget()->grab().toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == QColor(0xFF, 0x80, 0x00);
    return n;
  }
};

// Stops long work at its first report.
class TStopAtOnce : public TWorkProgress {
 public:
  void Report(std::uint64_t, std::uint64_t) override { throw EAbort("stopped"); }
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

TEST_F(SearchTest, RunawayPatternIsStoppedWithAMessageAndChangesNothing) {
  TForm1& form = CreateWith("x\r\n" + std::string(40, 'a') + "b\r\ny");
  form.RyxEdit1->SetSel(0, 0, 0, 1);
  Find(form, "(a+)+$", true, true);
  form.FindBar->ReplaceEdit->setText("z");
  form.FindNextAction->trigger();
  EXPECT_EQ(Message(), "検索に時間がかかりすぎたため中止しました");
  EXPECT_EQ(Selection(form), (std::array<int, 4>{0, 0, 0, 1}));
  EXPECT_EQ(form.FindBar->ReplaceAll(), 0u);
  EXPECT_EQ(Message(), "検索に時間がかかりすぎたため中止しました");
  EXPECT_EQ(Text(), "x\r\n" + std::string(40, 'a') + "b\r\ny");
  EXPECT_FALSE(form.RyxEdit1->Modified());
  EXPECT_TRUE(Exceptions.empty());
}

TEST_F(SearchTest, ReplaceIsOneRangedStepInEitherModeAndReplaceAllCanBeStopped) {
  TForm1& form = CreateWith("ab\r\ncd ab\r\nab");
  Find(form, "ab", false, true);
  form.FindBar->ReplaceEdit->setText("歌");
  form.RyxEdit1->SetSel(3, 1, 1, 5);  // the second "ab"
  form.RyxEdit1->ToggleInsertMode();  // overwrite mode takes no more than the match
  form.FindBar->ReplaceOne();
  EXPECT_EQ(Text(), Sjis("ab\r\ncd 歌\r\nab"));
  EXPECT_FALSE(form.RyxEdit1->InsertMode());
  // An edit of the match's range, not a new text.
  ASSERT_FALSE(form.RyxEdit1->UndoList().empty());
  EXPECT_NE(form.RyxEdit1->UndoList().front().Kind, ukReplace);
  EXPECT_EQ(Selection(form), (std::array<int, 4>{2, 0, 2, 2}));
  form.EditActions->Undo->trigger();
  EXPECT_EQ(Text(), "ab\r\ncd ab\r\nab");
  EXPECT_FALSE(form.RyxEdit1->Modified());

  // Stopped at its first report, すべて置換 leaves the text as it was.
  std::string big;
  for (int i = 0; i < 40000; ++i) big += "[00:12.30] abc ab\r\n";
  form.RyxEdit1->SetAllText(big);
  Find(form, "ab", true, true);
  form.FindBar->ReplaceEdit->setText("<$&>");
  form.FindBar->MakeProgress = [](const QString&) { return std::make_unique<TStopAtOnce>(); };
  EXPECT_EQ(form.FindBar->ReplaceAll(), 0u);
  EXPECT_EQ(Message(), "中止しました");
  EXPECT_EQ(Text(), big);
  EXPECT_TRUE(form.RyxEdit1->UndoList().empty());
  // Run to its end, the new text goes in as one step in pieces.
  form.FindBar->MakeProgress = nullptr;
  EXPECT_EQ(form.FindBar->ReplaceAll(), 80000u);
  EXPECT_EQ(Text().size(), big.size() + 2 * 80000);
  EXPECT_EQ(Text().substr(0, 21), "[00:12.30] <ab>c <ab>");
  // Counted again in the new text: "<ab>" holds the pattern too.
  Settle(form);
  EXPECT_EQ(form.FindBar->CountLabel->text(), "80000 件");
  form.EditActions->Undo->trigger();
  EXPECT_EQ(Text(), big);
}

TEST_F(SearchTest, TypingSearchesFromWhereItBeganCountsAndFramesTheMatches) {
  TForm1& form = CreateWith("ab x ab\r\nab");
  form.resize(600, 400);
  form.RyxEdit1->MoveCaretTo(0, 3);
  form.FindAction->trigger();
  EXPECT_EQ(FramePixels(form), 0);
  Type(form.FindBar->FindEdit, "a");
  Type(form.FindBar->FindEdit, "b");
  Settle(form);
  EXPECT_EQ(Selection(form), (std::array<int, 4>{0, 5, 0, 7}));
  EXPECT_EQ(form.FindBar->CountLabel->text(), "2 / 3 件");
  EXPECT_GT(FramePixels(form), 0);
  PressEnter(form.FindBar->FindEdit);
  Settle(form);
  EXPECT_EQ(Selection(form), (std::array<int, 4>{1, 0, 1, 2}));
  EXPECT_EQ(form.FindBar->CountLabel->text(), "3 / 3 件");
  form.FindNextAction->trigger();
  Settle(form);
  EXPECT_EQ(form.FindBar->CountLabel->text(), "1 / 3 件");
  EXPECT_EQ(Message(), "文頭に戻って検索しました");
  // The count follows the text.
  form.RyxEdit1->MoveCaretTo(1, 2);
  form.RyxEdit1->TypeText("ab");
  Settle(form);
  EXPECT_EQ(form.FindBar->CountLabel->text(), "4 件");
  // A character more that nothing matches, then Esc: no frames are left.
  Type(form.FindBar->FindEdit, "z");
  Settle(form);
  EXPECT_EQ(form.FindBar->CountLabel->text(), "0 件");
  EXPECT_EQ(Message(), "見つかりません: abz");
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(form.FindBar, &escape);
  EXPECT_EQ(FramePixels(form), 0);
}

}  // namespace
