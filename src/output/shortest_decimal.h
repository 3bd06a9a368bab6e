#pragma once
// Numbers written with every digit they need and no more, as the field's tools read them back.
// Inline: a CSV writes several for each of its millions of rows.
#include <algorithm>
#include <charconv>
#include <cmath>

namespace ringsmooth {

inline constexpr int SHORTEST_FLOAT_CAPACITY = 16;   // "-1.17549435e-38" and more
inline constexpr int SHORTEST_DOUBLE_CAPACITY = 25;  // "-2.2250738585072014e-308" and more

// Writes the shortest decimal that reads back as the same value at `out` and returns the end;
// NaN, Inf and -Inf as R and pandas read them. No terminating zero.
template <typename Real>
inline char* shortestDecimal(char* out, Real value) {
  static_assert(sizeof(Real) == sizeof(float) || sizeof(Real) == sizeof(double));
  if (std::isnan(value)) return std::copy_n("NaN", 3, out);
  if (std::isinf(value)) return value < 0 ? std::copy_n("-Inf", 4, out) : std::copy_n("Inf", 3, out);
  constexpr int capacity =
      sizeof(Real) == sizeof(float) ? SHORTEST_FLOAT_CAPACITY : SHORTEST_DOUBLE_CAPACITY;
  return std::to_chars(out, out + capacity, value).ptr;
}

}  // namespace ringsmooth
