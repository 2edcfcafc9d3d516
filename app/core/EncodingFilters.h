// The encoding commands as block filters: code page 932 to UTF-8 and back, through direct tables.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/core/BlockFilter.h"
#include "platform/Exceptions.h"

// Raised by the encoding commands when the text is not in the encoding they
// read; the text must then stay as it is. The message is for the user.
class ETextEncodingError : public EConvertError {
 public:
  using EConvertError::EConvertError;
};

// Raises ETextEncodingError: what, on the 1-based line, so nothing was converted.
[[noreturn]] void FailEncoding(const std::string& what, std::size_t line);

// Counts the lines of a text fed in pieces: CR LF, a lone CR and a lone LF
// each end one, so the number stays right when a CR LF is cut in two.
class TLineCounter {
 public:
  // Counts the breaks among bytes, which follow the bytes counted before.
  void Count(std::string_view bytes);
  // The 1-based number of the line the next byte is on.
  std::size_t Line() const { return FBreaks + 1; }

  // Counts a block only as far as a scan over it has asked, once per byte.
  class TCursor {
   public:
    TCursor(TLineCounter& counter, std::string_view data) : FCounter(counter), FData(data) {}
    // The line of the byte at offset, which never goes back.
    std::size_t LineAt(std::size_t offset);

   private:
    TLineCounter& FCounter;
    std::string_view FData;
    std::size_t FCounted = 0;
  };

 private:
  std::size_t FBreaks = 0;
  bool FAfterCr = false;
};

// Code page 932 to UTF-8. Raises ETextEncodingError, naming the line, at the
// first character that code page 932 does not define.
class TUtf8Encoder : public TBlockFilter {
 protected:
  std::size_t Scan(std::string_view data, bool final, std::string& out) override;

 private:
  TLineCounter FLines;
};

// A character that code page 932 cannot write, and the line it is on.
struct TUnwritableCharacter {
  char32_t Character;
  std::size_t Line;
};

// UTF-8 to code page 932 as UnicodeToAnsi writes it: a byte-order mark at
// the start is dropped, a look-alike is folded, and a character without a
// code page 932 form becomes "?". Raises ETextEncodingError, naming the line, at the
// first ill-formed UTF-8 sequence.
class TShiftJisEncoder : public TBlockFilter {
 public:
  // How many of the unwritable characters Unwritable keeps.
  static constexpr std::size_t kKeptUnwritable = 5;

  // The number of characters that became "?".
  std::size_t Replaced() const { return FReplaced; }
  // The number of characters folded to a look-alike.
  std::size_t Folded() const { return FFolded; }
  // The first of them, at most kKeptUnwritable.
  const std::vector<TUnwritableCharacter>& Unwritable() const { return FUnwritable; }

 protected:
  std::size_t Scan(std::string_view data, bool final, std::string& out) override;

 private:
  TLineCounter FLines;
  bool FAtStart = true;
  std::size_t FReplaced = 0;
  std::size_t FFolded = 0;
  std::vector<TUnwritableCharacter> FUnwritable;
};
