#pragma once
// Conversion of one free-form number token (already cut out of the line, no separators in it)
// to a double, a float or an int. No allocation, no locale, no I/O.
//
// Number:       [+-] digits [. [digits]] | [+-] . digits, then optionally an exponent:
//               E, e, D or d, an optional sign and at least one digit (1901, -999.00, 2.5E-3, 1d3).
//               A token whose first letter after the optional sign is I or i is an infinity,
//               N or n a NaN, whatever follows (Inf, INFINITY, NA, nan, None).
// Whole number: [+-] digits, nothing else.
//
// Conversion is correctly rounded to the destination's precision (a float is converted
// directly, never through a double). A magnitude too small for the destination rounds to a zero
// of the token's sign, as IEEE arithmetic would; a magnitude too large is reported as
// TokenStatus::OutOfRange (an input error for the caller), never silently made infinite.
#include <cstddef>

namespace ringsmooth {

enum class TokenStatus { Ok, Malformed, OutOfRange };

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A count of items (the r of a repeat r*v) with one more decimal digit: saturates far above any
// count a reading can use, so that no number of digits overflows it.
inline std::size_t withDigit(std::size_t count, char digit) {
  return count < 1000000000 ? count * 10 + static_cast<std::size_t>(digit - '0') : count;
}

// Longest token the readers accept; numbers are short, so anything longer is an input error.
inline constexpr std::size_t TOKEN_LIMIT = 1024;

// Converts text[0, length) to a double. `value` is written only when the result is Ok.
TokenStatus parseDouble(const char* text, std::size_t length, double& value);
// Converts text[0, length) to a float, correctly rounded from the decimal text.
TokenStatus parseFloat(const char* text, std::size_t length, float& value);
// Converts text[0, length) (sign and digits only) to an int; OutOfRange outside int.
TokenStatus parseWhole(const char* text, std::size_t length, int& value);

}  // namespace ringsmooth
