#include "driver/jobs.h"

#include <pthread.h>
#include <sched.h>

#include <cstdlib>
#include <string>

#include "input/number_token.h"

namespace ringsmooth {

int availableCores() {
  cpu_set_t cores;
  CPU_ZERO(&cores);
  if (sched_getaffinity(0, sizeof cores, &cores) != 0) return 1;
  const int count = CPU_COUNT(&cores);
  return count > 0 ? count : 1;
}

int jobsFromEnvironment(bool& valid) {
  valid = true;
  const char* text = std::getenv("RINGSMOOTH_JOBS");
  if (text == nullptr || text[0] == '\0') return availableCores();
  int jobs = 0;
  const std::string value = text;
  if (parseWhole(value.data(), value.size(), jobs) == TokenStatus::Ok && jobs >= 1) return jobs;
  valid = false;
  return availableCores();
}

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
