#pragma once
// Running a table's series: computed ahead on worker threads, written in order.
#include "driver/series_compute.h"
#include "driver/series_write.h"

namespace ringsmooth {

// Computes and writes every series of the source's table in order, from trimming to plot.
// With more than one job, that many threads compute batches of series ahead, each in its own
// work storage, while the calling thread writes them strictly in series order: the output is
// the same for any number of jobs. The computing threads never take the termination signals.
void processAllSeries(const SeriesSource& source, const SeriesDestination& destination);

}  // namespace ringsmooth
