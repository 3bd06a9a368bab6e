// Fuzz target: whole tables through rdtabdat. The console answers come from a small fixed set
// (chosen by the low bits of the input's first byte; with its top bit the column count is left
// to the header's first line, as in a batch run); the rest of the input is the table file. After every
// table that reads without an error the table's promises are checked.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "driver/dialogue.h"
#include "input/rdtabdat.h"

using ringsmooth::FreeFormReader;
using ringsmooth::MAX_SERIES;
using ringsmooth::MAX_YEARS;

namespace {

const char* const ANSWERS[] = {"5\n-999\n", "3\n-99.99\n", "2\n0\n", "1\n-999\n",
                               "700\n-999\n", "9\nNaN\n", "4\n1e30\n", "6\n-999.00\n"};
constexpr std::size_t ANSWER_SETS = sizeof ANSWERS / sizeof ANSWERS[0];

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
    for (int i = 0; i < n; ++i) {
      fuzz::require(!std::isinf(static_cast<float>(v[i])), "a cell single precision can't hold");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const char* answers = ANSWERS[data[0] % ANSWER_SETS];
  std::vector<std::uint8_t> text(data + 1, data + size);

  std::FILE* console = fuzz::openBytes(answers, std::strlen(answers));
  std::FILE* file = fuzz::openBytes(text.data(), text.size());
  std::FILE* prompts = std::fopen("/dev/null", "w");
  fuzz::require(console && file && prompts, "cannot open the streams");
  {
    FreeFormReader consoleReader(console, FreeFormReader::Kind::Console);
    FreeFormReader tableReader(file, FreeFormReader::Kind::File);
    try {
      // A fresh table for every input, as every run has; the answers go through the dialogue.
      ringsmooth::RunSettings settings;
      ringsmooth::Dialogue(consoleReader, prompts).askTableShape(settings);
      const ringsmooth::SeriesTablePtr table = ringsmooth::makeSeriesTable();
      const int columns = (data[0] & 0x80) != 0 ? 0 : settings.columnCount;
      ringsmooth::rdtabdat(tableReader, columns, settings.missingFlag, *table);
      checkTable(*table);
    } catch (const ringsmooth::InputError& e) {
      fuzz::checkReport(e);
    }
  }
  std::fclose(console);
  std::fclose(file);
  std::fclose(prompts);
  return 0;
}
