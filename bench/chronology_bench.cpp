// The site chronology over indices where the pipeline leaves them, each series in its own column
// of the program's table (on large pages where the system offers them): 34 series of 600 to 1,358 years (like ca533.rwl), 100 x 2,000, and 699
// series of 500 to 8,000 years placed anywhere in 8,000 (the program benchmark's tables).
// "per_index" is the time per index taken into a year.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "analysis/chronology.h"
#include "core/capacities.h"
#include "core/series_table.h"

namespace {

void BM_Chronology(benchmark::State& state) {
  const int series = static_cast<int>(state.range(0));
  const int years = static_cast<int>(state.range(1));
  const int shortest = static_cast<int>(state.range(2));
  std::mt19937 rng(20261207);
  std::normal_distribution<double> noise(0.0, 0.15);
  const ringsmooth::SeriesTablePtr table = ringsmooth::makeSeriesTable();
  double* values = table->values;
  std::vector<int> firstYear(series), yearCount(series);
  std::vector<unsigned char> taking(series, 1);
  double indices = 0;
  for (int k = 0; k < series; ++k) {
    yearCount[k] = std::uniform_int_distribution<int>(shortest, years)(rng);
    firstYear[k] = std::uniform_int_distribution<int>(0, years - yearCount[k])(rng);
    double level = 0.0;
    for (int i = 0; i < yearCount[k]; ++i) {
      level = 0.6 * level + noise(rng);
      const bool missing = rng() % 1000 == 0;
      values[static_cast<std::size_t>(k) * ringsmooth::MAX_YEARS + i] = missing ? NAN : 1 + level;
      indices += missing ? 0 : 1;
    }
  }
  const ringsmooth::SeriesIndices in{values, ringsmooth::MAX_YEARS, firstYear.data(),
                                     yearCount.data(), taking.data(), series};
  std::vector<double> mean(years);
  std::vector<int> depth(years);
  std::vector<double> work(ringsmooth::chronologyWorkSize(series));
  for (auto _ : state) {
    ringsmooth::chronology(in, 0, years, mean.data(), depth.data(), work.data());
    benchmark::DoNotOptimize(mean.data());
  }
  state.counters["per_index"] = benchmark::Counter(
      indices, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Chronology)
    ->Args({34, 1358, 600})
    ->Args({100, 2000, 1800})
    ->Args({699, 8000, 500})
    ->Unit(benchmark::kMillisecond);

}  // namespace
