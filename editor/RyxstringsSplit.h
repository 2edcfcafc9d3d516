// The split rule that cuts a text into stored lines.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

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


// Whether text stays one stored line under the split rule.
inline bool IsOneStoredLine(std::string_view text) {
  TPieceScanner pieces(text);
  pieces.Next();
  return pieces.Done();
}
