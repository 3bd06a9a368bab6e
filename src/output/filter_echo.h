#pragma once
// The console echo of a series' prediction-error filter.
#include <cstdio>

namespace ringsmooth {

// The heading between empty lines, " *** Computing prediction error filter (length NNN) for
// extrapolation"; then, when `coefficients` is not null, " ip: NNN" and the coefficients ten to
// a line, each line led by one blank, each value in 8 columns with 3 decimals
// (output/fixed_field.h). NNN is the order in 3 columns (asterisks when wider).
void writeFilterEcho(std::FILE* console, int order, const double coefficients[]);

}  // namespace ringsmooth
