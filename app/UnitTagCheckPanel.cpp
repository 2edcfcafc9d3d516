// TTagCheckPanel: filling the list and answering double clicks.
#include "app/UnitTagCheckPanel.h"

#include <QListWidget>
#include <algorithm>

namespace {

// The line of an entry; entries without one (the "no problem" line) hold none.
constexpr int kLineRole = Qt::UserRole;

constexpr const char* kTitle = "タイムタグの検査";

}  // namespace

TTagCheckPanel::TTagCheckPanel(QWidget* parent) : QDockWidget(kTitle, parent), FList(new QListWidget(this)) {
  setObjectName("TagCheckPanel");
  setWidget(FList);
  connect(FList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    const QVariant line = item->data(kLineRole);
    if (line.isValid() && !FOutOfDate && OnGoToLine) OnGoToLine(line.toInt());
  });
}

void TTagCheckPanel::MarkOutOfDate() {
  if (FOutOfDate) return;
  FOutOfDate = true;
  FList->setEnabled(false);
  setWindowTitle(QString(kTitle) + " (テキストが変更されました: もう一度「タイムタグを検査」してください)");
}

void TTagCheckPanel::ShowProblems(const std::vector<TTagProblem>& problems, std::size_t total) {
  FOutOfDate = false;
  FList->setEnabled(true);
  setWindowTitle(kTitle);
  // A check run again while typing keeps the entry the user was on.
  const int current = std::max(0, FList->currentRow());
  FList->clear();
  if (problems.empty()) {
    FList->addItem("タイムタグに問題は見つかりませんでした");
    return;
  }
  for (const TTagProblem& problem : problems) {
    auto* item = new QListWidgetItem(QString("%1 行目: %2").arg(problem.Line).arg(QString::fromStdString(problem.Message)));
    item->setData(kLineRole, static_cast<int>(problem.Line));
    FList->addItem(item);
  }
  if (total > problems.size())
    FList->addItem(QString("問題は全部で %1 件あります (最初の %2 件を表示しています)").arg(total).arg(problems.size()));
  FList->setCurrentRow(std::min(current, FList->count() - 1));
}
