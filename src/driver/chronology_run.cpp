#include "driver/chronology_run.h"

#include <algorithm>

#include "analysis/chronology.h"
#include "core/run_error.h"
#include "output/chronology_files.h"
#include "output/whole_file.h"

namespace ringsmooth {

ChronologyOutputNames chronologyOutputs(const std::string& stem, ChronologyFiles files) {
  return ChronologyOutputNames{files.crn ? stem + ".crn" : "", files.csv ? stem + ".chron.csv" : ""};
}

TableChronology::TableChronology(int seriesCount)
    : seriesCount_(seriesCount),
      index_(std::make_unique_for_overwrite<double[]>(static_cast<std::size_t>(seriesCount) *
                                                      MAX_YEARS)),
      seriesFirstYear_(static_cast<std::size_t>(seriesCount), 0),
      seriesYearCount_(static_cast<std::size_t>(seriesCount), 0),
      store_{index_.get(), seriesFirstYear_.data(), seriesYearCount_.data()} {}

std::string TableChronology::build(const char* title, PlotBook* book) {
  const IndexColumns columns{index_.get(), MAX_YEARS, seriesFirstYear_.data(), seriesYearCount_.data(),
                             seriesCount_};
  int lastYear = 0;
  if (!chronologySpan(columns, firstYear_, lastYear)) {
    years_ = 0;
    return "No chronology: no series has an index.";
  }
  years_ = lastYear - firstYear_ + 1;
  const auto count = static_cast<std::size_t>(years_);
  value_.assign(count, 0.0);
  depth_.assign(count, 0);
  std::vector<double> gathered(static_cast<std::size_t>(seriesCount_));
  std::vector<double> scratch(static_cast<std::size_t>(seriesCount_));
  chronology(columns, firstYear_, years_, value_.data(), depth_.data(), gathered.data(),
             scratch.data());
  if (book != nullptr) {
    std::vector<double> yearAxis(count);
    std::vector<double> depth(count);
    for (std::size_t j = 0; j < count; ++j) {
      yearAxis[j] = firstYear_ + static_cast<double>(j);
      depth[j] = depth_[j];
    }
    book->chronologyPage(ChronologyCurves{yearAxis.data(), value_.data(), depth.data(), years_,
                                          title});
  }
  const int largest = *std::max_element(depth_.begin(), depth_.end());
  return "Chronology " + std::to_string(firstYear_) + " to " + std::to_string(lastYear) + " (" +
         std::to_string(years_) + " years), largest sample depth " + std::to_string(largest) +
         ".";
}

void TableChronology::write(const ChronologyOutputNames& names, const std::string& tableName,
                            IndexKind index) const {
  if (years_ == 0) return;
  const ChronologyTable table{firstYear_, years_, value_.data(), depth_.data()};
  if (!names.csv.empty()) writeWholeFile(names.csv, chronologyCsvText(table), "the chronology");
  if (names.crn.empty()) return;
  std::string text;
  int badYear = 0;
  const char* indexName =
      index == IndexKind::Ratio ? "ratio (value / spline)" : "difference (value - spline)";
  if (!crnText(table, siteId(tableName), indexName, text, badYear)) {
    throw InputError{"Cannot write the chronology \"" + names.crn + "\"",
                     "The index of year " + std::to_string(badYear) +
                         " does not fit the 4 columns of a Tucson chronology (-0.999 to 9.989, "
                         "years -999 to 9999); the other outputs are written"};
  }
  writeWholeFile(names.crn, text, "the chronology");
}

}  // namespace ringsmooth
