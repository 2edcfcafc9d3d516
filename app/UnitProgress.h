// TProgressWindow: the progress of long work in a window of its own, with キャンセル (and Esc) to stop it.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <memory>

#include "app/core/WorkProgress.h"

class QProgressDialog;
class QWidget;

// Shown only once the work has lasted half a second. The window under it
// takes no input meanwhile, so that the text stays as the work found it;
// other events are let through a few times a second.
class TProgressWindow : public TWorkProgress {
 public:
  TProgressWindow(QWidget* parent, const QString& label);
  ~TProgressWindow() override;

  // Raises EAbort once the user chose キャンセル.
  void Report(std::uint64_t done, std::uint64_t total) override;

 private:
  std::unique_ptr<QProgressDialog> FDialog;
  QElapsedTimer FSinceEvents;
  QElapsedTimer FSinceStart;
};
