// TEndSignals: SIGTERM, SIGHUP and SIGINT brought into the event loop, so that unsaved work is kept before the program ends.
#pragma once

#include <QObject>
#include <csignal>
#include <functional>

class QSocketNotifier;

// The handler only writes the signal's number into a pipe (all a signal
// handler may safely do); the event loop reads it and calls OnSignal, which
// does the work and ends the program. While this object lives it owns the
// three signals; it gives them back to their handlers before when it goes.
class TEndSignals : public QObject {
  Q_OBJECT

 public:
  explicit TEndSignals(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
  ~TEndSignals() override;

  static constexpr int Signals[] = {SIGTERM, SIGHUP, SIGINT};

 private:
  void Read();

  std::function<void(int)> FOnSignal;
  int FPipe[2] = {-1, -1};
  QSocketNotifier* FNotifier = nullptr;
  struct sigaction FBefore[3] = {};
};

// Ends the process by signal as if it had had no handler (the status that the parent sees).
[[noreturn]] void EndBySignal(int signal);
