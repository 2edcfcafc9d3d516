// TLineReader, TLineFinder, TMatchCounter: searching the editor's store one logical line at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/core/CandidateLines.h"
#include "app/core/TextSearch.h"
#include "app/core/WorkProgress.h"
#include "editor/RyxEditPos.h"

class TRyxStrings;

// A match as logical positions: lines of the text and byte offsets in them.
struct TLineMatch {
  TLogicalPos Start;
  TLogicalPos End;
  bool operator==(const TLineMatch&) const = default;
};

// The logical lines of a store, each joined from its rows into a buffer of
// its own. Reading the next or the previous line costs its rows only;
// after the rows may have changed shape (a rewrap while work paused),
// Forget makes the next read find its line afresh.
class TLineReader {
 public:
  explicit TLineReader(const TRyxStrings& rows);

  int Count() const { return FCount; }
  // The content of logical line n (from 0) without its line break; its
  // first row, when the caller knows it, saves finding it.
  const std::string& Read(int n, int firstRow = -1);
  void Forget() { FLine = -1; }

 private:
  const TRyxStrings& FRows;
  int FCount;
  // The line last read and its first and last rows.
  int FLine = -1;
  int FFirstRow = 0;
  int FLastRow = 0;
  std::string FText;
};

// The matches of a logical line of the text as the whole-text search finds
// them there (the empty line after a final line break is searched as the
// end of the text, where "^" does not match).
std::vector<TRegExpMatch> LineMatches(TTextSearch& search, const std::string& line, bool lastOfSeveral,
                                      const std::u16string* replacement = nullptr);

// Work over the lines done a step at a time, so that its owner can show
// progress, answer the user or give up between steps.
class TLineWork {
 public:
  virtual ~TLineWork() = default;
  // Goes on until about budget bytes were looked at; true when done.
  virtual bool Step(std::size_t budget) = 0;
  // Lines looked at, of all to look at.
  virtual std::uint64_t Done() const = 0;
  virtual std::uint64_t Total() const = 0;
  // The rows may have changed shape (not the text): lines are found afresh.
  virtual void RowsChanged() = 0;
};

// Runs work to its end, telling progress (when given) between steps, which
// may stop it with EAbort, also inside one long line of a slow pattern.
void RunWithProgress(TTextSearch& search, TLineWork& work, TWorkProgress* progress);
// Runs a search of the whole text at once, progress (when given) asked from
// inside the engine now and then; a stop there comes back as EAbort.
void RunInterruptible(TTextSearch& search, TWorkProgress* progress, const std::function<void()>& run);

struct TFoundLine {
  TLineMatch Match;
  bool Wrapped = false;
};

// Find Next over the lines, outward from the selection in one direction and
// round the end once, with the same choice as TTextSearch::FindNext: the
// nearest match after the selection (before it, backward), an empty match
// that is the selection itself passed over. For a pattern that does not
// span lines. Step lets the caller pause between lines.
class TLineFinder : public TLineWork {
 public:
  TLineFinder(TTextSearch& search, const TRyxStrings& rows, TLineMatch selection, bool forward);

  bool Step(std::size_t budget) override;
  // Once done: the match, or nothing.
  const std::optional<TFoundLine>& Found() const { return FFound; }
  std::uint64_t Done() const override { return static_cast<std::uint64_t>(FVisited); }
  std::uint64_t Total() const override { return static_cast<std::uint64_t>(FReader.Count()) + 1; }
  void RowsChanged() override;

 private:
  std::optional<TLineMatch> Pick(int line, const std::vector<TRegExpMatch>& matches) const;

  TTextSearch& FSearch;
  TLineReader FReader;
  // For a pattern with a byte look: the lines that cannot hold it are passed over.
  std::optional<TCandidateLines> FCandidates;
  TLineMatch FSelection;
  bool FForward;
  int FVisited = 0;
  bool FDone = false;
  std::optional<TFoundLine> FFound;
};

// Counts every match of the text, and which of them a given match is.
class TMatchCounter : public TLineWork {
 public:
  TMatchCounter(TTextSearch& search, const TRyxStrings& rows, std::optional<TLineMatch> current);

  bool Step(std::size_t budget) override;
  std::size_t Count() const { return FCount; }
  // From 1; 0 while the current match was not met (or is none).
  std::size_t CurrentIndex() const { return FCurrentIndex; }
  std::uint64_t Done() const override { return static_cast<std::uint64_t>(FLine); }
  std::uint64_t Total() const override { return static_cast<std::uint64_t>(FReader.Count()); }
  void RowsChanged() override;

 private:
  TTextSearch& FSearch;
  TLineReader FReader;
  std::optional<TCandidateLines> FCandidates;
  std::optional<TLineMatch> FCurrent;
  int FLine = 0;
  std::size_t FCount = 0;
  std::size_t FCurrentIndex = 0;
};

// The text with every match replaced, made line by line in pieces of
// about a megabyte, so that the pieces can be handed on one by one and let
// go; the store is only read.
class TLineReplacer : public TLineWork {
 public:
  TLineReplacer(TTextSearch& search, const TRyxStrings& rows, const std::u16string& replacement);

  bool Step(std::size_t budget) override;
  std::uint64_t Done() const override { return static_cast<std::uint64_t>(FLine); }
  std::uint64_t Total() const override { return static_cast<std::uint64_t>(FReader.Count()); }
  void RowsChanged() override { FReader.Forget(); }
  std::size_t Count() const { return FCount; }
  // Once done: the new text (no end-of-text marker), taken away.
  std::vector<std::string> TakePieces() { return std::move(FPieces); }

 private:
  TTextSearch& FSearch;
  TLineReader FReader;
  std::u16string FReplacement;
  int FLine = 0;
  std::size_t FCount = 0;
  std::vector<std::string> FPieces;
};
