#pragma once
// Readers of the two Tucson formats of tree-ring data: decadal ring-width files (.rwl) and
// chronology files (.crn). Both fill the same SeriesTable as the table reader, one series per
// ring-width series or chronology, in the order of their first line in the file.
//
// Common to both:
//   - Lines end at LF, CR LF or a lone CR. A tab moves to the next multiple of 8 columns, as an
//     editor shows it; columns are then counted from 1. Empty and blank lines are passed over.
//   - Optional header: when the first non-blank line holds, after some site ID text, the digit
//     1 standing alone in one of columns 7-10, it and the next two non-blank lines (with 2 and
//     3 in the same way) are header lines and are skipped. A file with header line 1 but not 2
//     or 3 is an input error.
//   - A series whose ID an earlier series already used (the same ID again, later in the file)
//     is a series of its own named ID_2 (ID_3, ...; any name an earlier series already has is
//     skipped), with a note naming its first line. Nothing is merged or dropped.
//   - Missing years are NaN in the table (t.missingFlag is NaN too, so that no measured value,
//     zero included, is ever taken for missing). Each series is trimmed to its first and last
//     present year; missing years inside stay NaN. A series with no present year gets
//     yearCount 0 and firstYear = lastYear = the year of its first line.
//   - Values are whole numbers in units of 0.01, 0.001 (and thousandths of an index); the
//     stored double is the integer divided by 100 or 1000, which IEEE division rounds correctly,
//     so it is exactly the double a table cell written as that decimal ("1.04") would hold.
//   - Capacities: at most MAX_SERIES_COUNT series and MAX_YEARS years from a series' first to
//     its last present year.
// Any malformed line raises InputError with the heading "Input error in the ring-width file,
// line N" (or "chronology file") and a message saying what was expected there.
//
// Ring-width lines: the series ID in columns 1-8 and the year of the line's first value in
// columns 9-12, right-aligned; a '-' in column 8 followed by four digits is a five-character
// year (-1000 and before) with the ID in columns 1-7. Then up to 10 values, one per year,
// separated by blanks; the years run on by 1 from line to line of a series. A series ends with
// the marker 999 (its values are in 0.01 mm) or -9999 (0.001 mm) after its last value; the
// marker may be an 11th value, and only zeros may follow it on its line. Any other negative
// value is a missing year; 0 is a measured value.
//
// Chronology lines: the ID in columns 1-6, the decade (a multiple of 10) in columns 7-10, then
// 10 pairs of index (4 columns, thousandths: 1000 is 1.000) and sample depth (3 columns) in
// columns 11-80, for the decade's 10 years (an index may be negative, down to -999). The index
// 9990 is a missing year. Depths are
// checked to be whole numbers, not used. Successive lines of a chronology step by one decade;
// another ID begins the next chronology. The file's last non-blank line is a statistics line,
// and skipped, when it holds a decimal point and is no data line.
#include <cstdio>
#include <string>
#include <vector>

#include "core/series_table.h"

namespace ringsmooth {

// What a Tucson reader reports besides the series.
struct TucsonNotes {
  std::vector<std::string>
      renamed;  // " Series ABC at line 31 repeats an earlier ID: read as ABC_2"
};

// Reads a ring-width file from `file` into `t` (all 0.0 before).
void readRingWidthFile(std::FILE* file, SeriesTable& t, TucsonNotes& notes);

// Reads a chronology file from `file` into `t` (all 0.0 before).
void readChronologyFile(std::FILE* file, SeriesTable& t, TucsonNotes& notes);

}  // namespace ringsmooth
