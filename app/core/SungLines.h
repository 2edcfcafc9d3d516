// TSungLines: which line is sung at a moment of the song: the line whose tag is the latest at or before it, by time.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "platform/AudioPlayer.h"

class TRyxStrings;

// Lines are taken by their times, not by their order in the text, so that a
// tag out of order (a time going backwards) still marks its own line when
// its time comes. Every line tag of a line counts: a text sung twice is
// marked both times.
class TSungLines {
 public:
  // Reads the line tags of every logical line of rows: a walk over the whole
  // text, for a text loaded or a song opened.
  void Read(const TRyxStrings& rows);
  // Rows first..oldLast were replaced by rows first..newLast of rows: only
  // the logical lines that take in them are read again, and the lines after
  // them are renumbered. Throws std::out_of_range when the report does not
  // fit the rows last read.
  void Changed(const TRyxStrings& rows, int first, int oldLast, int newLast);
  // The logical line (from 0) sung at position; none before the first tag.
  std::optional<int> LineAt(TMillis position) const;
  bool Empty() const { return FTimes.empty(); }
  friend bool operator==(const TSungLines&, const TSungLines&) = default;

 private:
  using TEntries = std::vector<std::pair<TMillis, int>>;
  // Appends the line tags of logical lines line..lastLine to entries, line
  // starting at row.
  static void ReadLines(const TRyxStrings& rows, int row, int line, int lastLine, TEntries& entries);

  // Sorted by time, then line.
  TEntries FTimes;
  // The rows and the line breaks of the text last read, to check and place a change report.
  int FRows = 0;
  int FLineEnds = 0;
};
