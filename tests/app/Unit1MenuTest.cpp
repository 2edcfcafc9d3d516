// Tests of the main window's menu tree, shortcuts, hidden items and status bar.
#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>

#include "tests/app/FormFixture.h"

namespace {

// Captions of a menu's items; a separator shows as "-", a hidden item in brackets.
std::vector<std::string> Items(const QWidget* menu) {
  std::vector<std::string> items;
  for (const QAction* action : menu->actions()) {
    std::string item = action->isSeparator() ? "-" : action->text().toStdString();
    items.push_back(action->isVisible() ? item : "[" + item + "]");
  }
  return items;
}

using MenuTest = FormTest;

TEST_F(MenuTest, MenuTreeHasItsCaptionsInOrder) {
  TForm1& form = Create();
  using V = std::vector<std::string>;
  EXPECT_EQ(Items(form.menuBar()),
            (V{"ファイル(&F)", "編集(&E)", "検索(&S)", "表示(&V)", "ツール(&T)", "オプション(&O)", "ヘルプ(&H)"}));
  EXPECT_EQ(Items(form.SearchMenu),
            (V{"検索(&F)...", "次を検索(&N)", "前を検索(&P)", "置換(&R)...", "-", "行へ移動(&G)..."}));
  EXPECT_EQ(Items(form.ViewMenu), (V{"拡大(&I)", "縮小(&O)", "元のサイズ(&R)"}));
  EXPECT_EQ(Items(form.EditMenu), (V{"元に戻す(&U)", "やり直し(&R)", "-", "切り取り(&T)", "コピー(&C)", "貼り付け(&P)",
                                     "削除(&D)", "-", "すべて選択(&A)"}));
  EXPECT_EQ(Items(form.N1),
            (V{"新規(&N)", "開く(&O)", "上書き保存", "名前を付けて保存", "[-]", "[文字コード指定]", "-", "終了(&E)"}));
  EXPECT_EQ(Items(form.N15), (V{"Shift-JIS", "UTF8"}));
  EXPECT_EQ(Items(form.T1), (V{"タイムタグをすべて削除", "行頭以外のカラオケタグを削除", "-", "無駄な行を削除", "-",
                               "タイムタグを検査", "タイムタグをずらす...", "タグ形式を統一",
                               "すべての形式のタイムタグを削除", "-", "半角に変換", "全角に変換", "カタカナに変換",
                               "ひらがなに変換"}));
  EXPECT_EQ(Items(form.N3), (V{"タグあり", "折り返し", "ウィンドウ幅で折り返す", "プレビュー", "-", "設定"}));

  EXPECT_EQ(form.N14, form.N1->actions()[4]);
  EXPECT_EQ(form.N15->menuAction(), form.N1->actions()[5]);
  EXPECT_EQ(form.N2, form.menuBar()->actions()[6]);
  EXPECT_EQ(form.N2->menu(), nullptr);
  EXPECT_TRUE(form.N13->isCheckable());
  EXPECT_FALSE(form.N13->isChecked());
  EXPECT_TRUE(form.N18->isCheckable());
  EXPECT_FALSE(form.N18->isChecked());
}

TEST_F(MenuTest, WrapItemWrapsAtThePlayersLineWidth) {
  TForm1& form = Create();
  form.DeviceSettings().HalfCount = 12;
  form.RyxEdit1->SetAllText(std::string(30, 'a'));
  form.N18->trigger();
  EXPECT_TRUE(form.N18->isChecked());
  EXPECT_TRUE(form.RyxEdit1->WordWrap());
  EXPECT_EQ(std::string(form.RyxEdit1->Lines().Get(0)), std::string(12, 'a'));
  EXPECT_EQ(form.RyxEdit1->GetAllText(), std::string(30, 'a'));
  form.N18->trigger();
  EXPECT_FALSE(form.N18->isChecked());
  EXPECT_EQ(form.RyxEdit1->Lines().Count(), 1);
}

TEST_F(MenuTest, WindowWidthItemBreaksTheRowsAtTheEdgeWhenThePlayersLineIsWider) {
  TForm1& form = Create();
  form.show();
  form.DeviceSettings().HalfCount = 400;
  const std::string text(1000, 'a');
  form.RyxEdit1->SetAllText(text);
  form.N18->trigger();
  ASSERT_EQ(form.RyxEdit1->Lines().Get(0).size(), 400u);
  form.N19->trigger();
  EXPECT_TRUE(form.N19->isChecked());
  const std::size_t atEdge = form.RyxEdit1->Lines().Get(0).size();
  EXPECT_LT(atEdge, 400u);
  EXPECT_GE(atEdge, 10u);
  EXPECT_EQ(form.RyxEdit1->GetAllText(), text);
  form.N19->trigger();
  EXPECT_FALSE(form.N19->isChecked());
  EXPECT_EQ(form.RyxEdit1->Lines().Get(0).size(), 400u);
}

TEST_F(MenuTest, TheEditorsPopupMenuHoldsTheEditActionsAndOpensAtTheRightPressLeavingTheSelection) {
  TForm1& form = Create();
  auto commands = [](const QMenu* menu) {
    QList<QAction*> actions = menu->actions();
    actions.removeIf([](const QAction* action) { return action->isSeparator(); });
    return actions;
  };
  EXPECT_EQ(commands(form.PopupMenu1), commands(form.EditMenu));
  EXPECT_EQ(Items(form.PopupMenu1), Items(form.EditMenu));

  form.show();
  form.RyxEdit1->SetAllText("first line\r\nsecond");
  form.RyxEdit1->SetSel(1, 0, 0, 5);
  QWidget* editor = form.centralWidget();
  const QPoint at(60, 30);
  QMouseEvent press(QEvent::MouseButtonPress, at, editor->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QApplication::sendEvent(editor, &press);
  EXPECT_TRUE(form.PopupMenu1->isVisible());
  EXPECT_LT((form.PopupMenu1->pos() - editor->mapToGlobal(at)).manhattanLength(), 8);
  form.PopupMenu1->hide();
  EXPECT_TRUE(form.RyxEdit1->SelActive());
  EXPECT_EQ(form.RyxEdit1->CaretCol(), 5);
}

TEST_F(MenuTest, OnlyNewOpenAndSaveHaveShortcuts) {
  TForm1& form = Create();
  EXPECT_EQ(form.N7->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
  EXPECT_EQ(form.N6->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(form.N5->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
  for (QAction* action :
       {form.N4, form.E1, form.N9, form.N16, form.N10, form.N13, form.N11, form.N2, form.ANSI1, form.UTF81}) {
    EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
  }
}

TEST_F(MenuTest, ShortcutsReachTheMenuWhileTheEditorHasTheFocus) {
  TForm1& form = Create();
  form.show();
  QWidget* editor = form.centralWidget();
  editor->setFocus();
  const std::pair<int, Qt::KeyboardModifiers> keys[] = {
      {Qt::Key_N, Qt::ControlModifier},     {Qt::Key_O, Qt::ControlModifier}, {Qt::Key_S, Qt::ControlModifier},
      {Qt::Key_F, Qt::ControlModifier},     {Qt::Key_H, Qt::ControlModifier}, {Qt::Key_G, Qt::ControlModifier},
      {Qt::Key_F3, Qt::NoModifier},         {Qt::Key_F3, Qt::ShiftModifier},  {Qt::Key_Plus, Qt::ControlModifier},
      {Qt::Key_Minus, Qt::ControlModifier}, {Qt::Key_0, Qt::ControlModifier}};
  for (const auto& [key, modifiers] : keys) {
    QKeyEvent event(QEvent::ShortcutOverride, key, modifiers);
    QApplication::sendEvent(editor, &event);
    EXPECT_FALSE(event.isAccepted()) << "the editor keeps " << QKeySequence(key | modifiers).toString().toStdString();
  }
}

TEST_F(MenuTest, StatusBarIsNineteenPixelsHighBelowTheEditor) {
  TForm1& form = Create();
  form.show();
  QApplication::processEvents();
  EXPECT_EQ(form.StatusBar1->height(), 19);
  EXPECT_EQ(form.StatusBar1->geometry().top(), form.centralWidget()->geometry().bottom() + 1);
  EXPECT_TRUE(form.StatusBar1->currentMessage().isEmpty());
}

TEST_F(MenuTest, ExitClosesTheWindow) {
  TForm1& form = Create();
  form.show();
  form.E1->trigger();
  EXPECT_FALSE(form.isVisible());
}

}  // namespace
