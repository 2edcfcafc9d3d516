// TAtomicFile: follows the links, then replaces the file through a temporary one or writes it in place.
#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <utility>

#include "platform/Exceptions.h"
#include "platform/AtomicFileBackup.h"
#include "platform/AtomicFileFolder.h"
#include "platform/AtomicFileText.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinks = 40;  // the kernel's own limit for one lookup

// What a failed save did to the file that was there.
enum class TOldFile { None, Intact, Restored, Damaged };

bool IsPermissionError(int error) { return error == EACCES || error == EPERM || error == EROFS; }
bool IsNoSpaceError(int error) { return error == ENOSPC || error == EDQUOT || error == EFBIG; }

[[noreturn]] void Fail(const fs::path& target, std::string what, int error, TOldFile old) {
  if (IsNoSpaceError(error)) what = "ディスクの空きが足りません";
  std::string message = target.string() + " に書き込めません (" + what;
  if (error != 0) message += ": " + SystemErrorText(error);
  message += ")";
  switch (old) {
    case TOldFile::None:
      break;
    case TOldFile::Intact:
      message += "。元のファイルはそのままです";
      break;
    case TOldFile::Restored:
      message += "。元の内容に戻しました";
      break;
    case TOldFile::Damaged:
      message += "。ファイルの内容が壊れている可能性があります";
      break;
  }
  throw EInOutError(message);
}

// Root may write any file, so for root a file is read-only when nobody has
// a write bit on it; anyone else asks the kernel.
bool IsReadOnly(const fs::path& path, const struct stat& st) {
  if (::geteuid() == 0) return (st.st_mode & 0222) == 0;
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && (errno == EACCES || errno == EROFS);
}

// The kernel's rule for links in sticky folders that everyone may write
// (protected_symlinks), which a lookup by hand would bypass: such a link is
// followed only when it belongs to this user or to the folder's owner, so
// that a link another user planted there cannot have a private file written.
bool MayFollow(const fs::path& link, const struct stat& linkStat) {
  if (linkStat.st_uid == ::geteuid()) return true;
  struct stat folder {};
  const fs::path parent = link.has_parent_path() ? link.parent_path() : fs::path(".");
  if (::stat(parent.c_str(), &folder) != 0) return false;
  const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
  return !shared || linkStat.st_uid == folder.st_uid;
}

// The file a chain of symbolic links finally names; it need not exist yet
// (a link to a missing file creates that file).
fs::path ResolveLinks(const fs::path& target) {
  fs::path path = target;
  for (int depth = 0; depth <= kMaxLinks; ++depth) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
      if (errno == ENOENT) return path;
      Fail(target, "ファイルを調べられません", errno, TOldFile::Intact);
    }
    if (!S_ISLNK(st.st_mode)) return path;
    if (!MayFollow(path, st)) {
      throw EInOutError(target.string() + " はほかのユーザーが共有フォルダに置いたシンボリックリンク (" + path.string() +
                        ") なので、たどって保存しません");
    }
    std::error_code error;
    const fs::path next = fs::read_symlink(path, error);
    if (error) Fail(target, "リンクを読めません", error.value(), TOldFile::Intact);
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  Fail(target, "リンクをたどれません", ELOOP, TOldFile::Intact);
}

// Cuts the file to size and flushes it; 0 or the error.
int CutAndFlush(int fd, std::uint64_t size) {
  if (::ftruncate(fd, static_cast<off_t>(size)) != 0) return errno;
  return ::fsync(fd) == 0 ? 0 : errno;
}

void (*gInPlaceSaveHook)() = nullptr;

}  // namespace

// One save to target, from following the links to the last flush.
class TAtomicFile::TSaver {
 public:
  TSaver(fs::path target, bool overwriteReadOnly) : FTarget(std::move(target)) {
    const fs::path file = ResolveLinks(FTarget);
    FExists = ::stat(file.c_str(), &FOld) == 0;
    if (!FExists && errno != ENOENT) Fail(FTarget, "ファイルを調べられません", errno, TOldFile::Intact);
    if (FExists && !S_ISREG(FOld.st_mode)) {
      throw EInOutError(FTarget.string() + " は通常のファイルではないので保存できません");
    }
    if (FExists && !overwriteReadOnly && IsReadOnly(file, FOld)) {
      throw EInOutError(FTarget.string() + " は読み取り専用のファイルなので上書きしません");
    }
    if (const std::optional<TLeftBackup> left = FindLeftBackup(file)) {
      throw EInOutError(FTarget.string() + " には前回の保存が途中で終わったときのバックアップ " + left->Backup.string() +
                        " が残っているので保存しません。元に戻すか削除してから保存してください");
    }
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    const int error = FFolder.Open(folder);
    if (error != 0) Fail(FTarget, "フォルダを開けません", error, Old());
    FName = file.filename().string();
    FFile = file;
    FFolder.RemoveStaleTemporaries();
    // What will be replaced takes the bytes straight into its temporary
    // file; a file written in place keeps them in one too, where it can.
    if (!FExists || FOld.st_nlink == 1) {
      MoveToTemporary();
    } else if (TSaveTemporary spool = FFolder.CreateTemporary(0600); spool.Error == 0) {
      FText.MoveTo(std::move(spool));  // empty yet: nothing to copy
    }
  }

  void Write(std::string_view bytes) {
    int error = FText.Append(bytes);
    if (error != 0 && InMemoryInstead(error)) error = FText.Append(bytes);
    if (error != 0) Fail(FTarget, "書き込みに失敗しました", error, Old());
  }

  void Commit() {
    const int error = FText.Flush();
    if (error != 0 && !InMemoryInstead(error)) Fail(FTarget, "書き込みに失敗しました", error, Old());
    if (!FExists) {
      Replace(false);
      return;
    }
    // A single name in a writable folder is replaced whole; otherwise
    // writing in place keeps the other names and works without the folder.
    if (FOld.st_nlink == 1 && Replace(true)) return;
    if (WriteInPlace()) return;
    // A file the user may not write, saved on request: replacing it is the
    // only way left, even when it then belongs to the user.
    if (FOld.st_nlink == 1 && Replace(false)) return;
    Fail(FTarget, "書き込みが許可されていません", EACCES, TOldFile::Intact);
  }

 private:
  TOldFile Old() const { return FExists ? TOldFile::Intact : TOldFile::None; }

  // A file written in place needs room only for what it grows by: where
  // the disk has no room for the copy of its text, the text moves back
  // into memory and the save goes on.
  bool InMemoryInstead(int error) {
    return FExists && FOld.st_nlink > 1 && IsNoSpaceError(error) && FText.MoveToMemory() == 0;
  }

  // Puts the text into a new temporary file; false, with nothing changed,
  // when the folder may not be written.
  bool MoveToTemporary() {
    // A new file gets the usual mode for documents within the umask; the
    // temporary file for an existing one is private until it has that
    // file's mode.
    TSaveTemporary temp = FFolder.CreateTemporary(FExists ? 0600 : 0666);
    if (temp.Error != 0) {
      if (FExists && IsPermissionError(temp.Error)) return false;
      const char* what = IsPermissionError(temp.Error) ? "フォルダに書き込めません" : "一時ファイルを作れません";
      Fail(FTarget, what, temp.Error, Old());
    }
    if (const int error = FText.MoveTo(std::move(temp))) Fail(FTarget, "書き込みに失敗しました", error, Old());
    return true;
  }

  // Replaces the file by the temporary one; false, with nothing changed,
  // when the folder may not be written or the owner could not be kept.
  bool Replace(bool keepOwner) {
    if (!FText.InFile() && !MoveToTemporary()) return false;
    TSaveTemporary& temp = FText.File();
    // Owner and mode last, so that no write of the text clears a set-id bit.
    if (FExists) {
      if (!KeepOwner(temp.Fd.Get(), keepOwner)) return false;
      if (::fchmod(temp.Fd.Get(), FOld.st_mode & 07777) != 0) Fail(FTarget, "属性を設定できません", errno, Old());
    }
    if (::fsync(temp.Fd.Get()) != 0) Fail(FTarget, "ディスクに書き出せません", errno, Old());
    if (const int error = FFolder.Link(temp)) {
      // The text moves from the unnamed file into a named one.
      if (error != EEXIST && FFolder.GiveUpUnnamed()) return MoveToTemporary() && Replace(keepOwner);
      Fail(FTarget, "一時ファイルに名前を付けられません", error, Old());
    }
    if (::renameat(FFolder.Fd(), temp.Name.c_str(), FFolder.Fd(), FName.c_str()) != 0) {
      if (FExists && IsPermissionError(errno)) return false;  // a sticky folder
      Fail(FTarget, "置き換えられません", errno, Old());
    }
    temp.Name.clear();  // it is the file now
    FFolder.Sync();
    return true;
  }

  // Gives the temporary file the old file's owner and group; false when
  // that is not permitted and keepOwner asks for it.
  bool KeepOwner(int fd, bool keepOwner) const {
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_uid == FOld.st_uid && st.st_gid == FOld.st_gid) return true;
    if (::fchown(fd, FOld.st_uid, FOld.st_gid) == 0) return true;
    if (keepOwner) return false;
    // The group, where the user belongs to it; else the file keeps the user's own.
    [[maybe_unused]] const int groupKept = ::fchown(fd, static_cast<uid_t>(-1), FOld.st_gid);
    return true;
  }

  // Writes the new bytes over the old ones; false, with nothing changed,
  // when the user may not write the file.
  bool WriteInPlace() {
    // Never blocks, should the name have become a pipe since it was looked at.
    const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    bool canRestore = true;
    TFd fd(::openat(FFolder.Fd(), FName.c_str(), O_RDWR | flags));
    if (!fd && errno == EACCES) {
      canRestore = false;
      fd = TFd(::openat(FFolder.Fd(), FName.c_str(), O_WRONLY | flags));
    }
    if (!fd) {
      if (IsPermissionError(errno)) return false;
      Fail(FTarget, "開けません", errno, TOldFile::Intact);
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) Fail(FTarget, "ファイルを調べられません", errno, TOldFile::Intact);
    if (!S_ISREG(st.st_mode) || st.st_dev != FOld.st_dev || st.st_ino != FOld.st_ino) {
      Fail(FTarget, "保存の途中で別のファイルに入れ替わりました", 0, TOldFile::Intact);
    }
    // The old bytes go to a backup that is flushed before a byte of the
    // file changes, and stays until the new ones are whole, so that neither
    // a failure nor a crash in between can lose them.
    TSaveBackup backup;
    if (canRestore) MakeBackup(backup, fd.Get(), st);
    // Reserve the room first, so that a full disk is found before a byte changes.
    const std::uint64_t size = FText.Size();
    if (const int reserve = Reserve(fd.Get(), size)) {
      backup.Remove();
      Fail(FTarget, "", reserve, TOldFile::Intact);
    }
    int error = FText.CopyTo(fd.Get());
    if (error == 0 && gInPlaceSaveHook != nullptr) gInPlaceSaveHook();
    if (error == 0) error = CutAndFlush(fd.Get(), size);
    if (error == 0) {
      backup.Remove();
      return true;
    }
    const bool restored = canRestore && backup.CopyBack(fd.Get()) == 0;
    if (restored) backup.Remove();
    Fail(FTarget, "書き込みに失敗しました", error, restored ? TOldFile::Restored : TOldFile::Damaged);
  }

  // A backup of the file's old bytes; the disk's room for it is taken
  // from the copy of the text first, which can wait in memory.
  void MakeBackup(TSaveBackup& backup, int fd, const struct stat& st) {
    int error = backup.Make(FFolder, FFile, fd, st);
    if (IsNoSpaceError(error) && FText.InFile() && FText.MoveToMemory() == 0) error = backup.Make(FFolder, FFile, fd, st);
    if (error != 0) Fail(FTarget, "元の内容のバックアップを作れません", error, TOldFile::Intact);
  }

  // Room on disk for size bytes of the file; 0, or the error when there is
  // none. The copy of the text gives its room up first when that is what
  // stands in the way: writing in place needs room only for the growth.
  int Reserve(int fd, std::uint64_t size) {
    if (size == 0) return 0;
    const auto allocate = [fd, size] {
      return ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0 ? 0 : errno;
    };
    int error = allocate();
    if (IsNoSpaceError(error) && FText.InFile() && FText.MoveToMemory() == 0) error = allocate();
    return IsNoSpaceError(error) ? error : 0;  // a file system without fallocate is no obstacle
  }

  const fs::path FTarget;
  struct stat FOld {};
  bool FExists = false;
  TSaveFolder FFolder;
  std::string FName;
  fs::path FFile;  // the file the links name
  TSaveText FText;
};

TSaveObstacle CheckSaveTarget(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return TSaveObstacle::None;
  if (!S_ISREG(st.st_mode)) return TSaveObstacle::NotRegularFile;
  return IsReadOnly(path, st) ? TSaveObstacle::ReadOnly : TSaveObstacle::None;
}

TAtomicFile::TAtomicFile(fs::path target, bool overwriteReadOnly)
    : FSaver(std::make_unique<TSaver>(std::move(target), overwriteReadOnly)) {}

TAtomicFile::~TAtomicFile() = default;

template <class Step>
void TAtomicFile::Run(Step step) {
  if (FFailure) std::rethrow_exception(FFailure);
  if (!FSaver) throw std::logic_error("TAtomicFile: used after its Commit");
  try {
    step(*FSaver);
  } catch (...) {
    FSaver.reset();  // lets the temporary file go
    FFailure = std::current_exception();
    throw;
  }
}

void TAtomicFile::Write(std::string_view bytes) {
  Run([bytes](TSaver& saver) { saver.Write(bytes); });
}

void TAtomicFile::Commit() {
  Run([](TSaver& saver) { saver.Commit(); });
  FSaver.reset();
}

void SetInPlaceSaveHook(void (*hook)()) { gInPlaceSaveHook = hook; }

void WriteFileAtomically(const fs::path& path, std::string_view bytes, bool overwriteReadOnly) {
  TAtomicFile file(path, overwriteReadOnly);
  file.Write(bytes);
  file.Commit();
}
