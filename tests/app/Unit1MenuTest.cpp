// Tests of the main window's menu tree, shortcuts, hidden items and status bar.
#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTextDocument>
#include <QUrl>
#include <map>

#include "app/UnitManual.h"
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
            (V{"新規(&N)", "開く(&O)...", "上書き保存(&S)", "名前を付けて保存(&A)...", "[-]", "[文字コード指定]",
               "音声を開く(&U)...", "-", "読み込み(&I)", "書き出し(&X)", "音声ファイルの歌詞を開く(&L)...",
               "音声ファイルに歌詞を書き込む(&W)...", "-", "終了(&E)"}));
  EXPECT_EQ(Items(form.N15), (V{"Shift-JIS", "UTF8"}));
  EXPECT_EQ(Items(form.T1), (V{"タイムタグをすべて削除(&T)", "行頭以外のカラオケタグを削除(&K)", "-", "無駄な行を削除(&B)",
                               "-", "タイムタグを検査(&C)", "タイムタグをずらす(&S)...", "タグ形式を統一(&U)...",
                               "すべての形式のタイムタグを削除(&A)", "プレーヤー向けに整える(&P)...", "-", "半角に変換(&H)",
                               "全角に変換(&Z)",
                               "カタカナに変換(&N)", "ひらがなに変換(&G)", "-", "同期モード(&Y)", "単語ごと(&W)",
                               "反応の遅れを測る(&R)...", "ワードタグを行タグに(&L)", "行タグからワードタグを均等に(&E)"}));
  EXPECT_EQ(Items(form.N3), (V{"タグあり(&T)", "タグを数えない(&C)", "折り返し(&W)", "ウィンドウ幅で折り返す(&D)", "プレビュー(&P)", "-",
                               "設定(&S)..."}));
  EXPECT_EQ(Items(form.HelpMenu), (V{"使い方(&H)", "同期モードのキー(&K)...", "バージョン情報(&A)..."}));
  EXPECT_EQ(form.N4->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  EXPECT_EQ(form.ManualAction->shortcut(), QKeySequence(Qt::Key_F1));

  EXPECT_EQ(form.N14, form.N1->actions()[4]);
  EXPECT_EQ(form.N15->menuAction(), form.N1->actions()[5]);
  EXPECT_EQ(form.HelpMenu->menuAction(), form.menuBar()->actions()[6]);
  EXPECT_TRUE(form.N13->isCheckable());
  EXPECT_FALSE(form.N13->isChecked());
  EXPECT_TRUE(form.N18->isCheckable());
  EXPECT_FALSE(form.N18->isChecked());
}

// Every item the user can see, in every menu and its submenus, the recent files and the popup menu included.
void CollectItems(const QWidget* menu, std::vector<const QAction*>& items, std::vector<std::string>& letterClashes) {
  std::map<QChar, std::string> letters;
  for (const QAction* action : menu->actions()) {
    if (action->isSeparator() || !action->isVisible()) continue;
    items.push_back(action);
    const QString text = action->text();
    const qsizetype amp = text.indexOf('&');
    if (amp < 0 || amp + 1 >= text.size()) continue;
    const QChar letter = text[amp + 1].toUpper();
    if (letters.count(letter)) letterClashes.push_back(letters[letter] + " / " + text.toStdString());
    letters[letter] = text.toStdString();
    if (action->menu()) CollectItems(action->menu(), items, letterClashes);
  }
}

TEST_F(MenuTest, EveryItemHasItsOwnAcceleratorLetter) {
  Dir.WriteFile("missing-later.lrc", "x");
  TForm1& form = Create({Path("missing-later.lrc")});
  form.UpdateRecentMenu();
  std::vector<const QAction*> items;
  std::vector<std::string> clashes;
  CollectItems(form.menuBar(), items, clashes);
  CollectItems(form.PopupMenu1, items, clashes);
  EXPECT_GT(items.size(), 40u);
  for (const QAction* action : items)
    EXPECT_NE(action->text().indexOf('&'), -1) << action->text().toStdString() << " has no accelerator";
  EXPECT_TRUE(clashes.empty()) << clashes.front();
}

TEST_F(MenuTest, TheManualShowsTheReadmeWithItsPictures) {
  TForm1& form = Create();
  form.ManualAction->trigger();
  const TManualWindow* manual = form.findChild<TManualWindow*>();
  ASSERT_NE(manual, nullptr);
  EXPECT_TRUE(manual->isVisible());
  EXPECT_TRUE(manual->isWindow());
  EXPECT_NE(manual->toPlainText().indexOf("Verselet is a desktop editor"), -1);
  const QVariant picture =
      manual->document()->resource(QTextDocument::ImageResource, QUrl("qrc:/manual/docs/screenshot.png"));
  EXPECT_FALSE(picture.value<QImage>().isNull());
  form.ManualAction->trigger();
  EXPECT_EQ(form.findChildren<TManualWindow*>().size(), 1);
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

TEST_F(MenuTest, WindowWidthItemOnItsOwnWrapsAtTheWindowsEdge) {
  TForm1& form = Create();
  form.show();
  QApplication::processEvents();
  const std::string text(1000, 'a');
  form.RyxEdit1->SetAllText(text);
  form.N19->trigger();
  TRyxEdit& edit = *form.RyxEdit1;
  const int row = static_cast<int>(edit.Lines().Get(0).size());
  EXPECT_GE(row, 10);
  EXPECT_LE(row * edit.CharWidth(), edit.TextWidth());
  EXPECT_GT((row + 1) * edit.CharWidth(), edit.TextWidth());
  EXPECT_EQ(edit.GetAllText(), text);
  // A narrower window rewraps; the choice is kept as AutoWrap alone.
  form.resize(form.width() - 10 * edit.CharWidth(), form.height());
  QApplication::processEvents();
  const int narrower = static_cast<int>(edit.Lines().Get(0).size());
  EXPECT_LT(narrower, row);
  EXPECT_LE(narrower * edit.CharWidth(), edit.TextWidth());
  Form.reset();
  const std::string ini = TTempDir::ReadFile(IniPath());
  EXPECT_NE(ini.find("WordWrap=0"), std::string::npos);
  EXPECT_NE(ini.find("AutoWrap=1"), std::string::npos);
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

TEST_F(MenuTest, OnlyNewOpenSaveAndSaveAsHaveShortcuts) {
  TForm1& form = Create();
  EXPECT_EQ(form.N7->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
  EXPECT_EQ(form.N6->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(form.N5->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
  EXPECT_EQ(form.N4->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  for (QAction* action :
       {form.E1, form.N9, form.N16, form.N10, form.N13, form.N11, form.N2, form.ANSI1, form.UTF81}) {
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
