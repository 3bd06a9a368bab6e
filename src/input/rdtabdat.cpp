#include "input/rdtabdat.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace ringsmooth {
namespace {

const char* const COLUMNS_PROMPT = "Enter number of columns including years";
const char* const FLAG_PROMPT = "Enter missing value flag, e.g., -999.00";

// Asks for the number of columns and checks it against the table's capacity.
int askColumnCount(FreeFormReader& console, std::FILE* prompts) {
  writePrompt(prompts, COLUMNS_PROMPT);
  int columns = 0;  // an empty answer (a lone comma or slash) leaves it 0: refused below
  if (!console.readWholeNumber(columns)) throw console.error(READ_PAST_END);
  if (columns < 1 || columns > MAX_SERIES) {
    const std::string message = "Number of columns must be from 1 to " +
                                std::to_string(MAX_SERIES) + " (the year column included)";
    const std::string detail = "the answer was " + std::to_string(columns);
    throw console.error(message.c_str(), detail.c_str());
  }
  return columns;
}

// Asks for the missing-value flag. An answer with no number in it (a lone comma, a slash, "3*")
// would leave the flag at whatever it held and silently make every such cell missing: refused.
void askMissingFlag(FreeFormReader& console, std::FILE* prompts, float& flag) {
  writePrompt(prompts, FLAG_PROMPT);
  // A signalling NaN: no number read from text ever has this pattern.
  constexpr uint32_t NOTHING_READ = 0x7fa00001u;
  flag = std::bit_cast<float>(NOTHING_READ);
  if (!console.readSingle(flag)) throw console.error(READ_PAST_END);
  if (std::bit_cast<uint32_t>(flag) == NOTHING_READ) {
    throw console.error("No missing value flag was given", "the answer held no number");
  }
}

// The year of a row: its first cell cut toward zero. Cells that give no int year (NaN,
// infinities, magnitudes beyond int) are refused rather than converted.
int yearOfRow(const FreeFormReader& table, double cell) {
  if (!(cell > -2147483649.0 && cell < 2147483648.0)) {
    char detail[64];
    std::snprintf(detail, sizeof detail, "the year cell holds %g", cell);
    throw table.errorAtLine(table.readingStartLine(), "Year is not a usable whole number", detail);
  }
  return static_cast<int>(cell);
}

void checkNextYear(const FreeFormReader& table, int previous, int year) {
  if (static_cast<long long>(year) == static_cast<long long>(previous) + 1) return;
  const std::string detail =
      "year " + std::to_string(year) + " follows year " + std::to_string(previous);
  throw table.errorAtLine(table.readingStartLine(), YEARS_NOT_CONSECUTIVE, detail.c_str());
}

// Reads the data rows straight into the table's cells and checks their years. Returns the
// number of complete rows; a row the end of the file cuts short is dropped (its cells are set
// back to 0.0) and ends the table. A complete row after the last one the table holds is an error.
int readRows(FreeFormReader& table, SeriesTable& t, int columns, int& firstYear) {
  int rows = 0;
  int previousYear = 0;
  for (;;) {
    if (rows == MAX_YEARS) {
      double surplus[MAX_SERIES];
      if (!table.readNumbers(surplus, columns, 1)) return rows;
      const std::string message =
          "Too many data rows: the table holds at most " + std::to_string(MAX_YEARS);
      throw table.errorAtLine(table.readingStartLine(), message.c_str());
    }
    double* row = t.values + rows;
    if (!table.readNumbers(row, columns, MAX_YEARS)) {
      for (int c = 0; c < columns; ++c) row[static_cast<std::ptrdiff_t>(c) * MAX_YEARS] = 0.0;
      return rows;
    }
    const int year = yearOfRow(table, row[0]);
    if (rows == 0) {
      firstYear = year;
    } else {
      checkNextYear(table, previousYear, year);
    }
    previousYear = year;
    ++rows;
  }
}

bool isPresent(double cell, double flag) { return cell == cell && cell != flag; }

// Moves file column `k + 1` (rows 0 .. rows-1) into series column k: the span from its first to
// its last present cell, in row order, gaps inside kept as read.
void moveSeries(SeriesTable& t, int k, int rows, int firstYear) {
  const double flag = static_cast<double>(t.missingFlag);
  const double* source = t.values + static_cast<std::ptrdiff_t>(k + 1) * MAX_YEARS;
  double* target = t.values + static_cast<std::ptrdiff_t>(k) * MAX_YEARS;
  int first = 0;
  while (first < rows && !isPresent(source[first], flag)) ++first;
  if (first == rows) {
    t.firstYear[k] = firstYear;
    t.lastYear[k] = firstYear;
    t.yearCount[k] = 0;
    return;
  }
  int last = rows - 1;
  while (!isPresent(source[last], flag)) --last;
  const int count = last - first + 1;
  std::memmove(target, source + first, static_cast<std::size_t>(count) * sizeof(double));
  t.firstYear[k] = firstYear + first;
  t.lastYear[k] = firstYear + last;
  t.yearCount[k] = count;
}

}  // namespace

void writePrompt(std::FILE* prompts, const char* text) {
  std::fprintf(prompts, " %-43s==> ", text);
  std::fflush(prompts);
}

void rdtabdat(FreeFormReader& console, std::FILE* prompts, FreeFormReader& table, SeriesTable& t) {
  const int columns = askColumnCount(console, prompts);
  askMissingFlag(console, prompts, t.missingFlag);
  if (!table.readNames(&t.seriesName[0][0], columns, NAME_LENGTH)) {
    throw table.error(READ_PAST_END, "the file ends before the header has all its names");
  }
  int firstYear = 0;
  const int rows = readRows(table, t, columns, firstYear);
  const int series = rows == 0 ? 0 : columns - 1;
  for (int k = 0; k < series; ++k) moveSeries(t, k, rows, firstYear);
  if (columns > 1) {
    std::memmove(&t.seriesName[0][0], &t.seriesName[1][0],
                 static_cast<std::size_t>(columns - 1) * NAME_LENGTH);
    std::memset(&t.seriesName[columns - 1][0], ' ', NAME_LENGTH);
  }
  t.seriesCount = series;
}

}  // namespace ringsmooth
