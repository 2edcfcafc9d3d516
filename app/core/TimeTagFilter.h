// TTimeTagFilter: removes time tags "[mm:ss:cc]" from code page 932 text, all of them or those after a character.
#pragma once

#include <cstddef>

#include "app/core/BlockFilter.h"

// A time tag is "[", two digits, ":", a digit 0 to 5 and a digit, ":", two
// digits and "]". Characters are read from the start of the text, a lead
// byte always taking the byte after it, so a "[" that is a trail byte never
// starts a tag; a lead byte alone at the end is a character of its own.
class TTimeTagFilter : public TBlockFilter {
 public:
  enum class TScope {
    // Every tag goes.
    All,
    // A tag goes when a character other than LF stands before it on its
    // line; that character stays and every "]" right after the tag goes
    // with it. A tag removed leaves that character before the next one, so
    // adjacent tags all go in one run, and tags that begin the text or a
    // line stay.
    AfterCharacter,
  };

  explicit TTimeTagFilter(TScope scope) : FScope(scope) {}

  // The number of tags removed so far.
  std::size_t Removed() const { return FRemoved; }

 protected:
  std::size_t Scan(std::string_view data, bool final, std::string& out) override;

 private:
  const TScope FScope;
  std::size_t FRemoved = 0;
  // A character that may keep a tag after it was the last one consumed.
  bool FAfterCharacter = false;
  // The last tag removed may still be followed by more "]" to remove.
  bool FSkippingClosers = false;
};
