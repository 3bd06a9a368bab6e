#include "analysis/memcof_batch.h"

#include <cstdint>

#include "analysis/memcof.h"

// The vectors below never cross this file's boundary, so the note that their calling convention
// differs between instruction sets does not concern us.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace ringsmooth {
namespace {

// Two series side by side: the width of the vector unit every x86-64 machine has. The batch is
// MEMCOF_LANES / 2 such pairs, written out as separate operations so that their chains overlap.
typedef double Pair __attribute__((vector_size(2 * sizeof(double))));
typedef int64_t PairMask __attribute__((vector_size(2 * sizeof(int64_t))));
constexpr int PAIRS = MEMCOF_LANES / 2;
static_assert(MEMCOF_LANES % 2 == 0, "lanes come in pairs");

struct Lanes {
  Pair p[PAIRS];
};

}  // namespace

// The work storage, lane by lane: fwdError[j].p[q][r] is forward error j of series 2q + r.
struct BurgWork::Storage {
  Lanes fwdError[MAX_YEARS];
  Lanes bwdError[MAX_YEARS];
  Lanes coefficients[MAX_YEARS];
  Lanes previous[MAX_YEARS];
};

BurgWork::BurgWork() : storage_(std::make_unique<Storage>()) {}
BurgWork::~BurgWork() = default;

namespace {

using Storage = BurgWork::Storage;

// x where the mask is set, +0.0 elsewhere (whatever x holds there, NaN included).
inline Pair keep(Pair x, PairMask mask) {
  return reinterpret_cast<Pair>(reinterpret_cast<PairMask>(x) & mask);
}

// One term of lane pair q's sums. Masked: lanes outside their limit add +0.0, which leaves
// their sums exactly as they were (a sum that starts at +0.0 never becomes -0.0).
template <bool Masked>
inline void addTerm(Pair f, Pair b, PairMask inside, Pair& num, Pair& den) {
  if constexpr (Masked) {
    num = num + keep(f * b, inside);
    den = (den + keep(f * f, inside)) + keep(b * b, inside);
  } else {
    num = num + f * b;
    den = (den + f * f) + b * b;
  }
}

// Lanes whose pair j lies below their limit, compared as doubles (exact for these whole
// numbers), which every x86-64 vector unit does in one instruction.
inline PairMask inside(int64_t j, Pair limit) { return (Pair{} + static_cast<double>(j)) < limit; }

// Adds pairs from .. to-1 of the current errors to the sums, ascending j.
template <bool Masked>
void sumPairs(const Storage& w, int64_t from, int64_t to, const Lanes& limit, Lanes& num,
              Lanes& den) {
  const Lanes* fwdError = w.fwdError;
  const Lanes* bwdError = w.bwdError;
  for (int64_t j = from; j < to; ++j) {
    for (int q = 0; q < PAIRS; ++q) {
      const PairMask mask = Masked ? inside(j, limit.p[q]) : PairMask{};
      addTerm<Masked>(fwdError[j].p[q], bwdError[j].p[q], mask, num.p[q], den.p[q]);
    }
  }
}

// The error update after reflection coefficients c for pairs from .. to-1, each pair entering
// the next order's sums as soon as it is updated, as in memcof. Lanes past their own limit are
// updated too (their values are never read by the pairs inside the limit, which only look one
// position up) but are kept out of the sums.
template <bool Masked>
void updatePairs(Storage& w, int64_t from, int64_t to, const Lanes& limit, const Lanes& c,
                 Lanes& num, Lanes& den) {
  Lanes* fwdError = w.fwdError;
  Lanes* bwdError = w.bwdError;
  for (int64_t j = from; j < to; ++j) {
    for (int q = 0; q < PAIRS; ++q) {
      const Pair f = fwdError[j].p[q] - c.p[q] * bwdError[j].p[q];
      const Pair b = bwdError[j + 1].p[q] - c.p[q] * fwdError[j + 1].p[q];
      fwdError[j].p[q] = f;
      bwdError[j].p[q] = b;
      const PairMask mask = Masked ? inside(j, limit.p[q]) : PairMask{};
      addTerm<Masked>(f, b, mask, num.p[q], den.p[q]);
    }
  }
}

// The sums of one order. Below `common` every lane is inside its limit and the masks are left out.
void burgSums(const Storage& w, int64_t common, int64_t pairs, const Lanes& limit, Lanes& num,
              Lanes& den) {
  num = Lanes{};
  den = Lanes{};
  sumPairs<false>(w, 0, common, limit, num, den);
  sumPairs<true>(w, common, pairs, limit, num, den);
}

// The error update fused with the next order's sums.
void updateErrorsAndSum(Storage& w, int64_t common, int64_t pairs, const Lanes& limit,
                        const Lanes& c, Lanes& num, Lanes& den) {
  num = Lanes{};
  den = Lanes{};
  updatePairs<false>(w, 0, common, limit, c, num, den);
  updatePairs<true>(w, common, pairs, limit, c, num, den);
}

// Lane s of a batch value (vector elements can be read and assigned, but not referred to).
double laneOf(const Lanes& l, int s) { return l.p[s / 2][s % 2]; }
void setLane(Lanes& l, int s, double value) { l.p[s / 2][s % 2] = value; }

// The pairs of an order that every lane has: those of the shortest series.
int64_t commonPairs(int64_t shortest, int order) { return shortest > order ? shortest - order : 0; }

Lanes limitsAtOrder(const int lengths[], int order) {
  Lanes limit{};
  for (int s = 0; s < MEMCOF_LANES; ++s) setLane(limit, s, static_cast<double>(lengths[s] - order));
  return limit;
}

}  // namespace

void memcofBatch(int count, const float* const series[], const int n[], int order,
                 double meanSquare[], double* const coeff[], BurgWork& work) {
  Storage& w = work.storage();
  Lanes* fwdError = w.fwdError;
  Lanes* bwdError = w.bwdError;
  Lanes* coefficients = w.coefficients;
  Lanes* previous = w.previous;
  if (count > MEMCOF_LANES) count = MEMCOF_LANES;
  int64_t longest = 0;
  int64_t shortest = MAX_YEARS;  // over every lane, unused ones (length 0) included
  int lengths[MEMCOF_LANES] = {};
  Lanes ms{};
  for (int s = 0; s < count; ++s) {
    lengths[s] = n[s] > 0 ? n[s] : 0;
    setLane(ms, s, meanOfSquares(series[s], lengths[s]));
    if (lengths[s] > longest) longest = lengths[s];
  }
  for (int s = 0; s < MEMCOF_LANES; ++s) {
    if (lengths[s] < shortest) shortest = lengths[s];
  }
  // Initial errors: forward the first n-1 values, backward the last n-1; zeros past a lane's end.
  for (int64_t j = 0; j + 1 < longest; ++j) {
    Lanes f{}, b{};
    for (int s = 0; s < count; ++s) {
      if (j + 1 < lengths[s]) {
        setLane(f, s, static_cast<double>(series[s][j]));
        setLane(b, s, static_cast<double>(series[s][j + 1]));
      }
    }
    fwdError[j] = f;
    bwdError[j] = b;
  }

  Lanes num{}, den{};
  burgSums(w, commonPairs(shortest, 1), longest - 1, limitsAtOrder(lengths, 1), num, den);
  for (int k = 1;; ++k) {
    // Reflection coefficients; an all-zero (or empty) error sum gives 0, as in memcof.
    Lanes c;
    for (int q = 0; q < PAIRS; ++q) {
      c.p[q] = keep((2.0 * num.p[q]) / den.p[q], den.p[q] != 0.0);
      ms.p[q] = ms.p[q] * (1.0 - c.p[q] * c.p[q]);
    }
    coefficients[k - 1] = c;
    for (int i = 0; i < k - 1; ++i) {
      for (int q = 0; q < PAIRS; ++q) {
        coefficients[i].p[q] = previous[i].p[q] - c.p[q] * previous[k - 2 - i].p[q];
      }
    }
    if (k == order) break;
    for (int i = 0; i < k; ++i) previous[i] = coefficients[i];
    updateErrorsAndSum(w, commonPairs(shortest, k + 1), longest - k - 1,
                       limitsAtOrder(lengths, k + 1), c, num, den);
  }
  for (int s = 0; s < count; ++s) {
    meanSquare[s] = laneOf(ms, s);
    for (int i = 0; i < order; ++i) coeff[s][i] = laneOf(coefficients[i], s);
  }
}

}  // namespace ringsmooth
