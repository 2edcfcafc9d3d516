// TAtomicFile: saves a file so that a failure never destroys the previous one.
#pragma once

#include <exception>
#include <filesystem>
#include <memory>
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

// Saves a file from the bytes written to it, on Commit.
//
// A symbolic link is followed to the file it finally names, which is saved
// (the links stay links); as the kernel does, a link in a sticky folder that
// everyone may write is followed only when it belongs to this user or to the
// folder's owner, and the save is refused otherwise. A new file, or one with a single name in a folder
// the user may write, is replaced: the bytes go, as they are written, to an
// unnamed temporary file in the same folder (or, where the file system has
// none, a short hidden one named after this process), are flushed to disk
// with the target's mode, owner and group, and the temporary file is renamed
// over the target, so that at every moment the target is the whole old file
// or the whole new one. A file with several names, or one in a folder the
// user may not write, is written in place instead: room for the new bytes is
// reserved first, the old bytes are copied into a backup (see
// TSaveBackup) and flushed, then the new bytes are written over the old
// ones and flushed, and the backup is removed; when that fails the old
// bytes are written back from it. A backup that a crash left behind stays
// until the user restores or discards it (FindLeftBackup): until then the
// file is not saved. Such a file, too, collects
// the bytes in a temporary file where one can be made, and copies them from
// there; the in-place write needs room only for what the file grows by, so
// when the disk has no room for that copy, or the folder may not be
// written, the bytes are kept in memory instead. When replacing turns out
// impossible only at Commit, the bytes already in the temporary file are
// copied from there. Temporary files of this program left in the folder by
// a process that no longer runs are removed on the next save.
//
// The target is looked at when the object is made, before a byte is
// written, so that a save that cannot be done is refused before the bytes
// are produced: a read-only target is refused unless overwriteReadOnly is
// given, in which case it stays read-only; a folder, pipe or device is
// refused without being opened. Every failure raises EInOutError with a
// message that names the target, the reason and whether the old file is
// intact; after one, Write and Commit raise it again. An object destroyed
// without Commit (its producer failed) leaves the target as it was and no
// temporary file behind.
class TAtomicFile {
 public:
  explicit TAtomicFile(std::filesystem::path target, bool overwriteReadOnly = false);
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;
  ~TAtomicFile();

  void Write(std::string_view bytes);
  void Commit();

 private:
  class TSaver;
  // Runs a step of the save; its failure ends the save and is kept.
  template <class Step>
  void Run(Step step);

  std::unique_ptr<TSaver> FSaver;  // none once committed or failed
  std::exception_ptr FFailure;
};

// For tests: called by an in-place save once the new bytes are written over
// the old ones and before the file is cut to their length, the moment a
// crash leaves the new text followed by the old tail.
void SetInPlaceSaveHook(void (*hook)());

// Writes the whole of bytes to path through a TAtomicFile.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, bool overwriteReadOnly = false);
