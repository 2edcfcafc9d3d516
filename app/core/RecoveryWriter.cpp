// TRecoveryWriter: writes or removes one recovery file on a thread of its own, so that the editor never waits for the disk.
#include "app/core/RecoveryWriter.h"

#include <system_error>

#include "platform/Exceptions.h"

TRecoveryWriter::TRecoveryWriter(std::filesystem::path file) : FFile(std::move(file)), FThread([this] { Run(); }) {}

TRecoveryWriter::~TRecoveryWriter() {
  {
    std::lock_guard lock(FMutex);
    FStop = true;
  }
  FWake.notify_one();
  FThread.join();
}

void TRecoveryWriter::Write(TRecoveryHeader header, TStoredText text) {
  Post({false, std::move(header), std::move(text)});
}

void TRecoveryWriter::Remove() { Post({true, {}, {}}); }

void TRecoveryWriter::Post(TJob job) {
  std::optional<TJob> replaced;
  {
    std::lock_guard lock(FMutex);
    replaced.swap(FWaiting);
    FWaiting.emplace(std::move(job));
  }
  FWake.notify_one();
  // The replaced job's text lets its buffers go here, outside the lock.
}

void TRecoveryWriter::Flush() {
  std::unique_lock lock(FMutex);
  FIdle.wait(lock, [this] { return !FWaiting && !FBusy; });
}

std::string TRecoveryWriter::LastError() const {
  std::lock_guard lock(FMutex);
  return FLastError;
}

void TRecoveryWriter::Run() {
  std::unique_lock lock(FMutex);
  for (;;) {
    FWake.wait(lock, [this] { return FWaiting || FStop; });
    if (!FWaiting) return;
    TJob job = std::move(*FWaiting);
    FWaiting.reset();
    FBusy = true;
    lock.unlock();
    std::string error;
    try {
      Do(job);
    } catch (const std::exception& e) {
      error = e.what();
    }
    job = {};
    lock.lock();
    FLastError = std::move(error);
    FBusy = false;
    FIdle.notify_all();
  }
}

void TRecoveryWriter::Do(const TJob& job) {
  if (!job.Remove) {
    WriteRecoveryFile(FFile, job.Header, job.Text);
    return;
  }
  std::error_code error;
  std::filesystem::remove(FFile, error);
  if (error) throw EInOutError(FFile.string() + " を削除できません: " + SystemErrorText(error.value()));
}
