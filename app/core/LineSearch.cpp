// TLineReader, TLineFinder, TMatchCounter, TLineReplacer: the line walks, and running them with progress.
#include "app/core/LineSearch.h"

#include <algorithm>
#include <cstdlib>

#include "editor/RyxEditSub.h"
#include "editor/Ryxstrings.h"
#include "platform/Exceptions.h"

namespace {

// The pieces of a replaced text grow to about this size before the next begins.
constexpr std::size_t kPieceBytes = 1 << 20;
// Bytes looked at between two reports of RunWithProgress.
constexpr std::size_t kStepBytes = 1 << 20;
// A line costs about this much besides its bytes.
constexpr std::size_t kLineCost = 16;

std::optional<TCandidateLines> CandidatesFor(const TTextSearch& search, const TRyxStrings& rows) {
  if (search.BytePattern().Empty()) return std::nullopt;
  return std::optional<TCandidateLines>(std::in_place, rows, search.BytePattern());
}

}  // namespace

TLineReader::TLineReader(const TRyxStrings& rows)
    : FRows(rows), FCount(rows.LogicalLineOf(rows.Count() - 1) + 1) {}

const std::string& TLineReader::Read(int n, int firstRow) {
  int first = 0;
  if (FLine >= 0 && n == FLine + 1) {
    first = FLastRow + 1;
  } else if (FLine >= 0 && n == FLine - 1) {
    // The previous line ends on the row before; its first row follows the row before it that ends a line.
    first = FFirstRow - 1;
    while (first > 0 && !HasLineEnd(FRows.Get(first - 1))) --first;
  } else if (FLine != n) {
    first = firstRow >= 0 ? firstRow : FRows.FirstIndexOfLogicalLine(n);
  } else {
    return FText;
  }
  FText.clear();
  int row = first;
  for (;; ++row) {
    const std::string_view piece = FRows.Get(row);
    FText.append(piece.substr(0, static_cast<std::size_t>(ContentLength(piece))));
    if (HasLineEnd(piece) || row + 1 >= FRows.Count()) break;
  }
  FLine = n;
  FFirstRow = first;
  FLastRow = row;
  return FText;
}

std::vector<TRegExpMatch> LineMatches(TTextSearch& search, const std::string& line, bool lastOfSeveral,
                                      const std::u16string* replacement) {
  if (!search.MayMatch(line)) return {};
  if (!lastOfSeveral || !line.empty()) return search.Matches(line, replacement);
  // The end of the text after its last line break: searched as the whole
  // text would be there, so that "$" matches and "^" does not.
  std::vector<TRegExpMatch> matches = search.Matches("\r\n", replacement);
  std::erase_if(matches, [](const TRegExpMatch& m) { return m.Start < 2; });
  for (TRegExpMatch& m : matches) m.Start = m.End = 0;
  return matches;
}

namespace {

// Lets the engine ask progress from inside a long search; a stop there ends the search with EAbort.
class TInterruptScope {
 public:
  TInterruptScope(TTextSearch& search, TWorkProgress& progress, std::function<std::uint64_t()> done, std::uint64_t total)
      : FSearch(search) {
    FSearch.SetInterrupt([&progress, done = std::move(done), total] {
      try {
        progress.Report(done(), total);
        return true;
      } catch (const EAbort&) {
        return false;
      }
    });
  }
  TInterruptScope(const TInterruptScope&) = delete;
  TInterruptScope& operator=(const TInterruptScope&) = delete;
  ~TInterruptScope() { FSearch.SetInterrupt({}); }

 private:
  TTextSearch& FSearch;
};

}  // namespace

void RunWithProgress(TTextSearch& search, TLineWork& work, TWorkProgress* progress) {
  if (!progress) {
    while (!work.Step(kStepBytes)) {
    }
    return;
  }
  const TInterruptScope interrupt(search, *progress, [&work] { return work.Done(); }, work.Total());
  while (!work.Step(kStepBytes)) {
    progress->Report(work.Done(), work.Total());
    // The report let events through: a resize may have rewrapped the rows.
    work.RowsChanged();
  }
}

void RunInterruptible(TTextSearch& search, TWorkProgress* progress, const std::function<void()>& run) {
  if (!progress) {
    run();
    return;
  }
  const TInterruptScope interrupt(search, *progress, [] { return std::uint64_t{0}; }, 1);
  run();
}

TLineFinder::TLineFinder(TTextSearch& search, const TRyxStrings& rows, TLineMatch selection, bool forward)
    : FSearch(search),
      FReader(rows),
      FCandidates(CandidatesFor(search, rows)),
      FSelection(selection),
      FForward(forward) {}

std::optional<TLineMatch> TLineFinder::Pick(int line, const std::vector<TRegExpMatch>& matches) const {
  auto at = [line](const TRegExpMatch& m) {
    return TLineMatch{{line, static_cast<int>(m.Start)}, {line, static_cast<int>(m.End)}};
  };
  // Only the line of the selection, seen first, is looked at from the selection on.
  auto fits = [&](const TRegExpMatch& m) {
    const TLineMatch match = at(m);
    if (FVisited > 0) return true;
    if (match == FSelection) return false;
    if (FForward) return match.Start >= FSelection.End;
    return match.Start < FSelection.Start || (match.Start == FSelection.Start && m.End == m.Start);
  };
  if (FForward) {
    const auto it = std::find_if(matches.begin(), matches.end(), fits);
    if (it != matches.end()) return at(*it);
  } else {
    const auto it = std::find_if(matches.rbegin(), matches.rend(), fits);
    if (it != matches.rend()) return at(*it);
  }
  return std::nullopt;
}

bool TLineFinder::Step(std::size_t budget) {
  const int count = FReader.Count();
  const int start = FForward ? FSelection.End.Line : FSelection.Start.Line;
  std::size_t looked = 0;
  while (!FDone && looked < budget) {
    // Visit v looks at the line v lines on from the start, round the end; visit count is the start again.
    const int step = FForward ? FVisited : -FVisited;
    int line = ((start + step) % count + count) % count;
    int row = -1;  // the line's first row, when known
    if (FVisited > 0 && FCandidates) {
      // Up to the end of the text (its start, backward), then round to the start line.
      const int end = FForward ? (line > start ? count - 1 : start) : (line < start ? 0 : start);
      const TLineLook look = FCandidates->Next(line, end, FForward, budget - looked);
      looked += look.Looked;
      FVisited += std::abs(look.Line - line);
      if (!look.Candidate) {
        FDone = FVisited > count;
        continue;
      }
      line = look.Line;
      row = look.Row;
    }
    const std::string& text = FReader.Read(line, row);
    looked += text.size() + kLineCost;
    if (const auto match = Pick(line, LineMatches(FSearch, text, line == count - 1 && count > 1))) {
      const bool past = FVisited > 0 && (FForward ? line <= start : line >= start);
      FFound = TFoundLine{*match, past};
      FDone = true;
    } else if (++FVisited > count) {
      FDone = true;
    }
  }
  return FDone;
}

void TLineFinder::RowsChanged() {
  FReader.Forget();
  if (FCandidates) FCandidates->Forget();
}

TMatchCounter::TMatchCounter(TTextSearch& search, const TRyxStrings& rows, std::optional<TLineMatch> current)
    : FSearch(search), FReader(rows), FCandidates(CandidatesFor(search, rows)), FCurrent(current) {}

bool TMatchCounter::Step(std::size_t budget) {
  const int count = FReader.Count();
  std::size_t looked = 0;
  while (FLine < count && looked < budget) {
    int row = -1;
    if (FCandidates) {
      const TLineLook look = FCandidates->Next(FLine, count - 1, true, budget - looked);
      looked += look.Looked;
      FLine = look.Line;
      if (!look.Candidate) continue;
      row = look.Row;
    }
    const std::string& text = FReader.Read(FLine, row);
    looked += text.size() + kLineCost;
    const std::vector<TRegExpMatch> matches = LineMatches(FSearch, text, FLine == count - 1 && count > 1);
    if (FCurrent && FCurrent->Start.Line == FLine) {
      for (std::size_t i = 0; i < matches.size(); ++i) {
        if (static_cast<int>(matches[i].Start) == FCurrent->Start.Col &&
            static_cast<int>(matches[i].End) == FCurrent->End.Col && FCurrent->End.Line == FLine)
          FCurrentIndex = FCount + i + 1;
      }
    }
    FCount += matches.size();
    ++FLine;
  }
  return FLine >= count;
}

void TMatchCounter::RowsChanged() {
  FReader.Forget();
  if (FCandidates) FCandidates->Forget();
}

TLineReplacer::TLineReplacer(TTextSearch& search, const TRyxStrings& rows, const std::u16string& replacement)
    : FSearch(search), FReader(rows), FReplacement(replacement) {}

bool TLineReplacer::Step(std::size_t budget) {
  const int count = FReader.Count();
  std::size_t looked = 0;
  for (; FLine < count && looked < budget; ++FLine) {
    const std::string& text = FReader.Read(FLine);
    looked += text.size() + kLineCost;
    if (FPieces.empty() || FPieces.back().size() >= kPieceBytes) {
      FPieces.emplace_back();
      FPieces.back().reserve(kPieceBytes + text.size());
    }
    std::string& out = FPieces.back();
    std::size_t last = 0;
    for (const TRegExpMatch& m : LineMatches(FSearch, text, FLine == count - 1 && count > 1, &FReplacement)) {
      out.append(text, last, m.Start - last);
      out += TTextSearch::Bytes(m.Replacement);
      last = m.End;
      ++FCount;
    }
    out.append(text, last);
    if (FLine + 1 < count) out += "\r\n";
  }
  return FLine >= count;
}
