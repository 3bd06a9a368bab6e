#include "output/shortest_decimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace ringsmooth {
namespace {

template <typename Real>
char* shortest(char* out, Real value, int capacity) {
  if (std::isnan(value)) return std::copy_n("NaN", 3, out);
  if (std::isinf(value)) return value < 0 ? std::copy_n("-Inf", 4, out) : std::copy_n("Inf", 3, out);
  return std::to_chars(out, out + capacity, value).ptr;
}

}  // namespace

char* shortestDecimal(char* out, float value) {
  return shortest(out, value, SHORTEST_FLOAT_CAPACITY);
}

char* shortestDecimal(char* out, double value) {
  return shortest(out, value, SHORTEST_DOUBLE_CAPACITY);
}

}  // namespace ringsmooth
