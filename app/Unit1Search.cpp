// TForm1: the search and view menus: the find bar, go to line, the status fields and zoom.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>

#include "app/core/LogicalLines.h"
#include "app/Unit1.h"
#include "app/UnitCommonDialogs.h"
#include "app/UnitFindBar.h"
#include "app/UnitStatusFields.h"
#include "editor/RyxEdit.h"

namespace {

constexpr int kZoomStepPoints = 2;
constexpr int kMinZoomedSize = 6;
constexpr int kMaxZoomedSize = 96;
// Passing messages of the find bar, like those of the tools, go after a while.
constexpr int kMessageMilliseconds = 5000;

QAction* AddAction(QMenu& menu, const char* caption, const QList<QKeySequence>& keys) {
  QAction* action = menu.addAction(caption);
  action->setShortcuts(keys);
  return action;
}

}  // namespace

void TForm1::CreateSearchAndViewMenus() {
  SearchMenu = menuBar()->addMenu("検索(&S)");
  FindAction = AddAction(*SearchMenu, "検索(&F)...", {QKeySequence(Qt::CTRL | Qt::Key_F)});
  FindNextAction = AddAction(*SearchMenu, "次を検索(&N)", {QKeySequence(Qt::Key_F3)});
  FindPreviousAction = AddAction(*SearchMenu, "前を検索(&P)", {QKeySequence(Qt::SHIFT | Qt::Key_F3)});
  ReplaceAction = AddAction(*SearchMenu, "置換(&R)...", {QKeySequence(Qt::CTRL | Qt::Key_H)});
  SearchMenu->addSeparator();
  GotoLineAction = AddAction(*SearchMenu, "行へ移動(&G)...", {QKeySequence(Qt::CTRL | Qt::Key_G)});

  ViewMenu = menuBar()->addMenu("表示(&V)");
  // Ctrl+= as well, since plus needs Shift on most keyboards.
  ZoomInAction = AddAction(*ViewMenu, "拡大(&I)",
                           {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
                            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Semicolon)});
  ZoomOutAction = AddAction(*ViewMenu, "縮小(&O)", {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
  ZoomResetAction = AddAction(*ViewMenu, "元のサイズ(&R)", {QKeySequence(Qt::CTRL | Qt::Key_0)});

  FindBar = new TFindBar(*RyxEdit1, [this](const QString& text) {
    if (text.isEmpty())
      statusBar()->clearMessage();
    else
      statusBar()->showMessage(text, kMessageMilliseconds);
  });
  auto* findTools = new QToolBar("検索", this);
  findTools->setMovable(false);
  findTools->setFloatable(false);
  findTools->toggleViewAction()->setVisible(false);
  findTools->addWidget(FindBar);
  addToolBar(Qt::BottomToolBarArea, findTools);
  findTools->hide();

  auto runFind = [this](bool forward) {
    Run([this, forward] {
      FindBar->FindNext(forward);
      StatusFields->Update();
    });
  };
  connect(FindAction, &QAction::triggered, FindBar, &TFindBar::ShowFind);
  connect(ReplaceAction, &QAction::triggered, FindBar, &TFindBar::ShowReplace);
  connect(FindBar, &TFindBar::Opened, findTools, &QWidget::show);
  connect(FindNextAction, &QAction::triggered, this, [runFind] { runFind(true); });
  connect(FindPreviousAction, &QAction::triggered, this, [runFind] { runFind(false); });
  connect(FindBar, &TFindBar::Closed, this, [this, findTools] {
    findTools->hide();
    centralWidget()->setFocus();
  });
  Connect(GotoLineAction, &TForm1::GotoLineClick);
  connect(ZoomInAction, &QAction::triggered, this, [this] { Run([this] { SetZoomSteps(FZoomSteps + 1); }); });
  connect(ZoomOutAction, &QAction::triggered, this, [this] { Run([this] { SetZoomSteps(FZoomSteps - 1); }); });
  connect(ZoomResetAction, &QAction::triggered, this, [this] { Run([this] { SetZoomSteps(0); }); });
}

void TForm1::GotoLineClick() {
  const TLogicalLines lines(RyxEdit1->Lines(), RyxEdit1->TabCount(), RyxEdit1->WordWrap());
  const int count = lines.Count();
  int line = lines.PlaceOf(RyxEdit1->CaretLine(), RyxEdit1->CaretCol()).Line;
  if (!FDialogs.AskNumber(this, "行へ移動", QString("行番号 (1 - %1):").arg(count), 1, count, line)) return;
  // A number from elsewhere than the spin box is held to the text too.
  RyxEdit1->MoveCaretTo(lines.RowOfLine(std::clamp(line, 1, count)), 0);
  StatusFields->Update();
}

void TForm1::SetZoomSteps(int steps) {
  TFont font = RyxEdit1->Font();
  if (FZoomSteps == 0) FUnzoomedFontSize = font.Size();
  const int size = std::clamp(FUnzoomedFontSize + kZoomStepPoints * steps, kMinZoomedSize, kMaxZoomedSize);
  // At a limit the steps stop counting, so that the way back is as long as the way there.
  if (steps != 0 && size == font.Size()) return;
  FZoomSteps = steps;
  font.SetSize(steps == 0 ? FUnzoomedFontSize : size);
  RyxEdit1->SetFont(font);
  RyxEdit1->Redesign();
  RyxEdit1->RefreshView();
}
