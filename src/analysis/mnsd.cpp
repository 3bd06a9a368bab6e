#include "analysis/mnsd.h"
// placeholder until the routine lands
namespace ringsmooth {
void mnsd(const float[], int, float& mean, float& sd) { mean = 0; sd = 0; }
}  // namespace ringsmooth
