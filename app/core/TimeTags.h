// The time tags of one lyrics line: line, word and ID tags, found byte-exactly
// in code page 932 text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A well-formed time tag: "[" or "<", two or more minute digits, ":", two
// second digits below 60, "." or ":", two or three fraction digits, and the
// matching "]" or ">". Two fraction digits are hundredths, three are
// milliseconds.
struct TTimeTag {
  std::size_t Start = 0;  // byte offset in the line
  std::size_t Length = 0;
  // Square-bracket tags that open the line, one right after the other, time
  // the line; every other time tag times a word.
  bool Word = false;
  bool Angle = false;  // "<...>" rather than "[...]"
  long long Millis = 0;
  std::size_t MinuteDigits = 2;
  char Separator = '.';
  std::size_t FractionDigits = 2;
};

// Something bracketed that is meant as a time tag (it starts with a digit
// and holds a ":") but is not a well-formed one.
struct TBadTimeTag {
  std::size_t Start = 0;
  std::size_t Length = 0;
  std::string Reason;
};

// A line that is nothing but "[key:value]", or a karaoke metadata line
// "@Key=value" (@Title=, @Artist=, @TimeRatio=), the key made of ASCII
// letters. Players show neither.
struct TIdTag {
  std::string_view Key;
  std::string_view Value;
};

// The ID tag or metadata line that line is, if it is one: "[key:value]" and
// blanks after it, the "]" standing on a character start, or "@Key=value".
// Reads only the tag, not the rest of a long line.
std::optional<TIdTag> ParseIdTag(std::string_view line);

// A bracketed run that is meant as a time tag (it starts with a digit and
// holds a ":"): well-formed when Reason is nullptr, else Reason says what is
// wrong. Tag.Start, Tag.Length and Tag.Angle are set either way; Tag.Word is
// left to the caller, who knows which tags stood before.
struct TScannedTag {
  TTimeTag Tag;
  const char* Reason = nullptr;
};

// Finds the time tags of one line from left to right, starting at a
// character start that lies outside any tag. Characters are read from there,
// a lead byte always taking the byte after it, so a "[" or "<" that is a
// trail byte never opens a tag. A bracket is a character start when the run
// of lead-byte values before it, back to a byte that ends a character, has
// an even length; where each kind of bracket was found is kept until it is
// passed, so that a long line with many "[" and no "<" is searched once, not
// once a tag.
class TTimeTagScanner {
 public:
  explicit TTimeTagScanner(std::string_view line, std::size_t from = 0);
  // The next run meant as a time tag into found; false when there is none.
  bool Next(TScannedTag& found);

 private:
  static constexpr std::size_t kUnknown = std::string_view::npos;
  // The first "[" or "<" at or after from (a character start) that starts a character; the line's size when none.
  std::size_t NextBracket(std::size_t from);
  // The first c at or after from, kept in found; the line's size when there is none.
  std::size_t Find(char c, std::size_t from, std::size_t& found) const;

  std::string_view FLine;
  std::size_t FAt;
  std::size_t FSquareAt = kUnknown;
  std::size_t FAngleAt = kUnknown;
};

struct TTaggedLine {
  std::vector<TTimeTag> Tags;  // line and word tags in the order they stand
  std::vector<TBadTimeTag> Bad;
  std::optional<TIdTag> Id;
  std::size_t LineTagCount = 0;  // the first LineTagCount of Tags time the line
};

// Reads one line (without its line break). Characters are read from the
// line's start, a lead byte always taking the byte after it, so a "[" or "<"
// that is a trail byte never opens a tag.
TTaggedLine ParseTaggedLine(std::string_view line);
// The same into parsed, whose vectors keep their room: for a walk over many lines.
void ParseTaggedLine(std::string_view line, TTaggedLine& parsed);

// The first well-formed time tag of text at or after from, a character
// start, read from there as ParseTaggedLine reads a line: its start and
// length, {text.size(), 0} when there is none.
std::pair<std::size_t, std::size_t> NextTimeTag(std::string_view text, std::size_t from);

// Whether any line of text (lines end at LF) holds a well-formed line or word tag.
bool HoldsTimeTags(std::string_view text);

// The latest time a tag of that form can hold: the most minute digits a
// tag may have, 59 seconds and the largest fraction of its digits.
long long LargestTagMillis(const TTimeTag& form);

// Appends the tag as it would be written with a new time, keeping the tag's own
// brackets, separator, fraction digits and at least its minute digits.
// Hundredths are rounded to the nearest. millis must not be negative.
void AppendTimeTag(std::string& out, const TTimeTag& form, long long millis);

// "mm:ss.xx" for messages.
std::string DescribeTime(long long millis);
// The same appended to out.
void AppendDescribedTime(std::string& out, long long millis);
