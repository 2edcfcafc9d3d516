// TSaveText: blocks of the text into the temporary file, and its copies into another file.
#include "platform/AtomicFileText.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace {

// Small pieces (a line each) are gathered into blocks of this size before
// they are written, and copies go a block at a time.
constexpr std::size_t kBlock = std::size_t{1} << 18;

}  // namespace

int WriteAllAt(int fd, std::string_view bytes, off_t offset) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, offset + static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

int TSaveText::Append(std::string_view bytes) {
  if (!InFile() || FPending.size() + bytes.size() < kBlock) {
    FPending.append(bytes);
    return 0;
  }
  if (const int error = Flush()) return error;
  if (bytes.size() >= kBlock) return WriteOut(bytes);
  FPending.append(bytes);
  return 0;
}

int TSaveText::Flush() {
  if (!InFile() || FPending.empty()) return 0;
  if (const int error = WriteOut(FPending)) return error;
  FPending.clear();
  return 0;
}

int TSaveText::WriteOut(std::string_view bytes) {
  if (const int error = WriteAllAt(FFile.Fd.Get(), bytes, static_cast<off_t>(FWritten))) return error;
  FWritten += bytes.size();
  return 0;
}

int TSaveText::CopyTo(int fd) {
  if (const int error = Flush()) return error;
  if (!InFile()) return WriteAllAt(fd, FPending, 0);
  const auto block = std::make_unique_for_overwrite<char[]>(kBlock);
  for (std::uint64_t offset = 0; offset < FWritten;) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, FWritten - offset));
    const ssize_t n = ::pread(FFile.Fd.Get(), block.get(), want, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;  // shorter than what was written to it
    const std::string_view read(block.get(), static_cast<std::size_t>(n));
    if (const int error = WriteAllAt(fd, read, static_cast<off_t>(offset))) return error;
    offset += read.size();
  }
  return 0;
}

int TSaveText::MoveTo(TSaveTemporary temp) {
  if (const int error = CopyTo(temp.Fd.Get())) return error;
  if (!InFile()) {
    FWritten = FPending.size();
    std::string().swap(FPending);
  }
  FFile = std::move(temp);
  return 0;
}
