// TRecoverySchedule: when the unsaved text is written to its recovery file, on a clock the caller gives.
#include "app/core/RecoverySchedule.h"

#include <algorithm>

void TRecoverySchedule::Changed(TTime now) {
  if (!FPending) FFirstChange = now;
  FPending = true;
  FLastChange = now;
}

std::optional<TRecoverySchedule::TTime> TRecoverySchedule::DueAt() const {
  if (!FPending) return std::nullopt;
  return std::min(FLastChange + IdleDelay, FFirstChange + Longest);
}
