#pragma once
// How many threads a run computes with, and the thread pieces the run needs.
#include <csignal>

namespace ringsmooth {

// The cores this process may run on (its CPU affinity), at least 1.
int availableCores();

// The number of jobs RINGSMOOTH_JOBS asks for: a whole number of 1 or more; unset or empty, the
// available cores. A value that is no such number gives the available cores too, and `valid`
// is set false so that the caller can say so.
int jobsFromEnvironment(bool& valid);

// The signals that end a run from the keyboard or the system: interrupt, quit, hangup,
// termination. Only the thread that writes the output may take them, and only between two
// blocks, so that an interrupted run leaves whole blocks behind.
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
