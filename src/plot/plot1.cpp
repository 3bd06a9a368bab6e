#include "plot/plot1.h"
// placeholder until the routine lands
namespace ringsmooth {
void choosePlotDevice(PlotDevice& device, std::FILE*) { device = PlotDevice{"null", "", false}; }
void plotFileName(const PlotDevice&, const char*, int, char* fileName, int) { fileName[0] = 0; }
void plot1(int, const float[], const float[], const float[], int, int, const char[20], char,
           const PlotDevice&, const char*, std::FILE*) {}
}  // namespace ringsmooth
