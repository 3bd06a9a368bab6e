// Timings of the numerical routines at the sizes the program meets: series of 10,000 values.
// Counters: "per_elem" is time per series value; for memcof "per_n_order" is time per n·order,
// the unit of its work (one Burg sum term and one error update per value and order).
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "analysis/extend.h"
#include "analysis/memcof.h"
#include "analysis/memcof_batch.h"
#include "analysis/mnsd.h"
#include "analysis/spline.h"

namespace {

constexpr int kLength = 10000;

// A persistent, mildly autocorrelated series, like a centred tree-ring record.
std::vector<float> sampleSeries(int n) {
  std::mt19937 rng(1);
  std::normal_distribution<float> noise(0.0f, 1.0f);
  std::vector<float> s(n);
  float level = 0.0f;
  for (float& v : s) v = level = 0.7f * level + noise(rng);
  return s;
}

void perElement(benchmark::State& state, double elements) {
  state.counters["per_elem"] = benchmark::Counter(
      elements, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Spline(benchmark::State& state) {
  const auto series = sampleSeries(kLength);
  std::vector<float> smoothed(kLength);
  float p = 0.0f;
  ringsmooth::SplineWork work;
  for (auto _ : state) {
    ringsmooth::spline(kLength, series.data(), smoothed.data(), p, 30, work);
    benchmark::DoNotOptimize(smoothed.data());
  }
  perElement(state, kLength);
}
BENCHMARK(BM_Spline);

// Every call with another cutoff than the one before: the band factorization is made afresh
// each time instead of being kept from the previous series.
void BM_SplineFreshFactor(benchmark::State& state) {
  const auto series = sampleSeries(kLength);
  std::vector<float> smoothed(kLength);
  float p = 0.0f;
  ringsmooth::SplineWork work;
  int cutoff = 30;
  for (auto _ : state) {
    ringsmooth::spline(kLength, series.data(), smoothed.data(), p, cutoff, work);
    cutoff = cutoff == 30 ? 31 : 30;
    benchmark::DoNotOptimize(smoothed.data());
  }
  perElement(state, kLength);
}
BENCHMARK(BM_SplineFreshFactor);

void BM_Memcof(benchmark::State& state) {
  const int order = static_cast<int>(state.range(0));
  const auto series = sampleSeries(kLength);
  std::vector<double> coeff(order), fwd(kLength), bwd(kLength), prev(order);
  double meanSquare = 0.0;
  for (auto _ : state) {
    ringsmooth::memcof(series.data(), kLength, order, meanSquare, coeff.data(), fwd.data(),
                       bwd.data(), prev.data());
    benchmark::DoNotOptimize(coeff.data());
  }
  // Sum terms actually formed: (n - k) for k = 1..order.
  const double terms = static_cast<double>(order) * kLength - order * (order + 1.0) / 2.0;
  state.counters["per_n_order"] = benchmark::Counter(
      terms, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Memcof)->Arg(10)->Arg(100)->Arg(1000);

// A batch of series at once, the way the program computes its filters (second argument: the
// kernel's lanes, 4 with SSE2, 8 with AVX2 where the machine has it): per_n_order is the time per
// term of one series, comparable with BM_Memcof's.
void BM_MemcofBatch(benchmark::State& state) {
  const int order = static_cast<int>(state.range(0));
  const auto series = sampleSeries(kLength);
  ringsmooth::BurgWork burg(static_cast<int>(state.range(1)));
  const int lanes = burg.lanes();
  std::vector<std::vector<double>> coeff(lanes, std::vector<double>(order));
  std::vector<const float*> inputs(lanes, series.data());
  std::vector<double*> outputs;
  for (auto& c : coeff) outputs.push_back(c.data());
  std::vector<int> n(lanes, kLength);
  std::vector<double> meanSquare(lanes);
  for (auto _ : state) {
    ringsmooth::memcofBatch(lanes, inputs.data(), n.data(), order, meanSquare.data(),
                            outputs.data(), burg);
    benchmark::DoNotOptimize(outputs.data());
  }
  const double terms = lanes * (static_cast<double>(order) * kLength - order * (order + 1.0) / 2.0);
  state.counters["per_n_order"] = benchmark::Counter(
      terms, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MemcofBatch)->ArgsProduct({{10, 100, 1000}, {4, 8}});

// The floor under memcof: its denominator sum is a chain of two dependent additions per term,
// (den + f*f) + b*b, that no reordering may shorten. This runs that chain alone over the same
// number of terms as memcof at order 100, so per_n_order here is the latency bound.
void BM_DenominatorChainFloor(benchmark::State& state) {
  constexpr int order = 100;
  const auto series = sampleSeries(kLength);
  std::vector<double> f(series.begin(), series.end() - 1), b(series.begin() + 1, series.end());
  for (auto _ : state) {
    double total = 0.0;
    for (int k = 1; k <= order; ++k) {
      double den = 0.0;
      for (int j = 0; j < kLength - k; ++j) den = (den + f[j] * f[j]) + b[j] * b[j];
      total += den;
    }
    benchmark::DoNotOptimize(total);
  }
  const double terms = static_cast<double>(order) * kLength - order * (order + 1.0) / 2.0;
  state.counters["per_n_order"] = benchmark::Counter(
      terms, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DenominatorChainFloor);

// The latency of one double addition on this machine: a chain of additions each waiting for the
// one before. memcof's denominator is such a chain, two additions per term, so one series'
// filter can't take less than 2 x terms x this time unless other series' work overlaps it.
void BM_AdditionLatency(benchmark::State& state) {
  constexpr int chain = 1 << 20;
  volatile double step = 1e-9;
  for (auto _ : state) {
    const double d = step;
    double x = 0.0;
    for (int i = 0; i < chain; ++i) x = x + d;
    benchmark::DoNotOptimize(x);
  }
  state.counters["per_add"] = benchmark::Counter(
      chain, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_AdditionLatency);

void BM_Extend(benchmark::State& state) {
  const int pad = static_cast<int>(state.range(0));
  const int n = kLength - 2 * pad;
  const auto base = sampleSeries(n);
  std::vector<float> padded(kLength, 0.0f);
  std::copy(base.begin(), base.end(), padded.begin() + pad);
  std::vector<double> coeff(pad);
  for (int k = 0; k < pad; ++k) coeff[k] = 0.5 * std::pow(0.7, k);
  for (auto _ : state) {
    ringsmooth::extend(padded.data(), n, pad, coeff.data(), pad, 0);
    benchmark::DoNotOptimize(padded.data());
  }
  perElement(state, 2.0 * pad * pad);  // per product formed: 2 ends x pad steps x pad terms
}
BENCHMARK(BM_Extend)->Arg(30)->Arg(300);

void BM_Mnsd(benchmark::State& state) {
  const auto series = sampleSeries(kLength);
  float mean = 0.0f;
  float sd = 0.0f;
  for (auto _ : state) {
    ringsmooth::mnsd(series.data(), kLength, mean, sd);
    benchmark::DoNotOptimize(sd);
  }
  perElement(state, kLength);
}
BENCHMARK(BM_Mnsd);

}  // namespace
