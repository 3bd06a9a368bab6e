// ringsmooth: smooths annual series with a cubic smoothing spline after extending them at both
// ends by linear prediction; lists and plots the results. The work is asked for at the console.
#include <cstdio>

#include "driver/run_driver.h"

int main() { return ringsmooth::runDriver(stdin, stdout); }
