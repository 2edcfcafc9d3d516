// TUtf8Passage: runs a code page 932 block filter over UTF-8 text and gives UTF-8 back.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

#include "app/core/BlockFilter.h"
#include "app/core/EncodingFilters.h"

// For the commands that only touch tags and lines, whose bytes are ASCII.
// Each character goes to the inner filter in its code page 932 form, so
// that the filter reads it as it reads a Shift-JIS text (a double-byte
// character takes two cells on the player); a character without an exact
// form goes as a stand-in double-byte code that code page 932 leaves
// undefined, and its UTF-8 bytes come back in its place. The inner filter
// never reorders or adds characters other than ASCII, so what it leaves
// comes back byte for byte. A byte-order mark at the start passes around
// the inner filter. Raises ETextEncodingError, naming the line, at the
// first ill-formed UTF-8 sequence.
class TUtf8Passage : public TBlockFilter {
 public:
  explicit TUtf8Passage(std::unique_ptr<TBlockFilter> inner) : FInner(std::move(inner)) {}

  const TBlockFilter& Inner() const { return *FInner; }
  TBlockFilter& Inner() { return *FInner; }

 protected:
  std::size_t Scan(std::string_view data, bool final, std::string& out) override;

 private:
  // The UTF-8 of the inner filter's output, appended to out.
  void Restore(std::string_view shiftJis, std::string& out);

  std::unique_ptr<TBlockFilter> FInner;
  // The characters written as the stand-in, in their order, until they come back.
  std::deque<std::string> FStandIns;
  TLineCounter FLines;
  bool FAtStart = true;
  std::string FShiftJis;
  std::string FBack;
  std::string FLead;  // a lead byte whose trail byte the inner filter has not given yet
};
