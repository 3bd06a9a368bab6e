#include "analysis/signal.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/capacities.h"

namespace ringsmooth {
namespace {

const double NONE = std::numeric_limits<double>::quiet_NaN();

// A year's offset from its series' first one fits 15 bits; the 16th marks a tie.
constexpr unsigned short TIED = 0x8000;
static_assert(MAX_YEARS < TIED, "a year's offset within its series fits beside the tie mark");

// An index of 0 is a missing ring, not a measurement.
bool hasIndex(double v) { return !std::isnan(v) && v != 0.0; }

// Series k's index of `year`; NaN outside its years.
double indexOf(const SeriesIndices& in, int k, int year) {
  const int i = year - in.firstYear[k];
  return i >= 0 && i < in.yearCount[k] ? in.values[k * in.stride + i] : NONE;
}

// The years of series k within first .. last, present or not.
int yearsWithin(const SeriesIndices& in, int k, int first, int last) {
  if (in.taking[k] == 0) return 0;
  return std::max(0, std::min(last, in.firstYear[k] + in.yearCount[k] - 1) -
                         std::max(first, in.firstYear[k]) + 1);
}

// Series k's part of the span first .. last: its years with an index, their order by index and
// their own ranks. `at` is where its arrays begin in the work's (which hold yearsWithin from
// there); returns where they end.
long prepareSeries(const SeriesIndices& in, int k, int first, int last, long at, SignalWork& w) {
  SpanSeries& s = w.series[k];
  s = SpanSeries{0, -1, 0, at, 0};
  if (in.taking[k] == 0) return at;
  for (int year = std::max(first, in.firstYear[k]);
       year <= std::min(last, in.firstYear[k] + in.yearCount[k] - 1); ++year) {
    if (!hasIndex(indexOf(in, k, year))) continue;
    if (s.count++ == 0) s.first = year;
    s.last = year;
  }
  if (s.count == 0) return at;  // no index in the span: nothing to point at in its column
  const long length = s.last - s.first + 1;
  unsigned short* order = w.order.data() + at;
  unsigned char* present = w.present.data() + at;
  const double* value = in.values + k * in.stride + (s.first - in.firstYear[k]);
  int m = 0;
  for (int j = 0; j < length; ++j) {
    present[j] = static_cast<unsigned char>(hasIndex(value[j]));
    if (present[j] != 0) order[m++] = static_cast<unsigned short>(j);
  }
  std::sort(order, order + m, [value](int a, int b) { return value[a] < value[b]; });
  for (int i = 1; i < m; ++i) {
    if (value[order[i]] == value[order[i - 1] & ~TIED]) order[i] |= TIED;
  }
  short* rank = w.ownRank.data() + at;
  std::fill(rank, rank + length, 0);
  for (int run = 0, end; run < m; run = end) {
    for (end = run + 1; end < m && (order[end] & TIED) != 0; ++end) {
    }
    // Ranks run + 1 .. end share their mean, doubled: run + 1 + end; centred: less m + 1.
    for (int i = run; i < end; ++i) rank[order[i] & ~TIED] = static_cast<short>(run + end - m);
    s.ownSquares += static_cast<long long>(run + end - m) * (run + end - m) * (end - run);
  }
  return at + length;
}

// The ranks of series s's indices among the `common` years in lo .. hi where `partner` has one
// too, doubled and centred, at rank[year - lo]; 0 in the other years, rank[hi - lo + 1]
// overwritten. Without branches on whether a year is common (a walk in the order of the
// indices meets them at random): every index writes its rank, one that isn't common to the
// slot past the end. On 100 series of 2,000 years whose spans differ (bench/signal_bench.cpp)
// all years take 67 ms of CPU time against 82 with a branch per index, and 176 ranking each
// pair through its indices' values; the 50-year windows, whose pairs mostly share their
// years and so take each series' own ranks, 26 ms against 316.
void commonRanks(const SignalWork& w, const SpanSeries& s, const SpanSeries& partner, int lo,
                 int hi, int common, int rank[]) {
  const int beyond = hi - lo + 1;
  std::fill(rank, rank + beyond, 0);
  const unsigned short* order = w.order.data() + s.at;
  const unsigned char* partnerPresent = w.present.data() + partner.at;
  const auto slot = [&](unsigned short entry) {
    const int year = s.first + (entry & ~TIED);
    const bool inside = year >= lo && year <= hi;
    const bool both = inside && partnerPresent[std::clamp(year, lo, hi) - partner.first] != 0;
    return both ? year - lo : beyond;
  };
  int taken = 0;
  for (int run = 0, end; run < s.count; run = end) {
    end = run + 1;
    if (end == s.count || (order[end] & TIED) == 0) {  // no tie: one rank
      const int at = slot(order[run]);
      rank[at] = 2 * taken + 1 - common;
      taken += static_cast<int>(at != beyond);
      continue;
    }
    int inRun = static_cast<int>(slot(order[run]) != beyond);
    for (; end < s.count && (order[end] & TIED) != 0; ++end) {
      inRun += static_cast<int>(slot(order[end]) != beyond);
    }
    for (int i = run; i < end; ++i) rank[slot(order[i])] = 2 * taken + inRun - common;
    taken += inRun;
  }
}

// commonRanks, or a copy of the series' own ranks when each of its indices is in a common year
// (its years within the partner's, the partner missing none of them): 10% less time for all
// years in the benchmark named above, half of whose pairs have one series within the other.
void pairRanks(const SignalWork& w, const SpanSeries& s, const SpanSeries& partner, int lo,
               int hi, int common, int rank[]) {
  if (common != s.count) return commonRanks(w, s, partner, lo, hi, common, rank);
  const short* own = w.ownRank.data() + s.at + (lo - s.first);
  std::copy(own, own + (hi - lo + 1), rank);
}

// The Spearman correlation of two prepared series, when they have at least `commonYears`
// years in common; NaN otherwise, or when the ranks of one are all equal (0 / 0).
double pairCorrelation(SignalWork& w, const SpanSeries& a, const SpanSeries& b,
                       int commonYears) {
  const int lo = std::max(a.first, b.first);
  const int hi = std::min(a.last, b.last);
  const int n = hi - lo + 1;
  if (n < commonYears) return NONE;
  long long products = 0;
  if (a.first == b.first && a.last == b.last && a.count == hi - lo + 1 && b.count == a.count) {
    // The same years, none missing: each series' own ranks are its ranks in the pair.
    const short* ownA = w.ownRank.data() + a.at;
    const short* ownB = w.ownRank.data() + b.at;
    for (int j = 0; j < n; ++j) products += ownA[j] * ownB[j];
    return static_cast<double>(products) /
           std::sqrt(static_cast<double>(a.ownSquares) * static_cast<double>(b.ownSquares));
  }
  const unsigned char* presentA = w.present.data() + a.at + (lo - a.first);
  const unsigned char* presentB = w.present.data() + b.at + (lo - b.first);
  int common = 0;
  for (int j = 0; j < n; ++j) common += presentA[j] & presentB[j];
  if (common < commonYears) return NONE;
  int* rankA = w.rankA.data();
  int* rankB = w.rankB.data();
  pairRanks(w, a, b, lo, hi, common, rankA);
  pairRanks(w, b, a, lo, hi, common, rankB);
  long long squaresA = 0;
  long long squaresB = 0;
  for (int j = 0; j < n; ++j) {
    products += static_cast<long long>(rankA[j]) * rankB[j];
    squaresA += static_cast<long long>(rankA[j]) * rankA[j];
    squaresB += static_cast<long long>(rankB[j]) * rankB[j];
  }
  return static_cast<double>(products) /
         std::sqrt(static_cast<double>(squaresA) * static_cast<double>(squaresB));
}

}  // namespace

SignalStats signalStats(const SeriesIndices& in, int first, int last, int commonYears,
                        SignalWork& work) {
  work.series.resize(static_cast<std::size_t>(in.seriesCount));
  std::size_t total = 0;
  for (int k = 0; k < in.seriesCount; ++k) total += yearsWithin(in, k, first, last);
  if (work.order.size() < total) {
    work.order.resize(total);
    work.ownRank.resize(total);
    work.present.resize(total);
  }
  long at = 0;
  for (int k = 0; k < in.seriesCount; ++k) at = prepareSeries(in, k, first, last, at, work);
  const auto span = static_cast<std::size_t>(std::max(0, last - first + 1));
  if (work.rankA.size() < span + 1) {
    work.rankA.resize(span + 1);
    work.rankB.resize(span + 1);
  }
  std::vector<unsigned char>& inPair = work.inPair;
  inPair.assign(static_cast<std::size_t>(in.seriesCount), 0);
  double sum = 0.0;
  long pairs = 0;
  for (int a = 0; a < in.seriesCount; ++a) {
    if (work.series[a].count == 0) continue;
    for (int b = a + 1; b < in.seriesCount; ++b) {
      if (work.series[b].count == 0) continue;
      const double r = pairCorrelation(work, work.series[a], work.series[b], commonYears);
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
    for (int i = 0; i < in.yearCount[k]; ++i) {
      const int j = in.firstYear[k] + i - firstYear;
      const bool present = hasIndex(in.values[k * in.stride + i]);
      if (j >= 0 && j < years) covered[j + 1] += static_cast<long>(present);
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
