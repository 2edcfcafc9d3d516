// TSaveBackup: the copy of a file's old bytes that an in-place save keeps until the new ones are whole.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/AtomicFileFolder.h"

// A backup that a save left behind: it was killed, or the machine stopped,
// while it wrote the new bytes over the old ones, so the file may hold the
// new text followed by the old tail. Backup holds the whole old file.
struct TLeftBackup {
  std::filesystem::path Target;
  std::filesystem::path Backup;
};

// The program's state folder: $XDG_STATE_HOME/verselet, by default
// ~/.local/state/verselet.
std::filesystem::path StateFolder();

// The backup left behind for the file that target names (through links),
// whichever of its names was saved; nothing when there is none.
std::optional<TLeftBackup> FindLeftBackup(const std::filesystem::path& target);
// The backups left in the state folder, for files in folders that could
// not hold one.
std::vector<TLeftBackup> LeftBackupsInStateFolder();
// Writes the backup's bytes over the file, flushes them and removes the
// backup. Raises EInOutError; the backup then stays.
void RestoreLeftBackup(const TLeftBackup& left);
// Removes the backup: the file stays as it is.
void DiscardLeftBackup(const TLeftBackup& left);

// The backup of one in-place save. It is written whole under a temporary
// name and flushed before it takes its own name, so that a backup found
// later is always the whole old file: beside the file as ".NAME.verselet-backup"
// where the folder may be written, else in the state folder as
// "DEVICE-INODE.backup" with the file's path in "DEVICE-INODE.path".
class TSaveBackup {
 public:
  TSaveBackup() = default;
  TSaveBackup(const TSaveBackup&) = delete;
  TSaveBackup& operator=(const TSaveBackup&) = delete;
  // A backup not removed stays: the save did not get through, and the old bytes may be needed.
  ~TSaveBackup() = default;

  // Copies the size bytes of fd, the file path in folder; 0 or the error.
  int Make(const TSaveFolder& folder, const std::filesystem::path& path, int fd, const struct stat& st);
  // Writes the old bytes back over fd and cuts it to them; 0 or the error.
  int CopyBack(int fd) const;
  // The new bytes are whole: the backup goes.
  void Remove();

 private:
  int MakeIn(const TSaveFolder& folder, const std::string& name, int fd);

  TSaveFolder FStateFolder;
  const TSaveFolder* FFolder = nullptr;
  std::string FName;
  std::string FPathName;  // the record of a backup in the state folder
  TFd FBackup;
  std::uint64_t FSize = 0;
};
