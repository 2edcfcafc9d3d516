// TForm1: the main menu tree and its handlers' wiring.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/Unit1.h"
#include "app/Unit1EditActions.h"
#include "app/Unit2.h"
#include "editor/RyxEdit.h"
#include "platform/qt/QtPopupMenu.h"

void TForm1::CreateMenu() {
  QMenuBar* bar = menuBar();

  N1 = bar->addMenu("ファイル(&F)");
  N7 = N1->addAction("新規(&N)");
  N7->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  N6 = N1->addAction("開く(&O)...");
  N6->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  N5 = N1->addAction("上書き保存(&S)");
  N5->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  N4 = N1->addAction("名前を付けて保存(&A)...");
  N4->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  N14 = N1->addSeparator();
  N14->setVisible(false);
  N15 = N1->addMenu("文字コード指定");
  N15->menuAction()->setVisible(false);
  ANSI1 = N15->addAction("Shift-JIS");
  UTF81 = N15->addAction("UTF8");
  N8 = N1->addSeparator();
  E1 = N1->addAction("終了(&E)");
  connect(N1, &QMenu::aboutToShow, this, [this] { Run([this] { UpdateRecentMenu(); }); });

  EditMenu = bar->addMenu("編集(&E)");
  EditActions = new TEditActions(*RyxEdit1, this);
  EditActions->AddTo(*EditMenu);
  connect(EditMenu, &QMenu::aboutToShow, EditActions, &TEditActions::UpdateState);
  // The right button and the menu keys in the editor open the same actions.
  PopupMenu1 = new QMenu(this);
  EditActions->AddTo(*PopupMenu1);
  connect(PopupMenu1, &QMenu::aboutToShow, EditActions, &TEditActions::UpdateState);
  FPopupMenu = std::make_unique<QtPopupMenu>(*PopupMenu1);
  RyxEdit1->SetPopupMenu(FPopupMenu.get());

  CreateSearchAndViewMenus();

  T1 = bar->addMenu("ツール(&T)");
  N9 = T1->addAction("タイムタグをすべて削除(&T)");
  N16 = T1->addAction("行頭以外のカラオケタグを削除(&K)");
  N17 = T1->addSeparator();
  N10 = T1->addAction("無駄な行を削除(&B)");

  N3 = bar->addMenu("オプション(&O)");
  N13 = N3->addAction("タグあり(&T)");
  N13->setCheckable(true);
  CountTagsAction = N3->addAction("タグを数えない(&C)");
  CountTagsAction->setCheckable(true);
  N18 = N3->addAction("折り返し(&W)");
  N18->setCheckable(true);
  N19 = N3->addAction("ウィンドウ幅で折り返す(&D)");
  N19->setCheckable(true);
  N12 = N3->addSeparator();
  N11 = N3->addAction("設定(&S)...");

  HelpMenu = bar->addMenu("ヘルプ(&H)");
  ManualAction = HelpMenu->addAction("使い方(&H)");
  ManualAction->setShortcut(QKeySequence(Qt::Key_F1));
  N2 = HelpMenu->addAction("バージョン情報(&A)...");

  Connect(N7, &TForm1::N7Click);
  Connect(N6, &TForm1::N6Click);
  Connect(N5, &TForm1::N5Click);
  Connect(N4, &TForm1::N4Click);
  Connect(ANSI1, &TForm1::ANSI1Click);
  Connect(UTF81, &TForm1::UTF81Click);
  Connect(E1, &TForm1::E1Click);
  Connect(N9, &TForm1::N9Click);
  Connect(N16, &TForm1::N16Click);
  Connect(N10, &TForm1::N10Click);
  Connect(N13, &TForm1::N13Click);
  Connect(CountTagsAction, &TForm1::CountTagsClick);
  Connect(N18, &TForm1::ApplyWrapChoice);
  Connect(N19, &TForm1::ApplyWrapChoice);
  Connect(N11, &TForm1::N11Click);
  Connect(N2, &TForm1::N2Click);
  Connect(ManualAction, &TForm1::ManualClick);
  CreateLyricsTools();
  CreateTimingStudio();
  CreateFormatMenus();
}

void TForm1::N11Click() {
  if (FForm2) FForm2->Execute(*RyxEdit1, *this);
  // A new player line width is the new wrap column.
  ApplyWrapChoice();
}
