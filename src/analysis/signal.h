#pragma once
// How strongly the series of a table share a common signal: the mean inter-series correlation
// (rbar), the expressed population signal (EPS) and the signal-to-noise ratio (SNR), over all
// years and in running windows.
#include <vector>

#include "core/series_indices.h"
#include "core/table_statistics.h"

namespace ringsmooth {

// The most common years a pair of series needs to count (fewer in a shorter window: all).
inline constexpr int PAIR_COMMON_YEARS = 30;

// One series' part of a span, prepared once for all its pairs: its years with an index
// (other than 0) lie in first .. last, `count` of them.
struct SpanSeries {
  int first;
  int last;
  int count;
  long at;                // its part of SignalWork::order, ::ownRank and ::present
  long long ownSquares;   // the sum of its ownRank squared
};

// Storage that the statistics of one table reuse from span to span. Ranks are kept doubled and
// centred, 2 rank - (m + 1) for m values, which makes them integers whose sums are exact.
struct SignalWork {
  std::vector<SpanSeries> series;
  std::vector<unsigned short> order;  // per series: years from `first`, in the order of their
                                      // indices; TIED marks one equal to the one before
  std::vector<short> ownRank;         // per series, year by year from `first`: the rank among
                                      // its own indices of the span, 0 where it has none
  std::vector<unsigned char> present; // per series, year by year from `first`: has an index
  std::vector<int> rankA;             // a pair's ranks among their common years, year by year
  std::vector<int> rankB;
  std::vector<unsigned char> inPair;  // per series: in at least one pair
  std::vector<long> covered;          // indices covered up to each year of the chronology
};

// The statistics (core/table_statistics.h) of the series taking part in `in` over the years
// first .. last: a pair counts with at least `commonYears` (>= 2) years in which both have an
// index other than 0 (an index of 0 is a missing ring), its correlation Spearman's (tied
// indices get their average rank) over those years. A pair whose ranks are all equal in one
// series has no correlation and does not count. Pure; work is resized as needed.
SignalStats signalStats(const SeriesIndices& in, int first, int last, int commonYears,
                        SignalWork& work);

// The running windows over the years firstYear .. firstYear + years - 1 (the chronology's):
// `window` years long (the chronology's years when fewer), advancing by window - window / 2,
// a pair needing min(PAIR_COMMON_YEARS, window) common years. The first window starts within
// the first advance years, where the windows that fit cover the most indices of years in which
// at least two series have one (other than 0); the later start on a tie. Windows without a
// pair are left out. Writes the windows' statistics in order to `out` (cleared first).
void runningSignal(const SeriesIndices& in, int firstYear, int years, int window,
                   std::vector<SignalStats>& out, SignalWork& work);

// The field's rule of thumb: a chronology whose EPS is below this is not to be trusted.
inline constexpr double EPS_ENOUGH = 0.85;

// For each year firstYear + j, j in [0, years): weak[j] = 1 when no window of windows[0..count)
// (in order) covers it or one that does has an EPS below EPS_ENOUGH, 0 otherwise.
void weakYears(const SignalStats windows[], int count, int firstYear, int years,
               unsigned char weak[]);

// The first year from which every window's EPS is at least EPS_ENOUGH: the year after the last
// window below it, or the first window's first year when none is. False when there is no
// window, or the last one is below it.
bool trustedFrom(const SignalStats windows[], int count, int& year);

}  // namespace ringsmooth
