#pragma once
// Burg filters of several series at once. Each series' sums form their own chain of dependent
// additions; taking several series side by side lets those chains overlap, in the lanes of the
// processor's vector registers, while every sum keeps its own order.
#include <memory>

#include "core/capacities.h"

namespace ringsmooth {

inline constexpr int MEMCOF_LANES = 4;

// The batch's work storage (errors and coefficients of every lane, for orders and lengths up to
// MAX_YEARS), made once and handed to every call.
class BurgWork {
 public:
  BurgWork();
  ~BurgWork();
  BurgWork(const BurgWork&) = delete;
  BurgWork& operator=(const BurgWork&) = delete;

  struct Storage;
  Storage& storage() { return *storage_; }

 private:
  std::unique_ptr<Storage> storage_;
};

// For s = 0 .. count-1 (count <= MEMCOF_LANES): the `order` coefficients of series[s][0..n[s])
// into coeff[s][0..order) and its mean-square discrepancy, bit for bit as memcof gives them.
// Requires 1 <= order <= MAX_YEARS and n[s] <= MAX_YEARS. Allocates nothing.
void memcofBatch(int count, const float* const series[], const int n[], int order,
                 double meanSquare[], double* const coeff[], BurgWork& work);

}  // namespace ringsmooth
