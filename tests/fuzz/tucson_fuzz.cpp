// Fuzz target: Tucson files through the reader the run uses. The input's first byte chooses the
// format (even: ring-width, odd: chronology); the rest is the file. After every file that reads
// without an error the table's promises are checked (a skipped series leaves nothing behind), the
// reports on skipped series are checked as error reports are, and the console notes are built.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>

#include "fuzz_support.h"
#include "input/series_file.h"

using ringsmooth::MAX_SERIES_COUNT;
using ringsmooth::MAX_YEARS;

namespace {

// The values a file can give: ring widths of 0 to 9 digits in hundredths or thousandths (a
// negative one is a missing year), chronology indices of -999 to 9999 thousandths.
bool inRange(double v, bool rwl) {
  return rwl ? v >= 0.0 && v <= 9999999.99 : v >= -0.999 && v <= 9.999;
}

void checkTable(const ringsmooth::SeriesTable& t, const ringsmooth::InputSummary& summary) {
  fuzz::require(t.seriesCount >= 0 && t.seriesCount <= MAX_SERIES_COUNT, "series count");
  fuzz::require(std::isnan(t.missingFlag), "a flag other than NaN");
  const bool rwl = summary.format == ringsmooth::InputFormat::Rwl;
  std::set<std::string> names;
  for (int k = 0; k < t.seriesCount; ++k) {
    const int n = t.yearCount[k];
    fuzz::require(n >= 0 && n <= MAX_YEARS, "year count out of range");
    fuzz::require(t.seriesName[k][0] != ' ', "a name that is blank or begins with a blank");
    fuzz::require(names.insert(std::string(t.seriesName[k], ringsmooth::NAME_LENGTH)).second,
                  "a name given twice");
    if (n == 0) continue;
    fuzz::require(static_cast<long long>(t.lastYear[k]) - t.firstYear[k] + 1 == n,
                  "lastYear - firstYear + 1 differs from yearCount");
    fuzz::require(summary.firstYear <= t.firstYear[k] && t.lastYear[k] <= summary.lastYear,
                  "a series outside the summary's years");
    const double* v = t.values + static_cast<std::ptrdiff_t>(k) * MAX_YEARS;
    fuzz::require(!std::isnan(v[0]) && !std::isnan(v[n - 1]), "a span that ends on a missing year");
    for (int i = 0; i < n; ++i) {
      fuzz::require(std::isnan(v[i]) || inRange(v[i], rwl), "a value out of range");
    }
  }
  if (t.seriesCount < ringsmooth::MAX_SERIES) {  // a skipped series leaves nothing behind it
    const double* after = t.values + static_cast<std::ptrdiff_t>(t.seriesCount) * MAX_YEARS;
    for (int i = 0; i < MAX_YEARS; ++i) fuzz::require(after[i] == 0.0, "a skipped series' values");
  }
  for (const ringsmooth::InputError& report : summary.skipped) fuzz::checkReport(report);
  for (const std::string& line : ringsmooth::readingNotes(summary)) {
    for (const char c : line) {
      fuzz::require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f, "a control byte in a note");
    }
  }
}

// One table for all inputs (a fresh 56 MB table per input would slow the fuzzing to a crawl
// under the sanitizers), set back to all zeros where the last input may have written: the columns
// of the series it began, and the per-series fields.
ringsmooth::SeriesTable& cleanTable() {
  static const ringsmooth::SeriesTablePtr table = ringsmooth::makeSeriesTable();
  ringsmooth::SeriesTable& t = *table;
  const int used = std::max(0, std::min(t.seriesCount, MAX_SERIES_COUNT));
  std::memset(t.values, 0, sizeof(double) * MAX_YEARS * static_cast<std::size_t>(used));
  std::memset(t.firstYear, 0, sizeof t.firstYear);
  std::memset(t.lastYear, 0, sizeof t.lastYear);
  std::memset(t.yearCount, 0, sizeof t.yearCount);
  std::memset(t.seriesName, 0, sizeof t.seriesName);
  t.seriesCount = 0;
  t.missingFlag = 0.0f;
  return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const auto format =
      data[0] % 2 == 0 ? ringsmooth::InputFormat::Rwl : ringsmooth::InputFormat::Crn;
  std::FILE* file = fuzz::openBytes(data + 1, size - 1);
  fuzz::require(file != nullptr, "cannot open the stream");
  try {
    ringsmooth::SeriesTable& table = cleanTable();
    const ringsmooth::InputSummary summary =
        ringsmooth::readSeriesFile(file, format, 1, 0.0f, table);
    checkTable(table, summary);
  } catch (const ringsmooth::InputError& e) {
    fuzz::checkReport(e);
  }
  std::fclose(file);
  return 0;
}
