#include "driver/chronology_run.h"

#include <algorithm>
#include <memory>

#include "analysis/ar_model.h"
#include "analysis/chronology.h"
#include "driver/jobs.h"
#include "output/chronology_files.h"

namespace ringsmooth {

// Indices enough to pay for starting a thread for a share of the years.
constexpr long FEWEST_INDICES_FOR_THREADS = 100000;

void TableChronology::buildYears(const SeriesIndices& in, int first, int years, int jobs,
                                 double mean[], int depth[]) {
  if (years == 0) return;
  const int blocks = (years + CHRONOLOGY_BLOCK_YEARS - 1) / CHRONOLOGY_BLOCK_YEARS;
  const int shares = indices_ < FEWEST_INDICES_FOR_THREADS ? 1 : std::clamp(jobs, 1, blocks);
  const auto workSize = static_cast<std::size_t>(chronologyWorkSize(in.seriesCount));
  const auto work = std::make_unique_for_overwrite<double[]>(workSize * shares);
  // Share s takes whole blocks of years; each year is computed alone, so the chronology is
  // the same for any number of shares.
  const auto share = [&](int s) {
    const int from = std::min(years, blocks * s / shares * CHRONOLOGY_BLOCK_YEARS);
    const int to = std::min(years, blocks * (s + 1) / shares * CHRONOLOGY_BLOCK_YEARS);
    chronology(in, first + from, to - from, mean + from, depth + from,
               work.get() + workSize * static_cast<std::size_t>(s));
  };
  runShares(shares, share);
}

void TableChronology::buildResidual(int jobs) {
  const IndexStore& t = store_;
  // The residuals in columns of their own, over the same years as the indices.
  const IndexStorePtr residuals = makeIndexStore(t.seriesCount, static_cast<int>(t.stride));
  SeriesIndices in = t.indices();
  in.values = residuals->values;
  // Each series is fitted alone, so the residuals are the same for any number of shares.
  const int shares = indices_ < FEWEST_INDICES_FOR_THREADS ? 1 : std::clamp(jobs, 1, t.seriesCount);
  runShares(shares, [&](int s) {
    std::vector<double> work(2 * MAX_YEARS);
    for (int k = t.seriesCount * s / shares; k < t.seriesCount * (s + 1) / shares; ++k) {
      if (t.taking[k] == 0) continue;
      residualIndices(t.column(k), t.yearCount[k],
                      residuals->column(k), work.data());
    }
  });
  residual_.resize(mean_.size());
  std::vector<int> depth(mean_.size());
  buildYears(in, firstYear_, years_, jobs, residual_.data(), depth.data());
}

std::string TableChronology::build(bool residual, int jobs) {
  const TakingSpan taking = store_.takingSpan();
  indices_ = taking.years;
  const int first = taking.first;
  const std::size_t span =
      taking.series > 0 ? static_cast<std::size_t>(taking.last - first + 1) : 0;
  mean_.resize(span);
  depth_.resize(span);
  buildYears(store_.indices(), first, static_cast<int>(span), jobs, mean_.data(), depth_.data());
  // From the first to the last year with an index.
  const auto withIndex = [](int depth) { return depth > 0; };
  const auto from = std::find_if(depth_.begin(), depth_.end(), withIndex) - depth_.begin();
  if (from == static_cast<long>(span)) {
    years_ = 0;
    return "No chronology: no series has an index.";
  }
  const auto to = std::find_if(depth_.rbegin(), depth_.rend(), withIndex).base() - depth_.begin();
  firstYear_ = first + static_cast<int>(from);
  years_ = static_cast<int>(to - from);
  mean_.erase(mean_.begin() + to, mean_.end());
  mean_.erase(mean_.begin(), mean_.begin() + from);
  depth_.erase(depth_.begin() + to, depth_.end());
  depth_.erase(depth_.begin(), depth_.begin() + from);
  const int deepest = *std::max_element(depth_.begin(), depth_.end());
  if (residual) buildResidual(jobs);
  return "Chronology " + std::to_string(firstYear_) + " to " +
         std::to_string(firstYear_ + years_ - 1) + " (" + std::to_string(years_) +
         " years), largest sample depth " + std::to_string(deepest) + ".";
}

void TableChronology::draw(PlotBook& book, const ChronologyPage& page,
                           const std::string& residualTitle) const {
  if (years_ == 0) return;
  std::vector<double> yearAxis(mean_.size());
  std::vector<double> depth(mean_.size());
  for (std::size_t j = 0; j < mean_.size(); ++j) {
    yearAxis[j] = firstYear_ + static_cast<double>(j);
    depth[j] = depth_[j];
  }
  book.chronologyPage(ChronologyCurves{yearAxis.data(), mean_.data(), depth.data(), years_,
                                       page.title.c_str(), "standard", page.level, page.weak});
  if (residual_.empty()) return;
  book.chronologyPage(ChronologyCurves{yearAxis.data(), residual_.data(), depth.data(), years_,
                                       residualTitle.c_str(), "residual", page.level, nullptr});
}

void TableChronology::write(const ChronologyOutputNames& names, const SiteHeader& site) const {
  if (years_ == 0) return;
  const double* residual = residual_.empty() ? nullptr : residual_.data();
  writeChronologyFiles(ChronologyTable{firstYear_, years_, mean_.data(), depth_.data(), residual},
                       names.csv, names.crn, site);
}

}  // namespace ringsmooth
