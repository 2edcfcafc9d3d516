// TRecoveryKeeper: keeps the recovery file of one window's unsaved text up to date, in the background.
#include "app/UnitRecoveryKeeper.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#include "app/core/RecoveryWriter.h"
#include "editor/RyxEdit.h"
#include "platform/Exceptions.h"

TRecoveryKeeper::TRecoveryKeeper(TRyxEdit& edit, std::function<TRecoveryHeader()> origin, QObject* parent)
    : QObject(parent), FEdit(edit), FOrigin(std::move(origin)) {
  try {
    FSlot.emplace(RecoveryFolder());
    FWriter = std::make_unique<TRecoveryWriter>(FSlot->File());
  } catch (const EInOutError& e) {
    FSlotError = QString::fromStdString(e.Message());
  }
  FTimer.setSingleShot(true);
  connect(&FTimer, &QTimer::timeout, this, &TRecoveryKeeper::Due);
}

// The writer finishes its jobs before the slot's lock goes.
TRecoveryKeeper::~TRecoveryKeeper() { FWriter.reset(); }

std::filesystem::path TRecoveryKeeper::File() const { return FSlot ? FSlot->File() : std::filesystem::path(); }

QString TRecoveryKeeper::Error() const {
  if (!FWriter) return FSlotError;
  return QString::fromStdString(FWriter->LastError());
}

TRecoverySchedule::TTime TRecoveryKeeper::Now() const {
  return std::chrono::duration_cast<TRecoverySchedule::TTime>(std::chrono::steady_clock::now().time_since_epoch());
}

void TRecoveryKeeper::DocumentChanged() {
  if (!FWriter) return;
  if (!FEdit.Modified()) {
    FSchedule.Taken();
    FTimer.stop();
    FWriter->Remove();
    FCurrent = false;
    return;
  }
  FSchedule.Changed(Now());
  FCurrent = false;
  StartTimer();
}

void TRecoveryKeeper::StartTimer() {
  // Restarting a timer costs nothing per keystroke; the write comes when it is due.
  FTimer.start(std::chrono::milliseconds(std::max(TRecoverySchedule::TTime(0), *FSchedule.DueAt() - Now())));
}

void TRecoveryKeeper::Discarded() {
  if (!FWriter) return;
  FWriter->Remove();
  FSchedule.Taken();
  FTimer.stop();
  // Nothing of this text is to be kept any more; the next change is.
  FCurrent = true;
}

void TRecoveryKeeper::Due() {
  if (!FSchedule.Pending()) return;
  if (FSchedule.Due(Now())) {
    Write();
  } else {
    StartTimer();
  }
}

void TRecoveryKeeper::Write() {
  FSchedule.Taken();
  if (!FEdit.Modified()) return;
  TRecoveryHeader header = FOrigin();
  // A name given relative to the folder the program started in must still name the file at the next start.
  std::error_code error;
  if (!header.FileName.empty()) header.FileName = std::filesystem::absolute(header.FileName, error).string();
  const TLogicalPos caret = FEdit.ToLogical({FEdit.CaretLine(), FEdit.CaretCol()});
  header.Caret = caret;
  header.WrittenAt =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
  FWriter->Write(std::move(header), FEdit.Lines().CopyText());
  FCurrent = true;
}

void TRecoveryKeeper::WriteNow() {
  if (!FWriter) return;
  FTimer.stop();
  if (FEdit.Modified() && !FCurrent) Write();
  FWriter->Flush();
}
