// Fuzz target: number tokens. The input is one token; the converters are compared with an
// independent grammar check written here and with the C library's strtod/strtof/strtol, which
// are correctly rounded in glibc.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "input/number_token.h"

using ringsmooth::TokenStatus;

namespace {

bool digit(char c) { return c >= '0' && c <= '9'; }

enum class Shape { Malformed, Special, Decimal };

// The number grammar, written out plainly: [+-] then I/N anything, or
// digits [. digits] | . digits, then optionally [EeDd] [+-] digits.
Shape shapeOf(const std::string& s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  if (i == s.size()) return Shape::Malformed;
  if (std::strchr("IiNn", s[i]) != nullptr && s[i] != '\0') return Shape::Special;
  std::size_t digits = 0;
  while (i < s.size() && digit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && digit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return Shape::Malformed;
  if (i == s.size()) return Shape::Decimal;
  if (std::strchr("EeDd", s[i]) == nullptr || s[i] == '\0') return Shape::Malformed;
  ++i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t exponentDigits = 0;
  while (i < s.size() && digit(s[i])) ++i, ++exponentDigits;
  return exponentDigits > 0 && i == s.size() ? Shape::Decimal : Shape::Malformed;
}

template <typename T>
bool sameBits(T a, T b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

template <typename T>
void checkReal(const std::string& token, Shape shape, TokenStatus status, T value,
               T (*reference)(const char*, char**)) {
  if (shape == Shape::Malformed || token.size() > ringsmooth::TOKEN_LIMIT) {
    fuzz::require(status == TokenStatus::Malformed, "malformed token accepted");
    return;
  }
  if (shape == Shape::Special) {
    fuzz::require(status == TokenStatus::Ok, "infinity/NaN token refused");
    const char letter = token[token[0] == '+' || token[0] == '-' ? 1 : 0];
    if (letter == 'N' || letter == 'n') {
      fuzz::require(std::isnan(value), "N token is not a NaN");
    } else {
      fuzz::require(std::isinf(value) && (value < 0) == (token[0] == '-'), "I token wrong");
    }
    return;
  }
  std::string c = token;
  for (char& ch : c) {
    if (ch == 'D' || ch == 'd') ch = 'e';
  }
  errno = 0;
  const T expected = reference(c.c_str(), nullptr);
  if (std::isinf(expected)) {
    fuzz::require(status == TokenStatus::OutOfRange, "overflow not reported");
    return;
  }
  fuzz::require(status == TokenStatus::Ok, "well-formed finite number refused");
  fuzz::require(sameBits(value, expected), "conversion differs from the C library");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > ringsmooth::TOKEN_LIMIT + 8) return 0;
  const std::string token(reinterpret_cast<const char*>(data), size);
  std::string exact = token;  // heap copy of exactly `size` bytes: overreads are caught
  const char* text = exact.data();
  const Shape shape = shapeOf(token);

  double d = 0.0;
  const TokenStatus ds = ringsmooth::parseDouble(text, size, d);
  checkReal<double>(token, shape, ds, d, std::strtod);
  float f = 0.0f;
  const TokenStatus fs = ringsmooth::parseFloat(text, size, f);
  checkReal<float>(token, shape, fs, f, std::strtof);

  int whole = 0;
  const TokenStatus ws = ringsmooth::parseWhole(text, size, whole);
  std::size_t i = size > 0 && (token[0] == '+' || token[0] == '-') ? 1 : 0;
  bool wellFormed = i < size && size <= ringsmooth::TOKEN_LIMIT;
  for (std::size_t j = i; j < size; ++j) wellFormed = wellFormed && digit(token[j]);
  if (!wellFormed) {
    fuzz::require(ws == TokenStatus::Malformed, "malformed whole number accepted");
  } else {
    errno = 0;
    const long long expected = std::strtoll(token.c_str(), nullptr, 10);
    const bool fits = errno == 0 && expected >= INT32_MIN && expected <= INT32_MAX;
    fuzz::require(fits ? (ws == TokenStatus::Ok && whole == expected)
                       : ws == TokenStatus::OutOfRange,
                  "whole number differs from strtoll");
  }
  return 0;
}
