// Smoothing spline: constants, flags, the length stop, exact cases, and a dense solve of the same
// system in long double as an independent oracle.
#include "analysis/spline.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

using ringsmooth::spline;
using ringsmooth::SplineStatus;
using ringsmooth::SplineWork;
using ringsmooth::SPLINE_NOT_POSITIVE;
using ringsmooth::SPLINE_TOO_SHORT;

constexpr float kSentinel = 12345.5f;

struct SplineRun {
  std::vector<float> smoothed;
  float p = kSentinel;
  SplineStatus status = SplineStatus::TooLong;
};

// One work area for every call, as in a run: each call must give what a fresh one would.
SplineWork& work() {
  static SplineWork shared;
  return shared;
}

// Runs spline on an exact-size heap copy (ASan guards the ends) and checks that the series is
// left exactly as it was.
SplineRun runSpline(const std::vector<float>& series, int cutoff) {
  const int n = static_cast<int>(series.size());
  const std::size_t size = std::max<std::size_t>(series.size(), 1);
  auto input = std::make_unique<float[]>(size);
  std::copy(series.begin(), series.end(), input.get());
  auto output = std::make_unique<float[]>(size);
  std::fill(output.get(), output.get() + size, kSentinel);
  SplineRun r;
  r.status = spline(n, input.get(), output.get(), r.p, cutoff, work());
  EXPECT_EQ(std::memcmp(input.get(), series.data(), series.size() * sizeof(float)), 0)
      << "series changed";
  r.smoothed.assign(output.get(), output.get() + size);
  return r;
}

std::vector<float> randomSeries(std::mt19937& rng, int n) {
  std::normal_distribution<float> noise(0.0f, 1.0f);
  std::vector<float> s(n);
  float level = 0.0f;
  for (float& v : s) v = level = 0.5f * level + noise(rng);
  return s;
}

// Dense oracle: (QᵀQ + p·T)·u = Qᵀ·series by Gaussian elimination with partial pivoting in long
// double, then smoothed = series − Q·u. Q and T are built as full matrices from their definition.
std::vector<long double> denseSpline(const std::vector<float>& series, long double p) {
  const int n = static_cast<int>(series.size());
  const int m = n - 2;
  std::vector<std::vector<long double>> q(n, std::vector<long double>(m, 0.0L));
  for (int i = 0; i < m; ++i) {
    q[i][i] = 1.0L;
    q[i + 1][i] = -2.0L;
    q[i + 2][i] = 1.0L;
  }
  std::vector<std::vector<long double>> a(m, std::vector<long double>(m + 1, 0.0L));
  for (int r = 0; r < m; ++r) {
    for (int c = 0; c < m; ++c) {
      long double qtq = 0.0L;
      for (int k = 0; k < n; ++k) qtq += q[k][r] * q[k][c];
      long double t = 0.0L;
      if (r == c) t = 1.33333333333333L;
      if (r == c + 1 || c == r + 1) t = 0.33333333333333L;
      a[r][c] = qtq + p * t;
    }
    for (int k = 0; k < n; ++k) a[r][m] += q[k][r] * series[k];
  }
  for (int col = 0; col < m; ++col) {
    int pivot = col;
    for (int r = col + 1; r < m; ++r)
      if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
    std::swap(a[col], a[pivot]);
    for (int r = col + 1; r < m; ++r) {
      const long double f = a[r][col] / a[col][col];
      for (int c = col; c <= m; ++c) a[r][c] -= f * a[col][c];
    }
  }
  std::vector<long double> u(m);
  for (int r = m - 1; r >= 0; --r) {
    long double s = a[r][m];
    for (int c = r + 1; c < m; ++c) s -= a[r][c] * u[c];
    u[r] = s / a[r][r];
  }
  std::vector<long double> out(n);
  for (int k = 0; k < n; ++k) {
    long double qu = 0.0L;
    for (int c = 0; c < m; ++c) qu += q[k][c] * u[c];
    out[k] = series[k] - qu;
  }
  return out;
}

// The smoothing parameter from its definition, in long double, with the same angle.
long double parameterFor(int cutoff) {
  const long double w = 2.0L * 3.1415926535897936L / cutoff;
  const long double c = std::cos(w);
  return 6.0L * (c - 1.0L) * (c - 1.0L) / (c + 2.0L);
}

TEST(SplineConstants, AreTheWrittenDecimals) {
  using namespace ringsmooth::spline_constants;
  EXPECT_EQ(std::bit_cast<std::uint64_t>(PI), 0x400921FB54442D19u);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(C2[1]), 0x3FD5555555555519u);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(C2[2]), 0x3FF5555555555546u);
  EXPECT_NE(PI, std::numbers::pi);
  EXPECT_EQ(C2[0], 0.0);
  EXPECT_EQ(C1[0], 1.0);
  EXPECT_EQ(C1[1], -4.0);
  EXPECT_EQ(C1[2], 6.0);
}

TEST(Spline, TooShortSetsOnlyTheFlagQuietly) {
  for (int n : {3, 2, 1, 0, -5}) {
    std::vector<float> series = {1.0f, 2.0f, 7.0f};
    auto output = std::make_unique<float[]>(3);
    std::fill(output.get(), output.get() + 3, kSentinel);
    float p = kSentinel;
    EXPECT_EQ(spline(n, series.data(), output.get(), p, 10, work()), SplineStatus::TooShort) << n;
    EXPECT_EQ(output[0], SPLINE_TOO_SHORT) << n;
    EXPECT_EQ(output[1], kSentinel) << n;
    EXPECT_EQ(output[2], kSentinel) << n;
    EXPECT_EQ(p, kSentinel) << n;
    EXPECT_EQ(series, (std::vector<float>{1.0f, 2.0f, 7.0f}));
  }
}

TEST(Spline, FourValuesAreAllWrittenAndMatchTheDenseSolve) {
  const std::vector<float> series = {1.0f, 4.0f, -2.0f, 3.0f};
  const SplineRun r = runSpline(series, 3);
  const auto expected = denseSpline(series, parameterFor(3));
  for (int k = 0; k < 4; ++k) EXPECT_NEAR(r.smoothed[k], static_cast<double>(expected[k]), 2e-6);
}

TEST(Spline, LongestSeriesIsAccepted) {
  std::mt19937 rng(11);
  const auto series = randomSeries(rng, ringsmooth::SPLINE_MAX_LENGTH);
  const SplineRun r = runSpline(series, 50);
  EXPECT_EQ(r.status, SplineStatus::Done);
  long double inSum = 0.0L, outSum = 0.0L;
  for (int k = 0; k < ringsmooth::SPLINE_MAX_LENGTH; ++k) {
    ASSERT_TRUE(std::isfinite(r.smoothed[k])) << k;
    inSum += series[k];
    outSum += r.smoothed[k];
  }
  EXPECT_NEAR(static_cast<double>(outSum), static_cast<double>(inSum), 1e-2);
}

TEST(Spline, OneTooLongIsRefusedWithoutWritingAnything) {
  const int n = ringsmooth::SPLINE_MAX_LENGTH + 1;
  std::vector<float> series(n, 1.0f);
  std::vector<float> output(n, kSentinel);
  float p = kSentinel;
  EXPECT_EQ(spline(n, series.data(), output.data(), p, 10, work()), SplineStatus::TooLong);
  EXPECT_EQ(output, std::vector<float>(n, kSentinel));
  EXPECT_EQ(p, kSentinel);
}

TEST(Spline, StraightLinesComeBackBitForBit) {
  struct Line {
    float start, step;
    int n, cutoff;
  };
  const Line lines[] = {{1.0f, 1.0f, 4, 10},
                        {0.0f, 1.0f, 1000, 30},
                        {-3.5f, 0.25f, 57, 1},
                        {100.0f, -2.0f, 200, 5},
                        {7.0f, 0.0f, 12, 2}};
  for (const Line& line : lines) {
    std::vector<float> series(line.n);
    for (int k = 0; k < line.n; ++k) series[k] = line.start + line.step * static_cast<float>(k);
    const SplineRun r = runSpline(series, line.cutoff);
    for (int k = 0; k < line.n; ++k)
      ASSERT_EQ(std::bit_cast<std::uint32_t>(r.smoothed[k]),
                std::bit_cast<std::uint32_t>(series[k]))
          << "line starting " << line.start << " at " << k;
  }
}

TEST(Spline, AllZeroSeriesGivesZeros) {
  const SplineRun r = runSpline(std::vector<float>(25, 0.0f), 7);
  EXPECT_EQ(r.smoothed, std::vector<float>(25, 0.0f));
}

TEST(Spline, SmoothingParameterAtTheKnownCutoffs) {
  struct Case {
    int cutoff;
    float p;
  };
  for (const Case c : {Case{1, 0.0f}, Case{2, 24.0f}, Case{3, 9.0f}, Case{4, 3.0f}}) {
    const SplineRun r = runSpline({1.0f, 5.0f, 2.0f, 8.0f, 3.0f}, c.cutoff);
    EXPECT_EQ(r.p, c.p) << "cutoff " << c.cutoff;
  }
  for (int cutoff : {5, 7, 20, 100, 5000}) {
    const SplineRun r = runSpline({1.0f, 5.0f, 2.0f, 8.0f, 3.0f}, cutoff);
    EXPECT_NEAR(r.p, static_cast<double>(parameterFor(cutoff)),
                static_cast<double>(parameterFor(cutoff)) * 1.2e-7)
        << cutoff;
  }
}

TEST(Spline, CutoffOneGivesTheLeastSquaresLine) {
  std::mt19937 rng(3);
  for (int n : {4, 9, 40, 300}) {
    const auto series = randomSeries(rng, n);
    const SplineRun r = runSpline(series, 1);
    // Least-squares line through (k, series[k]), closed form, long double.
    long double sk = 0, sy = 0, skk = 0, sky = 0;
    for (int k = 0; k < n; ++k) {
      sk += k;
      sy += series[k];
      skk += static_cast<long double>(k) * k;
      sky += static_cast<long double>(k) * series[k];
    }
    const long double slope = (n * sky - sk * sy) / (n * skk - sk * sk);
    const long double intercept = (sy - slope * sk) / n;
    for (int k = 0; k < n; ++k)
      ASSERT_NEAR(r.smoothed[k], static_cast<double>(intercept + slope * k), 2e-5) << n << " " << k;
  }
}

TEST(Spline, NegativeCutoffActsLikeItsMagnitude) {
  std::mt19937 rng(17);
  const auto series = randomSeries(rng, 64);
  for (int cutoff : {3, 10, 33}) {
    const SplineRun plus = runSpline(series, cutoff);
    const SplineRun minus = runSpline(series, -cutoff);
    EXPECT_EQ(plus.p, minus.p);
    EXPECT_EQ(plus.smoothed, minus.smoothed);
  }
}

TEST(Spline, KeepsSumAndFirstMoment) {
  const std::vector<float> series = {1.0f, 3.0f, 2.0f, 5.0f, 4.0f, 6.0f};
  const SplineRun r = runSpline(series, 4);
  double sum = 0.0, moment = 0.0;
  for (int k = 0; k < 6; ++k) {
    sum += r.smoothed[k];
    moment += (k + 1) * static_cast<double>(r.smoothed[k]);
  }
  EXPECT_NEAR(sum, 21.0, 21.0 * 4e-7);
  EXPECT_NEAR(moment, 89.0, 89.0 * 4e-7);
  // Something was smoothed: the values did change.
  EXPECT_NE(r.smoothed, series);
}

TEST(Spline, CutoffZeroGivesNanEverywhereAsDone) {
  const SplineRun r = runSpline({1.0f, 2.0f, 4.0f, 8.0f, 16.0f}, 0);
  EXPECT_TRUE(std::isnan(r.p));
  for (float v : r.smoothed) EXPECT_TRUE(std::isnan(v));
  EXPECT_EQ(r.status, SplineStatus::Done);
}

TEST(Spline, AgreesWithDenseSolveOnShortRandomSeries) {
  std::mt19937 rng(42);
  for (int trial = 0; trial < 60; ++trial) {
    const int n = 4 + static_cast<int>(rng() % 37);
    const auto series = randomSeries(rng, n);
    for (int cutoff : {1, 2, 3, 6, 15, 40, -9}) {
      const SplineRun r = runSpline(series, cutoff);
      const auto expected = denseSpline(series, parameterFor(std::abs(cutoff)));
      for (int k = 0; k < n; ++k) {
        // Two single roundings: Q·u to float, then the float subtraction.
        const long double qu = series[k] - expected[k];
        const double tol = 2.0 * std::numeric_limits<float>::epsilon() *
                               static_cast<double>(std::fabs(qu) + std::fabs(expected[k])) +
                           1e-30;
        ASSERT_NEAR(r.smoothed[k], static_cast<double>(expected[k]), tol)
            << "n " << n << " cutoff " << cutoff << " k " << k;
      }
    }
  }
}

// Amplitude of the sinusoid of `period` in x over [from, to), by least squares on sine and
// cosine (the window holds whole periods, so the two are orthogonal over it).
double amplitudeAt(const std::vector<float>& x, int period, int from, int to) {
  long double ss = 0, sc = 0, s2 = 0, c2 = 0;
  for (int t = from; t < to; ++t) {
    const long double angle = 2.0L * std::numbers::pi_v<long double> * t / period;
    ss += x[t] * std::sin(angle);
    sc += x[t] * std::cos(angle);
    s2 += std::sin(angle) * std::sin(angle);
    c2 += std::cos(angle) * std::cos(angle);
  }
  return static_cast<double>(std::hypot(ss / s2, sc / c2));
}

TEST(Spline, FrequencyResponseAtCutoffTwenty) {
  struct Case {
    int period;
    double percent;
    double digits;
  };
  const Case cases[] = {
      {20, 50.0, 0.005}, {100, 99.8, 0.05}, {60, 98.8, 0.05}, {10, 5.9, 0.05}, {5, 0.4, 0.05}};
  const int n = 3000;  // window 900..2100: 1200 steps, whole periods of all five
  for (const Case c : cases) {
    std::vector<float> series(n);
    for (int t = 0; t < n; ++t)
      series[t] = static_cast<float>(std::sin(2.0 * std::numbers::pi * t / c.period));
    const SplineRun r = runSpline(series, 20);
    const double gain = 100.0 * amplitudeAt(r.smoothed, c.period, 900, 2100);
    EXPECT_NEAR(gain, c.percent, c.digits) << "period " << c.period;
  }
}

}  // namespace
