// TProgressWindow: the dialog, its delay and letting events through.
#include "app/UnitProgress.h"

#include <QCoreApplication>
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
  FSinceStart.start();
}

TProgressWindow::~TProgressWindow() = default;

void TProgressWindow::Report(std::uint64_t done, std::uint64_t total) {
  if (FSinceEvents.elapsed() < kEventsEveryMilliseconds) return;
  FSinceEvents.restart();
  if (!FDialog->isVisible() && FSinceStart.elapsed() >= kShowAfterMilliseconds) FDialog->show();
  const auto step = total == 0 ? 0 : static_cast<int>(std::min<std::uint64_t>(done, total) * kSteps / total);
  FDialog->setValue(std::min(step, kSteps - 1));
  // Until the dialog shows, nothing the user does may reach the window:
  // the work reads the text as it was when it began. Once it shows, it
  // keeps the input from the window itself.
  QCoreApplication::processEvents(FDialog->isVisible() ? QEventLoop::AllEvents
                                                       : QEventLoop::ExcludeUserInputEvents);
  if (FDialog->wasCanceled()) throw EAbort("中止しました");
}
