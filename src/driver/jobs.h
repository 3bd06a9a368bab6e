#pragma once
// How many threads a run computes with.

namespace ringsmooth {

// The cores this process may run on (its CPU affinity), at least 1.
int availableCores();

// The number of jobs RINGSMOOTH_JOBS asks for: a whole number of 1 or more; unset or empty, the
// available cores. A value that is no such number gives the available cores too, and `valid`
// is set false so that the caller can say so.
int jobsFromEnvironment(bool& valid);

}  // namespace ringsmooth
