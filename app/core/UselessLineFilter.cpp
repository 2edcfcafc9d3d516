// TUselessLineFilter: a small automaton per line that holds the line's blanks until it is decided.
#include "app/core/UselessLineFilter.h"

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr unsigned char kSpaceLead = 0x81;
constexpr unsigned char kSpaceTrail = 0x40;

bool IsBreak(char c) { return c == '\r' || c == '\n'; }
bool IsBlank(unsigned char b) { return b <= 0x20; }

}  // namespace

void TUselessLineFilter::EndLine(std::string& out) {
  if (FState == TState::Kept || FState == TState::HalfSpace) {
    out.append(FLine).append(kCrLf);
  } else {
    ++FRemoved;
  }
  FLine.clear();
  FState = TState::Leading;
}

std::size_t TUselessLineFilter::Scan(std::string_view data, bool final, std::string& out) {
  const char* p = data.data();
  const std::size_t n = data.size();
  for (std::size_t i = 0; i < n;) {
    const char c = p[i];
    if (FAfterCr) {
      FAfterCr = false;
      if (c == '\n') {
        ++i;
        continue;
      }
    }
    if (IsBreak(c)) {
      EndLine(out);
      FAfterCr = c == '\r';
      ++i;
      continue;
    }
    if (FState == TState::Kept) {
      const std::size_t start = i;
      while (i < n && !IsBreak(p[i])) ++i;
      out.append(p + start, i - start);
      continue;
    }
    const auto b = static_cast<unsigned char>(c);
    TState next = TState::Kept;
    switch (FState) {
      case TState::Leading:
        next = IsBlank(b) ? TState::Leading : b == kSpaceLead ? TState::HalfSpace : TState::Kept;
        break;
      case TState::HalfSpace:
        next = b == kSpaceTrail ? TState::AfterSpace : TState::Kept;
        break;
      case TState::AfterSpace:
        next = b == ' ' ? TState::AfterSpace
               : IsBlank(b) ? TState::Trailing
               : b == kSpaceLead ? TState::HalfSpace
                                 : TState::Kept;
        break;
      case TState::Trailing:
        next = IsBlank(b) ? TState::Trailing : TState::Kept;
        break;
      case TState::Kept:
        break;
    }
    if (next == TState::Kept) {
      out.append(FLine);
      FLine.clear();
      out.push_back(c);
    } else {
      FLine.push_back(c);
    }
    FState = next;
    ++i;
  }
  // A line with bytes but no break after it is the text's last line.
  if (final && (FState != TState::Leading || !FLine.empty())) EndLine(out);
  return n;
}
