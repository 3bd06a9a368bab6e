#pragma once
// What a Tucson file's title lines say about its site, in the data bank's layout: line 1 the
// site ID in columns 1-6, the line number in column 8, the site name in 10-61 and the species
// code in 62-65; line 2 the ID, the state or country (10-22), the species (23-40), the
// elevation (41-45), latitude-longitude (48-57) and the first and last years (68-76); line 3 the
// ID, the investigators (10-72) and the completion date (73-80). Readers fill it, writers of
// chronology files carry it over.
#include <string>

namespace ringsmooth {

// Each field as the file writes it, without the blanks around it; empty where the file says
// nothing.
struct SiteHeader {
  std::string id = {};  // each field empty unless given
  std::string siteName = {};
  std::string speciesCode = {};
  std::string stateCountry = {};
  std::string species = {};
  std::string elevation = {};
  std::string coordinates = {};  // latitude and longitude, as written (3700-11800)
  std::string firstYear = {};
  std::string lastYear = {};
  std::string investigators = {};
  std::string completionDate = {};

  friend bool operator==(const SiteHeader&, const SiteHeader&) = default;
};

}  // namespace ringsmooth
