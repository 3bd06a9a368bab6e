#include "series_files.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "core/series_table.h"
#include "core/text_field.h"
#include "input/series_file.h"

namespace endbench {

namespace {

std::string siteOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  return base.substr(0, base.find('.'));
}

// Years from .. from+count-1 of a series, named after their first year when they are a piece.
Series pieceOf(const Series& whole, int from, int count) {
  const bool piece = count < static_cast<int>(whole.values.size());
  Series s;
  s.site = whole.site;
  s.name = piece ? whole.name + "@" + std::to_string(whole.firstYear + from) : whole.name;
  s.firstYear = whole.firstYear + from;
  s.values.assign(whole.values.begin() + from, whole.values.begin() + from + count);
  for (float v : s.values) s.mean += v;
  s.mean /= count;
  return s;
}

// Series k of the table, or nothing when a year inside it is missing.
bool takeSeries(const ringsmooth::SeriesTable& t, int k, Series& s) {
  const double* column = t.values + static_cast<long>(k) * ringsmooth::MAX_YEARS;
  s.name = ringsmooth::trimmedText(t.seriesName[k], ringsmooth::NAME_LENGTH);
  s.firstYear = t.firstYear[k];
  s.values.clear();
  for (int i = 0; i < t.yearCount[k]; ++i) {
    const auto v = static_cast<float>(column[i]);
    if (v == t.missingFlag || std::isnan(v)) return false;
    s.values.push_back(v);
  }
  return !s.values.empty();
}

}  // namespace

std::vector<Series> readSeries(const std::string& path, bool pieces) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) throw std::runtime_error(path + ": cannot be opened");
  const ringsmooth::SeriesTablePtr table = ringsmooth::makeSeriesTable();
  try {
    ringsmooth::readSeriesFile(file, ringsmooth::formatForName(path), 0, -999.0f, *table);
  } catch (const ringsmooth::InputError& e) {
    std::fclose(file);
    throw std::runtime_error(path + ": " + e.heading + ": " + e.message);
  }
  std::fclose(file);
  std::vector<Series> series;
  Series s;
  s.site = siteOf(path);
  for (int k = 0; k < table->seriesCount; ++k) {
    if (!takeSeries(*table, k, s)) continue;
    const int n = static_cast<int>(s.values.size());
    const int step = pieces && n > LONGEST_SERIES ? PIECE_YEARS : n;
    for (int from = 0; from < n; from += step) {
      series.push_back(pieceOf(s, from, std::min(step, n - from)));
    }
  }
  return series;
}

}  // namespace endbench
