// End error of the smoothing spline on real series, for natural ends and for end extensions of
// every filter order and prediction length in the grid below, at whole-number and relative
// cutoffs; and the time the smoothing takes. See README, "The end extension, measured".
//
// usage: ringsmooth_endbench [--repeats N] [--csv FILE] [--cuts FILE]
//                            [--verify PROGRAM [--whole-cutoffs]] [FILE...]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "end_error.h"
#include "series_files.h"
#include "verify.h"

namespace {

using namespace endbench;

constexpr int SHORTEST_SERIES = 200;  // a half of 100 years or more, and a cutoff of 100 inside

const std::vector<std::string> DEFAULT_FILES = {
    RINGSMOOTH_SOURCE_DIR "/tests/input/tucson/ca533.rwl",
    RINGSMOOTH_SOURCE_DIR "/tests/input/tucson/co021.rwl",
    RINGSMOOTH_SOURCE_DIR "/bench/data/treering.txt",
};

const std::vector<Stiffness> STIFFNESSES = {{20, 0}, {32, 0}, {50, 0}, {100, 0}, {0, 50}, {0, 67}};

std::vector<Ends> endsGrid() {
  std::vector<Ends> grid = {Ends{}};
  for (const OrderRule order : {OrderRule::Cutoff, OrderRule::NOver10, OrderRule::NOver5,
                                OrderRule::NOver3, OrderRule::Aic, OrderRule::Fpe,
                                OrderRule::AicToNOver5}) {
    for (const YearsRule years : {YearsRule::Cutoff, YearsRule::HalfCutoff,
                                  YearsRule::QuarterCutoff, YearsRule::Ten, YearsRule::NOver10,
                                  YearsRule::Order}) {
      grid.push_back(Ends{false, order, years});
    }
  }
  return grid;
}

struct Experiment {
  std::vector<Series> series;
  std::vector<Cut> cuts;
  std::vector<std::string> sites;
  int repeats = 5;
};

// One row of the results: the ends, every cut's errors, and the time per series.
struct Row {
  Ends ends;
  std::vector<EndError> errors;  // NaN where the cut could not be smoothed
  double secondsPerSeries = 0.0;
};

// The whole series' spline at each cut's period, natural ends: the truth near the cut's inner end.
std::vector<std::vector<float>> truths(const Experiment& x, const Stiffness& stiffness) {
  Smoother smoother;
  std::vector<std::vector<float>> truth;
  for (const Cut& cut : x.cuts) {
    const Series& s = x.series[cut.series];
    std::vector<float> spline(s.values.size());
    if (!smoother.smooth(s.values.data(), static_cast<int>(s.values.size()),
                         stiffness.periodFor(cut.length), Ends{}, spline.data())) {
      throw std::runtime_error("the whole series " + s.name + " could not be smoothed");
    }
    truth.push_back(std::move(spline));
  }
  return truth;
}

Row measure(const Experiment& x, const Stiffness& stiffness, const Ends& ends,
            const std::vector<std::vector<float>>& truth) {
  Smoother smoother;
  std::vector<std::vector<float>> splines(x.cuts.size(), std::vector<float>(ringsmooth::MAX_YEARS));
  std::vector<char> done(x.cuts.size());
  std::vector<double> seconds;
  for (int r = 0; r < x.repeats; ++r) {
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t c = 0; c < x.cuts.size(); ++c) {
      const Cut& cut = x.cuts[c];
      const float* values = x.series[cut.series].values.data() + cut.start;
      done[c] = smoother.smooth(values, cut.length, stiffness.periodFor(cut.length), ends,
                                splines[c].data());
    }
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  Row row{ends, {}, 0.0};
  for (std::size_t c = 0; c < x.cuts.size(); ++c) {
    const Cut& cut = x.cuts[c];
    row.errors.push_back(done[c] ? endError(cut, x.series[cut.series], splines[c].data(),
                                            truth[c].data())
                                 : EndError{std::nan(""), std::nan("")});
  }
  row.secondsPerSeries = percentile(seconds, 0.5) / static_cast<double>(x.cuts.size());
  return row;
}

// The errors of one kind, of every cut or of one site's, NaNs left out.
std::vector<double> errorsOf(const Experiment& x, const Row& row, bool tenth,
                             const std::string& site = "") {
  std::vector<double> values;
  for (std::size_t c = 0; c < x.cuts.size(); ++c) {
    const double e = tenth ? row.errors[c].tenth : row.errors[c].last;
    if (std::isnan(e) || (!site.empty() && x.series[x.cuts[c].series].site != site)) continue;
    values.push_back(e);
  }
  return values;
}

}  // namespace

namespace {

struct Summary {
  double lastMedian, lastP90, tenthMedian, tenthP90;
  std::vector<double> siteTenthMedians;
  std::vector<double> siteLastMedians;
  long failed;
  double betterShare;  // % of the cuts whose tenth is nearer the truth than with natural ends
};

double betterShare(const Row& row, const Row& natural) {
  long better = 0;
  for (std::size_t c = 0; c < row.errors.size(); ++c) {
    if (row.errors[c].tenth < natural.errors[c].tenth) ++better;
  }
  return 100.0 * static_cast<double>(better) / static_cast<double>(row.errors.size());
}

Summary summarize(const Experiment& x, const Row& row, const Row& natural) {
  const std::vector<double> last = errorsOf(x, row, false);
  const std::vector<double> tenth = errorsOf(x, row, true);
  Summary s{percentile(last, 0.5), percentile(last, 0.9), percentile(tenth, 0.5),
            percentile(tenth, 0.9), {}, {},
            static_cast<long>(x.cuts.size() - tenth.size()), betterShare(row, natural)};
  for (const std::string& site : x.sites) {
    s.siteTenthMedians.push_back(percentile(errorsOf(x, row, true, site), 0.5));
    s.siteLastMedians.push_back(percentile(errorsOf(x, row, false, site), 0.5));
  }
  return s;
}

void printHeading(const Experiment& x, const Stiffness& stiffness) {
  std::printf("\n%s\n\n| ends | last year: median | p90 | last tenth: median | p90 |",
              stiffness.label().c_str());
  for (const std::string& site : x.sites) std::printf(" %s tenth |", site.c_str());
  std::printf(" better | us/series | cost |\n|---|---|---|---|---|---|");
  for (std::size_t i = 0; i < x.sites.size(); ++i) std::printf("---|");
  std::printf("---|---|\n");
}

void printRow(const Row& row, const Summary& s, double naturalSeconds) {
  std::printf("| %s | %.2f%% | %.2f%% | %.2f%% | %.2f%% |", row.ends.label().c_str(),
              s.lastMedian, s.lastP90, s.tenthMedian, s.tenthP90);
  for (const double m : s.siteTenthMedians) std::printf(" %.2f%% |", m);
  std::printf(" %.0f%% |", s.betterShare);
  std::printf(" %.1f | %.1fx |", row.secondsPerSeries * 1e6,
              row.secondsPerSeries / naturalSeconds);
  if (s.failed > 0) std::printf(" %ld cuts not smoothed", s.failed);
  std::printf("\n");
}

void writeCsvRow(std::FILE* csv, const Experiment& x, const Stiffness& stiffness,
                 const Row& row, const Summary& s) {
  std::fprintf(csv, "%s,\"%s\",%.4f,%.4f,%.4f,%.4f", stiffness.label().c_str() + 3,
               row.ends.label().c_str(), s.lastMedian, s.lastP90, s.tenthMedian, s.tenthP90);
  for (std::size_t i = 0; i < x.sites.size(); ++i) {
    std::fprintf(csv, ",%.4f,%.4f", s.siteLastMedians[i], s.siteTenthMedians[i]);
  }
  std::fprintf(csv, ",%.1f,%.3f,%ld\n", s.betterShare, row.secondsPerSeries * 1e6, s.failed);
}

// Natural ends first, then today's extension, then the rest from the smallest median error
// over the last tenth.
void report(const Experiment& x, const Stiffness& stiffness, std::vector<Row>& rows,
            std::FILE* csv) {
  std::stable_sort(rows.begin() + 2, rows.end(), [&](const Row& a, const Row& b) {
    return percentile(errorsOf(x, a, true), 0.5) < percentile(errorsOf(x, b, true), 0.5);
  });
  printHeading(x, stiffness);
  for (const Row& row : rows) {
    const Summary s = summarize(x, row, rows[0]);
    printRow(row, s, rows[0].secondsPerSeries);
    if (csv != nullptr) writeCsvRow(csv, x, stiffness, row, s);
  }
}

void printProtocol(const Experiment& x) {
  std::map<std::string, int> seriesOf;
  for (const Cut& cut : x.cuts) seriesOf[x.series[cut.series].site] += cut.innerEndLast ? 1 : 0;
  std::printf("End error: %zu halves of %zu series of %d years or more (", x.cuts.size(),
              x.cuts.size() / 2, SHORTEST_SERIES);
  for (const std::string& site : x.sites) std::printf(" %s: %d", site.c_str(), seriesOf[site]);
  std::printf(" ); errors in %% of the series' mean; medians of %d timings.\n", x.repeats);
}

// Tucson files of a site hold its series; every file is a site.
Experiment readExperiment(const std::vector<std::string>& files, int repeats) {
  Experiment x;
  x.repeats = repeats;
  for (const std::string& file : files) {
    std::vector<Series> series = readSeries(file);
    if (!series.empty()) x.sites.push_back(series.front().site);
    x.series.insert(x.series.end(), series.begin(), series.end());
  }
  x.cuts = halves(x.series, SHORTEST_SERIES);
  return x;
}

// How far the extended splines of the whole series lie from their natural-ends splines, at
// their ends and in their middle, for today's extension and the other settings given.
void printShifts(const Experiment& x, const std::vector<Ends>& settings) {
  std::printf("\nWhole series of %d years or more, extended against natural ends (%% of the "
              "mean; medians and 90th percentiles over the series)\n\n"
              "| cutoff | ends | first and last tenth: median | p90 | middle half: median | p90 "
              "|\n|---|---|---|---|---|---|\n", SHORTEST_SERIES);
  Smoother smoother;
  std::vector<float> natural(ringsmooth::MAX_YEARS);
  std::vector<float> extended(ringsmooth::MAX_YEARS);
  for (const Stiffness& stiffness : STIFFNESSES) {
    for (const Ends& ends : settings) {
      std::vector<double> atEnds;
      std::vector<double> inMiddle;
      for (const Series& s : x.series) {
        const int n = static_cast<int>(s.values.size());
        const int period = stiffness.periodFor(n);
        if (n < SHORTEST_SERIES ||
            !smoother.smooth(s.values.data(), n, period, Ends{}, natural.data()) ||
            !smoother.smooth(s.values.data(), n, period, ends, extended.data())) {
          continue;
        }
        const Shift shift = shiftBetween(extended.data(), natural.data(), n, s.mean);
        atEnds.push_back(shift.ends);
        inMiddle.push_back(shift.middle);
      }
      std::printf("| %s | %s | %.2f%% | %.2f%% | %.2f%% | %.2f%% |\n", stiffness.label().c_str(),
                  ends.label().c_str(), percentile(atEnds, 0.5), percentile(atEnds, 0.9),
                  percentile(inMiddle, 0.5), percentile(inMiddle, 0.9));
    }
  }
}

void writeCuts(std::FILE* cuts, const Experiment& x, const Stiffness& stiffness,
               const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    for (std::size_t c = 0; c < x.cuts.size(); ++c) {
      const Cut& cut = x.cuts[c];
      const Series& s = x.series[cut.series];
      std::fprintf(cuts, "%s,\"%s\",%s,%s,%s,%.5f,%.5f\n", stiffness.label().c_str() + 3,
                   row.ends.label().c_str(), s.site.c_str(), s.name.c_str(),
                   cut.innerEndLast ? "first" : "second", row.errors[c].tenth,
                   row.errors[c].last);
    }
  }
}

void runAll(const Experiment& x, std::FILE* csv, std::FILE* cuts) {
  printProtocol(x);
  if (csv != nullptr) {
    std::fprintf(csv, "cutoff,ends,last_median,last_p90,tenth_median,tenth_p90");
    for (const std::string& site : x.sites) {
      std::fprintf(csv, ",%s_last_median,%s_tenth_median", site.c_str(), site.c_str());
    }
    std::fprintf(csv, ",better_share,us_per_series,not_smoothed\n");
  }
  const std::vector<Ends> grid = endsGrid();
  for (const Stiffness& stiffness : STIFFNESSES) {
    const auto truth = truths(x, stiffness);
    std::vector<Row> rows;
    rows.push_back(measure(x, stiffness, Ends{}, truth));
    rows.push_back(measure(x, stiffness, todaysEnds(), truth));
    for (std::size_t g = 1; g < grid.size(); ++g) {
      const Ends& e = grid[g];
      if (e.order == OrderRule::Cutoff && e.years == YearsRule::Cutoff) continue;
      rows.push_back(measure(x, stiffness, e, truth));
    }
    report(x, stiffness, rows, csv);
    if (cuts != nullptr) writeCuts(cuts, x, stiffness, rows);
    std::fflush(stdout);
  }
  printShifts(x, {todaysEnds(), Ends{false, OrderRule::Aic, YearsRule::Ten}});
}

int usage() {
  std::fprintf(stderr,
               "usage: ringsmooth_endbench [--repeats N] [--csv FILE] [--cuts FILE] "
               "[--verify PROGRAM [--whole-cutoffs]] [FILE...]\n");
  return 2;
}

struct Options {
  int repeats = 5;
  std::string csv;      // one line per cutoff and ends: the summary
  std::string cuts;     // one line per cutoff, ends and cut: the errors
  std::string program;  // compare with this program's CSV instead
  bool wholeCutoffsOnly = false;  // in that comparison
  std::vector<std::string> files;
};

bool parseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    std::string* value = arg == "--csv" ? &o.csv
                         : arg == "--cuts" ? &o.cuts
                         : arg == "--verify" ? &o.program
                                             : nullptr;
    if (value != nullptr || arg == "--repeats") {
      if (i + 1 >= argc) return false;
      if (value != nullptr) *value = argv[++i];
      else o.repeats = std::atoi(argv[++i]);
    } else if (arg == "--whole-cutoffs") {
      o.wholeCutoffsOnly = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return false;
    } else {
      o.files.push_back(arg);
    }
  }
  if (o.files.empty()) o.files = DEFAULT_FILES;
  return o.repeats >= 1;
}

// An output file, or none for an empty name.
std::FILE* openOutput(const std::string& path) {
  if (path.empty()) return nullptr;
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (f == nullptr) throw std::runtime_error(path + ": cannot be written");
  return f;
}

void closeOutput(std::FILE* f, const std::string& path) {
  if (f != nullptr && std::fclose(f) != 0) throw std::runtime_error(path + ": not written");
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parseOptions(argc, argv, o)) return usage();
  try {
    if (!o.program.empty()) {
      return verifyAgainstProgram(o.program, o.files, o.wholeCutoffsOnly) == 0 ? 0 : 1;
    }
    std::FILE* csv = openOutput(o.csv);
    std::FILE* cuts = openOutput(o.cuts);
    runAll(readExperiment(o.files, o.repeats), csv, cuts);
    closeOutput(csv, o.csv);
    closeOutput(cuts, o.cuts);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ringsmooth_endbench: %s\n", e.what());
    return 1;
  }
  return 0;
}
