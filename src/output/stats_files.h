#pragma once
// The texts of a table's statistics files and its index table, as CSV: numbers as the shortest
// decimal that reads back as the same double (output/shortest_decimal.h), empty where there is
// none (NaN); names as output/csv_name.h writes them.
#include <string>

#include "core/capacities.h"
#include "core/series_table.h"
#include "core/table_statistics.h"

namespace ringsmooth {

// "first,last,series,pairs,rbar,eps,snr": the row of all years, then one row per window.
std::string signalCsvText(const SignalStats& allYears, const SignalStats windows[], int count);

// "series,first,last,years,mean,median,stdev,skew,kurtosis,gini,ar1": one row per series of
// `t`, summary[k] that of series k; first and last empty for a series with no value.
std::string seriesCsvText(const SeriesTable& t, const SeriesSummary summary[]);

// A table's indices, series by series: series k's index of the year firstYear[k] + i is
// values[k * stride + i] for i in [0, yearCount[k]), NaN where it has none; only the series
// with taking[k] != 0 have a column.
struct IndexColumns {
  const char (*names)[NAME_LENGTH];
  const double* values;
  long stride;
  const int* firstYear;
  const int* yearCount;
  const unsigned char* taking;
  int seriesCount;
};

// The index table: "year" and the name of each series with a column, then one row per year
// from the first to the last in which one of them has an index, each series' index of that
// year or empty. With no index at all, the header alone.
std::string indexTableCsvText(const IndexColumns& c);

}  // namespace ringsmooth
