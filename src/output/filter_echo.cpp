#include "output/filter_echo.h"

#include <algorithm>

#include "output/fixed_field.h"

namespace ringsmooth {
namespace {

constexpr int COEFFICIENTS_PER_LINE = 10;

void writeCount3(std::FILE* console, int value) {
  char field[3];
  integerField(field, 3, value);
  std::fwrite(field, 1, 3, console);
}

}  // namespace

void writeFilterEcho(std::FILE* console, int order, const double coefficients[]) {
  std::fputs("\n *** Computing prediction error filter (length ", console);
  writeCount3(console, order);
  std::fputs(") for extrapolation\n\n", console);
  if (coefficients == nullptr) return;
  std::fputs(" ip: ", console);
  writeCount3(console, order);
  std::fputc('\n', console);
  char line[1 + COEFFICIENTS_PER_LINE * VALUE_WIDTH + 1];
  for (int first = 0; first < order; first += COEFFICIENTS_PER_LINE) {
    const int count = std::min(COEFFICIENTS_PER_LINE, order - first);
    line[0] = ' ';
    for (int j = 0; j < count; ++j) fixedField(line + 1 + j * VALUE_WIDTH, coefficients[first + j]);
    line[1 + count * VALUE_WIDTH] = '\n';
    std::fwrite(line, 1, static_cast<size_t>(2 + count * VALUE_WIDTH), console);
  }
}

}  // namespace ringsmooth
