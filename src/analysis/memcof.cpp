#include "analysis/memcof.h"
// placeholder until the routine lands
namespace ringsmooth {
void memcof(const float[], int, int, double&, double[], double[], double[], double[]) {}
}  // namespace ringsmooth
