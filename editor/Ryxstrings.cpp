// TRyxStrings: lines and capacity, splitting and joining the text, comma text.
#include "editor/Ryxstrings.h"

#include <algorithm>
#include <cstring>

#include "editor/RyxEditSub.h"
#include "editor/RyxstringsSplit.h"
#include "platform/Exceptions.h"

namespace {

// A bulk text at least this long goes into one shared buffer; shorter ones
// give each piece its own bytes, so that typing never leaves buffers behind.
constexpr std::size_t kSharedFrom = 16384;

// A line's length must leave the top bit of its 32-bit size free.
constexpr std::size_t kMaxLineBytes = 0x7FFFFFFF;

}  // namespace

TRyxStrings::~TRyxStrings() { Clear(); }

void TRyxStrings::Error() const { throw EListError("インデックスがリストの範囲を超えています"); }

void TRyxStrings::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) Error();
}

void TRyxStrings::CheckLength(std::size_t length) const {
  if (length > kMaxLineBytes) Error();
}

std::string_view TRyxStrings::Get(int index) const {
  CheckIndex(index);
  return FList.Get(index);
}

void TRyxStrings::Put(int index, std::string_view s) {
  CheckIndex(index);
  CheckLength(s.size());
  FList.Put(index, s);
}

void TRyxStrings::Grow() {
  if (FCapacity >= kMaxCapacity) Error();
  FCapacity = std::min(kMaxCapacity, FCapacity + std::max(Count() / 128, 32));
}

int TRyxStrings::Add(std::string_view s) {
  CheckLength(s.size());
  if (Count() == FCapacity) Grow();
  FList.Insert(Count(), s);
  return Count() - 1;
}

void TRyxStrings::Insert(int index, std::string_view s) {
  if (index < 0 || index > Count()) Error();
  CheckLength(s.size());
  if (Count() == FCapacity) Grow();
  FList.Insert(index, s);
}

void TRyxStrings::Delete(int index) {
  CheckIndex(index);
  FList.Delete(index);
}

void TRyxStrings::Clear() {
  if (FCapacity == 0) return;
  FList.Clear();
  FCapacity = 0;
}

void TRyxStrings::SetCount(int n) {
  if (n < 0 || n > kMaxCapacity) Error();
  if (n > FCapacity) SetCapacity(n);
  FList.Truncate(n);
  while (Count() < n) FList.Insert(Count(), {});
}

void TRyxStrings::SetCapacity(int n) {
  if (n > kMaxCapacity || n < Count()) Error();
  FCapacity = n;
}

void TRyxStrings::Swap(TRyxStrings& other) noexcept {
  FList.Swap(other.FList);
  std::swap(FCapacity, other.FCapacity);
  std::swap(FLoadedNulBytes, other.FLoadedNulBytes);
}

void TRyxStrings::CheckRoomFor(std::string_view text) const {
  // Every piece holds at least one byte, so a text no longer than the room
  // left always fits; only a longer one is counted.
  const std::size_t room = static_cast<std::size_t>(kMaxCapacity - Count());
  if (text.size() <= room) return;
  std::size_t pieces = 0;
  for (TPieceScanner scan(text); !scan.Done(); scan.Next())
    if (++pieces > room) Error();
}

void TRyxStrings::InsertPieces(int index, std::string_view text) {
  CheckRoomFor(text);
  if (text.size() >= kSharedFrom) {
    TByteBuffer copy(text.size());
    copy.Append(text);
    InsertPieces(index, std::move(copy));
    return;
  }
  for (TPieceScanner scan(text); !scan.Done(); ++index) FList.Insert(index, scan.Next());
  FCapacity = Count();
}

void TRyxStrings::InsertPieces(int index, TByteBuffer text) {
  const std::string_view bytes(text.Data(), text.Size());
  CheckRoomFor(bytes);
  CheckLength(bytes.size());
  TPieceScanner scan(bytes);
  FList.InsertShared(index, std::move(text), [&scan](std::string_view& line) {
    if (scan.Done()) return false;
    line = scan.Next();
    return true;
  });
  FCapacity = Count();
}

int TRyxStrings::FirstIndexOfLogicalLine(int n) const { return std::min(FList.IndexAfterLineEnds(n), Count() - 1); }

TByteBuffer TRyxStrings::TextBuffer() const {
  std::size_t total = 0;
  FList.ForEach([&total](std::string_view line) { total += line.size(); });
  TByteBuffer text(total);
  FList.ForEach([&text](std::string_view line) { text.Append(line); });
  return text;
}

std::string TRyxStrings::GetText() const {
  std::size_t total = 0;
  FList.ForEach([&total](std::string_view line) { total += line.size(); });
  std::string text;
  text.reserve(total);
  WriteText([&text](std::string_view bytes) { text.append(bytes); });
  return text;
}

void TRyxStrings::SetText(std::string_view text) {
  Clear();
  InsertPieces(0, text);
}

TStoredText TRyxStrings::TakeText() {
  FCapacity = 0;
  return FList.TakeText();
}

void TRyxStrings::SetText(const TStoredText& text) {
  Clear();
  TLineAppender lines(FList, text.Buffers());
  text.ForEachLine([&lines](std::string_view line) { lines.Append(line); });
  FCapacity = Count();
}

void TRyxStrings::InsertText(int& index, std::string_view text) {
  if (text.empty()) return;
  if (index < 0 || index > Count()) Error();
  const int before = Count();
  InsertPieces(index, text);
  index += Count() - before - 1;
}

void TRyxStrings::AddStrings(const TRyxStrings& list) {
  // The count is read first so that adding a list to itself ends.
  const int n = list.Count();
  for (int i = 0; i < n; ++i) Add(list.FList.Get(i));
}

void TRyxStrings::Assign(const TRyxStrings& list) {
  if (&list == this) return;
  Clear();
  AddStrings(list);
}

int TRyxStrings::IndexOf(std::string_view s) const {
  for (int i = 0; i < Count(); ++i)
    if (FList.Get(i) == s) return i;
  return -1;
}

std::string TRyxStrings::GetCommaText() const {
  std::string text;
  bool first = true;
  FList.ForEach([&](std::string_view item) {
    if (!first) text += ',';
    first = false;
    if (item.find_first_of(" ,") != std::string_view::npos) {
      text += '"';
      text += item;
      text += '"';
    } else {
      text += item;
    }
  });
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
