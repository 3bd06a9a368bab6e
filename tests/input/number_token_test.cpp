#include "input/number_token.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace ringsmooth {
namespace {

TokenStatus toDouble(const std::string& s, double& v) { return parseDouble(s.data(), s.size(), v); }
TokenStatus toFloat(const std::string& s, float& v) { return parseFloat(s.data(), s.size(), v); }

struct WellFormed {
  const char* text;
  double expected;
};

TEST(NumberToken, AcceptsEveryNotationOfTheGrammar) {
  const WellFormed cases[] = {
      {"1901", 1901.0},   {"-999.00", -999.0}, {"2.5E-3", 2.5e-3}, {"1d3", 1000.0},
      {"1D3", 1000.0},    {"1e3", 1000.0},     {"+7", 7.0},        {".5", 0.5},
      {"5.", 5.0},        {"-.25", -0.25},     {"1.e2", 100.0},    {"-9.99E2", -999.0},
      {"3d-2", 0.03},     {"+4.5D+1", 45.0},   {"0", 0.0},         {"007", 7.0},
  };
  for (const auto& c : cases) {
    double v = -12345.0;
    EXPECT_EQ(toDouble(c.text, v), TokenStatus::Ok) << c.text;
    EXPECT_EQ(v, c.expected) << c.text;
  }
}

TEST(NumberToken, InfinityAndNaNWhateverFollows) {
  const char* infinities[] = {"I", "inf", "Infinity", "iXYZ", "+INF"};
  for (const char* s : infinities) {
    double v = 0;
    ASSERT_EQ(toDouble(s, v), TokenStatus::Ok) << s;
    EXPECT_TRUE(std::isinf(v) && v > 0) << s;
  }
  double negative = 0;
  ASSERT_EQ(toDouble("-Inf", negative), TokenStatus::Ok);
  EXPECT_TRUE(std::isinf(negative) && negative < 0);
  const char* nans[] = {"N", "NA", "nan", "None", "-nan", "n/a"};
  for (const char* s : nans) {
    float f = 0;
    ASSERT_EQ(toFloat(s, f), TokenStatus::Ok) << s;
    EXPECT_TRUE(std::isnan(f)) << s;
  }
}

TEST(NumberToken, RefusesMalformedTokens) {
  const char* bad[] = {"",   "-",  "+",   ".",     "1.2.3", "abc", "1e",  "1e+", "1x",
                       "--1", "+-1", "1 2", "1,2", "e5",    "1E5.0", "0x10", "'1'", "1f"};
  for (const char* s : bad) {
    double v = 42.0;
    EXPECT_EQ(toDouble(s, v), TokenStatus::Malformed) << '"' << s << '"';
    EXPECT_EQ(v, 42.0) << "destination changed by " << s;
  }
  const std::string tooLong(TOKEN_LIMIT + 1, '1');
  double v = 0;
  EXPECT_EQ(toDouble(tooLong, v), TokenStatus::Malformed);
}

TEST(NumberToken, OverflowIsAnErrorUnderflowRoundsToSignedZero) {
  double d = 1;
  EXPECT_EQ(toDouble("1e400", d), TokenStatus::OutOfRange);
  EXPECT_EQ(toDouble("-1D400", d), TokenStatus::OutOfRange);
  EXPECT_EQ(toDouble("0.000001e315", d), TokenStatus::OutOfRange);
  ASSERT_EQ(toDouble("1e-400", d), TokenStatus::Ok);
  EXPECT_EQ(d, 0.0);
  EXPECT_FALSE(std::signbit(d));
  ASSERT_EQ(toDouble("-1e-400", d), TokenStatus::Ok);
  EXPECT_TRUE(d == 0.0 && std::signbit(d));
  ASSERT_EQ(toDouble("12345678e-340", d), TokenStatus::Ok);  // subnormal, kept exactly rounded
  EXPECT_EQ(d, std::strtod("12345678e-340", nullptr));
  float f = 1;
  EXPECT_EQ(toFloat("3.5e38", f), TokenStatus::OutOfRange);
  ASSERT_EQ(toFloat("1e-50", f), TokenStatus::Ok);
  EXPECT_EQ(f, 0.0f);
}

TEST(NumberToken, WholeNumbersAreSignAndDigitsOnly) {
  struct Case {
    const char* text;
    TokenStatus status;
    int value;
  };
  const Case cases[] = {
      {"42", TokenStatus::Ok, 42},           {"-7", TokenStatus::Ok, -7},
      {"+700", TokenStatus::Ok, 700},        {"2147483647", TokenStatus::Ok, 2147483647},
      {"1.5", TokenStatus::Malformed, 0},    {"3.", TokenStatus::Malformed, 0},
      {"1e3", TokenStatus::Malformed, 0},    {"N", TokenStatus::Malformed, 0},
      {"-", TokenStatus::Malformed, 0},      {"2147483648", TokenStatus::OutOfRange, 0},
      {"-99999999999", TokenStatus::OutOfRange, 0},
  };
  for (const auto& c : cases) {
    int v = 0;
    EXPECT_EQ(parseWhole(c.text, std::strlen(c.text), v), c.status) << c.text;
    if (c.status == TokenStatus::Ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

// Random decimal texts over the whole range of both precisions, with every exponent letter,
// compared with the C library's correctly rounded strtod and strtof.
TEST(NumberToken, ConversionMatchesStrtodAndStrtofExactly) {
  std::mt19937_64 random(20240611);
  std::uniform_int_distribution<int> digitCount(1, 20);
  std::uniform_int_distribution<int> digit(0, 9);
  std::uniform_int_distribution<int> exponent(-330, 310);
  const char letters[] = {'e', 'E', 'd', 'D'};
  for (int i = 0; i < 200000; ++i) {
    std::string text = (i % 3 == 0) ? "-" : "";
    const int n = digitCount(random);
    const int point = static_cast<int>(random() % static_cast<unsigned>(n + 1));
    for (int k = 0; k < n; ++k) {
      if (k == point) text += '.';
      text += static_cast<char>('0' + digit(random));
    }
    std::string cText = text;  // the same number spelled for strtod
    if (i % 5 != 0) {
      const int e = (i % 2 == 0) ? exponent(random) : exponent(random) / 8;
      text += letters[i % 4] + std::to_string(e);
      cText += 'e' + std::to_string(e);
    }
    const double wantDouble = std::strtod(cText.c_str(), nullptr);
    double gotDouble = 0;
    const TokenStatus status = toDouble(text, gotDouble);
    if (std::isinf(wantDouble)) {
      EXPECT_EQ(status, TokenStatus::OutOfRange) << text;
    } else {
      ASSERT_EQ(status, TokenStatus::Ok) << text;
      ASSERT_EQ(std::memcmp(&gotDouble, &wantDouble, sizeof(double)), 0) << text;
    }
    const float wantFloat = std::strtof(cText.c_str(), nullptr);
    float gotFloat = 0;
    const TokenStatus floatStatus = toFloat(text, gotFloat);
    if (std::isinf(wantFloat)) {
      EXPECT_EQ(floatStatus, TokenStatus::OutOfRange) << text;
    } else {
      ASSERT_EQ(floatStatus, TokenStatus::Ok) << text;
      ASSERT_EQ(std::memcmp(&gotFloat, &wantFloat, sizeof(float)), 0) << text;
    }
  }
}

// Halfway cases where going through double first would round a float wrongly.
TEST(NumberToken, FloatIsRoundedOnceFromTheDecimalText) {
  const char* texts[] = {"1.00000005960464477539062500000000001", "0.1", "-99.99",
                         "16777217", "3.4028234e38", "1.401298464324817e-45"};
  for (const char* s : texts) {
    float f = 0;
    ASSERT_EQ(toFloat(s, f), TokenStatus::Ok) << s;
    EXPECT_EQ(f, std::strtof(s, nullptr)) << s;
  }
}

}  // namespace
}  // namespace ringsmooth
