// TTimer: an interval timer whose ticks the backend delivers through the event loop.
#pragma once

#include <functional>

class TTimer {
 public:
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  int Interval() const { return FInterval; }
  void SetInterval(int milliseconds);
  void SetOnTimer(std::function<void()> handler) { FOnTimer = std::move(handler); }

  // Called by the backend when an interval has passed; does nothing while disabled.
  void Tick();
  // The backend that drives this timer hears of every change of Enabled or Interval.
  void SetOnStateChange(std::function<void()> listener) { FOnStateChange = std::move(listener); }

 private:
  bool FEnabled = true;
  int FInterval = 1000;
  std::function<void()> FOnTimer;
  std::function<void()> FOnStateChange;
};
