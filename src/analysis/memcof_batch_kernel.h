#pragma once
// The Burg batch kernel, for one vector width: included by memcof_batch.cpp (SSE2, the width
// every x86-64 machine has) and by memcof_batch_avx2.cpp (compiled for AVX2). Each lane holds one
// series and goes through the same operations, in the same order, as memcof does for it alone.
// Not a header of its own: it defines functions in an anonymous namespace of the including file.
#include <cstdint>

#include "analysis/memcof.h"
#include "core/capacities.h"

// The vectors below never cross their file's boundary, so the note that their calling convention
// differs between instruction sets does not concern us.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace ringsmooth {
namespace {

// CHAINS vectors of V side by side, each a separate chain of dependent additions: the batch's
// series are lane s % WIDTH of vector s / WIDTH.
template <typename V, typename M, int CHAINS>
struct BurgKernel {
  static constexpr int WIDTH = static_cast<int>(sizeof(V) / sizeof(double));
  static constexpr int LANES = WIDTH * CHAINS;

  struct Lanes {
    V p[CHAINS];
  };

  // The work storage, lane by lane, laid over the caller's raw storage.
  struct Storage {
    Lanes fwdError[MAX_YEARS];
    Lanes bwdError[MAX_YEARS];
    Lanes coefficients[MAX_YEARS];
    Lanes previous[MAX_YEARS];
  };

  // x where the mask is set, +0.0 elsewhere (whatever x holds there, NaN included).
  static V keep(V x, M mask) { return reinterpret_cast<V>(reinterpret_cast<M>(x) & mask); }

  // One term of chain q's sums. Masked: lanes outside their limit add +0.0, which leaves their
  // sums exactly as they were (a sum that starts at +0.0 never becomes -0.0).
  template <bool Masked>
  static void addTerm(V f, V b, M inside, V& num, V& den) {
    if constexpr (Masked) {
      num = num + keep(f * b, inside);
      den = (den + keep(f * f, inside)) + keep(b * b, inside);
    } else {
      num = num + f * b;
      den = (den + f * f) + b * b;
    }
  }

  // Lanes whose pair j lies below their limit, compared as doubles (exact for these whole
  // numbers), which the vector unit does in one instruction.
  static M inside(int64_t j, V limit) { return (V{} + static_cast<double>(j)) < limit; }

  // Adds pairs from .. to-1 of the current errors to the sums, ascending j.
  template <bool Masked>
  static void sumPairs(const Storage& w, int64_t from, int64_t to, const Lanes& limit,
                       Lanes& num, Lanes& den) {
    for (int64_t j = from; j < to; ++j) {
      for (int q = 0; q < CHAINS; ++q) {
        const M mask = Masked ? inside(j, limit.p[q]) : M{};
        addTerm<Masked>(w.fwdError[j].p[q], w.bwdError[j].p[q], mask, num.p[q], den.p[q]);
      }
    }
  }

  // The error update after reflection coefficients c for pairs from .. to-1, each pair entering
  // the next order's sums as soon as it is updated, as in memcof. Lanes past their own limit are
  // updated too (their values are never read by the pairs inside the limit, which only look one
  // position up) but are kept out of the sums.
  template <bool Masked>
  static void updatePairs(Storage& w, int64_t from, int64_t to, const Lanes& limit,
                          const Lanes& c, Lanes& num, Lanes& den) {
    for (int64_t j = from; j < to; ++j) {
      for (int q = 0; q < CHAINS; ++q) {
        const V f = w.fwdError[j].p[q] - c.p[q] * w.bwdError[j].p[q];
        const V b = w.bwdError[j + 1].p[q] - c.p[q] * w.fwdError[j + 1].p[q];
        w.fwdError[j].p[q] = f;
        w.bwdError[j].p[q] = b;
        const M mask = Masked ? inside(j, limit.p[q]) : M{};
        addTerm<Masked>(f, b, mask, num.p[q], den.p[q]);
      }
    }
  }

  // Lane s of a batch value (vector elements can be read and assigned, but not referred to).
  static double laneOf(const Lanes& l, int s) { return l.p[s / WIDTH][s % WIDTH]; }
  static void setLane(Lanes& l, int s, double value) { l.p[s / WIDTH][s % WIDTH] = value; }

  // The pairs of an order that every lane has: those of the shortest series.
  static int64_t commonPairs(int64_t shortest, int order) {
    return shortest > order ? shortest - order : 0;
  }

  static Lanes limitsAtOrder(const int lengths[], int order) {
    Lanes limit{};
    for (int s = 0; s < LANES; ++s) setLane(limit, s, static_cast<double>(lengths[s] - order));
    return limit;
  }

  // The sums of one order; below `common` every lane is inside its limit and the masks are left
  // out. With `update`, the error update after c comes first, fused with the sums.
  static void sums(Storage& w, bool update, int64_t common, int64_t pairs, const Lanes& limit,
                   const Lanes& c, Lanes& num, Lanes& den) {
    num = Lanes{};
    den = Lanes{};
    if (update) {
      updatePairs<false>(w, 0, common, limit, c, num, den);
      updatePairs<true>(w, common, pairs, limit, c, num, den);
    } else {
      sumPairs<false>(w, 0, common, limit, num, den);
      sumPairs<true>(w, common, pairs, limit, num, den);
    }
  }

  static void run(int count, const float* const series[], const int n[], int order,
                  double meanSquare[], double* const coeff[], void* storage) {
    Storage& w = *static_cast<Storage*>(storage);
    if (count > LANES) count = LANES;
    int64_t longest = 0;
    int64_t shortest = MAX_YEARS;  // over every lane, unused ones (length 0) included
    int lengths[LANES] = {};
    Lanes ms{};
    for (int s = 0; s < count; ++s) {
      lengths[s] = n[s] > 0 ? n[s] : 0;
      setLane(ms, s, meanOfSquares(series[s], lengths[s]));
      if (lengths[s] > longest) longest = lengths[s];
    }
    for (int s = 0; s < LANES; ++s) {
      if (lengths[s] < shortest) shortest = lengths[s];
    }
    // Initial errors: forward the first n-1 values, backward the last n-1; zeros past a lane's
    // end.
    for (int64_t j = 0; j + 1 < longest; ++j) {
      Lanes f{}, b{};
      for (int s = 0; s < count; ++s) {
        if (j + 1 < lengths[s]) {
          setLane(f, s, static_cast<double>(series[s][j]));
          setLane(b, s, static_cast<double>(series[s][j + 1]));
        }
      }
      w.fwdError[j] = f;
      w.bwdError[j] = b;
    }

    Lanes num{}, den{}, c{};
    sums(w, false, commonPairs(shortest, 1), longest - 1, limitsAtOrder(lengths, 1), c, num, den);
    for (int k = 1;; ++k) {
      // Reflection coefficients; an all-zero (or empty) error sum gives 0, as in memcof.
      for (int q = 0; q < CHAINS; ++q) {
        c.p[q] = keep((2.0 * num.p[q]) / den.p[q], den.p[q] != 0.0);
        ms.p[q] = ms.p[q] * (1.0 - c.p[q] * c.p[q]);
      }
      w.coefficients[k - 1] = c;
      for (int i = 0; i < k - 1; ++i) {
        for (int q = 0; q < CHAINS; ++q) {
          w.coefficients[i].p[q] = w.previous[i].p[q] - c.p[q] * w.previous[k - 2 - i].p[q];
        }
      }
      if (k == order) break;
      for (int i = 0; i < k; ++i) w.previous[i] = w.coefficients[i];
      sums(w, true, commonPairs(shortest, k + 1), longest - k - 1, limitsAtOrder(lengths, k + 1),
           c, num, den);
    }
    for (int s = 0; s < count; ++s) {
      meanSquare[s] = laneOf(ms, s);
      for (int i = 0; i < order; ++i) coeff[s][i] = laneOf(w.coefficients[i], s);
    }
  }
};

}  // namespace
}  // namespace ringsmooth
