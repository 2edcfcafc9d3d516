// Byte kinds, line-break sniffing, terminator helpers and the read-only file.
#include "editor/RyxEditSub.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "platform/Exceptions.h"


namespace {

bool LeadAt(std::string_view s, int pos) { return IsDBCSLeadByte(static_cast<unsigned char>(s[pos - 1])); }

}  // namespace

int ByteTypeAt(std::string_view s, int pos, bool singleByte) {
  if (singleByte || pos < 1 || static_cast<std::size_t>(pos) > s.size()) return kSingleByte;
  // The nearest byte before pos that cannot be a lead byte ends a character,
  // so the length of the run of lead-byte values after it decides whether
  // pos is the second byte of a pair.
  int i = pos - 1;
  while (i >= 1 && LeadAt(s, i)) --i;
  if ((pos - i) % 2 == 0) return kTrailByte;
  return LeadAt(s, pos) ? kLeadByte : kSingleByte;
}

int StoredByteTypeAt(std::string_view row, int col, bool singleByte) {
  const int content = ContentLength(row);
  if (col < 0 || col >= content) return kSingleByte;
  const int kind = ByteTypeAt(row, col + 1, singleByte);
  return kind == kLeadByte && col + 1 >= content ? kSingleByte : kind;
}

TByteTypes::TByteTypes(std::string_view s, bool singleByte) : FKinds(s.size(), kSingleByte) {
  if (singleByte) return;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (!IsDBCSLeadByte(static_cast<unsigned char>(s[i]))) continue;
    FKinds[i] = kLeadByte;
    if (++i < s.size()) FKinds[i] = kTrailByte;
  }
}

int TByteTypes::At(int pos) const {
  if (pos < 1 || static_cast<std::size_t>(pos) > FKinds.size()) return kSingleByte;
  return FKinds[static_cast<std::size_t>(pos - 1)];
}

TLineBreakStyle DetectLineBreak(const std::filesystem::path& name) {
  std::array<char, 1024> head;
  TReadOnlyFile file(name);
  const std::size_t n = file.Read(head.data(), head.size());
  if (n == 0) return lbEmpty;
  for (std::size_t i = 0; i < n; ++i) {
    switch (head[i]) {
      case '\n':
        return lbLF;
      case '\r':
        return i + 1 < n && head[i + 1] == '\n' ? lbCRLF : lbCR;
      case '\0':
        return lbCR;
      default:
        break;
    }
  }
  // No break among the bytes read: the CR loader keeps such a text whole.
  return lbCR;
}

bool HasLineEnd(std::string_view s) {
  return s.ends_with("\r\n") || s.ends_with(kEndMarker);
}

int ContentLength(std::string_view row) { return static_cast<int>(row.size()) - (HasLineEnd(row) ? 2 : 0); }

std::string StripLineEnd(std::string_view s) {
  return std::string(HasLineEnd(s) ? s.substr(0, s.size() - 2) : s);
}

bool HasEndMarker(std::string_view s) { return s.size() >= 2 && s[s.size() - 2] == '\0'; }

std::string StripEndMarker(std::string_view s) {
  return std::string(HasEndMarker(s) ? s.substr(0, s.size() - 2) : s);
}

TReadOnlyFile::TReadOnlyFile(std::filesystem::path name) : FName(std::move(name)) {
  // O_NONBLOCK keeps the open of a pipe without a writer from waiting; a
  // regular file ignores it.
  FFd = ::open(FName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (FFd < 0) Fail("開けません", SystemErrorText(errno));
  struct stat st {};
  if (::fstat(FFd, &st) != 0) Fail("開けません", SystemErrorText(errno));
  if (S_ISDIR(st.st_mode)) Fail("開けません", SystemErrorText(EISDIR));
  if (!S_ISREG(st.st_mode)) Fail("開けません", "通常のファイルではありません");
  FSize = static_cast<std::uint64_t>(st.st_size);
}

TReadOnlyFile::~TReadOnlyFile() {
  if (FFd >= 0) ::close(FFd);
}

void TReadOnlyFile::Fail(const char* what, const std::string& reason) {
  // Closed here because a failing constructor never reaches the destructor.
  if (FFd >= 0) ::close(FFd);
  FFd = -1;
  throw EInOutError("ファイル " + FName.string() + " を" + what + ": " + reason);
}

std::size_t TReadOnlyFile::Read(char* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(FFd, buffer + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("読めません", SystemErrorText(errno));
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

std::size_t FirstDifference(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  // Block by block first: a long row that changed at its end is compared at memcmp's pace.
  constexpr std::size_t kBlock = 4096;
  std::size_t at = 0;
  while (at + kBlock <= common && std::memcmp(a.data() + at, b.data() + at, kBlock) == 0) at += kBlock;
  while (at < common && a[at] == b[at]) ++at;
  return at;
}
