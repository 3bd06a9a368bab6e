#pragma once
#include "core/capacities.h"
#include "core/series_table.h"
#include "input/free_form.h"

namespace ringsmooth {

// A column count the table can hold: 1 .. MAX_SERIES, the year column included.
inline bool validColumnCount(int columns) { return columns >= 1 && columns <= MAX_SERIES; }

// Reads the whole table from `table` into `t`, which holds 0.0 everywhere, with `columns`
// columns (the year column included; validColumnCount must hold, or `columns` is 0: as many as
// the header's first line that holds any names, checked against the first data row's first
// line, whose cells must be as many unless a slash ends it sooner; an input error asking for
// the count otherwise) and the missing-value flag `missingFlag` (stored in t.missingFlag):
//   - seriesCount = columns - 1; seriesName[k] the header name of column k + 2 (20 characters,
//     all blank where the header leaves the name empty);
//   - for every series, its span runs from its first present row to its last present row:
//     firstYear/lastYear are those rows' years, yearCount = lastYear - firstYear + 1, and
//     values[k * MAX_YEARS + 0 .. yearCount) hold every cell of the span in row order, missing
//     cells inside the span kept as they were read;
//   - a series with no present value gets yearCount 0 and firstYear = lastYear = the year of
//     the first row.
// A cell is missing when it equals missingFlag widened to double, or is a NaN. Trimming here,
// in double precision, takes off the cells that the reader itself finds missing; the pipeline
// trims again in single precision, where a flag that a float can't hold exactly (-99.99) first
// matches (see series_pipeline.h).
// The year of a row is its first cell cut toward zero. A row that the end of the file cuts
// short is dropped (its cells are set back to 0.0); that is the normal end of the table.
// Raises InputError for malformed input, a quote not closed on its line, a cell that is infinite
// or beyond single precision (the pipeline's precision), the end of the file before the last
// header name, more than MAX_YEARS data rows, a year cell that is no int (NaN, too large for an
// int), and years that do not rise by exactly 1 from row to row (naming the line where the row
// begins and both years). Never stores outside `t`. A table with no data row gives seriesCount 0.
void rdtabdat(FreeFormReader& table, int columns, float missingFlag, SeriesTable& t);

}  // namespace ringsmooth
