#pragma once
// The signals that end a run from the keyboard or the system, and holding them off.
#include <csignal>

namespace ringsmooth {

// Interrupt, quit, hangup, termination. Only the thread that writes the output may take them,
// and only between two blocks, so that an interrupted run leaves whole blocks behind.
sigset_t terminationSignals();

// Blocks the termination signals in the calling thread for its lifetime, so that threads it
// starts meanwhile inherit the block; the old mask comes back at the end of the scope.
class TerminationSignalsBlocked {
 public:
  TerminationSignalsBlocked();
  ~TerminationSignalsBlocked();
  TerminationSignalsBlocked(const TerminationSignalsBlocked&) = delete;
  TerminationSignalsBlocked& operator=(const TerminationSignalsBlocked&) = delete;

 private:
  sigset_t previous_;
};

}  // namespace ringsmooth
