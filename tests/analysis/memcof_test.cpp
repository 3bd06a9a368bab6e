// Burg's prediction-error filter: the textbook cases, the zero-denominator rule, short series,
// the "never get here" pause, and agreement with a plain Burg written out in the test.
#include "analysis/memcof.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using ringsmooth::memcof;

struct BurgResult {
  std::vector<double> coeff;
  double meanSquare = 0.0;
};

// Runs memcof with work arrays of exactly the documented sizes (n - 1, n - 1, order - 1, none
// for n < 2 or order < 2) on the heap, so that any access outside them is caught under ASan.
BurgResult runMemcof(const std::vector<float>& series, int order) {
  const int n = static_cast<int>(series.size());
  const int errorCount = n > 1 ? n - 1 : 0;
  const int prevCount = order > 1 ? order - 1 : 0;
  auto data = std::make_unique<float[]>(series.size());
  std::copy(series.begin(), series.end(), data.get());
  auto coeff = std::make_unique<double[]>(order);
  auto fwd = std::make_unique<double[]>(errorCount);
  auto bwd = std::make_unique<double[]>(errorCount);
  auto prev = std::make_unique<double[]>(prevCount);
  BurgResult r;
  memcof(data.get(), n, order, r.meanSquare, coeff.get(), fwd.get(), bwd.get(), prev.get());
  r.coeff.assign(coeff.get(), coeff.get() + order);
  return r;
}

// Textbook Burg, written with fresh vectors at every order: forward errors f, backward errors b,
// coefficient vector a. Sums run in ascending index and with the same grouping as the program,
// so the results must agree bit for bit (any reassociation would show up here).
BurgResult plainBurg(const std::vector<float>& series, int order) {
  const std::size_t n = series.size();
  BurgResult r;
  double sumSquares = 0.0;
  for (float v : series) sumSquares += static_cast<double>(v) * static_cast<double>(v);
  r.meanSquare = n > 0 ? sumSquares / static_cast<double>(n) : 0.0;
  std::vector<double> f;
  std::vector<double> b;
  for (std::size_t j = 0; j + 1 < n; ++j) {
    f.push_back(series[j]);
    b.push_back(series[j + 1]);
  }
  std::vector<double> a;
  for (int k = 1; k <= order; ++k) {
    double num = 0.0;
    double den = 0.0;
    for (std::size_t j = 0; j < f.size(); ++j) {
      num += f[j] * b[j];
      den = (den + f[j] * f[j]) + b[j] * b[j];
    }
    const double reflection = den == 0.0 ? 0.0 : 2.0 * num / den;
    r.meanSquare *= 1.0 - reflection * reflection;
    std::vector<double> next;
    for (std::size_t i = 0; i < a.size(); ++i)
      next.push_back(a[i] - reflection * a[a.size() - 1 - i]);
    next.push_back(reflection);
    a = next;
    if (f.empty()) continue;
    std::vector<double> nf;
    std::vector<double> nb;
    for (std::size_t j = 0; j + 1 < f.size(); ++j) {
      nf.push_back(f[j] - reflection * b[j]);
      nb.push_back(b[j + 1] - reflection * f[j + 1]);
    }
    f = nf;
    b = nb;
  }
  r.coeff = a;
  return r;
}

const std::vector<float> kGeometric = {1.0f, 0.5f, 0.25f, 0.125f};

TEST(Memcof, GeometricSeriesOrderOne) {
  const BurgResult r = runMemcof(kGeometric, 1);
  EXPECT_DOUBLE_EQ(r.coeff[0], 0.8);
  EXPECT_DOUBLE_EQ(r.meanSquare, 0.36 * 85.0 / 256.0);
}

TEST(Memcof, GeometricSeriesOrderTwo) {
  const BurgResult r = runMemcof(kGeometric, 2);
  EXPECT_DOUBLE_EQ(r.coeff[0], 20.0 / 17.0);
  EXPECT_DOUBLE_EQ(r.coeff[1], -8.0 / 17.0);
}

TEST(Memcof, GeometricSeriesOrderThreeIsFinite) {
  const BurgResult r = runMemcof(kGeometric, 3);
  for (double c : r.coeff) EXPECT_TRUE(std::isfinite(c));
  EXPECT_TRUE(std::isfinite(r.meanSquare));
}

TEST(Memcof, AnyGeometricSeriesGivesTwoROverOnePlusRSquared) {
  // Ratios whose powers float holds exactly over these lengths.
  for (double ratio : {0.5, -0.5, 0.25, 0.75, -0.75, 2.0, -2.0}) {
    for (int n : {2, 3, 7, 15}) {
      std::vector<float> series;
      double v = 1.0;
      for (int i = 0; i < n; ++i, v *= ratio) series.push_back(static_cast<float>(v));
      const BurgResult r = runMemcof(series, 1);
      const double expected = 2.0 * ratio / (1.0 + ratio * ratio);
      EXPECT_NEAR(r.coeff[0], expected, 1e-15) << "ratio " << ratio << " n " << n;
    }
  }
}

TEST(Memcof, AlternatingSeriesGivesMinusOneExactlyAndZeroDiscrepancy) {
  const BurgResult r = runMemcof({1.0f, -1.0f, 1.0f, -1.0f, 1.0f}, 1);
  EXPECT_EQ(r.coeff[0], -1.0);
  EXPECT_EQ(r.meanSquare, 0.0);
}

TEST(Memcof, OrderOneLeavesPreviousCoefficientsAndErrorsAsCopied) {
  const float series[] = {3.0f, -1.0f, 4.0f, 1.5f, -5.0f};
  double coeff[1] = {0.0};
  double fwd[4] = {};
  double bwd[4] = {};
  double prev[3] = {111.0, 222.0, 333.0};
  double meanSquare = 0.0;
  memcof(series, 5, 1, meanSquare, coeff, fwd, bwd, prev);
  EXPECT_EQ(prev[0], 111.0);
  EXPECT_EQ(prev[1], 222.0);
  EXPECT_EQ(prev[2], 333.0);
  for (int j = 0; j < 4; ++j) {
    EXPECT_EQ(fwd[j], series[j]);
    EXPECT_EQ(bwd[j], series[j + 1]);
  }
}

// Zero denominators: every coefficient stays finite and the recursion carries on with zeros.
struct ZeroDenominatorCase {
  const char* name;
  std::vector<float> series;
  int order;
  std::vector<double> expected;
  double expectedMeanSquare;
};

TEST(Memcof, ZeroDenominatorGivesZeroReflectionNotNan) {
  const std::vector<ZeroDenominatorCase> cases = {
      {"all zero", {0, 0, 0, 0, 0, 0}, 4, {0, 0, 0, 0}, 0.0},
      {"alternating", {1, -1, 1, -1, 1}, 3, {-1, 0, 0}, 0.0},
      {"single value", {2.5f}, 3, {0, 0, 0}, 6.25},
      {"empty", {}, 2, {0, 0}, 0.0},
      {"two values, order past n", {3, 3}, 4, {1, 0, 0, 0}, 0.0},
  };
  for (const auto& c : cases) {
    const BurgResult r = runMemcof(c.series, c.order);
    EXPECT_EQ(r.coeff, c.expected) << c.name;
    EXPECT_EQ(r.meanSquare, c.expectedMeanSquare) << c.name;
  }
}

TEST(Memcof, NegativeLengthReadsNothingAndGivesZeros) {
  double coeff[2] = {5.0, 6.0};
  double prev[1] = {};
  double meanSquare = -1.0;
  memcof(nullptr, -3, 2, meanSquare, coeff, nullptr, nullptr, prev);
  EXPECT_EQ(coeff[0], 0.0);
  EXPECT_EQ(coeff[1], 0.0);
  EXPECT_EQ(meanSquare, 0.0);
}

TEST(Memcof, OrderAtOrBeyondLengthStaysFiniteAndMatchesPlainBurg) {
  const std::vector<float> series = {0.3f, -1.2f, 2.0f, 0.7f, -0.4f};
  for (int order : {4, 5, 6, 12}) {
    const BurgResult r = runMemcof(series, order);
    for (double c : r.coeff) EXPECT_TRUE(std::isfinite(c)) << "order " << order;
    EXPECT_TRUE(std::isfinite(r.meanSquare));
    const BurgResult plain = plainBurg(series, order);
    EXPECT_EQ(r.coeff, plain.coeff) << "order " << order;
    // Beyond n - 1 every sum is empty: the extra coefficients add nothing.
    for (int k = 4; k < order; ++k) EXPECT_EQ(r.coeff[k], 0.0);
  }
}

TEST(Memcof, AgreesBitForBitWithPlainBurgOnRandomSeries) {
  std::mt19937 rng(2024);
  std::normal_distribution<float> noise(0.0f, 1.0f);
  for (int trial = 0; trial < 60; ++trial) {
    const int n = 2 + static_cast<int>(rng() % 300);
    std::vector<float> series(n);
    float previous = 0.0f;
    for (float& v : series) v = previous = 0.6f * previous + noise(rng);  // some memory
    const int order = 1 + static_cast<int>(rng() % (trial % 3 == 0 ? n + 5 : std::min(n, 40)));
    const BurgResult r = runMemcof(series, order);
    const BurgResult plain = plainBurg(series, order);
    ASSERT_EQ(r.coeff, plain.coeff) << "n " << n << " order " << order;
    ASSERT_EQ(r.meanSquare, plain.meanSquare) << "n " << n << " order " << order;
  }
}

TEST(Memcof, RecoversAKnownAutoregressiveProcess) {
  // x(t) = 1.2 x(t-1) - 0.5 x(t-2) + noise: a long series gives coefficients close to these.
  std::mt19937 rng(7);
  std::normal_distribution<double> noise(0.0, 1.0);
  std::vector<float> series(20000);
  double x1 = 0.0;
  double x2 = 0.0;
  for (float& v : series) {
    const double x = 1.2 * x1 - 0.5 * x2 + noise(rng);
    v = static_cast<float>(x);
    x2 = x1;
    x1 = x;
  }
  const BurgResult r = runMemcof(series, 2);
  EXPECT_NEAR(r.coeff[0], 1.2, 0.03);
  EXPECT_NEAR(r.coeff[1], -0.5, 0.03);
  EXPECT_NEAR(r.meanSquare, 1.0, 0.05);
}

// Feeds `input` to standard input for the duration of the object, restoring it afterwards.
class StdinFeed {
 public:
  explicit StdinFeed(const std::string& input) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    EXPECT_EQ(write(fds[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
    close(fds[1]);
    std::fflush(stdin);
    saved_ = dup(0);
    dup2(fds[0], 0);
    close(fds[0]);
    std::clearerr(stdin);
  }
  // Everything left unread on standard input, up to the end of the fed text.
  std::string rest() {
    std::string s;
    for (int c = std::getchar(); c != EOF; c = std::getchar()) s.push_back(static_cast<char>(c));
    return s;
  }
  ~StdinFeed() {
    rest();
    dup2(saved_, 0);
    close(saved_);
    std::clearerr(stdin);
  }

 private:
  int saved_ = -1;
};

TEST(Memcof, OrderBelowOneShowsMessageConsumesOneLineAndKeepsCoefficients) {
  for (int order : {0, -3}) {
    StdinFeed feed("any answer\nnext line\n");
    const float series[] = {1.0f, 2.0f, 3.0f};
    double coeff[2] = {7.0, 8.0};
    double fwd[2] = {};
    double bwd[2] = {};
    double prev[1] = {};
    double meanSquare = 0.0;
    testing::internal::CaptureStdout();
    memcof(series, 3, order, meanSquare, coeff, fwd, bwd, prev);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "never get here\n");
    EXPECT_EQ(feed.rest(), "next line\n");
    EXPECT_EQ(coeff[0], 7.0);
    EXPECT_EQ(coeff[1], 8.0);
    EXPECT_EQ(meanSquare, 14.0 / 3.0);
  }
}

TEST(Memcof, OrderBelowOneReturnsAtEndOfInput) {
  StdinFeed feed("no line end");
  const float series[] = {2.0f};
  double coeff[1] = {5.0};
  double meanSquare = 0.0;
  testing::internal::CaptureStdout();
  memcof(series, 1, 0, meanSquare, coeff, nullptr, nullptr, nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "never get here\n");
  EXPECT_EQ(feed.rest(), "");
  EXPECT_EQ(coeff[0], 5.0);
  EXPECT_EQ(meanSquare, 4.0);
}

}  // namespace
