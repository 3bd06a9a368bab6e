#include "analysis/chronology.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ringsmooth {
namespace {

// The median m of sorted[0..n), n >= 2, and the median of |sorted[i] - m|: an even count's
// median is the mean of its two middle values. The deviations grow outward from the middle of
// the sorted values, so the smallest of them are taken in order by walking out from there, one
// side or the other, without sorting them.
void sortedMedians(const double sorted[], int n, double& m, double& deviation) {
  const int half = n / 2;
  const bool odd = n % 2 == 1;
  m = odd ? sorted[half] : (sorted[half - 1] + sorted[half]) / 2.0;
  int left = half - 1;
  int right = half;
  double previous = 0.0;
  double current = 0.0;
  for (int taken = 0; taken <= half; ++taken) {
    const double fromLeft = left >= 0 ? std::fabs(sorted[left] - m) : HUGE_VAL;
    const double fromRight = right < n ? std::fabs(sorted[right] - m) : HUGE_VAL;
    previous = current;
    if (fromLeft <= fromRight) {
      current = fromLeft;
      --left;
    } else {
      current = fromRight;
      ++right;
    }
  }
  // `current` is the deviation of rank half (from 0), `previous` the one below it.
  deviation = odd ? current : (previous + current) / 2.0;
}

// Up to this many values, sorting them once and walking out from the middle is quicker than
// finding the two medians by selection.
constexpr int SORTED_MEDIANS_MOST = 48;

// Ranks (counted from 0) whose values are wanted: high is low, or low + 1.
struct Ranks {
  int low;
  int high;
};

void insertionSort(double v[], int n) {
  for (int i = 1; i < n; ++i) {
    const double x = v[i];
    int j = i;
    for (; j > 0 && v[j - 1] > x; --j) v[j] = v[j - 1];
    v[j] = x;
  }
}

// Values drawn evenly from a set to guess where its ranks lie, and how many sample places on
// each side of the guess the band around it spans.
constexpr int SAMPLE_SIZE = 31;
constexpr int BAND_MARGIN = 5;
// Sets smaller than this are searched directly.
constexpr int NARROWED_ENOUGH = 32;

// Narrows the search for ranks r of value(0..n) to the values between two pivots drawn from a
// sample around where the ranks should lie: copies those values to band[] (in one branch-free
// sweep) and returns their count, with r moved to count within them. Returns -1, r unchanged,
// when the ranks fall outside the band or the band is the whole set; band[] is then scratch.
template <class Value>
int narrowToBand(Value value, int n, Ranks& r, double band[]) {
  double sample[SAMPLE_SIZE];
  for (int i = 0; i < SAMPLE_SIZE; ++i) {
    sample[i] = value(static_cast<int>((2L * i + 1) * n / (2 * SAMPLE_SIZE)));
  }
  insertionSort(sample, SAMPLE_SIZE);
  const int guess = static_cast<int>((2L * r.low + 1) * SAMPLE_SIZE / (2L * n));
  const double low = guess >= BAND_MARGIN ? sample[guess - BAND_MARGIN] : -HUGE_VAL;
  const double high = guess + BAND_MARGIN < SAMPLE_SIZE ? sample[guess + BAND_MARGIN] : HUGE_VAL;
  int below = 0;
  int inside = 0;
  for (int i = 0; i < n; ++i) {
    const double x = value(i);
    band[inside] = x;
    inside += static_cast<int>(x >= low) & static_cast<int>(x <= high);
    below += static_cast<int>(x < low);
  }
  if (below > r.low || r.high >= below + inside || inside == n) return -1;
  r.low -= below;
  r.high -= below;
  return inside;
}

// The values of ranks r of value(0..n), n >= 1: the search narrowed to ever smaller bands,
// then a selection among the few values left. work[0..2n) is overwritten.
template <class Value>
void rankedValues(Value value, int n, Ranks r, double work[], double& low, double& high) {
  double* set = work;
  double* band = work + n;
  int m = n >= NARROWED_ENOUGH ? narrowToBand(value, n, r, set) : -1;
  if (m < 0) {
    for (int i = 0; i < n; ++i) set[i] = value(i);
    m = n;
  }
  while (m >= NARROWED_ENOUGH) {
    const int narrowed = narrowToBand([set](int i) { return set[i]; }, m, r, band);
    if (narrowed < 0) break;
    std::swap(set, band);
    m = narrowed;
  }
  std::nth_element(set, set + r.low, set + m);
  low = set[r.low];
  high = r.high == r.low ? low : *std::min_element(set + r.low + 1, set + m);
}

// The median of value(0..n), n >= 1, without reordering anything; work[0..2n) is overwritten.
template <class Value>
double medianOf(Value value, int n, double work[]) {
  const int half = n / 2;
  const bool odd = n % 2 == 1;
  double low = 0.0;
  double high = 0.0;
  rankedValues(value, n, odd ? Ranks{half, half} : Ranks{half - 1, half}, work, low, high);
  return odd ? low : (low + high) / 2.0;
}

// The indices of the years [from, to) put into year order: year j's, in series order, at
// tile[(j - from) * seriesCount ...], their count in depth[j]. Each series' stretch of the
// years is read in one sweep.
void gatherBlock(const SeriesIndices& in, int firstYear, int from, int to, double tile[],
                 int depth[]) {
  const long row = in.seriesCount;
  std::fill(depth + from, depth + to, 0);
  for (int k = 0; k < in.seriesCount; ++k) {
    if (in.taking[k] == 0) continue;
    const int offset = in.firstYear[k] - firstYear;  // the series' first year, counted
    const int begin = std::max(from, offset);
    const int end = std::min(to, offset + in.yearCount[k]);
    const double* column = in.values + k * in.stride;
    for (int j = begin; j < end; ++j) {
      const double index = column[j - offset];
      if (std::isnan(index)) continue;
      tile[(j - from) * row + depth[j]++] = index;
    }
  }
}

}  // namespace

double biweightMean(const double x[], int n, double scratch[]) {
  if (n == 1) return x[0];
  double m = 0.0;
  double deviation = 0.0;
  if (n <= SORTED_MEDIANS_MOST) {
    std::copy(x, x + n, scratch);
    std::sort(scratch, scratch + n);
    sortedMedians(scratch, n, m, deviation);
  } else {
    m = medianOf([x](int i) { return x[i]; }, n, scratch);
    deviation = medianOf([x, m](int i) { return std::fabs(x[i] - m); }, n, scratch);
  }
  const double scale = 9.0 * deviation + 1e-6;
  double weighted = 0.0;
  double weights = 0.0;
  for (int i = 0; i < n; ++i) {
    const double u = (x[i] - m) / scale;
    if (std::fabs(u) > 1.0) continue;
    const double closeness = 1.0 - u * u;
    const double w = closeness * closeness;
    weighted += w * x[i];
    weights += w;
  }
  return weighted / weights;
}

void chronology(const SeriesIndices& indices, int firstYear, int years, double mean[],
                int depth[], double work[]) {
  const long row = indices.seriesCount;
  double* tile = work;
  double* scratch = work + CHRONOLOGY_BLOCK_YEARS * row;
  for (int from = 0; from < years; from += CHRONOLOGY_BLOCK_YEARS) {
    const int to = std::min(years, from + CHRONOLOGY_BLOCK_YEARS);
    gatherBlock(indices, firstYear, from, to, tile, depth);
    for (int j = from; j < to; ++j) {
      mean[j] = depth[j] == 0 ? std::numeric_limits<double>::quiet_NaN()
                              : biweightMean(tile + (j - from) * row, depth[j], scratch);
    }
  }
}

}  // namespace ringsmooth
