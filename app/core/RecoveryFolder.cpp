// The recovery folder: each window's recovery file beside the lock that says the window still runs.
#include "app/core/RecoveryFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <system_error>

#include "platform/AtomicFileBackup.h"
#include "platform/Exceptions.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kRecoveryExt = ".recovery";
constexpr std::string_view kLockExt = ".lock";
constexpr std::string_view kTempInfix = ".recovery.tmp-";

fs::path LockOf(const fs::path& recovery) {
  fs::path lock = recovery;
  return lock.replace_extension(kLockExt);
}

std::string FreshId() {
  std::random_device random;
  char id[40];
  std::snprintf(id, sizeof id, "%d-%08x", static_cast<int>(::getpid()), random());
  return id;
}

// The id of a name of the folder ("ID.recovery", "ID.lock", "ID.recovery.tmp-X"); empty for other names.
std::string IdOf(const std::string& name) {
  if (const auto temp = name.find(kTempInfix); temp != std::string::npos) return name.substr(0, temp);
  for (const std::string_view ext : {kRecoveryExt, kLockExt})
    if (name.size() > ext.size() && name.ends_with(ext)) return name.substr(0, name.size() - ext.size());
  return {};
}

}  // namespace

fs::path RecoveryFolder() { return StateFolder() / "recovery"; }

std::optional<TRecoveryLock> TRecoveryLock::Take(const fs::path& file) {
  for (;;) {
    TFd fd(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd || ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) return std::nullopt;
    // The holder before may have removed the file between the open and the
    // flock: a lock on a name no longer in the folder guards nothing.
    struct stat held {}, named {};
    if (::fstat(fd.Get(), &held) != 0) return std::nullopt;
    if (::stat(file.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
      return TRecoveryLock(file, std::move(fd));
  }
}

TRecoveryLock::~TRecoveryLock() {
  // Removed while still held, so that nobody takes a lock on a name about to go.
  if (FFd) ::unlink(FFile.c_str());
}

TRecoverySlot::TRecoverySlot(const fs::path& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error || ::chmod(folder.c_str(), 0700) != 0)
    throw EInOutError(folder.string() + " を作れません: " + SystemErrorText(error ? error.value() : errno));
  for (int attempt = 0; attempt < 8 && !FLock; ++attempt) {
    const std::string id = FreshId();
    FFile = folder / (id + std::string(kRecoveryExt));
    std::error_code ignored;
    if (!fs::exists(FFile, ignored)) FLock = TRecoveryLock::Take(LockOf(FFile));
  }
  if (!FLock) throw EInOutError(folder.string() + " に復元ファイルを作れません: " + SystemErrorText(errno));
}

std::vector<TOrphanRecovery> TakeOrphanRecoveries(const fs::path& folder) {
  std::vector<TOrphanRecovery> orphans;
  std::vector<fs::path> leftovers;
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (name.ends_with(kRecoveryExt) && name.size() > kRecoveryExt.size()) {
      orphans.push_back({entry->path(), {}, {}, std::nullopt});
    } else if (!IdOf(name).empty()) {
      leftovers.push_back(entry->path());
    }
  }
  // A window that ended without unsaved text leaves at most a lock; one
  // killed while writing leaves a temporary file as well.
  for (const fs::path& left : leftovers) {
    const std::string id = IdOf(left.filename().string());
    if (fs::exists(folder / (id + std::string(kRecoveryExt)), error)) continue;
    if (auto lock = TRecoveryLock::Take(folder / (id + std::string(kLockExt)))) {
      if (left.extension() != kLockExt) fs::remove(left, error);
    }
  }
  std::erase_if(orphans, [](TOrphanRecovery& orphan) {
    orphan.Lock = TRecoveryLock::Take(LockOf(orphan.File));
    std::error_code gone;
    return !orphan.Lock || !fs::exists(orphan.File, gone);
  });
  for (TOrphanRecovery& orphan : orphans) {
    try {
      orphan.Header = ReadRecoveryHeader(orphan.File);
    } catch (const EInOutError& e) {
      orphan.Error = e.Message();
    }
  }
  std::stable_sort(orphans.begin(), orphans.end(), [](const TOrphanRecovery& a, const TOrphanRecovery& b) {
    return a.Header.WrittenAt > b.Header.WrittenAt;
  });
  return orphans;
}

void DiscardRecovery(TOrphanRecovery& orphan) {
  std::error_code ignored;
  fs::remove(orphan.File, ignored);
  orphan.Lock.reset();
}
