// TAtomicFile: temporary file, flush, rename.
#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/Exceptions.h"

namespace {

constexpr std::size_t kBufferSize = 8192;

std::string ErrorText(int error) { return std::strerror(error); }

// Root may write any file, so for root a file is read-only when nobody has
// a write bit on it; anyone else asks the kernel.
bool IsReadOnly(const std::filesystem::path& path, const struct stat& st) {
  if (::geteuid() == 0) return (st.st_mode & 0222) == 0;
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && (errno == EACCES || errno == EROFS);
}

}  // namespace

TSaveObstacle CheckSaveTarget(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return TSaveObstacle::None;
  if (!S_ISREG(st.st_mode)) return TSaveObstacle::NotRegularFile;
  return IsReadOnly(path, st) ? TSaveObstacle::ReadOnly : TSaveObstacle::None;
}

TAtomicFile::TAtomicFile(std::filesystem::path target, bool overwriteReadOnly) : FTarget(std::move(target)) {
  switch (CheckSaveTarget(FTarget)) {
    case TSaveObstacle::None:
      break;
    case TSaveObstacle::ReadOnly:
      if (!overwriteReadOnly) throw EInOutError(FTarget.string() + " は読み取り専用のファイルなので上書きしません");
      break;
    case TSaveObstacle::NotRegularFile:
      throw EInOutError(FTarget.string() + " は通常のファイルではないので保存できません");
  }
  const std::filesystem::path dir = FTarget.has_parent_path() ? FTarget.parent_path() : ".";
  std::string pattern = (dir / ("." + FTarget.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  FFd = ::mkstemp(name.data());
  if (FFd < 0) Fail("一時ファイルを作れません", errno);
  FTempName = name.data();
  FBuffer.reserve(kBufferSize);
}

TAtomicFile::~TAtomicFile() {
  if (FFd >= 0) ::close(FFd);
  if (!FCommitted && !FTempName.empty()) ::unlink(FTempName.c_str());
}

void TAtomicFile::Fail(const std::string& what, int error) {
  throw EInOutError(FTarget.string() + " に書き込めません (" + what + ": " + ErrorText(error) + ")");
}

void TAtomicFile::FlushBuffer() {
  const char* p = FBuffer.data();
  std::size_t left = FBuffer.size();
  while (left > 0) {
    const ssize_t n = ::write(FFd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("書き込みに失敗しました", errno);
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  FBuffer.clear();
}

void TAtomicFile::Write(std::string_view bytes) {
  if (bytes.size() >= kBufferSize) {
    FlushBuffer();
    FBuffer.assign(bytes);
    FlushBuffer();
    return;
  }
  if (FBuffer.size() + bytes.size() > kBufferSize) FlushBuffer();
  FBuffer.append(bytes);
}

void TAtomicFile::Commit() {
  FlushBuffer();
  // Keep the permissions of the file being replaced; a new file gets the
  // usual mode for documents, within the user's umask.
  struct stat st {};
  mode_t mode = 0;
  if (::stat(FTarget.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(FFd, mode) != 0) Fail("属性を設定できません", errno);
  if (::fsync(FFd) != 0) Fail("ディスクに書き出せません", errno);
  if (::close(FFd) != 0) {
    FFd = -1;
    Fail("ファイルを閉じられません", errno);
  }
  FFd = -1;
  if (::rename(FTempName.c_str(), FTarget.c_str()) != 0) Fail("置き換えられません", errno);
  FCommitted = true;
}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, bool overwriteReadOnly) {
  TAtomicFile file(path, overwriteReadOnly);
  file.Write(bytes);
  file.Commit();
}
