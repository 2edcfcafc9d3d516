// TSaveBackup: backups of in-place saves beside the file or in the state folder, and finding those left behind.
#include "platform/AtomicFileBackup.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include "platform/AtomicFileText.h"
#include "platform/Exceptions.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kBesideSuffix = ".verselet-backup";
constexpr std::string_view kStateSuffix = ".backup";
constexpr std::string_view kPathSuffix = ".path";
constexpr std::size_t kBlock = std::size_t{1} << 18;

std::string BesideName(const std::string& name) { return "." + name + std::string(kBesideSuffix); }

std::string StateName(const struct stat& st) {
  return std::to_string(st.st_dev) + "-" + std::to_string(st.st_ino);
}

// Copies size bytes from one descriptor to another, both from their start; 0 or the error.
int CopyBytes(int from, int to, std::uint64_t size) {
  const auto block = std::make_unique_for_overwrite<char[]>(kBlock);
  for (std::uint64_t offset = 0; offset < size;) {
    const ssize_t n = ::pread(from, block.get(), static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, size - offset)),
                              static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;  // shorter than it was
    if (const int error = WriteAllAt(to, std::string_view(block.get(), static_cast<std::size_t>(n)),
                                     static_cast<off_t>(offset)))
      return error;
    offset += static_cast<std::uint64_t>(n);
  }
  return 0;
}

std::string ReadSmallFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

fs::path StateFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return fs::path(state) / "verselet";
  const char* home = std::getenv("HOME");
  return fs::path(home != nullptr ? home : "") / ".local" / "state" / "verselet";
}

std::optional<TLeftBackup> FindLeftBackup(const fs::path& target) {
  std::error_code error;
  const fs::path file = fs::canonical(target, error);
  if (error) return std::nullopt;
  const fs::path beside = file.parent_path() / BesideName(file.filename().string());
  if (fs::is_regular_file(fs::symlink_status(beside, error))) return TLeftBackup{file, beside};
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return std::nullopt;
  const fs::path inState = StateFolder() / (StateName(st) + std::string(kStateSuffix));
  if (fs::is_regular_file(fs::symlink_status(inState, error))) return TLeftBackup{file, inState};
  return std::nullopt;
}

std::vector<TLeftBackup> LeftBackupsInStateFolder() {
  std::vector<TLeftBackup> found;
  std::error_code error;
  for (fs::directory_iterator it(StateFolder(), error), end; !error && it != end; it.increment(error)) {
    const fs::path backup = it->path();
    if (backup.extension() != kStateSuffix || !it->is_regular_file(error)) continue;
    fs::path record = backup;
    record.replace_extension(kPathSuffix);
    const std::string target = ReadSmallFile(record);
    if (!target.empty()) found.push_back(TLeftBackup{target, backup});
  }
  return found;
}

void RestoreLeftBackup(const TLeftBackup& left) {
  const auto fail = [&left](int error) {
    throw EInOutError(left.Target.string() + " を " + left.Backup.string() + " から元に戻せません (" +
                      SystemErrorText(error) + ")。バックアップはそのままです");
  };
  const TFd from(::open(left.Backup.c_str(), O_RDONLY | O_CLOEXEC));
  if (!from) fail(errno);
  struct stat st {};
  if (::fstat(from.Get(), &st) != 0) fail(errno);
  const TFd to(::open(left.Target.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (!to) fail(errno);
  int error = CopyBytes(from.Get(), to.Get(), static_cast<std::uint64_t>(st.st_size));
  if (error == 0 && ::ftruncate(to.Get(), st.st_size) != 0) error = errno;
  if (error == 0 && ::fsync(to.Get()) != 0) error = errno;
  if (error != 0) fail(error);
  DiscardLeftBackup(left);
}

void DiscardLeftBackup(const TLeftBackup& left) {
  std::error_code error;
  fs::path record = left.Backup;
  if (record.extension() == kStateSuffix) fs::remove(record.replace_extension(kPathSuffix), error);
  fs::remove(left.Backup, error);
}

int TSaveBackup::Make(const TSaveFolder& folder, const fs::path& path, int fd, const struct stat& st) {
  FSize = static_cast<std::uint64_t>(st.st_size);
  FName = BesideName(path.filename().string());
  int error = MakeIn(folder, FName, fd);
  if (error == 0) {
    FFolder = &folder;
    return 0;
  }
  if (error == EEXIST) return error;
  // A folder that may not be written keeps its backups in the state folder.
  std::error_code made;
  fs::create_directories(StateFolder(), made);
  if (const int open = FStateFolder.Open(StateFolder())) return open;
  const std::string stem = StateName(st);
  const std::string record = fs::absolute(path).string();
  FName = stem + std::string(kStateSuffix);
  FPathName = stem + std::string(kPathSuffix);
  TSaveTemporary temp = FStateFolder.CreateTemporary(0600);
  if (temp.Error != 0) return temp.Error;
  if ((error = WriteAllAt(temp.Fd.Get(), record, 0)) != 0) return error;
  if ((error = FStateFolder.Link(temp)) != 0) return error;
  if (::renameat(FStateFolder.Fd(), temp.Name.c_str(), FStateFolder.Fd(), FPathName.c_str()) != 0) return errno;
  temp.Name.clear();
  if ((error = MakeIn(FStateFolder, FName, fd)) != 0) {
    ::unlinkat(FStateFolder.Fd(), FPathName.c_str(), 0);
    return error;
  }
  FFolder = &FStateFolder;
  return 0;
}

int TSaveBackup::MakeIn(const TSaveFolder& folder, const std::string& name, int fd) {
  TSaveTemporary temp = folder.CreateTemporary(0600);
  if (temp.Error != 0) return temp.Error;
  if (const int error = CopyBytes(fd, temp.Fd.Get(), FSize)) return error;
  if (::fsync(temp.Fd.Get()) != 0) return errno;
  if (const int error = folder.Link(temp)) return error;
  // Never over another backup: one left behind is the user's to decide on.
  if (::renameat2(folder.Fd(), temp.Name.c_str(), folder.Fd(), name.c_str(), RENAME_NOREPLACE) != 0) return errno;
  temp.Name.clear();
  folder.Sync();
  FBackup = std::move(temp.Fd);
  return 0;
}

int TSaveBackup::CopyBack(int fd) const {
  if (const int error = CopyBytes(FBackup.Get(), fd, FSize)) return error;
  if (::ftruncate(fd, static_cast<off_t>(FSize)) != 0) return errno;
  return ::fsync(fd) == 0 ? 0 : errno;
}

void TSaveBackup::Remove() {
  if (FFolder == nullptr) return;
  ::unlinkat(FFolder->Fd(), FName.c_str(), 0);
  if (!FPathName.empty()) ::unlinkat(FFolder->Fd(), FPathName.c_str(), 0);
  FFolder = nullptr;
}
