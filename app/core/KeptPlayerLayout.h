// TKeptPlayerLayout: a line's player layout kept between its edits, laid out again only from the first changed byte on.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/PlayerLayout.h"

// The same rows as LayOutForPlayer, and the rows that start with a character
// kept off a line start (RowsStartingKeptOff), for a line that changes a
// little at a time: a copy of the line is kept, and a new line is compared
// with it; what was laid out before the first changed byte stays, so a key at
// the end of a 5 MB line lays out the last few thousand bytes, not the line.
class TKeptPlayerLayout {
 public:
  // A resume point is left at least every resumeSpacing bytes of the line.
  explicit TKeptPlayerLayout(std::size_t resumeSpacing = 4096) : FResumeSpacing(resumeSpacing) {}

  // Lays line out in rows of halfCount cells (from scratch for another halfCount).
  void Update(std::string_view line, int halfCount);

  const TPlayerLayout& Layout() const { return FLayout; }
  // The rows after the first that start with a character kept off a line start, from 0.
  const std::vector<std::size_t>& KeptOffRows() const { return FKeptOffRows; }

 private:
  // Where the walk stood at a byte of the line that starts a character and
  // lies outside any tag: everything before it is laid out.
  struct TResumePoint {
    std::size_t Line = 0;
    std::size_t Text = 0;
    std::size_t Rows = 0;
    std::size_t KeptOff = 0;
    std::size_t BrokenTo = 0;
    TPlayerRow Open;
  };

  // Lays FLine out from the last resume point that the bytes from changed on cannot have touched.
  void LayOutFrom(std::size_t changed);
  // Appends bytes [from, to) of FLine, that hold no tag, to the text and
  // breaks them into rows, leaving resume points among them.
  void Append(std::size_t from, std::size_t to, TPlayerRowBreaker& breaker);
  // The same without resume points.
  void AppendText(std::size_t from, std::size_t to, TPlayerRowBreaker& breaker);
  // Closes a row of the layout, noting it when it starts with a kept-off character.
  void CloseRow(const TPlayerRow& row);

  const std::size_t FResumeSpacing;
  std::string FLine;
  int FHalfCount = 0;
  bool FLaidOut = false;
  TPlayerLayout FLayout;
  std::vector<std::size_t> FKeptOffRows;
  // Rising by Line; the first is the line's start.
  std::vector<TResumePoint> FResumePoints;
};
