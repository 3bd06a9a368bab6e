#include "analysis/memcof_batch.h"

#include <new>

#include "analysis/memcof_batch_kernel.h"

namespace ringsmooth {

// Defined in memcof_batch_avx2.cpp, built for AVX2 where the compiler can.
bool memcofBatchWideBuilt();
void memcofBatchWide(int count, const float* const series[], const int n[], int order,
                     double meanSquare[], double* const coeff[], void* storage);

namespace {

// Two series side by side in the vector unit every x86-64 machine has, two such chains.
typedef double Pair __attribute__((vector_size(2 * sizeof(double))));
typedef int64_t PairMask __attribute__((vector_size(2 * sizeof(int64_t))));
using PortableKernel = BurgKernel<Pair, PairMask, 2>;
static_assert(PortableKernel::LANES == MEMCOF_LANES);
static_assert(sizeof(PortableKernel::Storage) <= BURG_STORAGE_BYTES);

constexpr std::align_val_t STORAGE_ALIGNMENT{64};

bool processorHasAvx2() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

}  // namespace

int memcofBatchWidth() {
  static const int width =
      memcofBatchWideBuilt() && processorHasAvx2() ? MEMCOF_MAX_LANES : MEMCOF_LANES;
  return width;
}

BurgWork::BurgWork(int lanes)
    : lanes_(lanes == MEMCOF_MAX_LANES && memcofBatchWidth() == MEMCOF_MAX_LANES ? lanes
                                                                                : MEMCOF_LANES),
      storage_(::operator new(BURG_STORAGE_BYTES, STORAGE_ALIGNMENT)) {}

BurgWork::~BurgWork() { ::operator delete(storage_, STORAGE_ALIGNMENT); }

void memcofBatch(int count, const float* const series[], const int n[], int order,
                 double meanSquare[], double* const coeff[], BurgWork& work) {
  if (work.lanes() == MEMCOF_MAX_LANES) {
    memcofBatchWide(count, series, n, order, meanSquare, coeff, work.storage());
  } else {
    PortableKernel::run(count, series, n, order, meanSquare, coeff, work.storage());
  }
}

}  // namespace ringsmooth
