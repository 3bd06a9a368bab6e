// rbar, EPS and SNR of a table of 100 series over 2,000 years whose spans differ (every pair
// re-ranked over its own common years), over all years and in 50-year windows.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "analysis/signal.h"

namespace {

constexpr int kSeries = 100;
constexpr int kYears = 2000;

struct Table {
  std::vector<double> values = std::vector<double>(kSeries * kYears);
  std::vector<int> first = std::vector<int>(kSeries);
  std::vector<int> count = std::vector<int>(kSeries);
  std::vector<unsigned char> taking = std::vector<unsigned char>(kSeries, 1);
  ringsmooth::SeriesIndices indices() const {
    return {values.data(), kYears, first.data(), count.data(), taking.data(), kSeries};
  }
};

// Persistent ring-width-like indices, each series starting and ending within a tenth of the
// years from the table's ends.
Table sampleTable() {
  Table t;
  std::mt19937 rng(1);
  std::uniform_int_distribution<int> end(0, kYears / 10 - 1);
  std::normal_distribution<double> noise(0.0, 0.3);
  for (int k = 0; k < kSeries; ++k) {
    t.first[k] = end(rng);
    t.count[k] = kYears - t.first[k] - end(rng);
    double level = 1.0;
    for (int i = 0; i < t.count[k]; ++i) {
      t.values[k * kYears + i] = level = 0.3 + 0.7 * level + noise(rng);
    }
  }
  return t;
}

void BM_SignalAllYears(benchmark::State& state) {
  const Table t = sampleTable();
  ringsmooth::SignalWork work;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ringsmooth::signalStats(t.indices(), 0, kYears - 1, 30, work));
  }
}
BENCHMARK(BM_SignalAllYears)->Unit(benchmark::kMillisecond);

void BM_SignalWindows(benchmark::State& state) {
  const Table t = sampleTable();
  ringsmooth::SignalWork work;
  std::vector<ringsmooth::SignalStats> windows;
  for (auto _ : state) {
    ringsmooth::runningSignal(t.indices(), 0, kYears, 50, windows, work);
    benchmark::DoNotOptimize(windows.data());
  }
}
BENCHMARK(BM_SignalWindows)->Unit(benchmark::kMillisecond);

}  // namespace
