#include "core/termination_signals.h"

#include <pthread.h>

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

}  // namespace ringsmooth
