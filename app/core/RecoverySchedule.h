// TRecoverySchedule: when the unsaved text is written to its recovery file, on a clock the caller gives.
#pragma once

#include <chrono>
#include <optional>

// A write is due once the text has stayed still for IdleDelay after its
// last change, or, while the changes go on without such a pause, once
// Longest has passed since the first change not yet written, so that
// steady typing is written at least that often. The times are the caller's
// clock (milliseconds of a steady clock), so that tests can run it.
class TRecoverySchedule {
 public:
  using TTime = std::chrono::milliseconds;
  static constexpr TTime IdleDelay{2000};
  static constexpr TTime Longest{30000};

  // The text changed at now.
  void Changed(TTime now);
  // The text as of now is being written: nothing is pending.
  void Taken() { FPending = false; }
  bool Pending() const { return FPending; }
  // When the pending changes are due to be written; nothing when there are none.
  std::optional<TTime> DueAt() const;
  bool Due(TTime now) const { return FPending && now >= *DueAt(); }

 private:
  bool FPending = false;
  TTime FFirstChange{};
  TTime FLastChange{};
};
