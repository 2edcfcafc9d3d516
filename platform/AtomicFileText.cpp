// TSaveText: blocks of the text into the temporary file, and its copies into another file.
#include "platform/AtomicFileText.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <utility>

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

int TSaveText::ReadBack(char* to, std::uint64_t offset, std::size_t size) const {
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = ::pread(FFile.Fd.Get(), to + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;  // shorter than what was written to it
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

int TSaveText::CopyTo(int fd) {
  if (const int error = Flush()) return error;
  if (!InFile()) return WriteAllAt(fd, FPending, 0);
  const auto block = std::make_unique_for_overwrite<char[]>(kBlock);
  for (std::uint64_t offset = 0; offset < FWritten; offset += kBlock) {
    const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, FWritten - offset));
    if (const int error = ReadBack(block.get(), offset, size)) return error;
    if (const int error = WriteAllAt(fd, std::string_view(block.get(), size), static_cast<off_t>(offset))) return error;
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

int TSaveText::MoveToMemory() {
  if (!InFile()) return 0;
  std::string text(static_cast<std::size_t>(FWritten), '\0');
  if (const int error = ReadBack(text.data(), 0, text.size())) return error;
  text += FPending;
  FPending = std::move(text);
  FWritten = 0;
  FFile = TSaveTemporary();
  return 0;
}
