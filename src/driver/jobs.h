#pragma once
// How many threads a run computes with.
#include <thread>
#include <vector>

#include "core/termination_signals.h"

namespace ringsmooth {

// Runs share(0) .. share(shares - 1), each but the first on a thread of its own, and returns
// when all are done. The threads are started with the termination signals blocked, so that
// only the writing thread takes them.
template <typename Share>
void runShares(int shares, Share share) {
  const TerminationSignalsBlocked blocked;
  std::vector<std::thread> threads;
  for (int s = 1; s < shares; ++s) threads.emplace_back(share, s);
  share(0);
  for (std::thread& thread : threads) thread.join();
}

// The cores this process may run on (its CPU affinity), at least 1.
int availableCores();

// The number of jobs RINGSMOOTH_JOBS asks for: a whole number of 1 or more; unset or empty, the
// available cores. A value that is no such number gives the available cores too, and `valid`
// is set false so that the caller can say so.
int jobsFromEnvironment(bool& valid);

}  // namespace ringsmooth
