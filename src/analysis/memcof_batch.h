#pragma once
// Burg filters of several series at once. Each series' sums form their own chain of dependent
// additions; taking several series side by side lets those chains overlap, in the lanes of the
// processor's vector registers, while every sum keeps its own order.
#include <cstddef>

#include "core/capacities.h"

namespace ringsmooth {

inline constexpr int MEMCOF_LANES = 4;      // series per batch on every x86-64 machine (SSE2)
inline constexpr int MEMCOF_MAX_LANES = 8;  // series per batch where the processor has AVX2

// The series a batch takes on this machine: MEMCOF_MAX_LANES with AVX2, else MEMCOF_LANES.
int memcofBatchWidth();

// The batch's work storage (errors and coefficients of every lane, for orders and lengths up to
// MAX_YEARS), made once and handed to every call.
inline constexpr std::size_t BURG_STORAGE_BYTES =
    4 * std::size_t{MAX_YEARS} * MEMCOF_MAX_LANES * sizeof(double);

class BurgWork {
 public:
  // Storage for batches of `lanes` series: MEMCOF_MAX_LANES where the machine can (see
  // memcofBatchWidth), otherwise MEMCOF_LANES.
  explicit BurgWork(int lanes = memcofBatchWidth());
  ~BurgWork();
  BurgWork(const BurgWork&) = delete;
  BurgWork& operator=(const BurgWork&) = delete;

  int lanes() const { return lanes_; }
  void* storage() { return storage_; }

 private:
  int lanes_;
  void* storage_;
};

// For s = 0 .. count-1 (count <= work.lanes()): the `order` coefficients of series[s][0..n[s])
// into coeff[s][0..order) and its mean-square discrepancy, bit for bit as memcof gives them.
// Requires 1 <= order <= MAX_YEARS and n[s] <= MAX_YEARS. Allocates nothing.
void memcofBatch(int count, const float* const series[], const int n[], int order,
                 double meanSquare[], double* const coeff[], BurgWork& work);

}  // namespace ringsmooth
