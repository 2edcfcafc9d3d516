// TRyxStringsWriter: cutting the written bytes into lines and matching each against the line it came from.
#include "editor/RyxstringsWriter.h"

#include <algorithm>

#include "editor/RyxEditSub.h"

namespace {

constexpr std::string_view kLineBreak = "\r\n";

}  // namespace

TRyxStringsWriter::TRyxStringsWriter(TRyxStrings& target, const TStoredText& source)
    : FTarget(target), FLines((target.Clear(), target.FList), source.Buffers()) {}

void TRyxStringsWriter::Line(std::string_view line, std::string_view from) {
  FTarget.CheckLength(line.size());
  if (FTarget.Count() >= TRyxStrings::kMaxCapacity) FTarget.Error();
  if (line.size() <= from.size()) {
    if (from.ends_with(line))
      line = from.substr(from.size() - line.size());
    else if (from.starts_with(line))
      line = from.substr(0, line.size());
  }
  FLines.Append(line);
  // As after a bulk insertion, and so that a store left half-written is still cleared whole.
  FTarget.FCapacity = FTarget.Count();
}

void TRyxStringsWriter::Follow(std::vector<const char*> bytes) {
  FFollowed.clear();
  for (const char* byte : bytes) FFollowed.push_back(TFollowed{byte, false, {}});
}

TLogicalPos TRyxStringsWriter::Followed(std::size_t i, TLogicalPos otherwise) const {
  return i < FFollowed.size() && FFollowed[i].Found ? FFollowed[i].At : otherwise;
}

void TRyxStringsWriter::Write(std::string_view bytes, std::string_view from) {
  if (FEnded) return;
  for (TFollowed& followed : FFollowed) {
    if (followed.Found || followed.Byte == nullptr || followed.Byte < from.data() ||
        followed.Byte >= from.data() + from.size())
      continue;
    const auto into = std::min(static_cast<std::size_t>(followed.Byte - from.data()), bytes.size());
    followed.At = TLogicalPos{FTarget.Count(), static_cast<int>(FPending.size() + into)};
    followed.Found = true;
  }
  if (const std::size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
    bytes = bytes.substr(0, nul);
    FEnded = true;
  }
  std::size_t start = 0;
  if (!FPending.empty()) {
    // The line's CR LF may begin at its last byte written so far.
    if (FPending.back() == '\r' && bytes.starts_with('\n')) {
      start = 1;
    } else if (const std::size_t end = bytes.find(kLineBreak); end != std::string_view::npos) {
      start = end + kLineBreak.size();
    } else {
      FPending.append(bytes);
      return;
    }
    FPending.append(bytes.substr(0, start));
    Line(FPending, from);
    FPending.clear();
  }
  for (std::size_t end; (end = bytes.find(kLineBreak, start)) != std::string_view::npos;) {
    Line(bytes.substr(start, end + kLineBreak.size() - start), from);
    start = end + kLineBreak.size();
  }
  FPending.assign(bytes.substr(start));
}

void TRyxStringsWriter::Finish() {
  FPending.append(kEndMarker);
  Line(FPending, {});
  FPending.clear();
}
