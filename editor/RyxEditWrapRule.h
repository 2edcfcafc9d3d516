// The rule that cuts a logical line into display lines for word wrap.
#pragma once

#include <string_view>

#include "platform/Canvas.h"

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
};

// The length of the first piece of rest, the remaining bytes of a logical
// line from a piece start (with the line's terminator when rest reaches it).
// The piece is the longest prefix whose own tab expansion fits the rule, cut
// before a CR and never inside a double-byte character; a rest that fits
// whole is the last piece, terminator included. A content exactly Column
// columns wide leaves its terminator to a piece of its own. Never 0 for a
// rest that is not empty.
int WrapPieceLength(std::string_view rest, const TWrapRule& rule);
