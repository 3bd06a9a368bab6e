// Computing a series: it reads the table and changes nothing in it, trims in single precision,
// and returns the indices of the values and spline it lists, in the index store's column of
// the series when there is one and in its own storage otherwise.
#include "driver/series_compute.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace ringsmooth {
namespace {

constexpr float FLAG = -99.99f;  // a float can't hold it: the reader's double misses it

// A table of one series, its values from the year 1901 on.
SeriesTablePtr oneSeries(const std::vector<double>& values) {
  SeriesTablePtr table = makeSeriesTable();
  table->seriesCount = 1;
  table->missingFlag = FLAG;
  table->firstYear[0] = 1901;
  table->yearCount[0] = static_cast<int>(values.size());
  table->lastYear[0] = 1900 + table->yearCount[0];
  std::memset(table->seriesName[0], ' ', NAME_LENGTH);
  for (std::size_t i = 0; i < values.size(); ++i) table->values[i] = values[i];
  return table;
}

TEST(SeriesCompute, ReturnsTheTrimmedSeriesAndItsIndicesAndLeavesTheTableAsItWas) {
  const double f = FLAG;  // -99.99 as a double: the single-precision test finds it missing
  std::vector<double> wavy(40);
  for (std::size_t i = 0; i < wavy.size(); ++i) wavy[i] = 1.0 + 0.3 * std::sin(0.7 * double(i));
  std::vector<double> gaps = wavy;
  gaps[0] = gaps[1] = gaps[39] = gaps[20] = f;
  const struct {
    const char* label;
    std::vector<double> values;
    bool store;  // indices into an index store
    SeriesOutcome outcome;
    int n, firstYear, leadingMissing, filledCount;
  } cases[] = {
      {"whole", wavy, false, SeriesOutcome::Listed, 40, 1901, 0, 0},
      {"gaps, stored", gaps, true, SeriesOutcome::Listed, 37, 1903, 2, 1},
      {"no value", {f, f, f}, true, SeriesOutcome::NoValue, 0, 0, 3, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const SeriesTablePtr table = oneSeries(c.values);
    const IndexStorePtr store = c.store ? makeIndexStore(1, table->yearCount[0]) : nullptr;
    const SeriesOutputs outputs{};
    PipelineSettings settings{smoothingPlan(5), Scaling::Centre, PlotSpan::None, 1, {}};
    settings.indices = true;
    const auto batch = makeSeriesBatch(outputs, 1);
    const auto computer = std::make_unique<SeriesComputer>();
    computer->compute(SeriesSource{*table, settings, outputs, store.get()}, 0, 1, *batch);
    const SeriesResult& s = batch->series[0];
    ASSERT_EQ(s.outcome, c.outcome);
    EXPECT_EQ(s.n, c.n);
    EXPECT_EQ(s.leadingMissing, c.leadingMissing);
    EXPECT_EQ(table->firstYear[0], 1901);
    EXPECT_EQ(table->yearCount[0], static_cast<int>(c.values.size()));
    for (std::size_t i = 0; i < c.values.size(); ++i) EXPECT_EQ(table->values[i], c.values[i]);
    if (c.outcome != SeriesOutcome::Listed) continue;
    EXPECT_EQ(s.firstYear, c.firstYear);
    EXPECT_EQ(s.filledCount, c.filledCount);
    EXPECT_EQ(s.index, c.store ? store->column(0) : s.ownIndex);
    for (int i = 0; i < s.n; ++i) {
      if (s.filled[i] != 0) {
        EXPECT_TRUE(std::isnan(s.index[i])) << i;
      } else {
        EXPECT_EQ(s.index[i], double(s.workSeries[i]) / double(s.smoothedSeries[i])) << i;
      }
    }
  }
}

}  // namespace
}  // namespace ringsmooth
