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

// The terminal a status line is shown on now (-1: none). A run ended by a termination signal
// clears that line first (clearShownStatusLine, safe in a signal handler), so that what the
// shell writes next does not run into it.
void statusLineShownOn(int fd);
void clearShownStatusLine();

}  // namespace ringsmooth
