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
//   - a series with no present value gets yearCount 0 and firstYear = lastYear = the year of
//     the first row.
// A cell is missing when it equals missingFlag widened to double, or is a NaN.
// The year of a row is its first cell cut toward zero. A row that the end of the file cuts
// short is dropped (its cells are set back to 0.0); that is the normal end of the table.
// Raises InputError for malformed input, the end of console input at either question, the end
// of the file before the last header name, a column count outside 1 .. MAX_SERIES, more than
// MAX_YEARS data rows, a year cell that is no int (NaN, infinite, too large), and years that do
// not rise by exactly 1 from row to row (naming the line where the row begins and both years).
// Never stores outside `t`. A table with no data row gives seriesCount 0.
void rdtabdat(FreeFormReader& console, std::FILE* prompts, FreeFormReader& table, SeriesTable& t);

// Writes a prompt: one blank, `text` from column 2, blanks to column 44, "==> " in columns 45 to
// 48, no line end; flushed.
void writePrompt(std::FILE* prompts, const char* text);

}  // namespace ringsmooth
