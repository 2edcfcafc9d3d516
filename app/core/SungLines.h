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
  // text, for when the text has changed and typing has paused.
  void Read(const TRyxStrings& rows);
  // The logical line (from 0) sung at position; none before the first tag.
  std::optional<int> LineAt(TMillis position) const;
  bool Empty() const { return FTimes.empty(); }

 private:
  // Sorted by time, then line.
  std::vector<std::pair<TMillis, int>> FTimes;
};
