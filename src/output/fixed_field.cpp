#include "output/fixed_field.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace ringsmooth {
namespace {

void fillWith(char* out, int width, char c) { std::memset(out, c, static_cast<size_t>(width)); }

// Right-aligns text[0..length) in out[0..width), or asterisks when it is longer.
void rightAlign(char* out, int width, const char* text, int length) {
  if (length > width) {
    fillWith(out, width, '*');
    return;
  }
  fillWith(out, width - length, ' ');
  std::memcpy(out + (width - length), text, static_cast<size_t>(length));
}

// The magnitude times 1000, rounded to the nearest integer with ties to even, computed exactly
// from the double's significand and exponent (no wider floating type: the result must not
// depend on how a machine or an emulator treats extended precision). magnitude < 2^24.
uint64_t thousandthsRounded(double magnitude) {
  int exponent = 0;
  const double fraction = std::frexp(magnitude, &exponent);  // magnitude = fraction * 2^exponent
  // fraction * 2^53 is the 53-bit significand; magnitude = significand * 2^(exponent - 53).
  const auto significand = static_cast<uint64_t>(std::ldexp(fraction, 53));
  const uint64_t product = significand * 1000u;  // < 2^63: exact
  const int shift = 53 - exponent;               // product * 2^-shift = magnitude * 1000
  if (shift <= 0) return product << -shift;      // not reached for magnitude < 2^24 with shift<0
  if (shift >= 64) return 0;                     // below 0.5: rounds to 0
  const uint64_t quotient = product >> shift;
  const uint64_t remainder = product & ((uint64_t{1} << shift) - 1);
  const uint64_t half = uint64_t{1} << (shift - 1);
  if (remainder > half || (remainder == half && (quotient & 1u))) return quotient + 1;
  return quotient;
}

// The same for a magnitude that single precision holds exactly (every listed value): its product
// with 1000 needs at most 34 significant bits, so the double product is exact, and adding and
// removing 2^52 rounds it to a whole number with ties to even (the default rounding mode).
uint64_t thousandthsRoundedSingle(double magnitude) {
  const double product = magnitude * 1000.0;
  const double rounded = (product + 0x1p52) - 0x1p52;
  return static_cast<uint64_t>(rounded);
}

bool holdsInSingle(double magnitude) {
  return static_cast<double>(static_cast<float>(magnitude)) == magnitude;
}

// Two digits at a time, from a table of "00" .. "99".
constexpr char DIGIT_PAIRS[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

}  // namespace

namespace {

// Writes a value of `thousandths` / 1000 (at most 7 digits) with its sign into out[0..8),
// right-aligned: blanks first, then the digits from the right.
void writeThousandths(char* out, uint32_t thousandths, bool negative) {
  std::memcpy(out, "        ", VALUE_WIDTH);
  char* end = out + VALUE_WIDTH;
  const uint32_t fraction = thousandths % 1000;
  uint32_t whole = thousandths / 1000;
  end[-1] = static_cast<char>('0' + fraction % 10);
  std::memcpy(end - 3, DIGIT_PAIRS + 2 * (fraction / 10), 2);
  end[-4] = '.';
  end -= 4;
  if (whole >= 100) {
    std::memcpy(end - 2, DIGIT_PAIRS + 2 * (whole % 100), 2);
    end -= 2;
    whole /= 100;
  }
  if (whole >= 10) {
    std::memcpy(end - 2, DIGIT_PAIRS + 2 * whole, 2);
    end -= 2;
  } else {
    *--end = static_cast<char>('0' + whole);
  }
  if (negative) end[-1] = '-';
}

}  // namespace

void fixedField(char* out, double value) {
  if (std::isnan(value)) return rightAlign(out, VALUE_WIDTH, "NaN", 3);
  if (std::isinf(value)) {
    return value < 0 ? rightAlign(out, VALUE_WIDTH, "-Inf", 4) : rightAlign(out, VALUE_WIDTH, "Inf", 3);
  }
  const bool negative = std::signbit(value);
  const double magnitude = std::fabs(value);
  // "9999.999" and "-999.999" are the widest values that fit.
  const uint64_t limit = negative ? 999999u : 9999999u;
  if (magnitude >= 1.0e7) return fillWith(out, VALUE_WIDTH, '*');
  const uint64_t thousandths = holdsInSingle(magnitude) ? thousandthsRoundedSingle(magnitude)
                                                       : thousandthsRounded(magnitude);
  if (thousandths > limit) return fillWith(out, VALUE_WIDTH, '*');
  writeThousandths(out, static_cast<uint32_t>(thousandths), negative);
}

void fixedField(char* out, float value) {
  const float magnitude = std::fabs(value);
  // Below 999 every value fits whatever its sign and rounding ("-998.999" at the most); NaN
  // fails the test and takes the general road.
  if (!(magnitude < 999.0f)) return fixedField(out, static_cast<double>(value));
  const uint64_t thousandths = thousandthsRoundedSingle(static_cast<double>(magnitude));
  writeThousandths(out, static_cast<uint32_t>(thousandths), std::signbit(value));
}

void integerField(char* out, int width, long long value) {
  if (width == 5 && value >= 0 && value <= 99999) {  // a year of the listing
    auto rest = static_cast<uint32_t>(value);
    std::memcpy(out, "     ", 5);
    char* end = out + 5;
    do {
      *--end = static_cast<char>('0' + rest % 10);
      rest /= 10;
    } while (rest != 0);
    return;
  }
  char text[24];
  int pos = static_cast<int>(sizeof text);
  const bool negative = value < 0;
  // Work on the magnitude as unsigned so that the most negative value is safe.
  unsigned long long rest = negative ? 0ull - static_cast<unsigned long long>(value)
                                     : static_cast<unsigned long long>(value);
  do {
    text[--pos] = static_cast<char>('0' + rest % 10);
    rest /= 10;
  } while (rest != 0);
  if (negative) text[--pos] = '-';
  rightAlign(out, width, text + pos, static_cast<int>(sizeof text) - pos);
}

}  // namespace ringsmooth
