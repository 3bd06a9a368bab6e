// The Burg batch for machines with AVX2: eight series, two chains of four-wide vectors. Built
// with -mavx2 (and no fused multiply-add): memcofBatch calls it only where the processor has it.
#include "analysis/memcof_batch.h"

#if defined(__AVX2__)
#include "analysis/memcof_batch_kernel.h"

namespace ringsmooth {
namespace {

typedef double Quad __attribute__((vector_size(4 * sizeof(double))));
typedef int64_t QuadMask __attribute__((vector_size(4 * sizeof(int64_t))));
using WideKernel = BurgKernel<Quad, QuadMask, 2>;
static_assert(WideKernel::LANES == MEMCOF_MAX_LANES);
static_assert(sizeof(WideKernel::Storage) <= BURG_STORAGE_BYTES);

}  // namespace

bool memcofBatchWideBuilt() { return true; }

void memcofBatchWide(int count, const float* const series[], const int n[], int order,
                     double meanSquare[], double* const coeff[], void* storage) {
  WideKernel::run(count, series, n, order, meanSquare, coeff, storage);
}

}  // namespace ringsmooth
#else
namespace ringsmooth {

bool memcofBatchWideBuilt() { return false; }

void memcofBatchWide(int, const float* const[], const int[], int, double[], double* const[],
                     void*) {}

}  // namespace ringsmooth
#endif
