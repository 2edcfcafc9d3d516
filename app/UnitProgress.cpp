// TProgressWindow: the dialog, its delay and letting events through.
#include "app/UnitProgress.h"

#include <QProgressDialog>
#include <algorithm>

#include "platform/Exceptions.h"

namespace {

constexpr int kShowAfterMilliseconds = 500;
constexpr int kEventsEveryMilliseconds = 50;
constexpr int kSteps = 1000;

}  // namespace

TProgressWindow::TProgressWindow(QWidget* parent, const QString& label)
    : FDialog(std::make_unique<QProgressDialog>(label, "キャンセル", 0, kSteps, parent)) {
  FDialog->setWindowTitle("Verselet");
  FDialog->setWindowModality(Qt::WindowModal);
  FDialog->setMinimumDuration(kShowAfterMilliseconds);
  FDialog->setAutoClose(false);
  FDialog->setAutoReset(false);
  FDialog->setValue(0);
  FSinceEvents.start();
}

TProgressWindow::~TProgressWindow() = default;

void TProgressWindow::Report(std::uint64_t done, std::uint64_t total) {
  if (FSinceEvents.elapsed() < kEventsEveryMilliseconds) return;
  FSinceEvents.restart();
  const auto step = total == 0 ? 0 : static_cast<int>(std::min<std::uint64_t>(done, total) * kSteps / total);
  // A modal dialog lets the events through as its value is set.
  FDialog->setValue(std::min(step, kSteps - 1));
  if (FDialog->wasCanceled()) throw EAbort("中止しました");
}
