#include "driver/table_wide_run.h"

#include "core/file_names.h"
#include "driver/output_names.h"
#include "output/stats_files.h"
#include "output/whole_file.h"

namespace ringsmooth {

std::string shownTableName(const std::string& inputFileName) {
  if (inputFileName == "-") return "standard input";
  const std::string stem = withoutExtension(inputFileName);
  return stem.substr(stem.rfind('/') + 1);
}

void TableWideOutputs::build(PlotBook* book, int jobs) {
  const bool pages = book != nullptr && settings_.chronology.any();
  if (settings_.chronology.any()) {
    chronology_.emplace(indices_);
    const bool residual = settings_.chronology.csv || pages;
    chronologyNote_ = chronology_->build(residual, jobs);
  }
  if (settings_.stats || pages) signalBuilt_ = signal_.build();
  if (pages) drawChronology(*book);
}

void TableWideOutputs::drawChronology(PlotBook& book) {
  const TableChronology& c = *chronology_;
  const std::string table = shownTableName(settings_.inputFileName);
  std::vector<unsigned char> weak(static_cast<std::size_t>(c.years()));
  if (signalBuilt_) signal_.weakYears(c.firstYear(), c.years(), weak.data());
  const ChronologyPage page{"Chronology of " + table + signal_.titleWords(),
                            settings_.index == IndexKind::Ratio ? 1.0 : 0.0,
                            signalBuilt_ ? weak.data() : nullptr};
  c.draw(book, page, "Residual chronology of " + table);
}

void TableWideOutputs::write(Notes& notes, const SiteHeader& site) const {
  if (chronology_) notes.tableNote(chronologyNote_);
  if (settings_.stats) notes.tableNote(signal_.note());
  const StatisticsOutputNames statistics = statisticsOutputNames(settings_);
  if (signalBuilt_ && !statistics.signal.empty()) signal_.write(statistics.signal);
  if (!statistics.series.empty()) writeSeriesSummaries(table_, statistics.series);
  if (settings_.indexTable) {
    writeWholeFile(indexTableName(settings_),
                   indexTableCsvText(table_.seriesName, indices_.indices()), "the index table");
  }
  if (chronology_) {
    chronology_->write(chronologyOutputNames(settings_), site);
  }
}

}  // namespace ringsmooth
