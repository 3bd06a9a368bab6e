#include "core/termination_signals.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <initializer_list>

namespace ringsmooth {

sigset_t terminationSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int s : {SIGINT, SIGQUIT, SIGHUP, SIGTERM}) sigaddset(&set, s);
  return set;
}

TerminationSignalsBlocked::TerminationSignalsBlocked() {
  const sigset_t held = terminationSignals();
  pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

TerminationSignalsBlocked::~TerminationSignalsBlocked() {
  pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

namespace {

std::atomic<int> shownOn{-1};
static_assert(std::atomic<int>::is_always_lock_free, "read in a signal handler");

}  // namespace

void statusLineShownOn(int fd) { shownOn.store(fd); }

void clearShownStatusLine() {
  const int fd = shownOn.exchange(-1);
  constexpr char CLEAR[] = "\r\033[K";
  if (fd >= 0 && ::write(fd, CLEAR, sizeof CLEAR - 1) < 0) return;  // nothing more can be done
}

}  // namespace ringsmooth
