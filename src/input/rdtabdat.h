#pragma once
#include "driver/series_table.h"
#include "input/free_form.h"

namespace ringsmooth {

// Asks the two questions of the table ("Enter number of columns including years", "Enter
// missing value flag, e.g., -999.00") on `prompts`, reads the answers from `console`, then
// reads the whole table from `table` into `t`:
//   - seriesCount = columns - 1; seriesName[k] the header name of column k + 2 (20 characters);
//   - for every series, its span runs from its first present row to its last present row:
//     firstYear/lastYear are those rows' years, yearCount = lastYear - firstYear + 1, and
//     values[k * MAX_YEARS + 0 .. yearCount) hold every cell of the span in row order, missing
//     cells inside the span kept as they were read;
//   - a series with no present value gets yearCount 0.
// A cell is missing when it equals missingFlag widened to double, or is a NaN.
// Raises InputError for malformed input, a column count outside 1 .. MAX_SERIES, more than
// MAX_YEARS data rows, and years that do not rise by exactly 1 from row to row. Never stores
// outside `t`. A table with no data row gives seriesCount 0.
void rdtabdat(FreeFormReader& console, std::FILE* prompts, FreeFormReader& table, SeriesTable& t);

// Writes a prompt: one blank, `text` from column 2, blanks to column 44, "==> " in columns 45 to
// 48, no line end; flushed.
void writePrompt(std::FILE* prompts, const char* text);

}  // namespace ringsmooth
