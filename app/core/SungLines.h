// TSungLines: which line is sung at a moment of the song: the line whose tag is the latest at or before it, by time.
#pragma once

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "platform/AudioPlayer.h"

class TRyxStrings;

// Lines are taken by their times, not by their order in the text, so that a
// tag out of order (a time going backwards) still marks its own line when
// its time comes. Every line tag of a line counts: a text sung twice is
// marked both times.
//
// The tags are kept in chunks that follow each other by line, each sorted by
// time within and carrying one line offset for all its tags: an edit reads
// only the lines it touched and moves the later lines by changing the
// offsets of the chunks after it, so that nothing per keystroke walks all tags.
class TSungLines {
 public:
  using TEntry = std::pair<TMillis, int>;
  using TEntries = std::vector<TEntry>;

  // chunkSize: how many tags a chunk holds before it is split in two.
  explicit TSungLines(std::size_t chunkSize = 1024) : FChunkSize(chunkSize < 2 ? 2 : chunkSize) {}

  // Reads the line tags of every logical line of rows: a walk over the whole
  // text, for a text loaded or a song opened.
  void Read(const TRyxStrings& rows);
  // Rows first..oldLast were replaced by rows first..newLast of rows: only
  // the logical lines that take in them are read again, and the lines after
  // them are renumbered. Throws std::out_of_range when the report does not
  // fit the rows last read.
  void Changed(const TRyxStrings& rows, int first, int oldLast, int newLast);
  // The logical line (from 0) sung at position; none before the first tag.
  // A position between the same two tag times as the last one asked about
  // is answered without a search: playback asks many times a second.
  std::optional<int> LineAt(TMillis position) const;
  bool Empty() const { return FChunks.empty(); }
  // Every tag (time, logical line), sorted by time, then line.
  TEntries Entries() const;
  friend bool operator==(const TSungLines& a, const TSungLines& b) { return a.Entries() == b.Entries(); }

 private:
  // Tags of neighbouring lines: their lines are Offset plus the stored ones,
  // the entries sorted by time, then line; every line of a chunk lies at or
  // below every line of the chunk after it.
  struct TChunk {
    TEntries Entries;
    int Offset = 0;
    int FirstLine = 0;  // stored, without the offset
    int LastLine = 0;
    void Measure();
  };

  // Appends the line tags of logical lines line..lastLine to entries, line
  // starting at row, in the order of the lines.
  static void ReadLines(const TRyxStrings& rows, int row, int line, int lastLine, TEntries& entries);
  // Drops the tags of lines first..last and moves the lines after them by shift.
  void Remove(int first, int last, int shift);
  // Puts the tags of a run of lines, in line order, where their lines belong.
  void Insert(TEntries entries);
  // Cuts a run of tags in line order into chunks of half the chunk size, appended to chunks.
  void CutChunks(TEntries::const_iterator begin, TEntries::const_iterator end, std::vector<TChunk>& chunks) const;

  // The answer of the last LineAt and the positions it holds for: from the
  // time of the tag found up to the next later tag's; forgotten on every change.
  struct TKnownSpan {
    TMillis From;
    TMillis To;
    std::optional<int> Line;
  };

  std::size_t FChunkSize;
  std::vector<TChunk> FChunks;
  mutable std::optional<TKnownSpan> FKnown;
  // The rows and the line breaks of the text last read, to check and place a change report.
  int FRows = 0;
  int FLineEnds = 0;
};
