#pragma once
// The missing-value flag, read from the dialogue's answer or from a command-line value by the
// same rules, and converted exactly as a table cell is: to double, with the cell's range check,
// then to single precision as the program carries every cell. So a cell written like the flag
// always equals it, even where a direct rounding to single precision would differ
// (1.00000005960464478: the cell's double rounds to 1.0f, and so does the flag).
#include <optional>
#include <string>

#include "input/free_form.h"

namespace ringsmooth {

// Reads the flag as one free-form answer from `answer`: a number, an infinity refused, a NaN
// taken. False at the end of the input before the answer's item. Raises InputError for a
// malformed or out-of-range number, and for an answer that holds no number (a lone comma, a
// slash, "3*"), which would otherwise leave the flag at whatever it held.
bool readMissingFlag(FreeFormReader& answer, float& flag);

// The same reading of `text`, as if it were typed as the answer (" -999 ", "-999,", "2*-999"
// are all -999). Returns the flag, or nothing with `problem` saying what is wrong.
std::optional<float> missingFlagFromText(const std::string& text, std::string& problem);

}  // namespace ringsmooth
