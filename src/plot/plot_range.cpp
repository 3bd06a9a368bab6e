#include "plot/plot_range.h"

#include <charconv>

namespace ringsmooth {

namespace {

// Year k as a float; the sum is formed in 64 bits so that no start year overflows it.
float yearValue(int startYear, long long offset) {
  return static_cast<float>(static_cast<long long>(startYear) + offset);
}

// One blank, then the number: like a list-directed write, but never losing a digit.
void writeNumber(float value, std::FILE* console) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  std::fprintf(console, " %.*s", static_cast<int>(result.ptr - text), text);
}

}  // namespace

void plotRange(const float observed[], const float smoothed[], int n, int startYear,
               PlotRange& range) {
  float yMin = 100000.0f;
  float yMax = -100000.0f;
  // The order of the four comparisons is kept as given: with strict comparisons it decides
  // nothing for ordinary values, but it is the documented rule.
  for (int i = 0; i < n; ++i) {
    if (observed[i] > yMax) yMax = observed[i];
    if (smoothed[i] > yMax) yMax = smoothed[i];
    if (observed[i] < yMin) yMin = observed[i];
    if (smoothed[i] < yMin) yMin = smoothed[i];
  }
  range.yMin = yMin;
  range.yMax = yMax;
  range.xMin = yearValue(startYear, 0);
  range.xMax = yearValue(startYear, static_cast<long long>(n) - 1);
}

void fillYearAxis(int n, int startYear, float yearAxis[]) {
  for (int i = 0; i < n; ++i) yearAxis[i] = yearValue(startYear, i);
}

void writeRangeLines(const PlotRange& range, std::FILE* console) {
  writeNumber(range.yMax, console);
  writeNumber(range.yMin, console);
  std::fputc('\n', console);
  writeNumber(range.xMax, console);
  writeNumber(range.xMin, console);
  std::fputc('\n', console);
}

}  // namespace ringsmooth
