// TCandidateLines: runs of adjacent rows gathered up to a line end and a size, and looked at in one go.
#include "app/core/CandidateLines.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "editor/Ryxstrings.h"

namespace {

// A run is looked at once it holds this many bytes and ends a line: few
// bytes at first, so that a candidate near the start of a look costs
// little, then twice as many each time up to the most.
constexpr std::size_t kFirstRunBytes = 1 << 6;
constexpr std::size_t kRunBytes = 1 << 16;

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

TLineLook TCandidateLines::Forward(int from, int to, std::size_t budget) {
  TLineLook look{to + 1, false, 0, -1};
  // The run: bytes of rows that follow one another in memory, from a line's start.
  const char* start = nullptr;
  std::size_t size = 0;
  int first = 0;    // its first row
  int line = from;  // its first row's line
  int ends = 0;     // the line ends among its rows
  bool lastEnded = false;  // whether its last row ends a line
  std::size_t runBytes = kFirstRunBytes;
  bool stopped = false;
  const auto stop = [&](int at, bool candidate, TPlace next) {
    look = {at, candidate, look.Looked, -1};
    FCursor = next;
    stopped = true;
    return false;
  };
  // Looks at the run and empties it; true when it holds the pattern. Else
  // line moves on to the line after the run.
  const auto lookAtRun = [&] {
    const std::size_t at = FPattern.Find({start, size});
    const std::size_t looked = look.Looked + size;
    size = 0;
    if (at == std::string_view::npos) {
      look.Looked = looked;
      line += std::exchange(ends, 0);
      return false;
    }
    look = ForwardHit(first, line, start + at);
    look.Looked = looked;
    stopped = true;
    return true;
  };
  const int end = to + 1 < FCount ? FirstRow(to + 1) : FRows.Count();
  FRows.VisitLines(FirstRow(from), true, [&](int index, std::string_view row) {
    if (index >= end) return false;
    if (size > 0 && row.data() != start + size) {
      const bool lineEnded = lastEnded;
      if (lookAtRun()) return false;
      // The row goes on with the line of the run's last row, apart from it in memory.
      if (!lineEnded) return stop(line, true, {});
      if (look.Looked >= budget) return stop(line, false, {line, index, true});
    }
    if (size == 0) {
      start = row.data();
      first = index;
    }
    size += row.size();
    lastEnded = EndsLine(row);
    if (!lastEnded) return true;
    ++ends;
    if (size < runBytes) return true;
    if (lookAtRun()) return false;
    runBytes = std::min(2 * runBytes, kRunBytes);
    return look.Looked < budget || stop(line, false, {line, index + 1, true});
  });
  if (stopped) return look;
  FCursor = {to + 1, end, true};
  if (size > 0) lookAtRun();
  return look;
}

TLineLook TCandidateLines::Backward(int from, int to, std::size_t budget) {
  TLineLook look{to - 1, false, 0, -1};
  // The run, gathered downward up to a line's end.
  const char* start = nullptr;
  std::size_t size = 0;
  int last = LastRow(from);  // the run's last row
  std::size_t runBytes = kFirstRunBytes;
  const int lowest = FirstRow(to);
  // The line at the run's end: past the last row's line end, when it has one.
  int endLine = from + (EndsLine(FRows.Get(last)) ? 1 : 0);
  int ends = 0;  // the line ends among the run's rows
  bool stopped = false;
  const auto stop = [&](int at, bool candidate, TPlace next) {
    look = {at, candidate, look.Looked, -1};
    FCursor = next;
    stopped = true;
    return false;
  };
  // Looks at the run and empties it; true when it holds the pattern. Else
  // endLine moves back to the line where the run starts.
  const auto lookAtRun = [&] {
    const std::size_t at = FPattern.FindLast({start, size});
    const std::size_t looked = look.Looked + size;
    size = 0;
    if (at == std::string_view::npos) {
      look.Looked = looked;
      endLine -= std::exchange(ends, 0);
      return false;
    }
    look = BackwardHit(last, endLine, start + at);
    look.Looked = looked;
    stopped = true;
    return true;
  };
  FRows.VisitLines(last, false, [&](int index, std::string_view row) {
    if (index < lowest) return false;
    if (size > 0 && row.data() + row.size() != start) {
      if (lookAtRun()) return false;
      // The row goes on into the run's first row, apart from it in memory.
      if (!EndsLine(row)) return stop(endLine, true, {});
      if (look.Looked >= budget) return stop(endLine - 1, false, {endLine - 1, index, false});
      last = index;
    } else if (size >= runBytes && EndsLine(row)) {
      // The run starts a line: it is looked at before the row goes in front of it.
      if (lookAtRun()) return false;
      runBytes = std::min(2 * runBytes, kRunBytes);
      if (look.Looked >= budget) return stop(endLine - 1, false, {endLine - 1, index, false});
      last = index;
    }
    start = row.data();
    size += row.size();
    ends += EndsLine(row) ? 1 : 0;
    return true;
  });
  if (stopped) return look;
  FCursor = {to - 1, lowest - 1, false};
  if (size > 0) lookAtRun();
  return look;
}
