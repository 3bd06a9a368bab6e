#include "input/site_header.h"

#include <algorithm>
#include <string>

#include "core/text_field.h"
#include "input/number_token.h"

namespace ringsmooth {
namespace {

// Columns of the layout, counted from 1, for a header that is not shifted.
constexpr std::size_t NUMBER_COLUMN = 8;
constexpr std::size_t SPECIES_CODE_COLUMN = 62;
constexpr std::size_t SPECIES_COLUMN = 23;
constexpr std::size_t DATE_COLUMN = 73;
constexpr std::size_t YEAR_DIGITS = 5;

using Words = std::vector<TitleWord>;

bool isCapital(char c) { return c >= 'A' && c <= 'Z'; }
bool isLetter(char c) { return isCapital(c) || (c >= 'a' && c <= 'z'); }

// The words [from, to) as the line writes them, the blanks between them kept.
std::string joined(const Words& words, std::size_t from, std::size_t to) {
  std::string text;
  for (std::size_t i = from; i < to; ++i) {
    if (i > from) text.append(words[i].first - words[i - 1].last - 1, ' ');
    text.append(words[i].text);
  }
  return text;
}

bool isYear(std::string_view t) {
  if (!t.empty() && t[0] == '-') t.remove_prefix(1);
  return !t.empty() && t.size() <= YEAR_DIGITS && std::all_of(t.begin(), t.end(), isDigit);
}

// 3700-11800, +3700-11800, 37.00N-118.00W: digits on both sides of a sign inside the word.
bool isCoordinates(std::string_view t) {
  const std::size_t sign = t.find_first_of("+-", 1);
  if (sign == std::string_view::npos || !isDigit(t[sign - 1]) || sign + 1 == t.size()) {
    return false;
  }
  return std::all_of(t.begin(), t.end(), [](char c) {
    return isDigit(c) || c == '+' || c == '-' || c == '.' || c == 'N' || c == 'S' || c == 'E' ||
           c == 'W';
  });
}

// 3000M, 2925m, 9500FT, 850: digits, then at most two letters of the unit.
bool isElevation(std::string_view t) {
  const auto digitsEnd = std::find_if_not(t.begin(), t.end(), isDigit);
  const auto digits = digitsEnd - t.begin();
  return digits > 0 && t.end() - digitsEnd <= 2 && std::all_of(digitsEnd, t.end(), isLetter);
}

bool isSpeciesCode(std::string_view t) {
  return t.size() == 4 && std::all_of(t.begin(), t.end(), isCapital);
}

// The first word, from `from` on, that starts at `column` or after it (`to` when none does).
std::size_t firstFrom(const Words& words, std::size_t from, std::size_t to, std::size_t column) {
  while (from < to && words[from].first < column) ++from;
  return from;
}

// After the line number: the site name, and the species code when it is clearly one (4
// capitals in its columns or after a gap of two blanks or more; or the last 4 columns of a name
// that fills its columns and so touches the code).
void readNameLine(const Words& words, std::size_t codeColumn, SiteHeader& site) {
  std::size_t end = words.size();
  if (end <= 2) return;
  const TitleWord& last = words[end - 1];
  if (end > 3 && isSpeciesCode(last.text) &&
      (last.first == codeColumn || last.first >= words[end - 2].last + 3)) {
    site.speciesCode = std::string(last.text);
    site.siteName = joined(words, 2, end - 1);
    return;
  }
  site.siteName = joined(words, 2, end);
  const std::string_view tail =
      last.text.substr(last.text.size() - std::min<std::size_t>(4, last.text.size()));
  if (last.first < codeColumn && last.last == codeColumn + 3 && isSpeciesCode(tail)) {
    site.speciesCode = std::string(tail);
    site.siteName.resize(site.siteName.size() - tail.size());
  }
}

// From the end: the first and last years, the coordinates, the elevation, each when it is
// there; then the state or country and, from column 23 on, the species.
void readPlaceLine(const Words& words, std::size_t speciesColumn, SiteHeader& site) {
  std::size_t end = words.size();
  if (end >= 4 && isYear(words[end - 2].text) && isYear(words[end - 1].text)) {
    site.firstYear = std::string(words[end - 2].text);
    site.lastYear = std::string(words[end - 1].text);
    end -= 2;
  }
  if (end > 2 && isCoordinates(words[end - 1].text)) site.coordinates = words[--end].text;
  if (end > 2 && isElevation(words[end - 1].text)) site.elevation = words[--end].text;
  std::size_t split = firstFrom(words, 2, end, speciesColumn);
  if (split == end) {  // a header shifted inside the line: the species after a gap
    split = 3;
    while (split < end && words[split].first < words[split - 1].last + 3) ++split;
  }
  site.stateCountry = joined(words, 2, std::min(split, end));
  site.species = joined(words, std::min(split, end), end);
}

void readPeopleLine(const Words& words, std::size_t dateColumn, SiteHeader& site) {
  const std::size_t split = firstFrom(words, 2, words.size(), dateColumn);
  site.investigators = joined(words, 2, split);
  site.completionDate = joined(words, split, words.size());
}

}  // namespace

bool readSiteHeaderLine(const Words& words, SiteHeader& site) {
  if (words.size() < 2 || words[0].first != 1) return false;
  const TitleWord& number = words[1];
  if (number.text.size() != 1 || number.text[0] < '1' || number.text[0] > '3') return false;
  if (number.last + 1 < NUMBER_COLUMN || number.last > NUMBER_COLUMN + 2) return false;
  if (!site.id.empty() && !equalIgnoringCase(site.id, words[0].text)) return false;
  // The layout's columns, moved as far as the line number is.
  const auto column = [&number](std::size_t layout) {
    return layout + number.last - NUMBER_COLUMN;
  };
  site.id = std::string(words[0].text);
  if (number.text[0] == '1') readNameLine(words, column(SPECIES_CODE_COLUMN), site);
  if (number.text[0] == '2') readPlaceLine(words, column(SPECIES_COLUMN), site);
  if (number.text[0] == '3') readPeopleLine(words, column(DATE_COLUMN), site);
  return true;
}

}  // namespace ringsmooth
