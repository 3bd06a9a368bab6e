#pragma once
// Numbers written with every digit they need and no more, as the field's tools read them back.

namespace ringsmooth {

inline constexpr int SHORTEST_FLOAT_CAPACITY = 16;   // "-1.17549435e-38" and more
inline constexpr int SHORTEST_DOUBLE_CAPACITY = 25;  // "-2.2250738585072014e-308" and more

// Writes the shortest decimal that reads back as the same value at `out` and returns the end;
// NaN, Inf and -Inf as R and pandas read them. No terminating zero.
char* shortestDecimal(char* out, float value);
char* shortestDecimal(char* out, double value);

}  // namespace ringsmooth
