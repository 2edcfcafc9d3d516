// TForm1: the lyrics workbench: the player preview with the overflow marks, the tag check panel and the time-tag tools.
#include <QAction>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>
#include <cmath>

#include "app/core/LogicalLines.h"
#include "app/core/OverflowLines.h"
#include "app/core/OverflowMarks.h"
#include "app/core/TagCheckRun.h"
#include "app/core/TimeTagEdits.h"
#include "app/Unit1.h"
#include "app/UnitFindBar.h"
#include "app/UnitCommonDialogs.h"
#include "app/UnitPreviewPanel.h"
#include "app/UnitProgress.h"
#include "app/UnitTagCheckPanel.h"
#include "editor/RyxEdit.h"
#include "platform/Exceptions.h"
#include "platform/qt/ControlHostWidget.h"

namespace {

// The text one step of the count of overflowing lines measures: a
// millisecond or two, so that a key typed meanwhile waits no longer than
// that; a text of song lyrics is counted whole in its first step.
constexpr std::size_t kOverflowStepBytes = 128 * 1024;

}  // namespace

void TForm1::CreateLyricsTools() {
  T1->addSeparator();
  CheckTagsAction = T1->addAction("タイムタグを検査(&C)");
  ShiftTagsAction = T1->addAction("タイムタグをずらす(&S)...");
  UnifyTagsAction = T1->addAction("タグ形式を統一(&U)...");
  DeleteAllTagsAction = T1->addAction("すべての形式のタイムタグを削除(&A)");
  PrepareAction = T1->addAction("プレーヤー向けに整える(&P)...");
  T1->addSeparator();
  HalfwidthAction = T1->addAction("半角に変換(&H)");
  FullwidthAction = T1->addAction("全角に変換(&Z)");
  KatakanaAction = T1->addAction("カタカナに変換(&N)");
  HiraganaAction = T1->addAction("ひらがなに変換(&G)");
  PreviewAction = new QAction("プレビュー(&P)", this);
  PreviewAction->setCheckable(true);
  N3->insertAction(N12, PreviewAction);
  Connect(CheckTagsAction, &TForm1::CheckTagsClick);
  Connect(ShiftTagsAction, &TForm1::ShiftTagsClick);
  Connect(UnifyTagsAction, &TForm1::UnifyTagsClick);
  Connect(DeleteAllTagsAction, &TForm1::DeleteAllTagsClick);
  Connect(PrepareAction, &TForm1::PrepareClick);
  Connect(HalfwidthAction, &TForm1::HalfwidthClick);
  Connect(FullwidthAction, &TForm1::FullwidthClick);
  Connect(KatakanaAction, &TForm1::KatakanaClick);
  Connect(HiraganaAction, &TForm1::HiraganaClick);
  Connect(PreviewAction, &TForm1::PreviewClick);

  PreviewPanel = new TPreviewPanel(*RyxEdit1, FDeviceSettings, [this] { return OverflowLineCount(); }, this);
  addDockWidget(Qt::RightDockWidgetArea, PreviewPanel);
  PreviewPanel->hide();
  connect(PreviewPanel, &TPreviewPanel::closedByUser, this, [this] { Run([this] { SetPreviewShown(false); }); });

  TagCheckPanel = new TTagCheckPanel(this);
  addDockWidget(Qt::BottomDockWidgetArea, TagCheckPanel);
  TagCheckPanel->hide();
  TagCheckPanel->OnGoToLine = [this](int line) {
    Run([this, line] {
      const TLogicalLines lines(RyxEdit1->Lines(), RyxEdit1->TabCount(), RyxEdit1->WordWrap());
      RyxEdit1->MoveCaretTo(lines.RowOfLine(line), 0);
      FRyxEditHost->setFocus();
    });
  };

  TagRecheckTimer = new QTimer(this);
  TagRecheckTimer->setSingleShot(true);
  TagRecheckTimer->setInterval(300);
  connect(TagRecheckTimer, &QTimer::timeout, this, [this] {
    Run([this] {
      if (!TagCheckPanel->isHidden()) RunTagCheck();
    });
  });

  OverflowWalkTimer = new QTimer(this);
  OverflowWalkTimer->setInterval(0);
  connect(OverflowWalkTimer, &QTimer::timeout, this, [this] { Run([this] { WalkOverflow(); }); });

  RyxEdit1->OnLinesChanged = [this](TObject*, int first, int oldLast, int newLast) {
    RyxEdit1LinesChanged(first, oldLast, newLast);
  };
  RyxEdit1->OnMoveCaret = [this](TObject*) {
    // The caret may move in the middle of an edit: the panel looks once it is done.
    if (FPreviewShown) PreviewPanel->View()->RefreshSoon();
  };
}

void TForm1::RyxEdit1LinesChanged(int first, int oldLast, int newLast) {
  if (FindBar) FindBar->TextChanged();
  // The panel's line numbers are those of the text it checked: they follow
  // the edits, or at least do not pass for current.
  if (!TagCheckPanel->isHidden()) {
    if (FTagCheckCost <= LiveTagCheckLimit)
      TagRecheckTimer->start();
    else
      TagCheckPanel->MarkOutOfDate();
  }
  if (!FPreviewShown) return;
  // The report comes in the middle of an edit: nothing may be raised from here.
  try {
    if (FOverflow) FOverflow->Changed(RyxEdit1->Lines(), first, oldLast, newLast);
  } catch (const std::exception&) {
    // Measured anew from the whole text when it is next needed.
    FOverflow.reset();
  }
  // A text loaded or wrapped anew is counted again in steps.
  if (FOverflow && !FOverflow->Complete()) OverflowWalkTimer->start();
  PreviewPanel->View()->RefreshSoon();
}

TOverflowLines* TForm1::CurrentOverflow() {
  if (!FPreviewShown) return nullptr;
  const TPlayerDisplay display{FDeviceSettings.HalfCount, FDeviceSettings.LineCount};
  // A change of the rows that was not reported would leave the flags
  // beside the rows they stand for: measured anew rather than misdrawn.
  if (!FOverflow || FOverflow->Display().HalfCount != display.HalfCount ||
      FOverflow->Display().LineCount != display.LineCount || FOverflow->Rows() != RyxEdit1->Lines().Count()) {
    FOverflow = std::make_unique<TOverflowLines>(display);
    FOverflow->Reset(RyxEdit1->Lines());
    // The rows in view are measured as they are painted; the rest of a long
    // text is counted a step at a time after the first.
    FOverflow->MeasureSome(RyxEdit1->Lines(), kOverflowStepBytes);
    if (!FOverflow->Complete()) OverflowWalkTimer->start();
  }
  return FOverflow.get();
}

void TForm1::WalkOverflow() {
  TOverflowLines* overflow = CurrentOverflow();
  if (overflow && !overflow->Complete()) {
    overflow->MeasureSome(RyxEdit1->Lines(), kOverflowStepBytes);
    if (overflow->Complete()) PreviewPanel->View()->Refresh();
  }
  if (!overflow || overflow->Complete()) OverflowWalkTimer->stop();
}

std::optional<int> TForm1::OverflowLineCount() {
  const TOverflowLines* overflow = CurrentOverflow();
  if (!overflow) return 0;
  if (!overflow->Complete()) return std::nullopt;
  return overflow->Count();
}

void TForm1::DrawOverflowMarksOf(int L1, int L2) {
  TOverflowLines* overflow = CurrentOverflow();
  if (!overflow) return;
  DrawOverflowMarks(RyxEdit1->Canvas(), *RyxEdit1, *overflow, L1, L2);
  // A new font (zoom, settings) or display reaches the editor through a repaint: the preview follows.
  PreviewPanel->View()->RefreshLook();
}

void TForm1::SetPreviewShown(bool shown) {
  FPreviewShown = shown;
  PreviewAction->setChecked(shown);
  PreviewPanel->setVisible(shown);
  // Off, nothing follows the edits; on, the whole text is counted anew.
  FOverflow.reset();
  OverflowWalkTimer->stop();
  RyxEdit1->RefreshView();
}

void TForm1::SetTagsUncounted(bool uncounted) {
  CountTagsAction->setChecked(uncounted);
  RyxEdit1->SetColumnCounting(uncounted ? &FTagCounting : nullptr);
  RyxEdit1->RefreshView();
}

void TForm1::CountTagsClick() { SetTagsUncounted(CountTagsAction->isChecked()); }

void TForm1::PreviewClick() { SetPreviewShown(!FPreviewShown); }

std::size_t TForm1::RunTagCheck(TWorkProgress* progress) {
  const auto start = std::chrono::steady_clock::now();
  const TTagCheckResult result = CheckStoredTags(RyxEdit1->Lines(), progress);
  TagCheckPanel->ShowProblems(result.Shown, result.Total);
  FTagCheckCost = std::chrono::steady_clock::now() - start;
  // The count follows the panel's list, also when typing checks the text again.
  StatusBar1->showMessage(result.Total == 0 ? QString("タイムタグに問題は見つかりませんでした")
                                            : QString("タイムタグの問題: %1 件").arg(result.Total));
  return result.Total;
}

void TForm1::CheckTagsClick() {
  TagRecheckTimer->stop();
  try {
    TProgressWindow progress(this, "タイムタグを検査しています...");
    RunTagCheck(&progress);
  } catch (const EAbort&) {
    StatusBar1->showMessage("タイムタグの検査を中止しました");
    return;
  }
  if (TagCheckPanel->isHidden()) {
    TagCheckPanel->show();
    // A few problems in view; the text keeps most of the window.
    resizeDocks({TagCheckPanel}, {TagCheckPanel->fontMetrics().height() * 7}, Qt::Vertical);
  }
}

void TForm1::ShiftTagsClick() {
  double seconds = 0;
  if (!FDialogs.AskSeconds(this, "タイムタグをずらす", "ずらす秒数 (負の値で前へ):", seconds)) return;
  // The box gives hundredths; the tags count in milliseconds.
  const long long millis = std::llround(seconds * 100) * 10;
  // The count of clamped tags takes the place of the tool's "%1".
  const QByteArray message = QString("タイムタグを %1 秒ずらしました (0 秒か最後の時刻で止めたタグ: %2 個)")
                                 .arg(QString::number(static_cast<double>(millis) / 1000, 'f', 2), "%1")
                                 .toUtf8();
  TTagShiftFilter shift(millis);
  ApplyTextTool(shift);
  ShowToolDone(message.constData(), shift.Clamped() + shift.ClampedAtLatest());
}

void TForm1::UnifyTagsClick() {
  const int form = FDialogs.Ask(this, TQuestion{"行のタイムタグをどちらの形式にそろえますか?",
                                                {"[mm:ss.xx]", "[mm:ss:xx]", "キャンセル"}, 0, 2});
  if (form == 2) return;
  const char separator = form == 0 ? '.' : ':';
  TTagFormFilter unify(separator);
  ApplyTextTool(unify);
  ShowToolDone(separator == '.' ? "タイムタグを [mm:ss.xx] にそろえました" : "タイムタグを [mm:ss:xx] にそろえました", 0);
}

void TForm1::DeleteAllTagsClick() {
  TAllTimeTagFilter remove;
  ApplyTextTool(remove);
  ShowToolDone("%1 個のタイムタグを削除しました (すべての形式)", remove.Removed());
}
