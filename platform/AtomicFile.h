// TAtomicFile: writes a file so that a failure never destroys the previous one.
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

// The bytes go to a temporary file in the target's folder; Commit flushes
// them to disk and renames the temporary file over the target, keeping the
// target's permissions. Until Commit succeeds the target is untouched; a
// TAtomicFile destroyed without a successful Commit removes its temporary
// file. A read-only target is refused unless overwriteReadOnly is given, in
// which case it stays read-only after the save. Every failure raises
// EInOutError with a message that names the target and the reason.
class TAtomicFile {
 public:
  explicit TAtomicFile(std::filesystem::path target, bool overwriteReadOnly = false);
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;
  ~TAtomicFile();

  void Write(std::string_view bytes);
  void Commit();

 private:
  void Fail(const std::string& what, int error);
  void FlushBuffer();

  std::filesystem::path FTarget;
  std::string FTempName;
  std::string FBuffer;
  int FFd = -1;
  bool FCommitted = false;
};

// Writes the whole of bytes to path through a TAtomicFile.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, bool overwriteReadOnly = false);
