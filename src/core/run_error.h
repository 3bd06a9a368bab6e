#pragma once
// The ways a run ends early, and the exit status of each. Every error a run can raise derives
// from std::exception, so one handler sees them all (a failed allocation included).
#include <exception>
#include <string>
#include <utility>

namespace ringsmooth {

// Exit statuses of the program.
inline constexpr int EXIT_NORMAL = 0;       // finished, or "/" at the first question
inline constexpr int EXIT_INPUT_ERROR = 1;  // a bad answer or table, a file that can't be used
inline constexpr int EXIT_USAGE = 2;        // a command line the program doesn't take
inline constexpr int EXIT_TOO_LONG = 3;     // a series too long for the spline: run stopped

// Message lines of input error reports.
inline constexpr const char* READ_PAST_END = "Attempt to read past end of file";
inline constexpr const char* ILLEGAL_NUMERIC = "Illegal character in numeric input";
inline constexpr const char* NUMBER_OUT_OF_RANGE = "Number out of range";
inline constexpr const char* QUOTE_NOT_CLOSED = "Quote not closed";
inline constexpr const char* YEARS_NOT_CONSECUTIVE = "Years do not rise by 1 from row to row";

// An input error ends the run with a report on the console whose every line begins with "? ",
// and exit status 1: a malformed answer or table, a file that can't be opened or written.
class InputError : public std::exception {
 public:
  InputError() = default;
  InputError(std::string where, std::string what, std::string further = "")
      : heading(std::move(where)), message(std::move(what)), detail(std::move(further)) {}
  const char* what() const noexcept override { return message.c_str(); }

  std::string heading;  // where: "Input error in a console answer", "... input table, line 17"
  std::string message;  // what: one of the messages above, or the system's own text
  std::string detail;   // optional further line (the offending token, a limit); may be empty
};

// A series that, extended at both ends, is longer than the spline can take: the run stops after
// the spline's message, with exit status 3. The blocks already written stay.
class SeriesTooLong : public std::exception {
 public:
  const char* what() const noexcept override { return "series too long for the spline"; }
};

}  // namespace ringsmooth
