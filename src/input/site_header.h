#pragma once
// Reading the data bank's three header lines (core/site_header.h) from a Tucson file's titles.
#include <cstddef>
#include <string_view>
#include <vector>

#include "core/site_header.h"

namespace ringsmooth {

// A word of a title line: its text and the columns it takes, counted from 1.
struct TitleWord {
  std::string_view text;
  std::size_t first;
  std::size_t last;
};

// Takes a title line, given as its words, into `site` when it is one of the header lines: the
// site ID from column 1 (on lines 2 and 3 the ID of the earlier header lines, in any case), then
// the line's number 1, 2 or 3 alone, ending in column 8, or in 7, 9 or 10 in a file whose
// header is shifted (its fields are then read as many columns further). Each field is the
// words that start in its columns; what is clearly of a kind is taken by its kind wherever it
// stands (a species code of 4 capitals after a gap, on line 2 from the end the two years, the
// coordinates such as 3700-11800, the elevation such as 3000M). Returns false, and leaves
// `site` as it was, for a line that is no header line. Never fails.
bool readSiteHeaderLine(const std::vector<TitleWord>& words, SiteHeader& site);

}  // namespace ringsmooth
