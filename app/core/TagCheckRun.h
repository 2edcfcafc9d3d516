// CheckStoredTags: the time-tag check over the editor's lines, as the check panel lists it.
#pragma once

#include <cstddef>
#include <vector>

#include "app/core/TagCheck.h"
#include "app/core/WorkProgress.h"

class TRyxStrings;

// The first problems found, and how many there are in all: a text of a
// million broken tags keeps only what a list can show.
struct TTagCheckResult {
  std::vector<TTagProblem> Shown;
  std::size_t Total = 0;
};

constexpr std::size_t kShownTagProblems = 10000;

// Checks the logical lines of rows one by one (numbered as the editor
// numbers them); progress, when given, hears now and then and may stop the
// check with EAbort. The rows are only read.
TTagCheckResult CheckStoredTags(const TRyxStrings& rows, TWorkProgress* progress,
                                std::size_t shown = kShownTagProblems);
