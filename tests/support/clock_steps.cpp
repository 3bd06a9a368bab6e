// Preloaded into the program (LD_PRELOAD) by tests of the progress display: every reading of the
// monotonic clock is a second later than the one before. The display, shown once a run has
// taken a second and redrawn at most ten times a second, then draws every change it is told
// of, on any machine at any speed, and what it shows last can be checked exactly.
#include <dlfcn.h>
#include <time.h>

#include <atomic>

extern "C" int clock_gettime(clockid_t clock, struct timespec* time) {
  using ClockGettime = int (*)(clockid_t, struct timespec*);
  static const auto realClockGettime =
      reinterpret_cast<ClockGettime>(::dlsym(RTLD_NEXT, "clock_gettime"));
  if (clock != CLOCK_MONOTONIC) return realClockGettime(clock, time);
  static std::atomic<long> seconds{0};
  time->tv_sec = ++seconds;
  time->tv_nsec = 0;
  return 0;
}
