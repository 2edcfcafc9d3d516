// CountPreparation: the logical lines fed one by one, each output dropped as it comes.
#include "app/core/PrepareRun.h"

#include "app/core/LineSearch.h"

TPrepareCounts CountPreparation(const TRyxStrings& rows, const TPrepareOptions& options,
                                std::optional<TPlayerDisplay> display) {
  TPlayerPrepareFilter filter(options, display);
  TLineReader reader(rows);
  std::string dropped;
  for (int n = 0; n < reader.Count(); ++n) {
    dropped.clear();
    if (n > 0) filter.Write("\r\n", dropped);
    filter.Write(reader.Read(n), dropped);
  }
  dropped.clear();
  filter.Finish(dropped);
  return filter.Counts();
}
