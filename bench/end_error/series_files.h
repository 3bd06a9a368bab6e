#pragma once
// The benchmark's series, read with the program's own readers.
#include <string>
#include <vector>

#include "end_error.h"

namespace endbench {

inline constexpr int LONGEST_SERIES = 1500;  // longer records are cut into pieces of PIECE_YEARS
inline constexpr int PIECE_YEARS = 500;

// Every series of `path` (a table, or a Tucson file by its name) that has no missing year
// between its first and last; with `pieces`, a series longer than LONGEST_SERIES years (a long
// chronology) is taken as consecutive pieces of PIECE_YEARS years, the last one whatever
// remains. Throws std::runtime_error naming the file when it can't be read.
std::vector<Series> readSeries(const std::string& path, bool pieces = true);

}  // namespace endbench
