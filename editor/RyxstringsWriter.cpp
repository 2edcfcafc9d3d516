// TRyxStringsWriter: cutting the written bytes into lines and matching each against the line it came from.
#include "editor/RyxstringsWriter.h"

namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kEndMarker("\0\0", 2);

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

void TRyxStringsWriter::Write(std::string_view bytes, std::string_view from) {
  if (FEnded) return;
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
