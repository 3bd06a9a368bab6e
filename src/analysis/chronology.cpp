#include "analysis/chronology.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

// Figures below: what undoing one trick alone adds to BM_Chronology's time (bench/, Release,
// 2-core AMD EPYC VM, medians of 15 and 21 alternated runs in two sessions) on 34 series of 600
// to 1,358 years, 100 of 1,800 to 2,000, or 699 of 500 to 8,000.

namespace ringsmooth {
namespace {

// Two values side by side, and the masks their comparisons give (all ones where true).
typedef double Pair __attribute__((vector_size(2 * sizeof(double))));
typedef int64_t PairMask __attribute__((vector_size(2 * sizeof(int64_t))));

Pair pairAt(const double v[]) {
  Pair pair;
  std::memcpy(&pair, v, sizeof pair);
  return pair;
}

Pair both(double x) { return Pair{x, x}; }

// Ranks (counted from 0) whose values are wanted: high is low, or low + 1.
struct Ranks {
  int low;
  int high;
};

// The ranks whose values make the median of n values.
Ranks middleRanks(int n) {
  const int half = n / 2;
  return n % 2 == 1 ? Ranks{half, half} : Ranks{half - 1, half};
}

// The median of the two middle values (equal for an odd count).
double medianOf(int n, double low, double high) { return n % 2 == 1 ? low : (low + high) / 2.0; }

// The `wanted` smallest distances from m of sorted[0..count), in ascending order: they grow
// outward from m, so they are taken by walking out from there, one side or the other.
void sortedDistances(const double sorted[], int count, double m, int wanted, double distance[]) {
  int right = static_cast<int>(std::lower_bound(sorted, sorted + count, m) - sorted);
  int left = right - 1;
  for (int taken = 0; taken < wanted; ++taken) {
    const double fromLeft = left >= 0 ? m - sorted[left] : HUGE_VAL;
    const double fromRight = right < count ? sorted[right] - m : HUGE_VAL;
    if (fromLeft <= fromRight) {
      distance[taken] = fromLeft;
      --left;
    } else {
      distance[taken] = fromRight;
      ++right;
    }
  }
}

// Up to this many values, both medians come from sorting the values once (by counting ranks)
// and walking out from the middle; narrowing the search for each instead: 34 series +19%.
constexpr int SORTED_MEDIANS_MOST = 40;

// v[0..n) in ascending order into sorted[0..n), each value put at its rank: the number of
// values below it, ties counted by place. Branch-free compares, which for a few dozen values
// beat a comparison sort, whose branches can't be foreseen (std::sort: 34 series +87 to +92%);
// inlined (not inlined: 34 series +27 to +34%, 100 and 699 series +5 to +12%).
[[gnu::always_inline]] inline void rankSort(const double v[], int n, double sorted[]) {
  for (int i = 0; i < n; ++i) {
    const double x = v[i];
    PairMask below = {0, 0};
    int j = 0;
    for (; j + 2 <= n; j += 2) below -= pairAt(v + j) < both(x);
    PairMask tiedBefore = {0, 0};
    int t = 0;
    for (; t + 2 <= i; t += 2) tiedBefore -= pairAt(v + t) == both(x);
    long rank = below[0] + below[1] + tiedBefore[0] + tiedBefore[1];
    if (j < n) rank += static_cast<long>(v[j] < x);
    if (t < i) rank += static_cast<long>(v[t] == x);
    sorted[rank] = x;
  }
}

// Larger sets: a sorted sample of a set guesses where its ranks lie: 16 values, or 32 from
// sets of LARGE_SET values or more; the pivots are sample values around the guess (every value
// of a small sample, every other one of a large), all counted in one sweep; a band of at most
// NARROWED_ENOUGH values is searched directly. std::nth_element for both medians instead: 100
// series +100%, 699 series +120 to +124%.
constexpr int SMALL_SAMPLE = 16;
constexpr int LARGE_SAMPLE = 32;
constexpr int LARGE_SET = 256;
constexpr int PIVOTS = 8;
constexpr int NARROWED_ENOUGH = 64;

int sampleSize(int n) { return n >= LARGE_SET ? LARGE_SAMPLE : SMALL_SAMPLE; }

// sampleSize(n) values of value(0..n), n > SORTED_MEDIANS_MOST, evenly spread, sorted.
template <class Value>
void sortedSample(Value value, int n, double sample[]) {
  const int size = sampleSize(n);
  double drawn[LARGE_SAMPLE];
  for (int i = 0; i < size; ++i) drawn[i] = value(static_cast<int>((2L * i + 1) * n / (2 * size)));
  rankSort(drawn, size, sample);
}

// Narrows the search for ranks r of value(0..n) to the values between two neighbouring
// pivots, taken from the sorted sample around where the ranks should lie: one sweep counts
// the values below each pivot, another copies those between the two pivots around the ranks
// to band[] (without branches). Returns their count, with r moved to count within them.
template <class Value>
int narrowToBand(Value value, int n, const double sample[], Ranks& r, double band[]) {
  const int size = sampleSize(n);
  const int guess = static_cast<int>((2L * r.low + 1) * size / (2L * n));
  const int spacing = size / SMALL_SAMPLE;
  const int span = (PIVOTS - 1) * spacing;
  const int firstPivot = std::clamp(guess - span / 2, 0, size - 1 - span);
  double pivot[PIVOTS];
  for (int p = 0; p < PIVOTS; ++p) pivot[p] = sample[firstPivot + p * spacing];
  // Eight counts in four pairs of registers, each a chain of its own (a loop over the eight
  // pivots instead: 100 series +25 to +31%, 699 series +31%).
  static_assert(PIVOTS == 8);
  const Pair pivots01 = pairAt(pivot);
  const Pair pivots23 = pairAt(pivot + 2);
  const Pair pivots45 = pairAt(pivot + 4);
  const Pair pivots67 = pairAt(pivot + 6);
  PairMask below01 = {0, 0};
  PairMask below23 = {0, 0};
  PairMask below45 = {0, 0};
  PairMask below67 = {0, 0};
  for (int i = 0; i < n; ++i) {
    const Pair x = both(value(i));
    below01 -= x < pivots01;
    below23 -= x < pivots23;
    below45 -= x < pivots45;
    below67 -= x < pivots67;
  }
  const long below[PIVOTS] = {below01[0], below01[1], below23[0], below23[1],
                              below45[0], below45[1], below67[0], below67[1]};
  int under = 0;  // the first pivot above the low rank, or PIVOTS
  while (under < PIVOTS && below[under] <= r.low) ++under;
  int over = under;  // the first pivot above the high rank, or PIVOTS
  while (over < PIVOTS && below[over] <= r.high) ++over;
  const double from = under > 0 ? pivot[under - 1] : -HUGE_VAL;
  const double to = over < PIVOTS ? pivot[over] : HUGE_VAL;
  const int skipped = under > 0 ? static_cast<int>(below[under - 1]) : 0;
  int inside = 0;
  for (int i = 0; i < n; ++i) {
    const double x = value(i);
    band[inside] = x;
    inside += static_cast<int>(x >= from) & static_cast<int>(x < to);
  }
  r.low -= skipped;
  r.high -= skipped;
  return inside;
}

// The values of ranks r of value(0..n), n > SORTED_MEDIANS_MOST, with sample[] its sorted sample:
// narrowed to a band (again, with a new sample, where the ranks fell beyond the pivots), then a
// selection among the few values left. work[0..2n) and sample[] are overwritten.
template <class Value>
void rankedValues(Value value, int n, Ranks r, double sample[], double work[], double& low,
                  double& high) {
  double* set = work;
  double* band = work + n;
  int m = narrowToBand(value, n, sample, r, set);
  while (m > NARROWED_ENOUGH) {
    const auto inSet = [set](int i) { return set[i]; };
    sortedSample(inSet, m, sample);
    const int narrowed = narrowToBand(inSet, m, sample, r, band);
    if (narrowed == m) break;  // ties: no pivot divides the set
    std::swap(set, band);
    m = narrowed;
  }
  std::nth_element(set, set + r.low, set + m);
  low = set[r.low];
  high = r.high == r.low ? low : *std::min_element(set + r.low + 1, set + m);
}

// The median m of x[0..n), n > SORTED_MEDIANS_MOST, and the median of |x[i] - m|, x not
// reordered: each found by narrowing, the deviations' sample sorted from the values' own.
void selectedMedians(const double x[], int n, double work[], double& m, double& deviation) {
  double valueSample[LARGE_SAMPLE];
  double sample[LARGE_SAMPLE];
  double low = 0.0;
  double high = 0.0;
  sortedSample([x](int i) { return x[i]; }, n, valueSample);
  std::copy(valueSample, valueSample + sampleSize(n), sample);
  rankedValues([x](int i) { return x[i]; }, n, middleRanks(n), sample, work, low, high);
  m = medianOf(n, low, high);
  sortedDistances(valueSample, sampleSize(n), m, sampleSize(n), sample);
  rankedValues([x, m](int i) { return std::fabs(x[i] - m); }, n, middleRanks(n), sample, work,
               low, high);
  deviation = medianOf(n, low, high);
}

// sum(w x) / sum(w) over x[0..n) in order, w = (1 - u^2)^2 where |u| <= 1 and 0 elsewhere,
// u = (x - m) / scale. A value beyond the scale adds 0 to each sum (nothing changes: the sums
// start at +0 and never become -0).
double weightedMean(const double x[], int n, double m, double scale) {
  double weighted = 0.0;
  double weights = 0.0;
  for (int i = 0; i < n; ++i) {
    const double u = (x[i] - m) / scale;
    const double closeness = 1.0 - u * u;
    const double w = std::fabs(u) <= 1.0 ? closeness * closeness : 0.0;
    weighted += w * x[i];
    weights += w;
  }
  return weighted / weights;
}

// The indices of the series taking part in `year`, in series order, into x[]; returns their
// count (a NaN is written over by the next index).
int indicesOfYear(const SeriesIndices& in, int year, double x[]) {
  int count = 0;
  for (int k = 0; k < in.seriesCount; ++k) {
    const int i = year - in.firstYear[k];
    if (in.taking[k] == 0 || i < 0 || i >= in.yearCount[k]) continue;
    const double* column = in.values + k * in.stride;
    // The index two cache lines on (or the last) asked for now: a hundred series are more
    // streams than the processor follows. Without it, in two sessions: 100 series +8 to +21%, 699
    // series +6 to +8%; in three others within noise (as other work on the machine varied).
    __builtin_prefetch(column + std::min(i + 16, in.yearCount[k] - 1));
    x[count] = column[i];
    count += static_cast<int>(!std::isnan(column[i]));
  }
  return count;
}

}  // namespace

double biweightMean(const double x[], int n, double scratch[]) {
  if (n == 1) return x[0];
  double m = 0.0;
  double deviation = 0.0;
  if (n <= SORTED_MEDIANS_MOST) {
    rankSort(x, n, scratch);
    const Ranks r = middleRanks(n);
    m = medianOf(n, scratch[r.low], scratch[r.high]);
    sortedDistances(scratch, n, m, r.high + 1, scratch + n);
    deviation = medianOf(n, scratch[n + r.low], scratch[n + r.high]);
  } else {
    selectedMedians(x, n, scratch, m, deviation);
  }
  return weightedMean(x, n, m, 9.0 * deviation + 1e-6);
}

void chronology(const SeriesIndices& indices, int firstYear, int years, double mean[],
                int depth[], double work[]) {
  double* x = work;
  double* scratch = work + indices.seriesCount;
  for (int j = 0; j < years; ++j) {
    depth[j] = indicesOfYear(indices, firstYear + j, x);
    mean[j] = depth[j] == 0 ? std::numeric_limits<double>::quiet_NaN()
                            : biweightMean(x, depth[j], scratch);
  }
}

}  // namespace ringsmooth
