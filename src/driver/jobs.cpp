#include "driver/jobs.h"

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

}  // namespace ringsmooth
