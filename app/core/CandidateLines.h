// TCandidateLines: the logical lines of a store that may hold a plain pattern, found in the rows' bytes as they lie.
#pragma once

#include <cstddef>

#include "app/core/BytePattern.h"

class TRyxStrings;

// Where a look over a range of lines ended.
struct TLineLook {
  // The first line of the range (the last, backward) that may hold the
  // pattern: Candidate is set. Otherwise the lines looked at hold none, and
  // Line is the next line to look at: one past the range's end when the
  // range is done, else the line where the budget ran out.
  int Line = 0;
  bool Candidate = false;
  std::size_t Looked = 0;
  // A candidate's first row when the look knows it, else -1.
  int Row = -1;
};

// Rows that follow one another in memory (the rows of a loaded file, the
// pieces of a wrapped line) are looked at as one run of bytes, with no copy
// and no look at each line apart; the pattern's bytes found there mark the
// line where they start. A line whose rows do not follow one another in
// memory is a candidate as it is, since its bytes were not looked at whole.
// So every line where the pattern's look (TBytePattern) finds the pattern
// is a candidate, and a few more may be. The store must not change while
// the looks go on.
class TCandidateLines {
 public:
  TCandidateLines(const TRyxStrings& rows, const TBytePattern& pattern);

  // Looks from logical line from to line to (inclusive; to <= from when
  // backward) until about budget bytes were looked at.
  TLineLook Next(int from, int to, bool forward, std::size_t budget);
  // The rows may have changed shape (not the text): rows are found afresh.
  void Forget() { FCursor = FEnd = {}; }

 private:
  // A line and its first row (its last, backward).
  struct TPlace {
    int Line = -1;
    int Row = 0;
    bool Forward = true;
  };

  // A run is looked at once it holds this many bytes and ends a line: few
  // bytes at first, so that a candidate near the start of a look costs
  // little, then twice as many each time up to the most.
  static constexpr std::size_t kFirstRunBytes = 1 << 6;
  static constexpr std::size_t kRunBytes = 1 << 16;

  // A look in progress: what it found so far, and the run being gathered
  // (forward from a line's start, backward up to a line's end).
  struct TWalk {
    TLineLook Look;
    const char* Start = nullptr;
    std::size_t Size = 0;
    int Ends = 0;  // the line ends among the run's rows
    bool Stopped = false;
    std::size_t RunBytes = kFirstRunBytes;  // the size at which a run is looked at
  };

  TLineLook Forward(int from, int to, std::size_t budget);
  TLineLook Backward(int from, int to, std::size_t budget);
  // The first row of line n (the last, for last), from the places known when they hold it.
  int FirstRow(int n);
  int LastRow(int n);
  // The run of rows from first up to last, lying from start, holds the
  // pattern's bytes at hit; line is the line at the run's start (forward)
  // or just past its end (backward). The candidate, and where the next look
  // goes on.
  TLineLook ForwardHit(int first, int line, const char* hit);
  TLineLook BackwardHit(int last, int line, const char* hit);
  // Ends the walk at line at, to go on from next; false, to end a visit.
  bool Stop(TWalk& walk, int at, bool candidate, TPlace next);
  // Looks at the run and empties it; true when it holds the pattern, else
  // line moves past the run's line ends (back to its start, backward).
  // edgeRow is the run's first row (its last, backward).
  bool LookAtRun(TWalk& walk, bool forward, int& line, int edgeRow);

  const TRyxStrings& FRows;
  const TBytePattern& FPattern;
  int FCount;
  // Where the last look ended, so that looking on from there costs no lookup of the line's row.
  TPlace FCursor;
  // The row last looked up as a range's end.
  TPlace FEnd;
};
