// A folder that refuses new names while the files in it stay writable.
#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>

inline bool IsRoot() { return ::geteuid() == 0; }

// Runs an action when the last owner lets go of it.
struct TUndo {
  explicit TUndo(std::function<void()> action) : Action(std::move(action)) {}
  TUndo(const TUndo&) = delete;
  TUndo& operator=(const TUndo&) = delete;
  ~TUndo() { Action(); }
  std::function<void()> Action;
};

// Makes a folder refuse new names while its files stay writable: by its mode
// for a user, by the immutable flag for root (whom the mode does not stop).
// Returns what undoes it, or nothing when that is not possible here.
inline std::shared_ptr<TUndo> LockFolder(const std::filesystem::path& folder) {
  if (!IsRoot()) {
    if (::chmod(folder.c_str(), 0555) != 0) return nullptr;
    return std::make_shared<TUndo>([folder] { ::chmod(folder.c_str(), 0755); });
  }
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  int flags = 0;
  if (fd < 0 || ::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
    if (fd >= 0) ::close(fd);
    return nullptr;
  }
  flags |= FS_IMMUTABLE_FL;
  if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::make_shared<TUndo>([fd, flags] {
    int cleared = flags & ~FS_IMMUTABLE_FL;
    ::ioctl(fd, FS_IOC_SETFLAGS, &cleared);
    ::close(fd);
  });
}
