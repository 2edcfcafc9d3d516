// TSpooledOutput: an O_TMPFILE file in the temporary folder, copied to standard output by the kernel.
#include "tools/verselet-tool/SpooledOutput.h"

#include <fcntl.h>
#include <sys/sendfile.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/Exceptions.h"

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw EInOutError("標準出力に書き込めません (" + what + ": " + SystemErrorText(errno) + ")");
}

void WriteAll(int fd, const char* p, std::size_t n, const char* what) {
  while (n > 0) {
    const ssize_t written = ::write(fd, p, n);
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail(what);
    }
    p += written;
    n -= static_cast<std::size_t>(written);
  }
}

}  // namespace

TSpooledOutput::TSpooledOutput() {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) folder = "/tmp";
  FFd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (FFd < 0 && (errno == EOPNOTSUPP || errno == EISDIR)) {
    // A file system without unnamed files: a named one, unlinked at once.
    std::string name = (folder / "verselet-tool-XXXXXX").string();
    FFd = ::mkostemp(name.data(), O_CLOEXEC);
    if (FFd >= 0) ::unlink(name.c_str());
  }
  if (FFd < 0) Fail("一時ファイルを作れません");
}

TSpooledOutput::~TSpooledOutput() { ::close(FFd); }

void TSpooledOutput::Write(std::string_view bytes) { WriteAll(FFd, bytes.data(), bytes.size(), "一時ファイル"); }

void TSpooledOutput::Commit() {
  off_t offset = 0;
  for (;;) {
    const ssize_t sent = ::sendfile(STDOUT_FILENO, FFd, &offset, 1 << 30);
    if (sent > 0) continue;
    if (sent == 0) return;
    if (errno == EINTR) continue;
    if (errno != EINVAL && errno != ENOSYS) Fail("sendfile");
    break;  // an output sendfile cannot serve: copy through a buffer
  }
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::pread(FFd, buffer, sizeof buffer, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("一時ファイル");
    if (n == 0) return;
    WriteAll(STDOUT_FILENO, buffer, static_cast<std::size_t>(n), "標準出力");
    offset += n;
  }
}
