#include "driver/chronology_run.h"

#include <algorithm>

#include "analysis/chronology.h"
#include "core/run_error.h"
#include "output/chronology_files.h"
#include "output/whole_file.h"

namespace ringsmooth {

ChronologyOutputNames chronologyOutputs(const std::string& stem, ChronologyFiles files) {
  return ChronologyOutputNames{files.crn ? stem + ".crn" : "",
                               files.csv ? stem + ".chron.csv" : ""};
}

TableChronology::TableChronology(const SeriesTable& t) {
  int lastYear = 0;
  bool any = false;
  for (int k = 0; k < t.seriesCount; ++k) {
    if (t.yearCount[k] <= 0) continue;
    tableFirstYear_ = any ? std::min(tableFirstYear_, t.firstYear[k]) : t.firstYear[k];
    lastYear = any ? std::max(lastYear, t.lastYear[k]) : t.lastYear[k];
    any = true;
  }
  const std::size_t years = any ? static_cast<std::size_t>(lastYear - tableFirstYear_ + 1) : 0;
  // The series covering each year, counted by their first and one-past-last years; then each
  // year's room starts where the previous year's ends.
  start_.assign(years + 1, 0);
  for (int k = 0; k < t.seriesCount; ++k) {
    if (t.yearCount[k] <= 0) continue;
    ++start_[static_cast<std::size_t>(t.firstYear[k] - tableFirstYear_)];
    --start_[static_cast<std::size_t>(t.firstYear[k] - tableFirstYear_ + t.yearCount[k])];
  }
  long covering = 0;
  long room = 0;
  for (std::size_t j = 0; j <= years; ++j) {
    covering += start_[j];
    start_[j] = room;
    room += covering;
  }
  depth_.assign(years, 0);
  values_ = std::make_unique_for_overwrite<double[]>(static_cast<std::size_t>(std::max(room, 1L)));
  store_ = IndexStore{values_.get(), start_.data(), depth_.data(), tableFirstYear_};
}

std::string TableChronology::build(const char* title, PlotBook* book) {
  const auto withIndex = [](int depth) { return depth > 0; };
  const auto first = std::find_if(depth_.begin(), depth_.end(), withIndex);
  if (first == depth_.end()) {
    years_ = 0;
    return "No chronology: no series has an index.";
  }
  const auto last = std::find_if(depth_.rbegin(), depth_.rend(), withIndex).base();
  const long from = first - depth_.begin();
  firstYear_ = tableFirstYear_ + static_cast<int>(from);
  years_ = static_cast<int>(last - first);
  const int deepest = *std::max_element(first, last);
  mean_.assign(static_cast<std::size_t>(years_), 0.0);
  std::vector<double> scratch(static_cast<std::size_t>(deepest));
  chronology(YearIndices{values_.get(), start_.data() + from, depth_.data() + from}, years_,
             mean_.data(), scratch.data());
  if (book != nullptr) {
    std::vector<double> yearAxis(mean_.size());
    std::vector<double> depth(mean_.size());
    for (std::size_t j = 0; j < mean_.size(); ++j) {
      yearAxis[j] = firstYear_ + static_cast<double>(j);
      depth[j] = depth_[static_cast<std::size_t>(from) + j];
    }
    book->chronologyPage(ChronologyCurves{yearAxis.data(), mean_.data(), depth.data(), years_,
                                          title});
  }
  return "Chronology " + std::to_string(firstYear_) + " to " +
         std::to_string(firstYear_ + years_ - 1) + " (" + std::to_string(years_) +
         " years), largest sample depth " + std::to_string(deepest) + ".";
}

void TableChronology::write(const ChronologyOutputNames& names, const std::string& tableName,
                            IndexKind index) const {
  if (years_ == 0) return;
  const int* depth = depth_.data() + (firstYear_ - tableFirstYear_);
  const ChronologyTable table{firstYear_, years_, mean_.data(), depth};
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
