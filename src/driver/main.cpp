// ringsmooth: smooths annual series with a cubic smoothing spline after extending them at both
// ends by linear prediction; lists and plots the results. Run bare, it asks for the work at the
// console; with options and table names it is a batch run that asks nothing.
#include <cstdio>

#include "driver/command_line.h"
#include "driver/run_driver.h"

int main(int argc, char** argv) {
  const ringsmooth::CommandLine commandLine = ringsmooth::parseCommandLine(argc, argv);
  const int status = ringsmooth::handleCommandLine(commandLine, stdout, stderr);
  if (status >= 0) return status;
  if (commandLine.action == ringsmooth::CommandLine::Action::Batch) {
    return ringsmooth::runBatch(commandLine, stderr);
  }
  return ringsmooth::runDriver(stdin, stdout);
}
