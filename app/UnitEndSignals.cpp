// TEndSignals: SIGTERM, SIGHUP and SIGINT brought into the event loop, so that unsaved work is kept before the program ends.
#include "app/UnitEndSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstdlib>

namespace {

// The write end of the pipe, for the handler.
volatile std::sig_atomic_t gWriteFd = -1;

void OnEndSignal(int signal) {
  const int savedErrno = errno;
  const unsigned char number = static_cast<unsigned char>(signal);
  // A full pipe already holds a signal for the loop to read: nothing is lost.
  [[maybe_unused]] const ssize_t written = ::write(gWriteFd, &number, 1);
  errno = savedErrno;
}

}  // namespace

TEndSignals::TEndSignals(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), FOnSignal(std::move(onSignal)) {
  if (::pipe2(FPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  gWriteFd = FPipe[1];
  FNotifier = new QSocketNotifier(FPipe[0], QSocketNotifier::Read, this);
  connect(FNotifier, &QSocketNotifier::activated, this, &TEndSignals::Read);
  struct sigaction action {};
  action.sa_handler = OnEndSignal;
  sigemptyset(&action.sa_mask);
  // System calls of the event loop go on after the handler.
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 3; ++i) ::sigaction(Signals[i], &action, &FBefore[i]);
}

TEndSignals::~TEndSignals() {
  if (FPipe[0] < 0) return;
  for (int i = 0; i < 3; ++i) ::sigaction(Signals[i], &FBefore[i], nullptr);
  gWriteFd = -1;
  ::close(FPipe[0]);
  ::close(FPipe[1]);
}

void TEndSignals::Read() {
  unsigned char number = 0;
  while (::read(FPipe[0], &number, 1) == 1) {
    if (FOnSignal) FOnSignal(number);
  }
}

void EndBySignal(int signal) {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, nullptr);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
  ::raise(signal);
  std::_Exit(128 + signal);
}
