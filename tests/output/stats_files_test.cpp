// The statistics files and the index table as CSV: names quoted as RFC 4180 asks, shortest
// decimals, empty cells where there is no number, the index table's years and columns.
#include "output/stats_files.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/text_field.h"

namespace ringsmooth {
namespace {

TEST(StatsFiles, CsvTexts) {
  const SeriesTablePtr t = makeSeriesTable();
  t->seriesCount = 3;
  const char* names[] = {"A,1", "skipped", "B\"x"};
  const int first[] = {-5, 1900, -7};  // years before the common era too
  const double values[][2] = {{0.5, NAN}, {9.0, 9.0}, {NAN, 1.0 / 3.0}};
  for (int k = 0; k < 3; ++k) {
    setField(t->seriesName[k], NAME_LENGTH, names[k]);
    t->firstYear[k] = first[k];
    t->yearCount[k] = 2;
    std::copy(values[k], values[k] + 2, t->values + k * MAX_YEARS);
  }
  const unsigned char taking[] = {1, 0, 1};
  EXPECT_EQ(indexTableCsvText(t->seriesName,
                              {t->values, MAX_YEARS, t->firstYear, t->yearCount, taking, 3}),
            "year,\"A,1\",\"B\"\"x\"\n-6,,0.3333333333333333\n-5,0.5,\n");
  const SeriesSummary summary[] = {{1901, 1902, 2, 0.25, 0.5, 2.0, NAN, -1.5, 0.1, 1e-20},
                                   {0, 0, 0, NAN, NAN, NAN, NAN, NAN, NAN, NAN},
                                   {-5, 5, 11, 1, 2, 3, 4, 5, 6, 7}};
  EXPECT_EQ(seriesCsvText(*t, summary),
            "series,first,last,years,mean,median,stdev,skew,kurtosis,gini,ar1\n"
            "\"A,1\",1901,1902,2,0.25,0.5,2,,-1.5,0.1,1e-20\n"
            "skipped,,,0,,,,,,,\n"
            "\"B\"\"x\",-5,5,11,1,2,3,4,5,6,7\n");
  const SignalStats allYears{1, 100, 3, 3, 0.5, 0.75, 3.0};
  const SignalStats windows[] = {{1, 50, 2, 1, 1.0, 1.0, INFINITY}, {26, 75, 3, 2, -0.1, NAN, 0}};
  EXPECT_EQ(signalCsvText(allYears, windows, 2),
            "first,last,series,pairs,rbar,eps,snr\n1,100,3,3,0.5,0.75,3\n1,50,2,1,1,1,Inf\n"
            "26,75,3,2,-0.1,,0\n");
}

}  // namespace
}  // namespace ringsmooth
