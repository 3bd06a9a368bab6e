// The listing's number fields against the C library's own "%8.3f" and "%*lld".
#include "output/fixed_field.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace ringsmooth {
namespace {

std::string field(double v) {
  char out[VALUE_WIDTH];
  fixedField(out, v);
  return std::string(out, VALUE_WIDTH);
}

std::string fieldSingle(float v) {
  char out[VALUE_WIDTH];
  fixedField(out, v);
  return std::string(out, VALUE_WIDTH);
}

// What the listing must hold: printf's rounding, asterisks when wider than 8 columns.
std::string reference(double v) {
  char text[64];
  const int length = std::snprintf(text, sizeof text, "%8.3f", v);
  if (length > VALUE_WIDTH) return std::string(VALUE_WIDTH, '*');
  return std::string(text, static_cast<size_t>(length));
}

TEST(FixedField, ListedExamples) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0.0, "   0.000"},        {-0.0, "  -0.000"},       {0.5, "   0.500"},
      {-0.5, "  -0.500"},       {1.0, "   1.000"},        {-999.999, "-999.999"},
      {-1000.0, "********"},    {9999.999, "9999.999"},   {9999.9995, "9999.999"},  {9999.99951, "********"},
      {10000.0, "********"},    {0.0625, "   0.062"},     {0.1875, "   0.188"},
      {-0.0004, "  -0.000"},    {1e300, "********"},      {-1e300, "********"},
      {std::nan(""), "     NaN"}, {INFINITY, "     Inf"}, {-INFINITY, "    -Inf"},
      {4.9e-324, "   0.000"},   {-999.9994, "-999.999"},  {-999.9995, "********"},  {-999.99949, "-999.999"},
  };
  for (const auto& c : cases) EXPECT_EQ(field(c.value), c.text) << c.value;
}

// 9999.9995 is stored as 9999.99949999..., -999.9995 as -999.99950000...01.

// Listed values are floats: their own road must give the same text, across every magnitude
// and at the edges of the fast path (999) and of the field (-999.9995, 9999.9995).
TEST(FixedField, SinglePrecisionValuesAgreeWithPrintf) {
  std::mt19937 rng(77);
  std::uniform_real_distribution<float> exponent(-10.0f, 7.5f);
  for (int i = 0; i < 2000000; ++i) {
    float v = std::pow(10.0f, exponent(rng));
    if (rng() & 1) v = -v;
    ASSERT_EQ(fieldSingle(v), reference(v)) << v;
  }
  for (float edge : {999.0f, -999.0f, 999.9995f, -999.9995f, 9999.9995f, 0.0005f, -0.0005f}) {
    float v = edge;
    for (int i = 0; i < 3000; ++i) v = std::nextafter(v, 0.0f);
    for (int i = 0; i < 6000; ++i) {
      ASSERT_EQ(fieldSingle(v), reference(v)) << v;
      v = std::nextafter(v, 2 * edge);
    }
  }
  for (int numerator = -2000000; numerator <= 2000000; numerator += 3) {
    const float v = static_cast<float>(numerator) / 2048.0f;  // many exact ties in thousandths
    ASSERT_EQ(fieldSingle(v), reference(v)) << v;
  }
  const float specials[] = {0.0f, -0.0f, NAN, INFINITY, -INFINITY, 1e30f, -1e30f};
  for (float v : specials) EXPECT_EQ(fieldSingle(v), field(v)) << v;
}

// Values whose thousandths are exact halves in binary: the ties go to even, as in printf.
TEST(FixedField, HalfwayCasesRoundLikePrintf) {
  for (int numerator = -200000; numerator <= 200000; ++numerator) {
    const double v = numerator / 16384.0;  // every k/16384 is exact; many are x.yyy5
    ASSERT_EQ(field(v), reference(v)) << v;
  }
  for (long long k = -1000000; k <= 10000000; k += 7) {
    const double v = (static_cast<double>(k) + 0.5) / 1000.0;  // nearest doubles to the ties
    ASSERT_EQ(field(v), reference(v)) << v;
  }
}

TEST(FixedField, ValuesNearTheColumnLimit) {
  for (double edge : {9999.9995, -999.9995, 9999.999, -999.999, 10000.0, -1000.0}) {
    double v = edge;
    for (int i = 0; i < 2000; ++i) v = std::nextafter(v, 0.0);
    for (int i = 0; i < 4000; ++i) {
      ASSERT_EQ(field(v), reference(v)) << v;
      v = std::nextafter(v, 2 * edge);
    }
  }
}

// A bounded random sweep over every magnitude the listing meets; RINGSMOOTH_FIELD_CASES raises
// the count for a long run by hand.
TEST(FixedField, RandomValuesAgreeWithPrintf) {
  long count = 2000000;
  if (const char* env = std::getenv("RINGSMOOTH_FIELD_CASES")) count = std::atol(env);
  std::mt19937_64 rng(12345);
  std::uniform_real_distribution<double> exponent(-12.0, 8.0);
  for (long i = 0; i < count; ++i) {
    double v = std::pow(10.0, exponent(rng));
    if (rng() & 1) v = -v;
    if (i % 3 == 0) v = static_cast<float>(v);  // the listing's values are floats
    ASSERT_EQ(field(v), reference(v)) << v;
  }
}

TEST(IntegerField, RightAlignedOrAsterisks) {
  const struct {
    int width;
    long long value;
    const char* text;
  } cases[] = {
      {5, 1901, " 1901"},   {5, -12, "  -12"},    {5, 99999, "99999"},
      {5, 100000, "*****"}, {5, -9999, "-9999"},  {5, -10000, "*****"},
      {3, 999, "999"},      {3, 1000, "***"},     {3, 30, " 30"},
      {3, 0, "  0"},        {20, std::numeric_limits<long long>::min(), "-9223372036854775808"},
  };
  for (const auto& c : cases) {
    char out[32];
    integerField(out, c.width, c.value);
    EXPECT_EQ(std::string(out, static_cast<size_t>(c.width)), c.text) << c.value;
  }
}

}  // namespace
}  // namespace ringsmooth
