// The scan that finds the link and tag runs of the rows, for the link colouring.
#pragma once

#include <climits>
#include <vector>

#include "editor/Ryxstrings.h"

// One coloured run of a row: bytes Start..End, 1-based and inclusive, End
// never beyond the row's content.
struct TLinkRun {
  int Row = 0;
  int Start = 0;
  int End = 0;
  friend bool operator==(const TLinkRun&, const TLinkRun&) = default;
};

// The first row of the paragraph that holds row: the row after the nearest
// row above it that ends a paragraph, or row 0.
int LinkParagraphStart(const TRyxStrings& lines, int row);

// The runs of rows first..last, first being a paragraph start. Schemes are
// matched case-insensitively and across a soft wrap; a link or a tag cut by a
// soft wrap continues on the next row, never past a line break. In the last
// row no run starts after byte lastLimit (1-based).
std::vector<TLinkRun> ScanLinkRuns(const TRyxStrings& lines, int first, int last, bool singleByte,
                                   int lastLimit = INT_MAX);
