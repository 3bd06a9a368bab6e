// Reading speed of the table reader on the largest table the program holds: 10,000 rows of a
// year and 699 series, values written "%8.3f" (about 60 MB), generated once into a temporary
// file. Reports bytes per second of table text.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>

#include "input/rdtabdat.h"

namespace {

using ringsmooth::FreeFormReader;
using ringsmooth::MAX_SERIES;
using ringsmooth::MAX_YEARS;
using ringsmooth::SeriesTable;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Writes the table once; returns the open file and its size in bytes.
FilePtr largestTable(long& bytes) {
  FilePtr file(std::tmpfile());
  std::fprintf(file.get(), "Year");
  for (int c = 1; c < MAX_SERIES; ++c) std::fprintf(file.get(), " S%d", c);
  std::fprintf(file.get(), "\n");
  std::mt19937 random(7);
  std::uniform_real_distribution<double> value(-999.0, 9999.0);
  for (int r = 0; r < MAX_YEARS; ++r) {
    std::fprintf(file.get(), "%d", 1000 + r);
    for (int c = 1; c < MAX_SERIES; ++c) std::fprintf(file.get(), " %8.3f", value(random));
    std::fprintf(file.get(), "\n");
  }
  std::fflush(file.get());
  bytes = std::ftell(file.get());
  return file;
}

void BM_rdtabdatLargestTable(benchmark::State& state) {
  static long bytes = 0;
  static const FilePtr table = largestTable(bytes);  // once for all repetitions
  // One table for every iteration, its pages touched before timing starts, as the program's
  // own table is by the time the reader has filled it once.
  static const ringsmooth::SeriesTablePtr table56 = ringsmooth::makeSeriesTable();
  SeriesTable* const t = table56.get();
  std::memset(t, 0, sizeof(SeriesTable));
  for (auto _ : state) {
    state.PauseTiming();
    std::rewind(table.get());
    state.ResumeTiming();
    FreeFormReader tableReader(table.get(), FreeFormReader::Kind::File);
    ringsmooth::rdtabdat(tableReader, MAX_SERIES, -999.0f, *t);
    benchmark::DoNotOptimize(t->yearCount[MAX_SERIES - 2]);
  }
  if (t->seriesCount != MAX_SERIES - 1 || t->yearCount[0] != MAX_YEARS) {
    state.SkipWithError("the table was not read whole");
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_rdtabdatLargestTable)->Unit(benchmark::kMillisecond)->Repetitions(5)->UseRealTime();

}  // namespace
