#include "output/series_csv.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "core/capacities.h"
#include "core/text_field.h"
#include "output/csv_name.h"
#include "output/shortest_decimal.h"

namespace ringsmooth {
namespace {

// A row: the name (quoted, every character possibly doubled), the year, three floats, the
// index (a double), six commas, the flag and the line end.
constexpr char HEADER[] = "series,year,value,spline,residual,index,filled\n";
constexpr int YEAR_CAPACITY = 11;
constexpr long ROW_CAPACITY = CSV_NAME_CAPACITY + YEAR_CAPACITY + 3 * SHORTEST_FLOAT_CAPACITY +
                              SHORTEST_DOUBLE_CAPACITY + 6 + 1 + 1;
constexpr long BLOCK_CAPACITY = MAX_YEARS * ROW_CAPACITY;

}  // namespace

std::string_view SeriesCsv::header() const { return {HEADER, sizeof HEADER - 1}; }

long SeriesCsv::blockCapacity() const { return BLOCK_CAPACITY; }

long SeriesCsv::formatBlock(const BlockColumns& c, char* text) const {
  char field[CSV_NAME_CAPACITY];
  const int fieldLength = csvName(c.name, field);
  char* out = text;
  for (int i = 0; i < c.n; ++i) {
    c.residuals[i] = c.listed[i] - c.smoothed[i];
    const bool filled = c.filled != nullptr && c.filled[i] != 0;
    out = std::copy(field, field + fieldLength, out);
    *out++ = ',';
    out = std::to_chars(out, out + YEAR_CAPACITY, static_cast<long long>(c.firstYear) + i).ptr;
    *out++ = ',';
    if (!filled) out = shortestDecimal(out, c.read != nullptr ? c.read[i] : c.listed[i]);
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
