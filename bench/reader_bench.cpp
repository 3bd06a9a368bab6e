// Reading speed of the table reader on the largest table the program holds: 10,000 rows of a
// year and 699 series, values written "%8.3f" (about 60 MB), generated once into a temporary
// file, and of the Tucson ring-width reader. Reports bytes per second of file text.
// Then 1 MiB of each construct of free-form input run on and on (slashes, quotes, commas, repeat
// counts, blank lines, surplus cells), read as a batch run reads a table whose columns nobody
// counted: the time to read it to its end, or to the input error it ends in.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "input/rdtabdat.h"
#include "input/series_file.h"

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

constexpr std::size_t MEBIBYTE = std::size_t{1} << 20;

// `head`, then `unit` until the text holds 1 MiB, then `tail`.
std::string mebibyteOf(const std::string& head, const std::string& unit, const std::string& tail) {
  std::string text = head;
  while (text.size() + tail.size() < MEBIBYTE) text += unit;
  return text + tail;
}

void BM_rdtabdatConstruct(benchmark::State& state, const std::string& text) {
  FilePtr file(std::tmpfile());
  std::fwrite(text.data(), 1, text.size(), file.get());
  std::fflush(file.get());
  static const ringsmooth::SeriesTablePtr t = ringsmooth::makeSeriesTable();
  for (auto _ : state) {
    state.PauseTiming();
    std::rewind(file.get());
    state.ResumeTiming();
    FreeFormReader tableReader(file.get(), FreeFormReader::Kind::File);
    try {
      ringsmooth::rdtabdat(tableReader, 0, -999.0f, *t);
    } catch (const ringsmooth::InputError&) {
      // the error some constructs end in is part of what is timed
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<long>(text.size()));
}
BENCHMARK_CAPTURE(BM_rdtabdatConstruct, slashes_after_a_NaN,
                  mebibyteOf("Year A B\n1901 N", "/", "\n"))
    ->Unit(benchmark::kMillisecond)->Repetitions(5)->UseRealTime();
BENCHMARK_CAPTURE(BM_rdtabdatConstruct, doubled_quotes_in_a_name,
                  mebibyteOf("Year '", "''", "' B\n1901 1 2\n"))
    ->Unit(benchmark::kMillisecond)->Repetitions(5)->UseRealTime();
BENCHMARK_CAPTURE(BM_rdtabdatConstruct, commas_in_the_header, mebibyteOf("Year", ",", "\n"))
    ->Unit(benchmark::kMillisecond)->Repetitions(5)->UseRealTime();
BENCHMARK_CAPTURE(BM_rdtabdatConstruct, repeat_counts_in_the_header,
                  mebibyteOf("Year", " 9*A", "\n"))
    ->Unit(benchmark::kMillisecond)->Repetitions(5)->UseRealTime();
BENCHMARK_CAPTURE(BM_rdtabdatConstruct, blank_lines_before_the_header,
                  mebibyteOf("", " \n", "Year A B\n1901 1 2\n"))
    ->Unit(benchmark::kMillisecond)->Repetitions(5)->UseRealTime();
BENCHMARK_CAPTURE(BM_rdtabdatConstruct, surplus_cells_in_the_first_row,
                  mebibyteOf("Year A B\n1901", " 1.5", "\n"))
    ->Unit(benchmark::kMillisecond)->Repetitions(5)->UseRealTime();
// A Tucson ring-width file of 699 series of 1,000 years, 10 values a line: on the column grid
// (6-column fields), or written with single blanks, so that every line is read by blanks after
// its grid reading failed. Reports bytes per second of file text.
FilePtr ringWidthFile(bool onGrid, long& bytes) {
  FilePtr file(std::tmpfile());
  std::mt19937 random(7);
  std::uniform_int_distribution<int> value(0, 998);
  for (int k = 0; k < ringsmooth::MAX_SERIES_COUNT; ++k) {
    for (int year = 1000; year <= 2000; year += 10) {
      std::fprintf(file.get(), onGrid ? "S%-7d%4d" : "S%d %d", k, year);
      for (int i = 0; i < 10 && year + i < 2000; ++i) {
        std::fprintf(file.get(), onGrid ? "%6d" : " %d", value(random));
      }
      std::fprintf(file.get(), year + 10 > 2000 ? (onGrid ? "%6d\n" : " %d\n") : "\n", 999);
    }
  }
  std::fflush(file.get());
  bytes = std::ftell(file.get());
  return file;
}

void BM_ringWidthFile(benchmark::State& state) {
  const bool onGrid = state.range(0) == 1;
  long bytes = 0;
  const FilePtr rwl = ringWidthFile(onGrid, bytes);
  static const ringsmooth::SeriesTablePtr table56 = ringsmooth::makeSeriesTable();
  SeriesTable* const t = table56.get();
  for (auto _ : state) {
    state.PauseTiming();
    std::rewind(rwl.get());
    std::memset(t, 0, sizeof(SeriesTable));
    state.ResumeTiming();
    ringsmooth::readSeriesFile(rwl.get(), ringsmooth::InputFormat::Rwl, 1, 0.0f, *t);
    benchmark::DoNotOptimize(t->yearCount[ringsmooth::MAX_SERIES_COUNT - 1]);
  }
  if (t->seriesCount != ringsmooth::MAX_SERIES_COUNT || t->yearCount[0] != 1000) {
    state.SkipWithError("the file was not read whole");
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_ringWidthFile)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->UseRealTime();

}  // namespace
