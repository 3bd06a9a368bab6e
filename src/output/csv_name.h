#pragma once
// A series name as a CSV field (RFC 4180).
#include "core/capacities.h"

namespace ringsmooth {

inline constexpr int CSV_NAME_CAPACITY = 2 + 2 * NAME_LENGTH;  // quotes, every character doubled

// Writes the name, without its trailing blanks, into out[0 .. CSV_NAME_CAPACITY) and returns
// its length: quoted, its quotes doubled, when it holds a comma, a quote or a line end, or
// begins with a blank.
int csvName(const char name[NAME_LENGTH], char out[CSV_NAME_CAPACITY]);

}  // namespace ringsmooth
