// The units of a karaoke line that word timing stamps one by one: where each starts and ends, and the tag that times
// it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A well-formed time tag of the line, by its bytes and its time.
struct TTagSpan {
  std::size_t Start = 0;
  std::size_t Length = 0;
  long long Millis = 0;
  std::size_t End() const { return Start + Length; }
};

struct TWordUnit {
  std::size_t Start = 0;        // the unit's first byte, after its tag
  std::size_t End = 0;          // one past its last byte, the blanks after it included up to a word tag
  std::optional<TTagSpan> Tag;  // the word tag right before Start
};

struct TLineUnits {
  std::vector<TWordUnit> Units;
  std::optional<TTagSpan> LineTag;  // the line's first line tag
  std::optional<TTagSpan> EndTag;   // a word tag after the last unit: the end of the last one
  // Whether unit index has a time: its word tag, or for the first unit the line tag.
  bool Timed(std::size_t index) const { return Units[index].Tag || (index == 0 && LineTag); }
  // The unit's time, as Timed tells.
  std::optional<long long> TimeOf(std::size_t index) const;
  // The unit that holds byte col: from the end of the one before (its tag
  // included; for the first, the line's start) to its End. Units.size() past the last.
  std::size_t IndexAt(std::size_t col) const;
};

// The line's text as the player shows it: every well-formed time tag taken
// out. Unit starts are offsets into it, so that writing a tag moves none of them.
std::string TagFreeText(std::string_view line);

// Where the units of line start, as offsets into its tag-free text. A word
// tag starts a unit that reaches to the next word tag. The text before the
// first word tag (all of it on a line without one) is split by character:
// each double-byte character, each half-width kana, each run of half-width
// letters, digits and signs is one unit; a small kana, a long mark, a
// (han)dakuten and closing punctuation stay with the character before,
// an opening bracket with the character after, blanks with the unit before.
// Leading blanks belong to no unit. An ID tag line has none.
std::vector<std::size_t> UnitStarts(std::string_view line);
// The units of line that start at the tag-free offsets starts (rising, each below the tag-free length).
TLineUnits UnitsAt(std::string_view line, const std::vector<std::size_t>& starts);
// UnitsAt(line, UnitStarts(line)).
TLineUnits SplitUnits(std::string_view line);
// Whether the line is timed by words: it holds a word tag.
bool IsWordTimed(std::string_view line);
