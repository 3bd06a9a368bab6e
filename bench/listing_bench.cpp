// The listing writer: formatting and writing one result block of 10,000 years, to /dev/null so
// that only the program's own work is timed. "bytes_per_second" is listing text per second.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "core/capacities.h"
#include "output/fixed_field.h"
#include "output/listing.h"

namespace {

constexpr int kYears = 10000;
constexpr long kBlockBytes = 1 + 38 + 1 + 30 + kYears * 30L;

void BM_WriteBlock(benchmark::State& state) {
  std::mt19937 rng(3);
  std::normal_distribution<float> noise(1.0f, 0.3f);
  std::vector<float> listed(kYears), smoothed(kYears), residuals(kYears);
  for (int i = 0; i < kYears; ++i) {
    listed[i] = noise(rng);
    smoothed[i] = noise(rng);
  }
  ringsmooth::Listing listing;
  listing.create("/dev/null");
  const char name[ringsmooth::NAME_LENGTH + 1] = "Benchmark series    ";
  for (auto _ : state) {
    listing.writeBlock(ringsmooth::BlockColumns{name, 1001, kYears, listed.data(), smoothed.data(),
                                                residuals.data(), nullptr, nullptr});
  }
  state.SetBytesProcessed(state.iterations() * kBlockBytes);
}
BENCHMARK(BM_WriteBlock);

// One field, for values of the listing's kind (floats) and of the echo's (doubles).
void BM_FixedField(benchmark::State& state) {
  std::mt19937 rng(4);
  std::normal_distribution<double> noise(0.0, 3.0);
  std::vector<double> values(4096);
  for (auto& v : values) v = state.range(0) ? static_cast<float>(noise(rng)) : noise(rng);
  char out[8];
  size_t i = 0;
  for (auto _ : state) {
    ringsmooth::fixedField(out, values[i++ & 4095]);
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_FixedField)->Arg(1)->Arg(0);

}  // namespace
