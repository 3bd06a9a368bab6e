#include "analysis/signal.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ringsmooth {
namespace {

const double NONE = std::numeric_limits<double>::quiet_NaN();

// An index of 0 is a missing ring, not a measurement.
bool hasIndex(double v) { return !std::isnan(v) && v != 0.0; }

// Series k's index of `year`; NaN outside its years.
double indexOf(const SeriesIndices& in, int k, int year) {
  const int i = year - in.firstYear[k];
  return i >= 0 && i < in.yearCount[k] ? in.values[k * in.stride + i] : NONE;
}

// The years of series k that fall in first .. last (present or not).
int spanStart(const SeriesIndices& in, int k, int first) { return std::max(first, in.firstYear[k]); }
int spanEnd(const SeriesIndices& in, int k, int last) {
  return std::min(last, in.firstYear[k] + in.yearCount[k] - 1);
}

// Each series' years with an index in first .. last, sorted by their index.
void orderSpan(const SeriesIndices& in, int first, int last, SignalWork& w) {
  const auto count = static_cast<std::size_t>(in.seriesCount);
  w.orderStart.assign(count, 0);
  w.orderCount.assign(count, 0);
  long total = 0;
  for (int k = 0; k < in.seriesCount; ++k) {
    if (in.taking[k] != 0) total += std::max(0, spanEnd(in, k, last) - spanStart(in, k, first) + 1);
  }
  w.order.resize(static_cast<std::size_t>(total));
  int at = 0;
  for (int k = 0; k < in.seriesCount; ++k) {
    if (in.taking[k] == 0) continue;
    w.orderStart[k] = at;
    for (int year = spanStart(in, k, first); year <= spanEnd(in, k, last); ++year) {
      if (hasIndex(indexOf(in, k, year))) w.order[at++] = year;
    }
    w.orderCount[k] = at - w.orderStart[k];
    std::sort(w.order.begin() + w.orderStart[k], w.order.begin() + at,
              [&in, k](int a, int b) { return indexOf(in, k, a) < indexOf(in, k, b); });
  }
}

// The ranks (from 1, tied indices sharing their average) of series k's indices in the years
// lo .. hi where `partner` has one too, at rank[year - lo]; NaN in the other years.
void commonRanks(const SeriesIndices& in, const SignalWork& w, int k, int partner, int lo,
                 int hi, double rank[]) {
  std::fill(rank, rank + (hi - lo + 1), NONE);
  const int* years = w.order.data() + w.orderStart[k];
  const int count = w.orderCount[k];
  const auto common = [&](int year) {
    return year >= lo && year <= hi && hasIndex(indexOf(in, partner, year));
  };
  int taken = 0;
  for (int run = 0, end; run < count; run = end) {
    const double value = indexOf(in, k, years[run]);
    int inRun = 0;
    for (end = run; end < count && indexOf(in, k, years[end]) == value; ++end) {
      inRun += static_cast<int>(common(years[end]));
    }
    const double shared = taken + (inRun + 1) / 2.0;
    for (int p = run; p < end; ++p) {
      if (common(years[p])) rank[years[p] - lo] = shared;
    }
    taken += inRun;
  }
}

// The Spearman correlation of series a and b over the years first .. last, when they have at
// least `commonYears` years in common; NaN otherwise, or when the ranks of one are all equal
// (0 / 0).
double pairCorrelation(const SeriesIndices& in, SignalWork& w, int a, int b, int first,
                       int last, int commonYears) {
  const int lo = std::max(spanStart(in, a, first), spanStart(in, b, first));
  const int hi = std::min(spanEnd(in, a, last), spanEnd(in, b, last));
  if (hi - lo + 1 < commonYears) return NONE;
  int common = 0;
  for (int year = lo; year <= hi; ++year) {
    common += static_cast<int>(hasIndex(indexOf(in, a, year)) && hasIndex(indexOf(in, b, year)));
  }
  if (common < commonYears) return NONE;
  commonRanks(in, w, a, b, lo, hi, w.rankA.data());
  commonRanks(in, w, b, a, lo, hi, w.rankB.data());
  const double mean = (common + 1) / 2.0;
  double products = 0.0;
  double squaresA = 0.0;
  double squaresB = 0.0;
  for (int j = 0; j <= hi - lo; ++j) {
    if (std::isnan(w.rankA[j])) continue;
    const double da = w.rankA[j] - mean;
    const double db = w.rankB[j] - mean;
    products += da * db;
    squaresA += da * da;
    squaresB += db * db;
  }
  return products / std::sqrt(squaresA * squaresB);
}

}  // namespace

SignalStats signalStats(const SeriesIndices& in, int first, int last, int commonYears,
                        SignalWork& work) {
  orderSpan(in, first, last, work);
  const auto span = static_cast<std::size_t>(std::max(0, last - first + 1));
  work.rankA.resize(span);
  work.rankB.resize(span);
  std::vector<unsigned char>& inPair = work.inPair;
  inPair.assign(static_cast<std::size_t>(in.seriesCount), 0);
  double sum = 0.0;
  long pairs = 0;
  for (int a = 0; a < in.seriesCount; ++a) {
    if (in.taking[a] == 0) continue;
    for (int b = a + 1; b < in.seriesCount; ++b) {
      if (in.taking[b] == 0) continue;
      const double r = pairCorrelation(in, work, a, b, first, last, commonYears);
      if (std::isnan(r)) continue;
      sum += r;
      ++pairs;
      inPair[a] = inPair[b] = 1;
    }
  }
  SignalStats s{first, last, 0, pairs, NONE, NONE, NONE};
  if (pairs == 0) return s;
  s.series = static_cast<int>(std::count(inPair.begin(), inPair.end(), 1));
  s.rbar = sum / static_cast<double>(pairs);
  s.eps = s.series * s.rbar / ((s.series - 1) * s.rbar + 1.0);
  s.snr = s.series * s.rbar / (1.0 - s.rbar);
  return s;
}

namespace {

// The first window's start (from 0), within the first `advance` years: the one whose windows
// cover the most indices of years with at least two; the later on a tie.
int firstWindowStart(const SeriesIndices& in, int firstYear, int years, int window, int advance,
                     std::vector<long>& covered) {
  covered.assign(static_cast<std::size_t>(years) + 1, 0);  // depths, then their sums
  for (int k = 0; k < in.seriesCount; ++k) {
    if (in.taking[k] == 0) continue;
    for (int year = spanStart(in, k, firstYear); year <= spanEnd(in, k, firstYear + years - 1);
         ++year) {
      covered[year - firstYear + 1] += static_cast<long>(hasIndex(indexOf(in, k, year)));
    }
  }
  for (int j = 1; j <= years; ++j) {
    covered[j] = covered[j - 1] + (covered[j] >= 2 ? covered[j] : 0);
  }
  int best = 0;
  long most = -1;
  for (int start = 0; start < advance && start + window <= years; ++start) {
    const int end = start + (years - window - start) / advance * advance + window;
    if (covered[end] - covered[start] >= most) {
      most = covered[end] - covered[start];
      best = start;
    }
  }
  return best;
}

}  // namespace

void runningSignal(const SeriesIndices& in, int firstYear, int years, int window,
                   std::vector<SignalStats>& out, SignalWork& work) {
  out.clear();
  window = std::min(window, years);
  if (window < 2) return;
  const int advance = window - window / 2;
  const int commonYears = std::min(PAIR_COMMON_YEARS, window);
  for (int start = firstWindowStart(in, firstYear, years, window, advance, work.covered);
       start + window <= years; start += advance) {
    const SignalStats s =
        signalStats(in, firstYear + start, firstYear + start + window - 1, commonYears, work);
    if (s.pairs > 0) out.push_back(s);
  }
}

void weakYears(const SignalStats windows[], int count, int firstYear, int years,
               unsigned char weak[]) {
  std::fill(weak, weak + years, 2);  // not yet covered
  for (int w = 0; w < count; ++w) {
    const int from = std::max(windows[w].first - firstYear, 0);
    const int to = std::min(windows[w].last - firstYear + 1, years);
    const unsigned char below = windows[w].eps < EPS_ENOUGH ? 1 : 0;
    for (int j = from; j < to; ++j) weak[j] = weak[j] == 2 ? below : weak[j] | below;
  }
  std::replace(weak, weak + years, static_cast<unsigned char>(2), static_cast<unsigned char>(1));
}

bool trustedFrom(const SignalStats windows[], int count, int& year) {
  if (count == 0 || windows[count - 1].eps < EPS_ENOUGH) return false;
  year = windows[0].first;
  for (int w = 0; w < count; ++w) {
    if (windows[w].eps < EPS_ENOUGH) year = windows[w].last + 1;
  }
  return true;
}

}  // namespace ringsmooth
