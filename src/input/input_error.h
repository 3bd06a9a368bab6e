#pragma once
// An input error ends the run with an error report on the console whose every line begins with
// "? ", and a non-zero exit status.
#include <cstdio>
#include <string>

namespace ringsmooth {

inline constexpr const char* READ_PAST_END = "Attempt to read past end of file";
inline constexpr const char* ILLEGAL_NUMERIC = "Illegal character in numeric input";
inline constexpr const char* NUMBER_OUT_OF_RANGE = "Number out of range";
inline constexpr const char* YEARS_NOT_CONSECUTIVE = "Years do not rise by 1 from row to row";

struct InputError {
  std::string heading;  // where: "Input error in a console answer", "... input table, line 17"
  std::string message;  // what: one of the two messages above, or the OS's own text
  std::string detail;   // optional further line (the offending token, a limit); may be empty
};

// Writes the report: "? heading", "? message" and, when present, "? detail".
void writeErrorReport(std::FILE* console, const InputError& error);

}  // namespace ringsmooth
