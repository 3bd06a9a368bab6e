#include "driver/response.h"

#include <charconv>
#include <cstdio>

#include "analysis/spline.h"

namespace ringsmooth {
namespace {

// The shortest text that reads back as the same double.
std::string shortest(double value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

// Periods around the cutoff, as multiples of it.
constexpr double PERIOD_FACTORS[] = {0.25, 0.5, 0.75, 1.0, 1.5, 2.0, 3.0, 4.0};

}  // namespace

std::string responseText(int cutoff) {
  const double p = smoothingParameter(cutoff);
  const double lambda = 1.0 / (2.0 * p);
  std::string text = "cutoff " + std::to_string(cutoff) + "\n";
  text += "p " + shortest(p) + "\n";
  text += "lambda " + shortest(lambda) + "\n";
  text += "smooth " + shortest(1.0 / (1.0 + lambda)) + "\n";
  for (const double factor : PERIOD_FACTORS) {
    const double period = factor * cutoff;
    char line[96];
    std::snprintf(line, sizeof line, "gain_at_%s %.6g\n", shortest(period).c_str(),
                  splineGain(p, period));
    text += line;
  }
  return text;
}

}  // namespace ringsmooth
