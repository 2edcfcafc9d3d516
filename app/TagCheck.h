// TTagChecker: finds the problems of a lyrics file's time tags, each with its line number.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/LineFilter.h"
#include "app/PlayerLayout.h"
#include "app/TimeTags.h"

enum class TTagProblemKind {
  Malformed,        // meant as a time tag but not one: its form, letters, seconds of 60 or more
  Backwards,        // a line's time lies before the line's above it
  Duplicate,        // a line's time is that of an earlier line
  WordOutside,      // a word tag before its line's time or after the next line's
  Untagged,         // a line with text but no line tag in a file that has line tags
  OffsetNotNumber,  // "[offset:]" whose value is not a whole number
  Overflow,         // the line needs more rows than the player shows at once
};

struct TTagProblem {
  std::size_t Line = 0;  // from 1
  TTagProblemKind Kind = TTagProblemKind::Malformed;
  std::string Message;  // for the user, in UTF-8
};

// Lines with several line tags (one text sung at several times) take part
// in the duplicate check only: their times are not meant to follow on.
class TTagChecker {
 public:
  // With a display, each shown line (ID tags are not shown) is also checked
  // to fit on one page of it, tags excluded.
  explicit TTagChecker(std::optional<TPlayerDisplay> display = std::nullopt) : FDisplay(display) {}

  // The lines in order, without their breaks.
  void AddLine(std::size_t number, std::string_view line);
  // Every problem, ordered by line.
  std::vector<TTagProblem> Finish();

 private:
  struct TPendingWord {
    std::size_t Line;
    std::string Text;
    long long Millis;
  };

  void Add(std::size_t line, TTagProblemKind kind, std::string message);
  void CheckLineTimes(std::size_t number, std::string_view line, const TTaggedLine& parsed);

  void CheckFit(std::size_t number, std::string_view line);

  const std::optional<TPlayerDisplay> FDisplay;
  std::vector<TTagProblem> FProblems;
  bool FTagged = false;
  std::vector<std::size_t> FUntagged;
  // The time of every line tag with its line, for the duplicates found at the end.
  struct TLineTime {
    long long Millis;
    std::size_t Line;
    auto operator<=>(const TLineTime&) const = default;
  };
  std::vector<TLineTime> FLineTimes;
  struct TTimedLine {
    std::size_t Line;
    long long Millis;
  };
  std::optional<TTimedLine> FPrevious;
  // The word tags of the last timed line, waiting for the next line's time.
  std::vector<TPendingWord> FPendingWords;
};

// The checker as a block filter, for texts read in blocks. Its output is
// only the line breaks and is meant to be dropped.
class TTagCheckFilter : public TLineFilter {
 public:
  explicit TTagCheckFilter(std::optional<TPlayerDisplay> display = std::nullopt) : FChecker(display) {}
  std::vector<TTagProblem> Problems() { return FChecker.Finish(); }

 protected:
  void Line(std::size_t number, std::string_view line, std::string&) override { FChecker.AddLine(number, line); }

 private:
  TTagChecker FChecker;
};
