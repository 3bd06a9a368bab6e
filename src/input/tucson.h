#pragma once
// Readers of the two Tucson formats of tree-ring data: decadal ring-width files (.rwl) and
// chronology files (.crn). Both fill the same SeriesTable as the table reader, one series per
// ring-width series or chronology, in the order of their first line in the file.
//
// Common to both:
//   - Lines end at LF, CR LF, CR CR LF or a lone CR. A tab moves to the next multiple of 8
//     columns, as an editor shows it. Empty and blank lines are passed over.
//   - Columns count characters: on a line that is valid UTF-8 (every line of a UTF-8 file) each
//     character is one column, so an ID with letters outside ASCII keeps the year in its
//     columns; on any other line each byte is one column. Names keep their bytes.
//   - Titles: up to 3 leading lines that are not data lines are skipped, whatever they hold
//     (the data bank's 3 header lines, or a free title), each quoted in a note. Those in the
//     data bank's header layout (input/site_header.h) are kept as the file's site header.
//   - A series whose ID an earlier series already used (the same ID again, later in the file)
//     is a series of its own named ID_2 (ID_3, ...; any name an earlier series already has is
//     skipped), with a note naming its first line. Nothing is merged or dropped. Names are cut
//     to 20 bytes at a character boundary (the ID cut shorter to make room for _2).
//   - One bad series does not sink the file: a series with a fault of its own (a line out of
//     sequence, no end marker, a value that is not a whole number, too many years) is skipped
//     with the rest of its block (its lines in a row, up to a line of another ID), and reported
//     in TucsonNotes::skipped with the line of the fault, what was expected there, and the
//     lines the block spans, under the name the series would have had; that name stays taken,
//     so a later sound block of the ID is a series of its own, ID_2. When no series at all can
//     be read, the first fault is raised as the file's InputError. A line longer than 1024
//     columns, more series than the table holds and a read error stay errors of the file.
//   - Missing years are NaN in the table (t.missingFlag is NaN too, so that no measured value,
//     zero included, is ever taken for missing). Each series is trimmed to its first and last
//     present year; missing years inside stay NaN. A series with no present year gets
//     yearCount 0 and firstYear = lastYear = the year of its first line.
//   - Values are whole numbers in units of 0.01, 0.001 (and thousandths of an index); the
//     stored double is the integer divided by 100 or 1000, which IEEE division rounds correctly,
//     so it is exactly the double a table cell written as that decimal ("1.04") would hold.
//   - Capacities: at most MAX_SERIES_COUNT series and MAX_YEARS years from a series' first to
//     its last present year.
// Errors carry the heading "Input error in the ring-width file, line N" (or "chronology file");
// a skipped series' report adds ": series NAME (lines A-B) skipped".
//
// Ring-width lines are read on the format's grid first: the series ID in columns 1-8, the year
// of the line's first value right-aligned in columns 9-12 (a '-' in column 8 followed by four
// digits is a five-character year, with the ID in columns 1-7), then one value per year in
// 6-column fields from column 13, each a right-aligned whole number; a blank field between
// values is a missing year. A line that does not fit the grid is read by blanks: the ID, the
// year, the values. Either way the line must continue the open series (same ID, the year after
// its last value) or start one; the grid reading is preferred, and the two are never mixed in
// one line. A note counts the lines read by blanks. An ID that differs from the open series'
// only in letter case, with the year continuing it, continues it (the series keeps its first
// line's ID; a note names the line). A series ends with the marker 999 (its values are in
// 0.01 mm) or -9999 (0.001 mm) after its last value; the marker may be an 11th value, and only
// zeros may follow it on its line. Any other negative value is a missing year; 0 is a measured
// value. Values have at most 9 digits.
//
// Chronology lines: the ID in columns 1-6, the decade (a multiple of 10) in columns 7-10, then
// 10 pairs of index (4 columns, thousandths: 1000 is 1.000) and sample depth (3 columns) in
// columns 11-80, for the decade's 10 years (an index may be negative, down to -999). The index
// 9990 is a missing year. Depths are checked to be whole numbers, not used. A year that 4
// columns can't hold (before -999, after 9999) takes columns 6-10 and the ID columns 1-5: always
// for a '-' in column 6 followed by 4 digits; for 5 digits in columns 6-10 when that reading
// continues the open chronology, its ID is the file's site ID (from its header lines) while the
// 6-column ID is not, or column 5 is blank. Successive lines of a chronology step by one decade;
// another ID begins the next chronology. The file's last non-blank line is a statistics line,
// and skipped, when it holds a decimal point and is no data line.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "core/notes.h"
#include "core/run_error.h"
#include "core/site_header.h"
#include "core/series_table.h"

namespace ringsmooth {

// What a Tucson reader reports besides the series.
struct TucsonNotes {
  // Console notes, without line ends: titles skipped, letter-case changes and renamed series
  // in file order, then the count of lines read by blanks.
  std::vector<Note> lines;
  std::vector<InputError> skipped;  // one report per series skipped, in file order
  std::optional<SiteHeader> site;   // the data bank's header lines among the titles, if any
};

// Reads a ring-width file from `file` into `t` (all 0.0 before).
void readRingWidthFile(std::FILE* file, SeriesTable& t, TucsonNotes& notes);

// Reads a chronology file from `file` into `t` (all 0.0 before).
void readChronologyFile(std::FILE* file, SeriesTable& t, TucsonNotes& notes);

}  // namespace ringsmooth
