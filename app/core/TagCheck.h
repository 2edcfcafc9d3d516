// TTagChecker: finds the problems of a lyrics file's time tags, each with its line number, and reports them as found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/core/LineFilter.h"
#include "app/core/PlayerLayout.h"
#include "app/core/TimeTags.h"

enum class TTagProblemKind {
  Malformed,        // meant as a time tag but not one: its form, letters, seconds of 60 or more
  Backwards,        // a line's time lies before the line's above it
  Duplicate,        // a line's time is that of an earlier line
  WordOutside,      // a word tag before its line's time or after the next line's
  WordBackwards,    // a word tag before the word tag ahead of it in its line
  UntimedUnit,      // a unit without a time in a line where a unit has a word tag
  Untagged,         // a line with text but no line tag in a file that has line tags
  OffsetNotNumber,  // "[offset:]" whose value is not a whole number
  Overflow,         // the line needs more rows than the player shows at once
  LineStart,        // a row of the player after the line's first starts with 。、」 or the like
};

struct TTagProblem {
  std::size_t Line = 0;  // from 1
  TTagProblemKind Kind = TTagProblemKind::Malformed;
  std::string Message;  // for the user, in UTF-8
};

// The first line of each line time. A large file looks up a time for every
// line. A time of whole hundredths (as every common tag form gives) within
// the first hour is a place in an array of lines by hundredth, four bytes
// each, which stays small enough to keep in the cache however the times
// come. Other times mostly rise: a time later than every one before is
// appended to a sorted array, so that the common lookup touches only its
// end; an earlier time is searched there by halves, and a time that is new
// but earlier than the latest goes to a small open-addressing table of
// such times. A time or line beyond 32 bits goes to a map.
class TFirstLineOfTime {
 public:
  // The first line of millis, which becomes line when it has none yet; the
  // second member tells whether it was new.
  std::pair<std::size_t, bool> Find(long long millis, std::size_t line);

 private:
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
  static constexpr long long kHundredthsMillis = 60 * 60 * 1000;
  struct TSlot {
    std::uint32_t Millis = kEmpty;
    std::uint32_t Line = 0;
  };
  std::pair<std::size_t, bool> FindOutOfOrder(std::uint32_t key, std::uint32_t line);
  void Grow();

  std::vector<std::uint32_t> FByHundredth;  // the first line + 1, 0 for none
  std::vector<TSlot> FInOrder;  // rising times
  std::vector<TSlot> FSlots = std::vector<TSlot>(16);
  std::size_t FUsed = 0;
  std::map<long long, std::size_t> FLarge;
};

// Lines with several line tags (one text sung at several times) take part
// in the duplicate check only: their times are not meant to follow on.
//
// The problems are reported ordered by line, and those of one line in a
// fixed order: its own (malformed tags, the offset, the fit, the time going
// backwards, word tags before its time, word tags going back, units
// without a time, word tags after the next line's
// time), then "untagged", then its duplicate times by time. A problem is
// reported as soon as nothing can come before it any more, so that memory
// holds only what waits for a later line: the lines after a line whose word
// tags wait for the next line's time, and, until the first line tag, the
// problems and the untagged lines before it.
class TTagChecker {
 public:
  using TReport = std::function<void(const TTagProblem& problem)>;

  // With a display, each shown line (ID tags are not shown) is also checked
  // to fit on one page of it, tags excluded.
  explicit TTagChecker(TReport report, std::optional<TPlayerDisplay> display = std::nullopt)
      : FReport(std::move(report)), FDisplay(display) {}

  void ReportTo(TReport report) { FReport = std::move(report); }

  // The lines in order, without their breaks.
  void AddLine(std::size_t number, std::string_view line);
  // The text has ended: reports what was held back. The number of problems reported in all.
  std::size_t Finish();

 private:
  struct TPendingWord {
    std::size_t Line;
    std::string Text;
    long long Millis;
  };
  struct TTimedLine {
    std::size_t Line;
    long long Millis;
  };

  // The message of the next problem, emptied.
  std::string& Message();
  // Reports the problem whose message was made, or holds it while an
  // earlier line may still get one.
  void Add(std::size_t line, TTagProblemKind kind);
  void Report(const TTagProblem& problem);
  void ReportHeld();
  // A line with line tags ends what waited: the word tags of the line
  // before are checked against its time, and the untagged lines before the
  // first line tag get their problem.
  void Close(std::size_t number, const TTaggedLine& parsed);
  void CheckLineTimes(std::size_t number, std::string_view line, const TTaggedLine& parsed);
  // Word tags in their order, and a time for every unit of a line that has word tags.
  void CheckWordOrder(std::size_t number, std::string_view line, const TTaggedLine& parsed);
  // The fit on the player's display, then the rows that start with a character kept off a line start.
  void CheckFit(std::size_t number, std::string_view line);
  void ReportOverflow(std::size_t number, std::size_t rows);

  TReport FReport;
  const std::optional<TPlayerDisplay> FDisplay;
  std::size_t FReported = 0;
  // The message being made, reused from problem to problem.
  TTagProblem FProblem;
  TTaggedLine FParsed;
  bool FTagged = false;
  // Before the first line tag: the lines that would be untagged in a tagged file.
  std::vector<std::size_t> FUntagged;
  std::vector<TTagProblem> FHeld;
  // The first line of each line time, for the duplicates.
  TFirstLineOfTime FFirstLineOfTime;
  std::optional<TTimedLine> FPrevious;
  // The word tags of the last timed line, waiting for the next line's time,
  // and that line's duplicate times, which come after what they find.
  std::vector<TPendingWord> FPendingWords;
  std::vector<TTagProblem> FPendingDuplicates;
  // The line's duplicate times and their first lines, reused from line to line.
  std::vector<std::pair<long long, std::size_t>> FDuplicates;
};

// The checker as a block filter, for texts read in blocks. It has no output.
class TTagCheckFilter : public TLineSplitter {
 public:
  // The problems are gathered for Problems, unless ReportTo sends them on.
  explicit TTagCheckFilter(std::optional<TPlayerDisplay> display = std::nullopt)
      : FChecker([this](const TTagProblem& problem) { FGathered.push_back(problem); }, display) {}

  // Before the first line: the problems go to report as they are found.
  void ReportTo(TTagChecker::TReport report) { FChecker.ReportTo(std::move(report)); }

  // After the filter's Finish: ends the check and gives the number of problems.
  std::size_t EndCheck() { return FChecker.Finish(); }
  // After the filter's Finish: ends the check and gives the problems gathered.
  std::vector<TTagProblem> Problems() {
    FChecker.Finish();
    return std::move(FGathered);
  }

 protected:
  void SplitLine(std::size_t number, std::string_view line, std::string_view, std::string&) override {
    FChecker.AddLine(number, line);
  }

 private:
  std::vector<TTagProblem> FGathered;
  TTagChecker FChecker;
};
