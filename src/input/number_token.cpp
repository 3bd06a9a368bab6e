#include "input/number_token.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <system_error>

namespace ringsmooth {
namespace {

// What a well-formed number token turned out to be.
struct NumberShape {
  enum Kind { Decimal, Infinity, NaN } kind = Decimal;
  bool negative = false;
  bool dExponent = false;      // exponent letter D or d, which from_chars does not know
  std::size_t start = 0;       // first character to hand to from_chars (a leading + skipped)
  std::size_t exponentAt = 0;  // index of the exponent letter, or the length when there is none
};

// Checks text against the number grammar of number_token.h.
bool scanNumber(const char* text, std::size_t length, NumberShape& shape) {
  std::size_t i = 0;
  if (i < length && (text[i] == '+' || text[i] == '-')) {
    shape.negative = text[i] == '-';
    ++i;
  }
  if (i >= length) return false;
  shape.start = text[0] == '+' ? 1 : 0;
  const char first = text[i];
  if (first == 'I' || first == 'i') {
    shape.kind = NumberShape::Infinity;
    return true;
  }
  if (first == 'N' || first == 'n') {
    shape.kind = NumberShape::NaN;
    return true;
  }
  std::size_t digits = 0;
  while (i < length && isDigit(text[i])) ++i, ++digits;
  if (i < length && text[i] == '.') {
    ++i;
    while (i < length && isDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  shape.exponentAt = i;
  if (i < length) {
    const char e = text[i];
    if (e != 'E' && e != 'e' && e != 'D' && e != 'd') return false;
    shape.dExponent = e == 'D' || e == 'd';
    ++i;
    if (i < length && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponentDigits = 0;
    while (i < length && isDigit(text[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0 || i != length) return false;
  }
  return true;
}

// For a decimal token that from_chars found out of range: true when its magnitude is large
// (overflow), false when it is tiny (underflow). Decided on the decimal exponent of the first
// non-zero digit, which for an out-of-range value is far from 0 either way.
bool magnitudeIsLarge(const char* text, std::size_t length, const NumberShape& shape) {
  long digitIndex = 0;
  long integerDigits = -1;
  long firstNonZero = -1;
  std::size_t i = shape.start;
  if (text[i] == '-') ++i;
  for (; i < shape.exponentAt; ++i) {
    if (text[i] == '.') {
      integerDigits = digitIndex;
      continue;
    }
    if (firstNonZero < 0 && text[i] != '0') firstNonZero = digitIndex;
    ++digitIndex;
  }
  if (integerDigits < 0) integerDigits = digitIndex;
  if (firstNonZero < 0) return false;
  long exponent = 0;
  bool exponentNegative = false;
  i = shape.exponentAt + 1;
  if (i < length && (text[i] == '+' || text[i] == '-')) exponentNegative = text[i++] == '-';
  for (; i < length; ++i) {
    if (exponent < 100000000L) exponent = exponent * 10 + (text[i] - '0');  // saturates
  }
  if (exponentNegative) exponent = -exponent;
  return integerDigits - 1 - firstNonZero + exponent >= 0;
}

// Shared by the double and the float conversion: grammar check, the special tokens, the D
// exponent (mapped to E in a small copy), then from_chars straight to T.
template <typename T>
TokenStatus parseReal(const char* text, std::size_t length, T& value) {
  if (length == 0 || length > TOKEN_LIMIT) return TokenStatus::Malformed;
  NumberShape shape;
  if (!scanNumber(text, length, shape)) return TokenStatus::Malformed;
  if (shape.kind == NumberShape::Infinity) {
    value = shape.negative ? -std::numeric_limits<T>::infinity()
                           : std::numeric_limits<T>::infinity();
    return TokenStatus::Ok;
  }
  if (shape.kind == NumberShape::NaN) {
    value = std::numeric_limits<T>::quiet_NaN();
    return TokenStatus::Ok;
  }
  const char* begin = text + shape.start;
  const char* end = text + length;
  char copy[TOKEN_LIMIT];
  if (shape.dExponent) {
    const std::size_t n = length - shape.start;
    std::memcpy(copy, begin, n);
    copy[shape.exponentAt - shape.start] = 'e';
    begin = copy;
    end = copy + n;
  }
  T converted{};
  const auto result = std::from_chars(begin, end, converted, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    if (magnitudeIsLarge(text, length, shape)) return TokenStatus::OutOfRange;
    value = shape.negative ? -T(0) : T(0);
    return TokenStatus::Ok;
  }
  if (result.ec != std::errc() || result.ptr != end) return TokenStatus::Malformed;
  value = converted;
  return TokenStatus::Ok;
}

}  // namespace

TokenStatus parseDouble(const char* text, std::size_t length, double& value) {
  return parseReal(text, length, value);
}

TokenStatus parseFloat(const char* text, std::size_t length, float& value) {
  return parseReal(text, length, value);
}

TokenStatus parseWhole(const char* text, std::size_t length, int& value) {
  if (length == 0 || length > TOKEN_LIMIT) return TokenStatus::Malformed;
  std::size_t i = 0;
  if (text[0] == '+' || text[0] == '-') ++i;
  if (i == length) return TokenStatus::Malformed;
  for (std::size_t j = i; j < length; ++j) {
    if (!isDigit(text[j])) return TokenStatus::Malformed;
  }
  const char* begin = text[0] == '+' ? text + 1 : text;
  int converted = 0;
  const auto result = std::from_chars(begin, text + length, converted);
  if (result.ec == std::errc::result_out_of_range) return TokenStatus::OutOfRange;
  if (result.ec != std::errc() || result.ptr != text + length) return TokenStatus::Malformed;
  value = converted;
  return TokenStatus::Ok;
}

}  // namespace ringsmooth
