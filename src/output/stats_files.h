#pragma once
// The texts of a table's statistics files and its index table, as CSV: numbers as the shortest
// decimal that reads back as the same double (output/shortest_decimal.h), empty where there is
// none (NaN); names as output/csv_name.h writes them.
#include <string>

#include "core/capacities.h"
#include "core/series_indices.h"
#include "core/series_table.h"
#include "core/table_statistics.h"

namespace ringsmooth {

// "first,last,series,pairs,rbar,eps,snr": the row of all years, then one row per window.
std::string signalCsvText(const SignalStats& allYears, const SignalStats windows[], int count);

// "series,first,last,years,mean,median,stdev,skew,kurtosis,gini,ar1": one row per series of
// `t`, summary[k] that of series k; first and last empty for a series with no value.
std::string seriesCsvText(const SeriesTable& t, const SeriesSummary summary[]);

// The index table: "year" and the name (names[k]) of each series taking part, then one row per year
// from the first to the last in which one of them has an index, each series' index of that
// year or empty. With no index at all, the header alone.
std::string indexTableCsvText(const char (*names)[NAME_LENGTH], const SeriesIndices& c);

}  // namespace ringsmooth
