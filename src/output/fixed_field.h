#pragma once
// Fixed-width number fields of the listing and the console echo.

namespace ringsmooth {

inline constexpr int VALUE_WIDTH = 8;  // every listed value: 8 columns, 3 decimals

// Writes `value` into out[0..8): right-aligned, fixed-point with 3 decimals, rounded exactly as
// printf's "%8.3f" rounds (the binary value itself, ties to even), with a 0 before the point
// below 1 in magnitude. Too wide for 8 columns: 8 asterisks. A NaN or infinity: "NaN", "Inf" or
// "-Inf", right-aligned. No terminating zero.
void fixedField(char* out, double value);
// The same for a single-precision value (every listed value), by a shorter road.
void fixedField(char* out, float value);

// Writes `value` right-aligned into out[0..width); asterisks when it does not fit.
void integerField(char* out, int width, long long value);

}  // namespace ringsmooth
