// The scan that finds the link and tag runs of the rows, for the link colouring.
#pragma once

#include <climits>
#include <cstdint>
#include <string>
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

// The runs of one long row that is a paragraph of its own, kept with a copy
// of the row: when the text changes, the row is compared with the copy and
// scanned again only from the last resume point before the first changed
// byte, so that a key at the end of a 5 MB line scans its last few thousand
// bytes, not the line.
class TLongRowLinks {
 public:
  // A resume point is left at least every resumeSpacing bytes of the row.
  explicit TLongRowLinks(int resumeSpacing = 4096) : FResumeSpacing(resumeSpacing) {}

  // Whether the runs of row index are kept: a long row that a paragraph starts and ends.
  static bool Keeps(const TRyxStrings& lines, int index);
  // The runs of row index, a row that Keeps.
  const std::vector<TLinkRun>& For(const TRyxStrings& lines, int index, bool singleByte);

 private:
  // A position of the row where no run is open, a character start known there, and the runs before it.
  struct TResumePoint {
    int Pos = 1;
    int Known = 1;
    std::size_t Runs = 0;
  };

  int FResumeSpacing;
  int FIndex = -1;
  bool FSingleByte = false;
  std::uint64_t FRevision = 0;
  std::string FRow;
  std::vector<TLinkRun> FRuns;
  // Rising by Pos; the first is the row's start.
  std::vector<TResumePoint> FResumePoints;
};

// The runs of rows first..last, first being a paragraph start. Schemes are
// matched case-insensitively and across a soft wrap; a link or a tag cut by a
// soft wrap continues on the next row, never past a line break. In the last
// row no run starts after byte lastLimit (1-based).
// A long row that kept keeps is taken from it.
std::vector<TLinkRun> ScanLinkRuns(const TRyxStrings& lines, int first, int last, bool singleByte,
                                   int lastLimit = INT_MAX, TLongRowLinks* kept = nullptr);
