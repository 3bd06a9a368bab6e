// Fuzz target: whole tables through rdtabdat. The console answers come from a small fixed set
// (chosen by the input's first byte); the rest of the input is the table file. After every
// table that reads without an error the table's promises are checked.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "input/rdtabdat.h"

using ringsmooth::FreeFormReader;
using ringsmooth::MAX_SERIES;
using ringsmooth::MAX_YEARS;

namespace {

const char* const ANSWERS[] = {"5\n-999\n", "3\n-99.99\n", "2\n0\n", "1\n-999\n",
                               "700\n-999\n", "9\nNaN\n", "4\n1e30\n", "6\n-999.00\n"};
constexpr std::size_t ANSWER_SETS = sizeof ANSWERS / sizeof ANSWERS[0];

ringsmooth::SeriesTable table;  // 56 MB; only the part a run touched is cleared again
std::size_t dirtyRows = 0;
std::size_t dirtyColumns = 0;

void clearTouchedPart() {
  for (std::size_t c = 0; c < dirtyColumns; ++c) {
    std::memset(table.values + c * MAX_YEARS, 0, dirtyRows * sizeof(double));
  }
  std::memset(table.seriesName, 0, sizeof table.seriesName);
}

void checkTable(const ringsmooth::SeriesTable& t) {
  fuzz::require(t.seriesCount >= 0 && t.seriesCount < MAX_SERIES, "series count out of range");
  const double flag = static_cast<double>(t.missingFlag);
  for (int k = 0; k < t.seriesCount; ++k) {
    const int n = t.yearCount[k];
    fuzz::require(n >= 0 && n <= MAX_YEARS, "year count out of range");
    if (n == 0) continue;
    fuzz::require(static_cast<long long>(t.lastYear[k]) - t.firstYear[k] + 1 == n,
                  "lastYear - firstYear + 1 differs from yearCount");
    const double* v = t.values + static_cast<std::ptrdiff_t>(k) * MAX_YEARS;
    fuzz::require(!std::isnan(v[0]) && v[0] != flag, "series begins with a missing cell");
    fuzz::require(!std::isnan(v[n - 1]) && v[n - 1] != flag, "series ends with a missing cell");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const char* answers = ANSWERS[data[0] % ANSWER_SETS];
  std::vector<std::uint8_t> text(data + 1, data + size);
  std::size_t lines = 1;
  for (std::uint8_t c : text) lines += c == '\n';

  std::FILE* console = fuzz::openBytes(answers, std::strlen(answers));
  std::FILE* file = fuzz::openBytes(text.data(), text.size());
  std::FILE* prompts = std::fopen("/dev/null", "w");
  fuzz::require(console && file && prompts, "cannot open the streams");
  {
    FreeFormReader consoleReader(console, FreeFormReader::Kind::Console);
    FreeFormReader tableReader(file, FreeFormReader::Kind::File);
    try {
      ringsmooth::rdtabdat(consoleReader, prompts, tableReader, table);
      checkTable(table);
    } catch (const ringsmooth::InputError& e) {
      fuzz::checkReport(e);
    }
  }
  std::fclose(console);
  std::fclose(file);
  std::fclose(prompts);
  // A row takes at least one line, so the rows touched are at most the lines of the input.
  dirtyRows = std::min<std::size_t>(lines, MAX_YEARS);
  dirtyColumns = static_cast<std::size_t>(std::min(std::atoi(answers), MAX_SERIES));
  clearTouchedPart();
  return 0;
}
