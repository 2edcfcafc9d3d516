// TTimer's state changes and ticks.
#include "platform/Timer.h"

void TTimer::SetEnabled(bool enabled) {
  if (FEnabled == enabled) return;
  FEnabled = enabled;
  if (FOnStateChange) FOnStateChange();
}

void TTimer::SetInterval(int milliseconds) {
  if (FInterval == milliseconds) return;
  FInterval = milliseconds;
  if (FOnStateChange) FOnStateChange();
}

void TTimer::Tick() {
  if (FEnabled && FOnTimer) FOnTimer();
}
