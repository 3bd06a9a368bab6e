#pragma once
// The three header lines of a Tucson chronology file, in the data bank's layout
// (core/site_header.h), which the field's readers recognise: columns 7-10 of line 1 are no
// number.
#include <string>

#include "core/site_header.h"

namespace ringsmooth {

// The header of a chronology with the ID `id` (as its data lines write it: at most 6
// characters) over the years firstYear..lastYear: each field of `site` in its columns, cut to
// them where a character ends, a control character written '?'; the years are the ones given,
// not the site's. A site without a name is named by its ID, so that column 10 is never blank.
// Each line ends in "\n", without trailing blanks.
std::string crnHeader(const SiteHeader& site, const std::string& id, int firstYear, int lastYear);

}  // namespace ringsmooth
