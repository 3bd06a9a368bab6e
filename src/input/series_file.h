#pragma once
// The input file of a run, in whichever of its formats: a table, a Tucson ring-width file or a
// Tucson chronology file. The format follows from the file's name unless it is given.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/notes.h"
#include "core/run_error.h"
#include "core/site_header.h"
#include "core/series_table.h"
#include "input/free_form.h"

namespace ringsmooth {

enum class InputFormat { Table, Rwl, Crn };

// Rwl for a name ending in ".rwl", Crn for ".crn" (either in any case), Table for any other.
InputFormat formatForName(const std::string& fileName);

// The format a word names: "table", "rwl" or "crn" (as --input-format takes them); nothing for
// any other word.
std::optional<InputFormat> formatNamed(std::string_view word);

// What was read, for the console.
struct InputSummary {
  InputFormat format = InputFormat::Table;
  int seriesCount = 0;
  int firstYear = 0;  // earliest and latest year of any series with a present value
  int lastYear = 0;
  bool anyValue = false;           // some series has a present value
  std::vector<Note> notes;  // a Tucson file's notes (input/tucson.h), without the summary
  std::vector<InputError> skipped;  // a Tucson file's series skipped for a fault of their own
  std::optional<SiteHeader> site;   // a Tucson file's header lines in the data bank's layout
};

// Reads `file` (open at its start) as `format` into `t`, which holds 0.0 everywhere.
// A table is read with `columns` columns and the flag `missingFlag`, exactly as rdtabdat reads
// it (`columns` must satisfy validColumnCount, or be 0: as many as the names on the header's
// first line). A Tucson file does not use them: its series go
// into `t` as input/tucson.h describes, and a series with a fault of its own is left out and
// reported in the summary's `skipped`. Raises InputError for malformed input.
InputSummary readSeriesFile(std::FILE* file, InputFormat format, int columns, float missingFlag,
                            SeriesTable& t);

// The console lines that tell what was read, in order, without line ends: nothing for a table;
// for a Tucson file, " Tucson ring-width file: 34 series, years 626 to 1983" (or " Tucson
// chronology file: 2 chronologies, years ...", with "; 1 skipped" when series were skipped) and
// then the reader's notes. Control characters from the file are shown as '?'.
std::vector<std::string> readingNotes(const InputSummary& summary);

// The same lines as notes of their kinds (core/notes.h), for a batch run to gather.
std::vector<Note> readingNoteList(const InputSummary& summary);

}  // namespace ringsmooth
