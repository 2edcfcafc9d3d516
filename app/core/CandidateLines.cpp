// TCandidateLines: runs of adjacent rows gathered up to a line end and a size, and looked at in one go.
#include "app/core/CandidateLines.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "editor/Ryxstrings.h"

namespace {

// A row ends its logical line when it ends in the stored terminator CR LF;
// a lone LF or CR is part of the text and may also end a wrapped row.
bool EndsLine(std::string_view row) { return row.ends_with("\r\n"); }

}  // namespace

TCandidateLines::TCandidateLines(const TRyxStrings& rows, const TBytePattern& pattern)
    : FRows(rows), FPattern(pattern), FCount(rows.LogicalLineOf(rows.Count() - 1) + 1) {}

TLineLook TCandidateLines::Next(int from, int to, bool forward, std::size_t budget) {
  return forward ? Forward(from, to, budget) : Backward(from, to, budget);
}

int TCandidateLines::FirstRow(int n) {
  if (n == 0) return 0;
  if (FCursor.Forward && FCursor.Line == n) return FCursor.Row;
  if (FEnd.Forward && FEnd.Line == n) return FEnd.Row;
  FEnd = {n, FRows.FirstIndexOfLogicalLine(n), true};
  return FEnd.Row;
}

int TCandidateLines::LastRow(int n) {
  if (n + 1 >= FCount) return FRows.Count() - 1;
  if (!FCursor.Forward && FCursor.Line == n) return FCursor.Row;
  return FirstRow(n + 1) - 1;
}

TLineLook TCandidateLines::ForwardHit(int first, int line, const char* hit) {
  TLineLook look{-1, true, 0, -1};
  int lineRow = first;
  FCursor = {};
  FRows.VisitLines(first, true, [&](int index, std::string_view row) {
    if (look.Line < 0 && row.data() + row.size() > hit) look = {line, true, 0, lineRow};
    if (!EndsLine(row)) return true;
    ++line;
    lineRow = index + 1;
    if (look.Line < 0) return true;
    FCursor = {line, lineRow, true};
    return false;
  });
  return look;
}

TLineLook TCandidateLines::BackwardHit(int last, int line, const char* hit) {
  TLineLook look{-1, true, 0, -1};
  FCursor = {};
  FRows.VisitLines(last, false, [&](int index, std::string_view row) {
    if (EndsLine(row)) {
      // The row ends the line before the candidate's: its first row is known.
      if (look.Line >= 0) {
        FCursor = {look.Line - 1, index, false};
        return false;
      }
      --line;
    }
    if (look.Line < 0 && row.data() > hit) return true;
    look = {line, true, 0, index};
    return true;
  });
  return look;
}

bool TCandidateLines::Stop(TWalk& walk, int at, bool candidate, TPlace next) {
  walk.Look = {at, candidate, walk.Look.Looked, -1};
  FCursor = next;
  walk.Stopped = true;
  return false;
}

bool TCandidateLines::LookAtRun(TWalk& walk, bool forward, int& line, int edgeRow) {
  const std::string_view run{walk.Start, walk.Size};
  const std::size_t at = forward ? FPattern.Find(run) : FPattern.FindLast(run);
  const std::size_t looked = walk.Look.Looked + run.size();
  walk.Size = 0;
  if (at == std::string_view::npos) {
    walk.Look.Looked = looked;
    const int ends = std::exchange(walk.Ends, 0);
    line += forward ? ends : -ends;
    return false;
  }
  walk.Look = forward ? ForwardHit(edgeRow, line, run.data() + at) : BackwardHit(edgeRow, line, run.data() + at);
  walk.Look.Looked = looked;
  walk.Stopped = true;
  return true;
}

TLineLook TCandidateLines::Forward(int from, int to, std::size_t budget) {
  TWalk walk{{to + 1, false, 0, -1}};
  int first = 0;    // the run's first row
  int line = from;  // its first row's line
  bool lastEnded = false;  // whether its last row ends a line
  const int end = to + 1 < FCount ? FirstRow(to + 1) : FRows.Count();
  FRows.VisitLines(FirstRow(from), true, [&](int index, std::string_view row) {
    if (index >= end) return false;
    if (walk.Size > 0 && row.data() != walk.Start + walk.Size) {
      const bool lineEnded = lastEnded;
      if (LookAtRun(walk, true, line, first)) return false;
      // The row goes on with the line of the run's last row, apart from it in memory.
      if (!lineEnded) return Stop(walk, line, true, {});
      if (walk.Look.Looked >= budget) return Stop(walk, line, false, {line, index, true});
    }
    if (walk.Size == 0) {
      walk.Start = row.data();
      first = index;
    }
    walk.Size += row.size();
    lastEnded = EndsLine(row);
    if (!lastEnded) return true;
    ++walk.Ends;
    if (walk.Size < walk.RunBytes) return true;
    if (LookAtRun(walk, true, line, first)) return false;
    walk.RunBytes = std::min(2 * walk.RunBytes, kRunBytes);
    return walk.Look.Looked < budget || Stop(walk, line, false, {line, index + 1, true});
  });
  if (walk.Stopped) return walk.Look;
  FCursor = {to + 1, end, true};
  if (walk.Size > 0) LookAtRun(walk, true, line, first);
  return walk.Look;
}

TLineLook TCandidateLines::Backward(int from, int to, std::size_t budget) {
  TWalk walk{{to - 1, false, 0, -1}};
  int last = LastRow(from);  // the run's last row
  const int lowest = FirstRow(to);
  // The line at the run's end: past the last row's line end, when it has one.
  int endLine = from + (EndsLine(FRows.Get(last)) ? 1 : 0);
  FRows.VisitLines(last, false, [&](int index, std::string_view row) {
    if (index < lowest) return false;
    if (walk.Size > 0 && row.data() + row.size() != walk.Start) {
      if (LookAtRun(walk, false, endLine, last)) return false;
      // The row goes on into the run's first row, apart from it in memory.
      if (!EndsLine(row)) return Stop(walk, endLine, true, {});
      if (walk.Look.Looked >= budget) return Stop(walk, endLine - 1, false, {endLine - 1, index, false});
      last = index;
    } else if (walk.Size >= walk.RunBytes && EndsLine(row)) {
      // The run starts a line: it is looked at before the row goes in front of it.
      if (LookAtRun(walk, false, endLine, last)) return false;
      walk.RunBytes = std::min(2 * walk.RunBytes, kRunBytes);
      if (walk.Look.Looked >= budget) return Stop(walk, endLine - 1, false, {endLine - 1, index, false});
      last = index;
    }
    walk.Start = row.data();
    walk.Size += row.size();
    walk.Ends += EndsLine(row) ? 1 : 0;
    return true;
  });
  if (walk.Stopped) return walk.Look;
  FCursor = {to - 1, lowest - 1, false};
  if (walk.Size > 0) LookAtRun(walk, false, endLine, last);
  return walk.Look;
}
