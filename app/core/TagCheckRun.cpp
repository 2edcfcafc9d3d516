// CheckStoredTags: feeding the checker line by line, keeping the first problems.
#include "app/core/TagCheckRun.h"

#include "app/core/LineSearch.h"

namespace {

// Lines checked between two reports.
constexpr int kLinesPerReport = 4096;

}  // namespace

TTagCheckResult CheckStoredTags(const TRyxStrings& rows, TWorkProgress* progress, std::size_t shown) {
  TTagCheckResult result;
  TTagChecker checker([&](const TTagProblem& problem) {
    if (result.Shown.size() < shown) result.Shown.push_back(problem);
  });
  TLineReader reader(rows);
  const int count = reader.Count();
  for (int n = 0; n < count; ++n) {
    if (progress && n > 0 && n % kLinesPerReport == 0) {
      progress->Report(static_cast<std::uint64_t>(n), static_cast<std::uint64_t>(count));
      // The report let events through: a resize may have rewrapped the rows.
      reader.Forget();
    }
    checker.AddLine(static_cast<std::size_t>(n) + 1, reader.Read(n));
  }
  result.Total = checker.Finish();
  return result;
}
