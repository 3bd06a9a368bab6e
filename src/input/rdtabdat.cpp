#include "input/rdtabdat.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace ringsmooth {
namespace {

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

constexpr const char* ASK_FOR_COLUMNS = "give the number of columns with --columns";

// The header of a table whose column count nobody gave: the names of its first line that holds
// any, read by the rules of every reading. Returns how many there are.
int namedColumns(FreeFormReader& table, SeriesTable& t) {
  const FreeFormReader::LineItems named = table.readNamesOfLine(&t.seriesName[0][0], MAX_SERIES,
                                                                NAME_LENGTH);
  if (!named.found) throw table.error(READ_PAST_END, "the file holds no header names");
  if (named.items < 1 || named.items > MAX_SERIES) {
    const std::string message = "The header's first line names " + std::to_string(named.items) +
                                " columns; a table has from 1 to " + std::to_string(MAX_SERIES);
    throw table.errorAtLine(table.readingStartLine(), message.c_str(), ASK_FOR_COLUMNS);
  }
  return static_cast<int>(named.items);
}

// The first data row of a table whose columns the header's first line counted: its first line
// must hold as many cells as there are names (a slash may end it sooner), or nobody can tell
// which count is right. False at the end of the file.
bool readFirstRowOfNamedColumns(FreeFormReader& table, double* row, int columns) {
  const FreeFormReader::LineItems cells = table.readCellsOfLine(row, columns, MAX_YEARS);
  if (!cells.found) return false;
  if (cells.items == columns || (cells.endedBySlash && cells.items < columns)) return true;
  const std::string message = "The header's first line names " + std::to_string(columns) +
                              " columns, the first data row holds " +
                              std::to_string(cells.items) + " cells";
  throw table.errorAtLine(table.readingStartLine(), message.c_str(), ASK_FOR_COLUMNS);
}

// Reads the data rows straight into the table's cells and checks their years. Returns the
// number of complete rows; a row the end of the file cuts short is dropped (its cells are set
// back to 0.0) and ends the table. A complete row after the last one the table holds is an error.
// `named`: the columns were counted from the header, and the first row must agree.
int readRows(FreeFormReader& table, SeriesTable& t, int columns, bool named, int& firstYear) {
  int rows = 0;
  int previousYear = 0;
  for (;;) {
    if (rows == MAX_YEARS) {
      double surplus[MAX_SERIES];
      if (!table.readCells(surplus, columns, 1)) return rows;
      const std::string message =
          "Too many data rows: the table holds at most " + std::to_string(MAX_YEARS);
      throw table.errorAtLine(table.readingStartLine(), message.c_str());
    }
    double* row = t.values + rows;
    const bool complete = named && rows == 0 ? readFirstRowOfNamedColumns(table, row, columns)
                                             : table.readCells(row, columns, MAX_YEARS);
    if (!complete) {
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
  const double* source = t.column(k + 1);
  double* target = t.column(k);
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

void rdtabdat(FreeFormReader& table, int columns, float missingFlag, SeriesTable& t) {
  const bool named = columns == 0;
  if (!named && !validColumnCount(columns)) {
    throw std::out_of_range("rdtabdat: column count out of range");
  }
  t.missingFlag = missingFlag;
  // A name the header leaves empty (",,", "2*", the names after a slash) stays blank, as a short
  // name is filled, rather than keeping the zero bytes of the fresh table.
  std::memset(&t.seriesName[0][0], ' ', sizeof t.seriesName);
  if (named) {
    columns = namedColumns(table, t);
  } else if (!table.readNames(&t.seriesName[0][0], columns, NAME_LENGTH)) {
    throw table.error(READ_PAST_END, "the file ends before the header has all its names");
  }
  int firstYear = 0;
  const int rows = readRows(table, t, columns, named, firstYear);
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
