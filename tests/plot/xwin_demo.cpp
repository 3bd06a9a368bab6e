// Two plots on the xwin screen, one after the other, for xwin_test.sh. Prints a line after each
// plot1 returns, so the script can tell whether a plot waited for the user.
#include <cmath>
#include <cstdio>

#include "plot/plot1.h"
#include "plot/plplot_fonts.h"

int main() {
  using namespace ringsmooth;
  plplot_fonts();
  static float observed[PLOT_MAX_POINTS], smoothed[PLOT_MAX_POINTS], level[PLOT_MAX_POINTS];
  const int n = 120;
  for (int i = 0; i < n; ++i) {
    observed[i] = static_cast<float>(std::sin(0.2 * i) + 0.3 * std::cos(1.7 * i));
    smoothed[i] = static_cast<float>(std::sin(0.2 * i));
    level[i] = 0.0f;
  }
  const PlotDevice screen{"xwin", "", true};
  PlotWork work;
  Notes notes(stdout);
  plot1(observed, smoothed, level, n, 1880, "Demo one            ", true, PlotOutput{&screen, stdout, &notes}, nullptr, work);
  std::printf("plot 1 returned\n");
  std::fflush(stdout);
  plot1(observed, smoothed, level, n, 1880, "Demo two            ", false, PlotOutput{&screen, stdout, &notes}, nullptr, work);
  std::printf("plot 2 returned\n");
  std::fflush(stdout);
  return 0;
}
