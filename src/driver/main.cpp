// ringsmooth: smooths annual series with a cubic smoothing spline after extending them at both
// ends by linear prediction; lists and plots the results. The work is asked for at the console.
#include <cstdio>

#include "driver/command_line.h"
#include "driver/run_driver.h"

int main(int argc, char** argv) {
  const int status = ringsmooth::handleCommandLine(argc, argv, stdout, stderr);
  if (status >= 0) return status;
  return ringsmooth::runDriver(stdin, stdout);
}
