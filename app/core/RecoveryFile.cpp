// The recovery file: a window's unsaved text with what it takes to open it again, written whole or not at all.
#include "app/core/RecoveryFile.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string_view>

#include "platform/AtomicFileFolder.h"
#include "platform/AtomicFileText.h"
#include "platform/Exceptions.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMagic = "VERSELET-RECOVERY ";
constexpr std::int64_t kVersion = 1;
// "crc " eight hex digits and a line break.
constexpr std::size_t kTrailerSize = 13;
// A header holds a file name of at most PATH_MAX bytes and a few numbers.
constexpr std::size_t kLongestHeader = PATH_MAX + 256;

using TClockTicks = fs::file_time_type::duration;

std::string Named(const fs::path& file) { return file.string(); }

[[noreturn]] void Fail(const fs::path& file, const char* what) { throw EInOutError(Named(file) + what); }

[[noreturn]] void FailSystem(const fs::path& file, const char* what, int error) {
  throw EInOutError(Named(file) + what + SystemErrorText(error));
}

std::string HeaderBytes(const TRecoveryHeader& header, std::size_t textSize) {
  std::string bytes(kMagic);
  bytes += std::to_string(kVersion) + "\nname " + std::to_string(header.FileName.size()) + "\n";
  bytes += header.FileName;
  bytes += "\ncaret " + std::to_string(header.Caret.Line) + " " + std::to_string(header.Caret.Col);
  bytes += "\ndisk " + std::to_string(header.Disk.Exists ? 1 : 0) + " " + std::to_string(header.Disk.Size) + " " +
           std::to_string(header.Disk.Time.time_since_epoch().count());
  bytes += "\nwritten " + std::to_string(header.WrittenAt);
  bytes += "\ntext " + std::to_string(textSize) + "\n";
  return bytes;
}

std::string TrailerBytes(uLong crc) {
  char trailer[kTrailerSize + 1];
  std::snprintf(trailer, sizeof trailer, "crc %08lx\n", crc & 0xFFFFFFFFul);
  return trailer;
}

uLong Crc(uLong crc, std::string_view bytes) {
  return crc32_z(crc, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size());
}

// Reads the header's fields from the front of the bytes; nothing when they
// run out first (a file cut short), and a failure when they are not a header.
class THeaderParser {
 public:
  THeaderParser(const fs::path& file, std::string_view bytes) : FFile(file), FBytes(bytes) {}

  // The header and the text's size; FRead ends at the text's first byte.
  std::optional<std::pair<TRecoveryHeader, std::uint64_t>> Parse() {
    if (!Word(kMagic)) return std::nullopt;
    TRecoveryHeader header;
    std::int64_t version = 0;
    if (!Number(version, '\n')) return std::nullopt;
    if (version != kVersion) Fail(FFile, " は新しい版の Verselet が書いた復元ファイルです。この版では読めません。");
    std::int64_t nameSize = 0;
    if (!Word("name ") || !Number(nameSize, '\n')) return std::nullopt;
    if (nameSize < 0 || nameSize > PATH_MAX) NotRecovery();
    if (FBytes.size() < static_cast<std::size_t>(nameSize) + 1) return std::nullopt;
    header.FileName = FBytes.substr(0, static_cast<std::size_t>(nameSize));
    FBytes.remove_prefix(header.FileName.size());
    std::int64_t line = 0, col = 0, exists = 0, size = 0, time = 0, textSize = 0;
    if (!Word("\ncaret ") || !Number(line, ' ') || !Number(col, '\n')) return std::nullopt;
    if (!Word("disk ") || !Number(exists, ' ') || !Number(size, ' ') || !Number(time, '\n')) return std::nullopt;
    if (!Word("written ") || !Number(header.WrittenAt, '\n')) return std::nullopt;
    if (!Word("text ") || !Number(textSize, '\n')) return std::nullopt;
    if (line < 0 || line > INT_MAX || col < 0 || col > INT_MAX || exists < 0 || exists > 1 || size < 0 || textSize < 0)
      NotRecovery();
    header.Caret = {static_cast<int>(line), static_cast<int>(col)};
    header.Disk = {exists == 1, fs::file_time_type(TClockTicks(time)), static_cast<std::uintmax_t>(size)};
    return std::pair{header, static_cast<std::uint64_t>(textSize)};
  }

  std::size_t Remaining() const { return FBytes.size(); }

 private:
  [[noreturn]] void NotRecovery() const { Fail(FFile, " は Verselet の復元ファイルではありません。"); }

  // False when the bytes end inside the word (a cut), a failure when they differ from it (a foreign file).
  bool Word(std::string_view word) {
    if (FBytes.starts_with(word)) {
      FBytes.remove_prefix(word.size());
      return true;
    }
    if (FBytes.size() < word.size() && word.starts_with(FBytes)) return false;
    NotRecovery();
  }

  // A decimal number ended by end; the caller checks its range (a file time may be negative).
  bool Number(std::int64_t& value, char end) {
    const auto stop = FBytes.find(end);
    if (stop == std::string_view::npos) {
      if (FBytes.size() > 24) NotRecovery();
      return false;
    }
    const std::string_view digits = FBytes.substr(0, stop);
    const auto [ptr, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || ptr != digits.data() + digits.size()) NotRecovery();
    FBytes.remove_prefix(stop + 1);
    return true;
  }

  const fs::path& FFile;
  std::string_view FBytes;
};

[[noreturn]] void FailCut(const fs::path& file) {
  Fail(file, " は途中で切れています。書き込みの途中で止まった、壊れた復元ファイルです。");
}

std::uint64_t FileSizeOf(const fs::path& file, std::ifstream& in) {
  in.seekg(0, std::ios::end);
  const auto size = in.tellg();
  in.seekg(0);
  if (!in || size < 0) FailSystem(file, " を読めません: ", errno);
  return static_cast<std::uint64_t>(size);
}

std::ifstream OpenForReading(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) FailSystem(file, " を読めません: ", errno);
  return in;
}

std::string ReadBytes(const fs::path& file, std::ifstream& in, std::uint64_t size) {
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!in.read(bytes.data(), static_cast<std::streamsize>(size))) FailCut(file);
  return bytes;
}

// The header and the offset of the text, from the first bytes; the file size must fit them.
std::pair<TRecoveryHeader, std::size_t> HeaderOf(const fs::path& file, std::string_view front, std::uint64_t fileSize,
                                                 std::uint64_t& textSize) {
  THeaderParser parser(file, front);
  const auto parsed = parser.Parse();
  if (!parsed) {
    if (front.size() >= kLongestHeader) Fail(file, " は Verselet の復元ファイルではありません。");
    FailCut(file);
  }
  textSize = parsed->second;
  const std::size_t textAt = front.size() - parser.Remaining();
  if (fileSize != textAt + textSize + 1 + kTrailerSize) FailCut(file);
  return {parsed->first, textAt};
}

}  // namespace

void WriteRecoveryFile(const fs::path& file, const TRecoveryHeader& header, const TStoredText& text) {
  const std::size_t textSize = text.Size() >= 2 ? text.Size() - 2 : 0;
  std::string temp = file.string() + ".tmp-XXXXXX";
  // mkostemp makes the file with mode 0600, whatever the umask.
  TFd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (!fd) FailSystem(file, " に書き込めません: ", errno);
  off_t at = 0;
  uLong crc = crc32_z(0, nullptr, 0);
  const auto write = [&](std::string_view bytes) {
    crc = Crc(crc, bytes);
    const int error = WriteAllAt(fd.Get(), bytes, at);
    at += static_cast<off_t>(bytes.size());
    return error;
  };
  int error = write(HeaderBytes(header, textSize));
  std::size_t left = textSize;
  for (std::string_view run : text.Runs()) {
    if (error != 0 || left == 0) break;
    run = run.substr(0, std::min(left, run.size()));
    left -= run.size();
    error = write(run);
  }
  if (error == 0) error = write("\n");
  if (error == 0) error = WriteAllAt(fd.Get(), TrailerBytes(crc), at);
  if (error == 0 && ::fsync(fd.Get()) != 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), file.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    FailSystem(file, " に書き込めません: ", error);
  }
  // The new name is on disk only once the folder is flushed.
  TFd folder(::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder) ::fsync(folder.Get());
}

TRecoveryHeader ReadRecoveryHeader(const fs::path& file) {
  std::ifstream in = OpenForReading(file);
  const std::uint64_t size = FileSizeOf(file, in);
  const std::string front = ReadBytes(file, in, std::min<std::uint64_t>(size, kLongestHeader));
  std::uint64_t textSize = 0;
  return HeaderOf(file, front, size, textSize).first;
}

TRecoveredText ReadRecoveryFile(const fs::path& file) {
  std::ifstream in = OpenForReading(file);
  const std::uint64_t size = FileSizeOf(file, in);
  std::string bytes = ReadBytes(file, in, size);
  std::uint64_t textSize = 0;
  const auto [header, textAt] = HeaderOf(file, std::string_view(bytes).substr(0, kLongestHeader), size, textSize);
  const std::string_view body = std::string_view(bytes).substr(0, bytes.size() - kTrailerSize);
  if (body.back() != '\n' || std::string_view(bytes).substr(body.size()) != TrailerBytes(Crc(crc32_z(0, nullptr, 0), body)))
    Fail(file, " の内容が壊れています (チェックサムが合いません)。");
  // The text is cut out of the bytes in place, so that a large one is not held twice.
  bytes.erase(0, textAt);
  bytes.resize(static_cast<std::size_t>(textSize));
  return {header, std::move(bytes)};
}
