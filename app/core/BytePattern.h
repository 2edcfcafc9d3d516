// TBytePattern: a plain pattern's Shift-JIS bytes, looked for among raw bytes with ASCII letters in either case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The bytes are compared with ASCII letters lowered on both sides, every
// byte of the text (trail bytes too), so that a look finds at least every
// place where the decoded text holds the pattern in either case; a place it
// finds may still split a character, and is only a place to look closer.
class TBytePattern {
 public:
  TBytePattern() = default;
  explicit TBytePattern(std::string_view bytes);

  bool Empty() const { return FBytes.empty(); }
  std::size_t Size() const { return FBytes.size(); }
  // Where the first (the last) place in text starts; npos when none.
  std::size_t Find(std::string_view text) const;
  std::size_t FindLast(std::string_view text) const;

 private:
  bool At(const unsigned char* text) const;
  // Whether any start in [from, from + kLanes) passes the look at the
  // pattern's first and last bytes.
  bool AnyInLanes(const unsigned char* from) const;

  std::string FBytes;
  // The first and last bytes lowered, and the bit that a byte loses to
  // compare with them (0x20 for a letter, else nothing).
  unsigned char FFirst = 0;
  unsigned char FLast = 0;
  unsigned char FFirstCase = 0;
  unsigned char FLastCase = 0;
};
