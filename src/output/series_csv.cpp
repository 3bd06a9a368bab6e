#include "output/series_csv.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "core/capacities.h"
#include "core/text_field.h"
#include "output/shortest_decimal.h"

namespace ringsmooth {
namespace {

// A row: the name (quoted, every character possibly doubled), the year, three floats, the
// index (a double), six commas, the flag and the line end.
constexpr char HEADER[] = "series,year,value,spline,residual,index,filled\n";
constexpr int NAME_CAPACITY = 2 + 2 * NAME_LENGTH;  // quotes, every character doubled
constexpr int YEAR_CAPACITY = 11;
constexpr long ROW_CAPACITY = NAME_CAPACITY + YEAR_CAPACITY + 3 * SHORTEST_FLOAT_CAPACITY +
                              SHORTEST_DOUBLE_CAPACITY + 6 + 1 + 1;
constexpr long BLOCK_CAPACITY = MAX_YEARS * ROW_CAPACITY;

// Writes the series name as a CSV field into out[0 .. NAME_CAPACITY) and returns its length.
int csvName(const char name[NAME_LENGTH], char out[NAME_CAPACITY]) {
  const int length = trimmedLength(name, NAME_LENGTH);
  bool quote = length > 0 && name[0] == ' ';
  for (int i = 0; i < length; ++i) {
    const char c = name[i];
    quote = quote || c == ',' || c == '"' || c == '\r' || c == '\n';
  }
  if (!quote) {
    std::memcpy(out, name, static_cast<std::size_t>(length));
    return length;
  }
  int at = 0;
  out[at++] = '"';
  for (int i = 0; i < length; ++i) {
    if (name[i] == '"') out[at++] = '"';
    out[at++] = name[i];
  }
  out[at++] = '"';
  return at;
}

}  // namespace

std::string_view SeriesCsv::header() const { return {HEADER, sizeof HEADER - 1}; }

long SeriesCsv::blockCapacity() const { return BLOCK_CAPACITY; }

long SeriesCsv::formatBlock(const BlockColumns& c, char* text) const {
  char field[NAME_CAPACITY];
  const int fieldLength = csvName(c.name, field);
  char* out = text;
  for (int i = 0; i < c.n; ++i) {
    c.residuals[i] = c.listed[i] - c.smoothed[i];
    const bool filled = c.filled != nullptr && c.filled[i] != 0;
    out = std::copy(field, field + fieldLength, out);
    *out++ = ',';
    out = std::to_chars(out, out + YEAR_CAPACITY, static_cast<long long>(c.firstYear) + i).ptr;
    *out++ = ',';
    if (!filled) out = shortestDecimal(out, c.listed[i]);
    *out++ = ',';
    out = shortestDecimal(out, c.smoothed[i]);
    *out++ = ',';
    if (!filled) out = shortestDecimal(out, c.residuals[i]);
    *out++ = ',';
    if (c.index != nullptr && !std::isnan(c.index[i])) out = shortestDecimal(out, c.index[i]);
    *out++ = ',';
    *out++ = filled ? '1' : '0';
    *out++ = '\n';
  }
  return out - text;
}

}  // namespace ringsmooth
