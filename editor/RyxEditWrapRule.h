// The rule that cuts a logical line into display lines for word wrap, and the owner's hook for markup that takes no columns.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/Canvas.h"

// A stretch of a line that counting passes over: it takes no column and is never cut.
struct TMarkup {
  std::size_t Start = 0;
  std::size_t Length = 0;
};

// What the owner of the text knows about markup that the editor shows but
// the text's reader does not (a lyrics player does not show time tags). The
// editor knows no markup of its own: with this hook set, columns are counted
// as the reader counts them, every byte one column (a double-byte character
// two), markup none, and a line the reader does not show counts nothing.
class IColumnCounting {
 public:
  // Bytes a markup spans at most: the rewrap reads so far around an edit.
  static constexpr std::size_t kLongestMarkup = 32;
  // Bytes a line that counts nothing has at most; a longer line always counts.
  static constexpr std::size_t kLongestSilentLine = 1024;

  virtual ~IColumnCounting() = default;
  // The first markup of text at or after from, a character start, reading
  // characters from from on; Start is text.size() when there is none.
  virtual TMarkup NextMarkup(std::string_view text, std::size_t from) const = 0;
  // Whether the reader does not show a line (given without its line break,
  // at most kLongestSilentLine bytes) at all.
  virtual bool IsSilentLine(std::string_view line) const = 0;
};

struct TWrapRule {
  // Half-width columns a piece may take after tab expansion (at least 10).
  int Column = 72;
  int TabCount = 6;
  bool SingleByte = false;
  // Pixels a piece may take (the window width with AutoWrap, never under ten
  // cells); 0 when only Column limits it.
  int WidthLimit = 0;
  // Measures the pieces against WidthLimit; needed only when that is set.
  const ITextMeasurer* Measurer = nullptr;
  // When set, Column counts as the hook says (a tab is one column), and
  // a piece never ends inside a markup.
  const IColumnCounting* Counting = nullptr;
  // The piece lies in a line that counts nothing: only WidthLimit cuts it.
  bool SilentLine = false;
};

// The length of the first piece of rest, the remaining bytes of a logical
// line from a piece start (with the line's terminator when rest reaches it).
// The piece is the longest prefix whose own tab expansion fits the rule, cut
// before a CR and never inside a double-byte character; a rest that fits
// whole is the last piece, terminator included. A content exactly Column
// columns wide leaves its terminator to a piece of its own. Never 0 for a
// rest that is not empty.
//
// With a counting hook the piece ends before the first character that no
// longer fits Column counted columns, markup before that character going on
// to the next piece; a rest whose counted columns fit is the last piece,
// whatever markup or terminator follows.
int WrapPieceLength(std::string_view rest, const TWrapRule& rule);

// The counted columns of text (no terminator) under the hook.
int CountedColumns(std::string_view text, const IColumnCounting& counting);
