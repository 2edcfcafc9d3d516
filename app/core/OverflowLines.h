// TOverflowLines: which lines of the editor's text need more player rows than one page holds, kept up to date edit by edit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "app/core/KeptPlayerLayout.h"
#include "app/core/PlayerLayout.h"
#include "app/core/RowFlags.h"

class TRyxStrings;

// The text of the logical line that takes in row (a soft-wrapped line spans
// several rows), without its line break; firstRow and lastRow, when given,
// receive the rows it spans.
std::string LogicalLineAt(const TRyxStrings& lines, int row, int* firstRow = nullptr, int* lastRow = nullptr);
// The same as a view: of the row itself when the line is that one row, as it
// is unless text is soft-wrapped, else of the rows joined in joined.
std::string_view LogicalLineView(const TRyxStrings& lines, int row, int& firstRow, int& lastRow, std::string& joined);

// Whether a line, without its time and word tags, needs more than
// LineCount rows of HalfCount cells. A display without rows has nothing to
// overflow, and an ID tag line is not shown at all.
bool OverflowsDisplay(std::string_view line, TPlayerDisplay display);

// A flag per row, set on the last row of each logical line that overflows
// the display. The editor reports each change of its rows; only the logical
// lines that take in the changed rows are measured again, so a keystroke
// costs one line however long the text is. A new text is measured by a walk
// from its start in bounded steps, and the rows a view shows are measured
// when it asks for them: opening a long text measures none of it at once.
class TOverflowLines {
 public:
  explicit TOverflowLines(TPlayerDisplay display) : FDisplay(display) {}

  TPlayerDisplay Display() const { return FDisplay; }
  // Takes lines as a new text, none of its rows measured yet.
  void Reset(const TRyxStrings& lines);
  // Takes the walk over the text on by whole logical lines, at least one,
  // until about bytes bytes of text were measured.
  void MeasureSome(const TRyxStrings& lines, std::size_t bytes);
  // Ends the walk: every row measured, the count final.
  void MeasureRest(const TRyxStrings& lines);
  // Measures those of the rows first..last that are not measured yet (the
  // rows in view), so that their flags hold before the walk gets to them.
  void MeasureRows(const TRyxStrings& lines, int first, int last);
  // Rows first..oldLast were replaced by rows first..newLast of lines. The
  // new rows are measured now, unless there are so many (a whole text
  // loaded or wrapped) that they are left to the walk, as a new text is.
  void Changed(const TRyxStrings& lines, int first, int oldLast, int newLast);

  // Whether every row is measured: the walk is over.
  bool Complete() const { return FWalked >= FFlags.Count(); }
  // Logical lines found to overflow: all of them once Complete().
  int Count() const { return FCount; }
  // The rows the flags stand for.
  int Rows() const { return FFlags.Count(); }
  bool Measured(int row) const { return FMeasured.Get(row); }
  // Whether row ends a logical line that overflows; false while row is not measured.
  bool EndsOverflow(int row) const { return FFlags.Get(row); }
  // The player rows of the logical line that row ends, for its badge: kept
  // from its measuring, or from the first time it is asked for, until the
  // next change of the text, so that a repaint does not lay a long line out again.
  std::size_t PlayerRows(const TRyxStrings& lines, int row) const;

  // More changed rows than this are left to the walk.
  static constexpr int kMostRowsMeasuredAtOnce = 4096;

 private:
  struct TMeasured {
    int End = 0;  // the row after the last line measured
    std::size_t Bytes = 0;
  };
  // Measures the logical lines that take in rows first..last, up to the
  // first line with which bytes bytes are measured.
  TMeasured Measure(const TRyxStrings& lines, int first, int last, std::size_t bytes = SIZE_MAX);
  // Rows first..last measured no more, their flags cleared.
  void Forget(int first, int last);
  // The player rows of line if it may overflow (none when it cannot); a long
  // line is laid out through FLongLine, so that an edit of it lays out only
  // what follows the edit.
  std::optional<std::size_t> RowsIfItMayOverflow(std::string_view line);

  const TPlayerDisplay FDisplay;
  TRowFlags FFlags;
  // Which rows are measured: those before FWalked, and any a view asked for
  // or an edit changed since.
  TRowFlags FMeasured;
  int FWalked = 0;
  int FCount = 0;
  // The player rows of the overflowing lines measured or asked for since the
  // last change, by their last row; at most so many, the view's rows among them.
  static constexpr std::size_t kMostPlayerRowsKept = 4096;
  mutable std::unordered_map<int, std::size_t> FPlayerRows;
  // The last long line measured, kept for its next edit.
  static constexpr std::size_t kLongLine = 64 * 1024;
  TKeptPlayerLayout FLongLine;
};
