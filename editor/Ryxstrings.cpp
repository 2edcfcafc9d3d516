// TRyxStrings: slot management, splitting and joining the text, file and stream I/O.
#include "editor/Ryxstrings.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <istream>
#include <iterator>
#include <ostream>
#include <string>

#include "editor/RyxEditSub.h"
#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"

namespace {

constexpr std::string_view kLineBreak("\r\n", 2);
constexpr std::string_view kEndMarker("\0\0", 2);

// Bulk operations reserve one slot per this many bytes of input.
constexpr std::size_t kBytesPerLine = 28;

// The LF and CR loaders read through a window of kWindow bytes; once the
// scan reaches kSlide, the unscanned tail moves to the front and the rest of
// the window is refilled.
constexpr std::size_t kWindow = 16384;
constexpr std::size_t kKeep = 512;
constexpr std::size_t kSlide = kWindow - kKeep;

// The CR LF loader reads in steps of this size, so that it can stop at a NUL.
constexpr std::size_t kReadStep = std::size_t{1} << 20;

// Cuts a text into stored lines. A piece ends after CR LF, or after a NUL
// and the byte that follows it (so the marker NUL NUL ends the last line);
// the last piece of a text without either runs to its end, unterminated. A
// CR without LF after it is content: the LF loader keeps one before each
// break, and such a line must split the same way when its text is set again.
class TPieceScanner {
 public:
  explicit TPieceScanner(std::string_view text)
      : FText(text), FNextCr(Search('\r', 0)), FNextNul(Search('\0', 0)) {}

  bool Done() const { return FPos >= FText.size(); }

  std::string_view Next() {
    const std::size_t n = FText.size();
    const std::size_t start = FPos;
    std::size_t from = start;
    std::size_t end = n;
    for (;;) {
      const std::size_t t = std::min(Find('\r', FNextCr, from), Find('\0', FNextNul, from));
      if (t + 1 >= n) break;
      if (FText[t] == '\0' || FText[t + 1] == '\n') {
        end = t + 2;
        break;
      }
      from = t + 1;
    }
    FPos = end;
    return FText.substr(start, end - start);
  }

 private:
  std::size_t Search(char c, std::size_t from) const {
    const void* hit = std::memchr(FText.data() + from, c, FText.size() - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - FText.data()) : FText.size();
  }

  // next caches the first c at or after an earlier start, so a text is
  // searched once per byte kind however many pieces it has.
  std::size_t Find(char c, std::size_t& next, std::size_t from) const {
    if (next < from) next = Search(c, from);
    return next;
  }

  std::string_view FText;
  std::size_t FPos = 0;
  std::size_t FNextCr;
  std::size_t FNextNul;
};

// Appends bytes to line without their NUL bytes; tells whether there were any.
bool AppendWithoutNul(std::string& line, std::string_view bytes) {
  bool dropped = false;
  for (std::size_t nul; (nul = bytes.find('\0')) != std::string_view::npos;) {
    line.append(bytes.substr(0, nul));
    bytes.remove_prefix(nul + 1);
    dropped = true;
  }
  line.append(bytes);
  return dropped;
}

[[noreturn]] void RefuseLargeFile(const std::filesystem::path& name, std::uint64_t size) {
  throw EInOutError("ファイル " + name.string() + " は大きすぎて開けません: " + std::to_string(size) +
                    " バイトあります (開けるのは " + std::to_string(TRyxStrings::kMaxFileBytes) + " バイトまで)");
}

// Opened for a loader: a file the store cannot hold is refused before any
// of it is read.
void CheckLoadable(const TReadOnlyFile& file, const std::filesystem::path& name) {
  if (file.Size() > TRyxStrings::kMaxFileBytes) RefuseLargeFile(name, file.Size());
}

// The style of the first line break of the file, wherever it lies; a file
// without one is CR LF, an empty one lbEmpty. A NUL before any break means a
// binary file: the scan ends there and, as for such a file sniffed from its
// first bytes, the CR loader takes it.
TLineBreakStyle FirstLineBreak(const std::filesystem::path& name) {
  TReadOnlyFile file(name);
  CheckLoadable(file, name);
  std::array<char, kWindow> block;
  bool empty = true;
  bool crAtBlockEnd = false;
  while (const std::size_t n = file.Read(block.data(), block.size())) {
    if (crAtBlockEnd) return block[0] == '\n' ? lbCRLF : lbCR;
    empty = false;
    for (std::size_t i = 0; i < n; ++i) {
      switch (block[i]) {
        case '\n':
          return lbLF;
        case '\0':
          return lbCR;
        case '\r':
          if (i + 1 == n) {
            crAtBlockEnd = true;
            break;
          }
          return block[i + 1] == '\n' ? lbCRLF : lbCR;
        default:
          break;
      }
    }
  }
  if (empty) return lbEmpty;
  return crAtBlockEnd ? lbCR : lbCRLF;
}

}  // namespace

TRyxStrings::~TRyxStrings() { Clear(); }

void TRyxStrings::Error() const { throw EListError("インデックスがリストの範囲を超えています"); }

void TRyxStrings::CheckIndex(int index) const {
  if (index < 0 || index >= FCount) Error();
}

std::string_view TRyxStrings::Get(int index) const {
  CheckIndex(index);
  return FList[static_cast<std::size_t>(index)];
}

void TRyxStrings::Put(int index, std::string s) {
  CheckIndex(index);
  FList[static_cast<std::size_t>(index)] = std::move(s);
}

void TRyxStrings::Grow() {
  if (FCapacity >= kMaxCapacity) Error();
  SetCapacity(std::min(kMaxCapacity, FCapacity + std::max(FCount / 128, 32)));
}

int TRyxStrings::Add(std::string s) {
  if (FCount == FCapacity) Grow();
  FList.push_back(std::move(s));
  return FCount++;
}

void TRyxStrings::Insert(int index, std::string s) {
  if (index < 0 || index > FCount) Error();
  if (FCount == FCapacity) Grow();
  FList.insert(FList.begin() + index, std::move(s));
  ++FCount;
}

void TRyxStrings::Delete(int index) {
  CheckIndex(index);
  FList.erase(FList.begin() + index);
  --FCount;
}

void TRyxStrings::Clear() {
  if (FCapacity == 0) return;
  std::vector<std::string>().swap(FList);
  FCount = 0;
  FCapacity = 0;
}

void TRyxStrings::SetCount(int n) {
  if (n < 0 || n > kMaxCapacity) Error();
  if (n > FCapacity) SetCapacity(n);
  FList.resize(static_cast<std::size_t>(n));
  FCount = n;
}

void TRyxStrings::SetCapacity(int n) {
  if (n > kMaxCapacity || n < FCount) Error();
  if (n == FCapacity) return;
  const auto slots = static_cast<std::size_t>(n);
  if (n < FCapacity) {
    // A vector never shrinks its storage to an exact size by itself.
    std::vector<std::string> list;
    list.reserve(slots);
    std::move(FList.begin(), FList.end(), std::back_inserter(list));
    FList.swap(list);
  } else if (slots > FList.capacity()) {
    // The slot count grows by the small steps of Grow, but the storage
    // behind it grows geometrically, so that many single appends cost
    // linear time and not quadratic.
    FList.reserve(std::max(slots, FList.capacity() + FList.capacity() / 2));
  }
  FCapacity = n;
}

void TRyxStrings::ReserveFor(std::size_t inputLength) {
  const std::uint64_t estimate = static_cast<std::uint64_t>(FCount) + inputLength / kBytesPerLine;
  const int target = static_cast<int>(std::min<std::uint64_t>(estimate, kMaxCapacity));
  if (target > FCapacity) SetCapacity(target);
}

void TRyxStrings::AddPieces(std::string_view text) {
  ReserveFor(text.size());
  TPieceScanner pieces(text);
  while (!pieces.Done()) Add(std::string(pieces.Next()));
}

template <class Write>
void TRyxStrings::WriteText(Write write) const {
  if (FCount == 0) return;
  for (int i = 0; i + 1 < FCount; ++i) write(std::string_view(FList[static_cast<std::size_t>(i)]));
  const std::string_view last = FList.back();
  write(last.substr(0, last.size() - (HasEndMarker(last) ? kEndMarker.size() : 0)));
}

std::string TRyxStrings::GetText() const {
  std::size_t total = 0;
  for (const std::string& line : FList) total += line.size();
  std::string text;
  text.reserve(total);
  WriteText([&text](std::string_view bytes) { text.append(bytes); });
  return text;
}

void TRyxStrings::SetText(std::string_view text) {
  Clear();
  AddPieces(text);
  SetCapacity(FCount);
}

void TRyxStrings::InsertText(int& index, std::string_view text) {
  if (text.empty()) return;
  if (index < 0 || index > FCount) Error();
  // The pieces go to the end first and are then rotated into place: one
  // move of the later lines instead of one per inserted line.
  const int first = FCount;
  try {
    AddPieces(text);
  } catch (...) {
    FList.resize(static_cast<std::size_t>(first));
    FCount = first;
    throw;
  }
  std::rotate(FList.begin() + index, FList.begin() + first, FList.end());
  index += FCount - first - 1;
  SetCapacity(FCount);
}

void TRyxStrings::AddStrings(const TRyxStrings& list) {
  // The count is read first so that adding a list to itself ends.
  const int n = list.FCount;
  for (int i = 0; i < n; ++i) Add(list.FList[static_cast<std::size_t>(i)]);
}

void TRyxStrings::Assign(const TRyxStrings& list) {
  if (&list == this) return;
  Clear();
  AddStrings(list);
}

int TRyxStrings::IndexOf(std::string_view s) const {
  const auto it = std::find(FList.begin(), FList.end(), s);
  return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void TRyxStrings::LoadFromFile(const std::filesystem::path& name) { LoadFromFile(name, TNulBytes::Drop); }

void TRyxStrings::LoadFromFile(const std::filesystem::path& name, TNulBytes nulBytes) {
  switch (FirstLineBreak(name)) {
    case lbCRLF:
      LoadCRLFFile(name, nulBytes);
      break;
    case lbLF:
      LoadLFFile(name, nulBytes);
      break;
    case lbCR:
      LoadCRFile(name, nulBytes);
      break;
    case lbEmpty:
      Clear();
      FLoadedNulBytes = false;
      Add(std::string(kEndMarker));
      break;
  }
}

void TRyxStrings::LoadCRLFFile(const std::filesystem::path& name, TNulBytes nulBytes) {
  TReadOnlyFile file(name);
  CheckLoadable(file, name);
  Clear();
  FLoadedNulBytes = false;
  try {
    const bool stopAtNul = nulBytes == TNulBytes::StopReading;
    std::string bytes;
    bytes.reserve(file.Size() + kEndMarker.size());
    std::array<char, kWindow> more;
    for (;;) {
      // Steps of kReadStep into the reserved room; a file that grew after
      // it was opened is read to its end through a small block.
      const std::size_t at = bytes.size();
      const std::size_t room = bytes.capacity() - kEndMarker.size() - at;
      std::size_t n = 0;
      if (room > 0) {
        bytes.resize(at + std::min(room, kReadStep));
        n = file.Read(bytes.data() + at, bytes.size() - at);
        bytes.resize(at + n);
      } else {
        n = file.Read(more.data(), more.size());
        bytes.append(more.data(), n);
      }
      if (n == 0) break;
      if (bytes.size() > kMaxFileBytes) RefuseLargeFile(name, bytes.size());
      if (stopAtNul) {
        const void* nul = std::memchr(bytes.data() + at, '\0', n);
        if (nul == nullptr) continue;
        FLoadedNulBytes = true;
        bytes.resize(static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data()));
        break;
      }
    }
    if (!stopAtNul && std::memchr(bytes.data(), '\0', bytes.size()) != nullptr) {
      FLoadedNulBytes = true;
      // NUL bytes are dropped rather than cutting lines there, as the other
      // loaders do, so that the lines around them stay whole.
      std::erase(bytes, '\0');
    }
    bytes.append(kEndMarker);
    AddPieces(bytes);
    // Freed before the trim, which holds two slot arrays for a moment.
    std::string().swap(bytes);
    SetCapacity(FCount);
  } catch (...) {
    Clear();
    throw;
  }
}

void TRyxStrings::LoadLFFile(const std::filesystem::path& name, TNulBytes nulBytes) {
  LoadWindowed(name, '\n', nulBytes);
}

void TRyxStrings::LoadCRFile(const std::filesystem::path& name, TNulBytes nulBytes) {
  LoadWindowed(name, '\r', nulBytes);
}

void TRyxStrings::LoadWindowed(const std::filesystem::path& name, char breakByte, TNulBytes nulBytes) {
  TReadOnlyFile file(name);
  CheckLoadable(file, name);
  Clear();
  FLoadedNulBytes = false;
  try {
    ReserveFor(file.Size());
    std::array<char, kWindow> window;
    std::size_t length = file.Read(window.data(), window.size());
    std::uint64_t read = length;
    std::string line;
    for (;;) {
      const bool full = length == kWindow;
      std::string_view block(window.data(), full ? kSlide : length);
      if (nulBytes == TNulBytes::StopReading) {
        const std::size_t nul = block.find('\0');
        if (nul != std::string_view::npos) {
          FLoadedNulBytes = true;
          block = block.substr(0, nul);
        }
      }
      while (!block.empty()) {
        const std::size_t brk = block.find(breakByte);
        FLoadedNulBytes |= AppendWithoutNul(line, block.substr(0, brk));
        if (brk == std::string_view::npos) break;
        line.append(kLineBreak);
        Add(line);
        line.clear();
        block.remove_prefix(brk + 1);
      }
      if (!full || (FLoadedNulBytes && nulBytes == TNulBytes::StopReading)) break;
      std::memmove(window.data(), window.data() + kSlide, kKeep);
      const std::size_t n = file.Read(window.data() + kKeep, kSlide);
      read += n;
      if (read > kMaxFileBytes) RefuseLargeFile(name, read);
      length = kKeep + n;
    }
    // The marker ends the last pending bytes, or stands alone on a line of
    // its own after a final break.
    line.append(kEndMarker);
    Add(line);
    SetCapacity(FCount);
  } catch (...) {
    Clear();
    throw;
  }
}

void TRyxStrings::SaveToFile(const std::filesystem::path& name) const {
  TAtomicFile file(name);
  WriteText([&file](std::string_view bytes) { file.Write(bytes); });
  file.Commit();
}

void TRyxStrings::LoadFromStream(std::istream& stream) {
  Clear();
  const std::string bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
  if (stream.bad()) throw EInOutError("ストリームを読めません");
  if (!bytes.empty()) SetText(bytes);
}

void TRyxStrings::SaveToStream(std::ostream& stream) const {
  WriteText([&stream](std::string_view bytes) { stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size())); });
  if (!stream) throw EInOutError("ストリームに書き込めません");
}

std::string TRyxStrings::GetCommaText() const {
  std::string text;
  for (std::size_t i = 0; i < FList.size(); ++i) {
    const std::string& item = FList[i];
    if (i > 0) text += ',';
    if (item.find_first_of(" ,") != std::string::npos) {
      text += '"' + item + '"';
    } else {
      text += item;
    }
  }
  return text;
}

void TRyxStrings::SetCommaText(std::string_view text) {
  static constexpr std::string_view kQuotedEnd("\"\r\0", 3);
  static constexpr std::string_view kItemEnd(",\"\r\0", 4);
  Clear();
  std::size_t pos = 0;
  while (pos < text.size()) {
    const bool quoted = text[pos] == '"';
    const std::size_t start = quoted ? pos + 1 : pos;
    const std::size_t end = std::min(text.find_first_of(quoted ? kQuotedEnd : kItemEnd, start), text.size());
    Add(std::string(text.substr(start, end - start)));
    // The byte after a closing quote is the comma before the next item.
    const bool closed = quoted && end < text.size() && text[end] == '"';
    pos = end + (closed ? 2 : 1);
  }
}
