// TAtomicFile: saves a file so that a failure never destroys the previous one.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// What stands in the way of saving over a path. A name that does not exist
// yet is no obstacle; neither is a regular file the user may write.
enum class TSaveObstacle {
  None,
  ReadOnly,        // a regular file without write permission for this user
  NotRegularFile,  // a folder, a named pipe, a device...: never written to
};

// Looks at path (through symbolic links) without opening it.
TSaveObstacle CheckSaveTarget(const std::filesystem::path& path);

// Collects the bytes of a file and saves them on Commit.
//
// A symbolic link is followed to the file it finally names, which is saved
// (the links stay links). A new file, or one with a single name in a folder
// the user may write, is replaced: the bytes go to an unnamed temporary file
// in the same folder (or, where the file system has none, a short hidden one
// named after this process), are flushed to disk with the target's mode,
// owner and group, and the temporary file is renamed over the target, so
// that at every moment the target is the whole old file or the whole new
// one. A file with several names, or one in a folder the user may not write,
// is written in place instead: room for the new bytes is reserved first,
// then they are written over the old ones and flushed; when that fails the
// old bytes are written back. Temporary files of this program left in the
// folder by a process that no longer runs are removed on the next save.
//
// A read-only target is refused unless overwriteReadOnly is given, in which
// case it stays read-only; a folder, pipe or device is refused without being
// opened. Every failure raises EInOutError with a message that names the
// target, the reason and whether the old file is intact.
class TAtomicFile {
 public:
  explicit TAtomicFile(std::filesystem::path target, bool overwriteReadOnly = false);
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;
  ~TAtomicFile() = default;

  void Write(std::string_view bytes);
  void Commit();

 private:
  std::filesystem::path FTarget;
  bool FOverwriteReadOnly;
  // The whole text, so that it can be written in place in one go.
  std::string FBytes;
};

// Writes the whole of bytes to path through a TAtomicFile.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, bool overwriteReadOnly = false);
