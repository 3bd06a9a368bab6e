#pragma once
// The texts of a table's chronology files: a Tucson chronology (.crn) and a CSV.
#include <string>

namespace ringsmooth {

// A chronology: for each year firstYear + j, j in [0, years), its index value[j] (NaN when no
// series has one) and its sample depth depth[j]; and the residual chronology's index
// residual[j] (NaN when none; null: not made).
struct ChronologyTable {
  int firstYear;
  int years;
  const double* value;
  const int* depth;
  const double* residual = nullptr;
};

// The site ID of a table named `tableName`: the first 6 characters of its file name without
// folder and extension, a character that is not a visible ASCII one shown as '_' (so that the
// ID keeps its 6 columns and reads back as one word); "site" for a name with none.
std::string siteId(const std::string& tableName);

// The Tucson chronology file of `c`: three header lines (the site ID, then 1, 2, 3 standing
// alone in column 9: the program, the years covered, the index named by `indexName`), then one
// line per decade: the ID in columns 1-6, the decade in 7-10, and 10 pairs of the index in
// thousandths rounded half away from zero (4 columns) and the depth (3 columns); a year outside
// the chronology, or of depth 0, is 9990 with depth 0. Returns false, with `badYear` set, when
// a year's index is outside -999 to 9989 thousandths or a decade does not fit its 4 columns;
// `text` is then incomplete.
bool crnText(const ChronologyTable& c, const std::string& site, const char* indexName,
             std::string& text, int& badYear);

// The chronology as CSV: "year,std,res,depth", then one row per year; the indices as the
// shortest decimals that read back as the same doubles, std empty in a year of depth 0, res
// empty where it is NaN.
std::string chronologyCsvText(const ChronologyTable& c);

// Writes the chronology's CSV as `csvName` and then its Tucson file as `crnName` (an empty
// name: not asked for), each whole. Throws OutputError when a file can't be written, and for
// a .crn whose index (or year) its 4 columns can't hold, naming the year, after the CSV is
// written.
void writeChronologyFiles(const ChronologyTable& c, const std::string& csvName,
                          const std::string& crnName, const std::string& site,
                          const char* indexName);

}  // namespace ringsmooth
