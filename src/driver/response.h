#pragma once
// What a cutoff means for the spline, in the terms of other smoothing tools.
#include <string>

namespace ringsmooth {

// `name value` lines for the cutoff: cutoff, p (the spline's parameter), lambda = 1/(2p) (the
// weight of the roughness penalty in sum (y - f)^2 + lambda * integral f''^2 over unit-spaced
// years, as scipy's make_smoothing_spline takes it), smooth = 1/(1 + lambda) (csaps' smoothing
// parameter), then gain_at_PERIOD lines: the share of a sinusoid's amplitude that the spline
// keeps, 0.5 at the cutoff itself.
std::string responseText(int cutoff);

}  // namespace ringsmooth
