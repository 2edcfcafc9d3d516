// The recovery folder: each window's recovery file beside the lock that says the window still runs.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/core/RecoveryFile.h"
#include "platform/AtomicFileFolder.h"

// $XDG_STATE_HOME/verselet/recovery, by default ~/.local/state/verselet/recovery.
std::filesystem::path RecoveryFolder();

// An exclusive flock on a lock file, held while this object lives; the file
// is removed when it goes.
class TRecoveryLock {
 public:
  // Creates the file when it is missing; nothing when another process (or
  // another open of it) holds the lock.
  static std::optional<TRecoveryLock> Take(const std::filesystem::path& file);
  TRecoveryLock(TRecoveryLock&& other) noexcept = default;
  // The lock held before goes with other.
  TRecoveryLock& operator=(TRecoveryLock&& other) noexcept {
    std::swap(FFile, other.FFile);
    std::swap(FFd, other.FFd);
    return *this;
  }
  ~TRecoveryLock();

 private:
  TRecoveryLock(std::filesystem::path file, TFd fd) : FFile(std::move(file)), FFd(std::move(fd)) {}

  std::filesystem::path FFile;
  TFd FFd;
};

// The recovery file of one window, "ID.recovery", and its lock "ID.lock",
// held while the window runs, so that no other window takes the file over.
class TRecoverySlot {
 public:
  // Makes the folder (mode 0700) and a fresh name in it. Raises EInOutError.
  explicit TRecoverySlot(const std::filesystem::path& folder);

  const std::filesystem::path& File() const { return FFile; }

 private:
  std::filesystem::path FFile;
  std::optional<TRecoveryLock> FLock;
};

// A recovery file whose window no longer runs. Its lock is held while this
// object lives, so that another window starting now does not offer it too.
struct TOrphanRecovery {
  std::filesystem::path File;
  TRecoveryHeader Header;
  // Why the file cannot be read; Header is then empty.
  std::string Error;
  std::optional<TRecoveryLock> Lock;
};

// The recovery files in folder that no running window owns, the newest
// first. What the windows that ended left besides (locks without a recovery
// file, half-written temporary files) is removed.
std::vector<TOrphanRecovery> TakeOrphanRecoveries(const std::filesystem::path& folder);
// Removes the orphan's file.
void DiscardRecovery(TOrphanRecovery& orphan);
