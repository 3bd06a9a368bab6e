#include "verify.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "end_error.h"
#include "series_files.h"

namespace endbench {

namespace {

struct SplineRow {
  std::string series;
  int year = 0;
  float spline = 0.0f;
};

// series,year,value,spline,...: the name may be quoted (RFC 4180).
bool parseRow(const std::string& line, SplineRow& row) {
  std::size_t at = 0;
  if (!line.empty() && line[0] == '"') {
    const std::size_t close = line.find("\",");
    if (close == std::string::npos) return false;
    row.series = line.substr(1, close - 1);
    at = close + 2;
  } else {
    const std::size_t comma = line.find(',');
    if (comma == std::string::npos) return false;
    row.series = line.substr(0, comma);
    at = comma + 1;
  }
  const char* p = line.c_str() + at;
  char* end = nullptr;
  row.year = static_cast<int>(std::strtol(p, &end, 10));
  const char* spline = std::strchr(end + 1, ',');  // past value
  if (*end != ',' || spline == nullptr) return false;
  row.spline = std::strtof(spline + 1, &end);
  return *end == ',';
}

std::vector<SplineRow> programSplines(const std::string& command) {
  std::vector<SplineRow> rows;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return rows;
  char buffer[4096];
  bool header = true;
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
    SplineRow row;
    if (!header && parseRow(buffer, row)) rows.push_back(row);
    header = false;
  }
  pclose(pipe);
  return rows;
}

// The harness's splines of every series that it smooths, by name.
std::map<std::string, std::vector<float>> harnessSplines(const std::vector<Series>& series,
                                                         const Stiffness& stiffness,
                                                         const Ends& ends) {
  std::map<std::string, std::vector<float>> splines;
  Smoother smoother;
  std::vector<float> smoothed(ringsmooth::MAX_YEARS);
  for (const Series& s : series) {
    const int n = static_cast<int>(s.values.size());
    if (smoother.smooth(s.values.data(), n, stiffness.periodFor(n), ends, smoothed.data())) {
      splines[s.name].assign(smoothed.begin(), smoothed.begin() + n);
    }
  }
  return splines;
}

// Values that differ between the program's rows and the harness's splines of `series`: rows
// whose value differs or that the harness has not, and harness values without a row.
long differing(const std::vector<Series>& series, const std::vector<SplineRow>& rows,
               const Stiffness& stiffness, const Ends& ends, long& compared) {
  const auto splines = harnessSplines(series, stiffness, ends);
  std::map<std::string, int> firstYear;
  for (const Series& s : series) firstYear[s.name] = s.firstYear;
  long differ = 0;
  long rowsOfSmoothed = 0;
  for (const SplineRow& row : rows) {
    if (firstYear.count(row.series) == 0) continue;  // a series with missing years
    ++compared;
    const auto found = splines.find(row.series);
    const int i = row.year - firstYear[row.series];
    if (found != splines.end()) ++rowsOfSmoothed;
    if (found == splines.end() || i < 0 || i >= static_cast<int>(found->second.size()) ||
        std::memcmp(&found->second[i], &row.spline, sizeof(float)) != 0) {
      ++differ;
    }
  }
  long expected = 0;
  for (const auto& entry : splines) expected += static_cast<long>(entry.second.size());
  return differ + std::labs(expected - rowsOfSmoothed);
}

}  // namespace

// A setting of the program's command line and the harness's ends that must give its splines.
struct Setting {
  Stiffness stiffness;
  const char* options;
  Ends ends;
};

long verifyAgainstProgram(const std::string& program, const std::vector<std::string>& files,
                          bool wholeCutoffsOnly) {
  const Ends aic10{false, OrderRule::Aic, YearsRule::Ten};
  const Setting settings[] = {
      {{20, 0}, "", todaysEnds()},         {{20, 0}, "--ends=none", Ends{}},
      {{32, 0}, "", todaysEnds()},         {{32, 0}, "--ends=none", Ends{}},
      {{100, 0}, "", todaysEnds()},        {{100, 0}, "--ends=none", Ends{}},
      {{32, 0}, "--filter=auto --predict=10", aic10},
      {{0, 67}, "", Ends{}},               {{0, 67}, "--ends=predict", todaysEnds()},
      {{0, 67}, "--filter=auto --predict=10", aic10},
  };
  long total = 0;
  for (const std::string& file : files) {
    const std::vector<Series> series = readSeries(file, false);
    for (const Setting& s : settings) {
      if (wholeCutoffsOnly && s.stiffness.percent != 0) continue;
      const std::string command = "'" + program + "' " + s.stiffness.label() + " " + s.options +
                                  " -f csv -o - '" + file + "' 2>/dev/null";
      long compared = 0;
      const long differ = differing(series, programSplines(command), s.stiffness, s.ends, compared);
      std::printf("%-32s %-7s %-27s %7ld values compared, %ld differ\n", file.c_str(),
                  s.stiffness.label().c_str(), s.options, compared, differ);
      total += differ;
    }
  }
  return total;
}

}  // namespace endbench
