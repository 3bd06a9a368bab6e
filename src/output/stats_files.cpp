#include "output/stats_files.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "output/csv_name.h"
#include "output/shortest_decimal.h"

namespace ringsmooth {
namespace {

// Each number after a comma; nothing for a NaN.
void appendFields(std::string& text, std::initializer_list<double> values) {
  char number[SHORTEST_DOUBLE_CAPACITY];
  for (const double value : values) {
    text += ',';
    if (!std::isnan(value)) text.append(number, shortestDecimal(number, value));
  }
}

void appendName(std::string& text, const char name[NAME_LENGTH]) {
  char field[CSV_NAME_CAPACITY];
  text.append(field, static_cast<std::size_t>(csvName(name, field)));
}

}  // namespace

std::string signalCsvText(const SignalStats& allYears, const SignalStats windows[], int count) {
  std::string text = "first,last,series,pairs,rbar,eps,snr\n";
  for (int w = -1; w < count; ++w) {
    const SignalStats& s = w < 0 ? allYears : windows[w];
    text += std::to_string(s.first) + ',' + std::to_string(s.last) + ',' +
            std::to_string(s.series) + ',' + std::to_string(s.pairs);
    appendFields(text, {s.rbar, s.eps, s.snr});
    text += '\n';
  }
  return text;
}

std::string seriesCsvText(const SeriesTable& t, const SeriesSummary summary[]) {
  std::string text = "series,first,last,years,mean,median,stdev,skew,kurtosis,gini,ar1\n";
  for (int k = 0; k < t.seriesCount; ++k) {
    const SeriesSummary& s = summary[k];
    appendName(text, t.seriesName[k]);
    if (s.years > 0) {
      text += ',' + std::to_string(s.first) + ',' + std::to_string(s.last);
    } else {
      text += ",,";
    }
    text += ',' + std::to_string(s.years);
    appendFields(text, {s.mean, s.median, s.stdev, s.skew, s.kurtosis, s.gini, s.ar1});
    text += '\n';
  }
  return text;
}

std::string indexTableCsvText(const char (*names)[NAME_LENGTH], const SeriesIndices& c) {
  std::string text = "year";
  int first = 0;
  int last = -1;
  bool any = false;
  const auto indexOf = [&c](int k, int year) {
    const int i = year - c.firstYear[k];
    return i >= 0 && i < c.yearCount[k] ? c.values[k * c.stride + i] : NAN;
  };
  for (int k = 0; k < c.seriesCount; ++k) {
    if (c.taking[k] == 0) continue;
    text += ',';
    appendName(text, names[k]);
    for (int i = 0; i < c.yearCount[k]; ++i) {
      if (std::isnan(c.values[k * c.stride + i])) continue;
      const int year = c.firstYear[k] + i;
      first = any ? std::min(first, year) : year;
      last = any ? std::max(last, year) : year;
      any = true;
    }
  }
  text += '\n';
  for (int year = first; year <= last; ++year) {
    text += std::to_string(year);
    for (int k = 0; k < c.seriesCount; ++k) {
      if (c.taking[k] != 0) appendFields(text, {indexOf(k, year)});
    }
    text += '\n';
  }
  return text;
}

}  // namespace ringsmooth
