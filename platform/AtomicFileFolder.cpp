// TSaveFolder: unnamed or pid-named temporary files, their clean-up, and the folder flush.
#include "platform/AtomicFileFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <random>
#include <string_view>

namespace {

constexpr std::string_view kPrefix = ".verselet-";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kRandomLength = 8;
constexpr std::string_view kRandomAlphabet = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr int kNameAttempts = 100;

// Errors of a file system that cannot make unnamed files.
bool IsUnnamedUnsupported(int error) {
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL || error == ENOENT;
}

}  // namespace

TFd::~TFd() {
  if (FFd >= 0) ::close(FFd);
}

TSaveTemporary::~TSaveTemporary() {
  if (!Name.empty()) ::unlinkat(FolderFd, Name.c_str(), 0);
}

int TSaveFolder::Open(const std::filesystem::path& folder) {
  FFd = TFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  // A folder the user may enter but not list can still be saved in.
  if (!FFd && errno == EACCES) FFd = TFd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  return FFd ? 0 : errno;
}

std::string TSaveFolder::TemporaryName(pid_t pid) {
  static thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, kRandomAlphabet.size() - 1);
  std::string name(kPrefix);
  name += std::to_string(pid);
  name += '-';
  for (std::size_t i = 0; i < kRandomLength; ++i) name += kRandomAlphabet[pick(random)];
  name += kSuffix;
  return name;
}

bool TSaveFolder::IsStaleTemporary(const std::string& name) {
  const std::string_view view(name);
  if (!view.starts_with(kPrefix) || !view.ends_with(kSuffix)) return false;
  const std::string_view middle = view.substr(kPrefix.size(), view.size() - kPrefix.size() - kSuffix.size());
  const std::size_t dash = middle.find('-');
  if (dash == std::string_view::npos || middle.size() - dash - 1 != kRandomLength) return false;
  if (middle.substr(dash + 1).find_first_not_of(kRandomAlphabet) != std::string_view::npos) return false;
  pid_t pid = 0;
  const auto [end, error] = std::from_chars(middle.data(), middle.data() + dash, pid);
  if (error != std::errc() || end != middle.data() + dash || pid <= 0) return false;
  return ::kill(pid, 0) != 0 && errno == ESRCH;
}

void TSaveFolder::RemoveStaleTemporaries() const {
  const int listFd = ::openat(FFd.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listFd < 0) return;
  DIR* dir = ::fdopendir(listFd);
  if (dir == nullptr) {
    ::close(listFd);
    return;
  }
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    struct stat st {};
    if (!IsStaleTemporary(name) || ::fstatat(FFd.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(st.st_mode)) {
      continue;
    }
    ::unlinkat(FFd.Get(), name.c_str(), 0);
  }
  ::closedir(dir);
}

TSaveTemporary TSaveFolder::CreateTemporary(mode_t mode) const {
  TSaveTemporary temp;
  temp.FolderFd = FFd.Get();
  if (FUnnamed) {
    temp.Fd = TFd(::openat(FFd.Get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
    if (temp.Fd || !IsUnnamedUnsupported(errno)) {
      temp.Error = temp.Fd ? 0 : errno;
      return temp;
    }
  }
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string name = TemporaryName(::getpid());
    temp.Fd = TFd(::openat(FFd.Get(), name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC, mode));
    if (temp.Fd) {
      temp.Name = std::move(name);
      return temp;
    }
    if (errno != EEXIST) break;
  }
  temp.Error = errno;
  return temp;
}

int TSaveFolder::Link(TSaveTemporary& temp) const {
  if (!temp.Name.empty()) return 0;
  const std::string self = "/proc/self/fd/" + std::to_string(temp.Fd.Get());
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string name = TemporaryName(::getpid());
    if (::linkat(AT_FDCWD, self.c_str(), FFd.Get(), name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      temp.Name = std::move(name);
      return 0;
    }
    if (errno != EEXIST) return errno;
  }
  return EEXIST;
}

bool TSaveFolder::GiveUpUnnamed() { return std::exchange(FUnnamed, false); }

void TSaveFolder::Sync() const {
  // The new file is in place either way; a folder opened only as a path
  // (one the user may not list) cannot be flushed.
  ::fsync(FFd.Get());
}
