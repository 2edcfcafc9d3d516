// TRecoveryWriter: writes or removes one recovery file on a thread of its own, so that the editor never waits for the disk.
#pragma once

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/core/RecoveryFile.h"

// The jobs for the file run in the order given, one at a time; a job given
// while another waits replaces it, since only the newest state of the file
// matters. The text of a write is a copy that shares the store's buffers
// (TRyxStrings::CopyText), so the editor may go on changing the store.
class TRecoveryWriter {
 public:
  explicit TRecoveryWriter(std::filesystem::path file);
  TRecoveryWriter(const TRecoveryWriter&) = delete;
  TRecoveryWriter& operator=(const TRecoveryWriter&) = delete;
  // Runs the job in hand and the one waiting first.
  ~TRecoveryWriter();

  void Write(TRecoveryHeader header, TStoredText text);
  void Remove();
  // Waits until every job given so far has run.
  void Flush();
  // Why the last job failed; empty when it succeeded.
  std::string LastError() const;

 private:
  struct TJob {
    bool Remove = false;
    TRecoveryHeader Header;
    TStoredText Text;
  };
  void Post(TJob job);
  void Run();
  void Do(const TJob& job);

  const std::filesystem::path FFile;
  mutable std::mutex FMutex;
  std::condition_variable FWake;
  std::condition_variable FIdle;
  std::optional<TJob> FWaiting;
  bool FBusy = false;
  bool FStop = false;
  std::string FLastError;
  std::thread FThread;
};
