#include "output/stats_files.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/text_field.h"

namespace ringsmooth {
namespace {

void appendNumber(std::string& text, double value) {
  if (std::isnan(value)) return;
  if (std::isinf(value)) {
    text += value < 0 ? "-Inf" : "Inf";
    return;
  }
  char number[32];
  text.append(number, std::to_chars(number, number + sizeof number, value).ptr);
}

void appendName(std::string& text, const char name[NAME_LENGTH]) {
  const std::string trimmed = trimmedText(name, NAME_LENGTH);
  const bool quote = (!trimmed.empty() && trimmed[0] == ' ') ||
                     trimmed.find_first_of(",\"\r\n") != std::string::npos;
  if (!quote) {
    text += trimmed;
    return;
  }
  text += '"';
  for (const char c : trimmed) text.append(c == '"' ? 2 : 1, c);
  text += '"';
}

// Each number after a comma.
void appendFields(std::string& text, std::initializer_list<double> values) {
  for (const double value : values) {
    text += ',';
    appendNumber(text, value);
  }
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

std::string indexTableCsvText(const SeriesTable& t, const unsigned char taking[]) {
  std::string text = "year";
  int first = 0;
  int last = -1;
  bool any = false;
  const auto indexOf = [&t](int k, int year) {
    const int i = year - t.firstYear[k];
    return i >= 0 && i < t.yearCount[k] ? t.values[k * static_cast<long>(MAX_YEARS) + i] : NAN;
  };
  for (int k = 0; k < t.seriesCount; ++k) {
    if (taking[k] == 0) continue;
    text += ',';
    appendName(text, t.seriesName[k]);
    for (int i = 0; i < t.yearCount[k]; ++i) {
      if (std::isnan(indexOf(k, t.firstYear[k] + i))) continue;
      first = any ? std::min(first, t.firstYear[k] + i) : t.firstYear[k] + i;
      last = any ? std::max(last, t.firstYear[k] + i) : t.firstYear[k] + i;
      any = true;
    }
  }
  text += '\n';
  for (int year = first; year <= last; ++year) {
    text += std::to_string(year);
    for (int k = 0; k < t.seriesCount; ++k) {
      if (taking[k] == 0) continue;
      text += ',';
      appendNumber(text, indexOf(k, year));
    }
    text += '\n';
  }
  return text;
}

}  // namespace ringsmooth
