#pragma once
// The texts of a table's chronology files: a Tucson chronology (.crn) and a CSV.
#include <string>

#include "core/site_header.h"

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

// The site of a table named `tableName` that brings no site header of its own: its ID the first
// 6 characters of the file name without folder and extension, its name that file name (both as
// crnText writes them); every other field empty.
SiteHeader tableSite(const std::string& tableName);

// The Tucson chronology file of `c`: the three header lines of `site` in the data bank's layout
// (output/crn_header.h) with the chronology's first and last years, then one line per decade:
// the ID in columns 1-6, the decade in 7-10, and 10 pairs of the index in thousandths rounded
// half away from zero (4 columns) and the depth (3 columns); a year outside the chronology, or
// of depth 0, is 9990 with depth 0. The ID is the site's first 6 characters, each one that is no
// visible ASCII character written '_' (so that it keeps its columns and reads back as one word).
// A chronology with a decade before -999 or after 9990 has its decades in columns 6-10 and its
// ID, in the header too, in 1-5. Returns false, with `badYear` set, when a year's index is
// outside -999 to 9989 thousandths or a decade does not fit 5 columns (before -9990); `text`
// is then incomplete.
bool crnText(const ChronologyTable& c, const SiteHeader& site, std::string& text, int& badYear);

// The chronology as CSV: "year,std,res,depth", then one row per year; the indices as the
// shortest decimals that read back as the same doubles, std empty in a year of depth 0, res
// empty where it is NaN.
std::string chronologyCsvText(const ChronologyTable& c);

// Writes the chronology's CSV as `csvName` and then its Tucson file as `crnName` (an empty
// name: not asked for) with the header of `site`, each whole. Throws OutputError when a file
// can't be written, and for a .crn whose index (or year) its columns can't hold, naming the
// year, after the CSV is written.
void writeChronologyFiles(const ChronologyTable& c, const std::string& csvName,
                          const std::string& crnName, const SiteHeader& site);

}  // namespace ringsmooth
