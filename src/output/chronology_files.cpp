#include "output/chronology_files.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/file_names.h"
#include "output/crn_header.h"
#include "output/output_error.h"
#include "output/shortest_decimal.h"
#include "output/whole_file.h"

namespace ringsmooth {
namespace {

constexpr std::size_t ID_WIDTH = 6;
constexpr int YEARS_PER_LINE = 10;
constexpr long MISSING_INDEX = 9990;
constexpr long LOWEST_INDEX = -999;    // thousandths that 4 columns hold
constexpr long HIGHEST_INDEX = 9989;   // 9990 and above would read as missing, or not fit
constexpr int LOWEST_NARROW_DECADE = -990;  // decades that 4 columns hold
constexpr int HIGHEST_NARROW_DECADE = 9990;
constexpr int LOWEST_DECADE = -9990;        // and 5
constexpr int HIGHEST_DECADE = 99990;

// The decade a year belongs to: -5 is in the decade -10.
int decadeOf(int year) {
  const int decade = year / YEARS_PER_LINE * YEARS_PER_LINE;
  return decade > year ? decade - YEARS_PER_LINE : decade;
}

// value right-aligned in `width` columns, as "%*ld" writes it (wider values whole), without
// the cost of a formatted print for each of a chronology's thousands of fields.
void appendField(std::string& text, long value, int width) {
  char digits[24];
  const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  const long length = end - digits;
  if (length < width) text.append(static_cast<std::size_t>(width - length), ' ');
  text.append(digits, static_cast<std::size_t>(length));
}

// The first `width` bytes of `id` as a chronology line's ID.
std::string lineId(std::string id, std::size_t width) {
  id.resize(std::min(id.size(), width));
  for (char& c : id) {
    if (c <= ' ' || c > '~') c = '_';
  }
  return id.empty() ? "site" : id;
}

// The decade lines of `c`, the ID in `idWidth` columns and the decade in the rest of 10.
bool appendDecades(const ChronologyTable& c, const std::string& id, int idWidth,
                   int firstDecade, int lastDecade, std::string& text, int& badYear) {
  for (int decade = firstDecade; decade <= lastDecade; decade += YEARS_PER_LINE) {
    text += id;
    text.append(static_cast<std::size_t>(idWidth) - id.size(), ' ');
    appendField(text, decade, 10 - idWidth);
    for (int year = decade; year < decade + YEARS_PER_LINE; ++year) {
      const int j = year - c.firstYear;
      const bool present = j >= 0 && j < c.years && c.depth[j] > 0;
      long thousandths = MISSING_INDEX;
      if (present) {
        const double scaled = std::round(c.value[j] * 1000.0);  // halves away from zero
        if (!(scaled >= LOWEST_INDEX && scaled <= HIGHEST_INDEX)) {
          badYear = year;
          return false;
        }
        thousandths = static_cast<long>(scaled);
      }
      appendField(text, thousandths, 4);
      appendField(text, present ? c.depth[j] : 0, 3);
    }
    text += '\n';
  }
  return true;
}

}  // namespace

SiteHeader tableSite(const std::string& tableName) {
  const std::string stem = withoutExtension(tableName.substr(tableName.rfind('/') + 1));
  return SiteHeader{.id = lineId(stem, ID_WIDTH), .siteName = stem};
}

bool crnText(const ChronologyTable& c, const SiteHeader& site, std::string& text, int& badYear) {
  const int lastYear = c.firstYear + c.years - 1;
  const int firstDecade = decadeOf(c.firstYear);
  const int lastDecade = decadeOf(lastYear);
  if (firstDecade < LOWEST_DECADE || lastDecade > HIGHEST_DECADE) {
    badYear = firstDecade < LOWEST_DECADE ? c.firstYear : lastYear;
    return false;
  }
  const bool wide = firstDecade < LOWEST_NARROW_DECADE || lastDecade > HIGHEST_NARROW_DECADE;
  const int idWidth = wide ? static_cast<int>(ID_WIDTH) - 1 : static_cast<int>(ID_WIDTH);
  const std::string id = lineId(site.id, static_cast<std::size_t>(idWidth));
  text = crnHeader(site, id, c.firstYear, lastYear);
  return appendDecades(c, id, idWidth, firstDecade, lastDecade, text, badYear);
}

std::string chronologyCsvText(const ChronologyTable& c) {
  std::string text = "year,std,res,depth\n";
  char number[SHORTEST_DOUBLE_CAPACITY];
  for (int j = 0; j < c.years; ++j) {
    text += std::to_string(c.firstYear + j);
    text += ',';
    if (c.depth[j] > 0) text.append(number, shortestDecimal(number, c.value[j]));
    text += ',';
    if (c.residual != nullptr && !std::isnan(c.residual[j])) {
      text.append(number, shortestDecimal(number, c.residual[j]));
    }
    text += ',';
    text += std::to_string(c.depth[j]);
    text += '\n';
  }
  return text;
}

void writeChronologyFiles(const ChronologyTable& c, const std::string& csvName,
                          const std::string& crnName, const SiteHeader& site) {
  constexpr const char* WHAT = "the chronology";
  if (!csvName.empty()) writeWholeFile(csvName, chronologyCsvText(c), WHAT);
  if (crnName.empty()) return;
  std::string text;
  int badYear = 0;
  if (!crnText(c, site, text, badYear)) {
    const int decade = decadeOf(badYear);
    const std::string what =
        decade < LOWEST_DECADE || decade > HIGHEST_DECADE
            ? "Year " + std::to_string(badYear) +
                  " does not fit the columns of a Tucson chronology (years -9990 to 99999)"
            : "The index of year " + std::to_string(badYear) +
                  " does not fit the 4 columns of a Tucson chronology (-0.999 to 9.989)";
    throw outputRefused(OutputStep::Write, WHAT, crnName, what + "; the other outputs are written");
  }
  writeWholeFile(crnName, text, WHAT);
}

}  // namespace ringsmooth
