// TSaveFolder: the folder a file is saved in, and the temporary files of a save in it.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <utility>

// An open file descriptor, closed on the way out.
class TFd {
 public:
  explicit TFd(int fd = -1) : FFd(fd) {}
  TFd(TFd&& other) noexcept : FFd(std::exchange(other.FFd, -1)) {}
  TFd& operator=(TFd&& other) noexcept {
    std::swap(FFd, other.FFd);
    return *this;
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  ~TFd();

  int Get() const { return FFd; }
  explicit operator bool() const { return FFd >= 0; }

 private:
  int FFd;
};

// A temporary file of a save: unnamed (Name empty) until linked into the
// folder; a named one is removed with this object unless Name is cleared.
struct TSaveTemporary {
  TSaveTemporary() = default;
  // The moved-from one no longer owns the name.
  TSaveTemporary(TSaveTemporary&& other) noexcept
      : Fd(std::move(other.Fd)), Name(std::exchange(other.Name, {})), FolderFd(other.FolderFd), Error(other.Error) {}
  // The one assigned over is let go with other, which takes its place.
  TSaveTemporary& operator=(TSaveTemporary&& other) noexcept {
    std::swap(Fd, other.Fd);
    std::swap(Name, other.Name);
    std::swap(FolderFd, other.FolderFd);
    std::swap(Error, other.Error);
    return *this;
  }
  ~TSaveTemporary();

  TFd Fd;
  std::string Name;
  int FolderFd = -1;
  int Error = 0;  // why it could not be made; Fd is then closed
};

// Temporary files are unnamed where the file system allows it, so that a
// crash leaves nothing; a named one, short enough for any folder, carries the
// process id, so that the next save in the folder can tell a stale one from
// one that another running save still uses.
class TSaveFolder {
 public:
  // 0, or the error that kept the folder from opening.
  int Open(const std::filesystem::path& folder);
  int Fd() const { return FFd.Get(); }

  // Removes the temporary files that saves by processes no longer running
  // left behind; quietly leaves what it cannot remove.
  void RemoveStaleTemporaries() const;

  // Open for reading too, so that what was written can be copied out again.
  TSaveTemporary CreateTemporary(mode_t mode) const;
  // Gives an unnamed temporary file a name in the folder; 0 or the error.
  int Link(TSaveTemporary& temp) const;
  // After an unnamed file could not be linked: true when the next
  // temporary file will be a named one, false when it already was.
  bool GiveUpUnnamed();
  // Flushes the folder's entries, so that a rename survives a power cut.
  void Sync() const;

  // A fresh name for a temporary file of process pid.
  static std::string TemporaryName(pid_t pid);
  // Whether name is one of this program's temporary files, and the process
  // that made it is gone.
  static bool IsStaleTemporary(const std::string& name);

 private:
  TFd FFd;
  bool FUnnamed = true;
};
