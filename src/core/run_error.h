#pragma once
// The ways a run ends early, each named for what it carries, and the exit status of each. Every
// error a run can raise derives from std::exception, so one handler sees them all (a failed
// allocation included).
#include <exception>
#include <string>
#include <utility>

namespace ringsmooth {

// Exit statuses of the program.
inline constexpr int EXIT_NORMAL = 0;        // finished, or "/" at the first question
inline constexpr int EXIT_INPUT_ERROR = 1;   // a bad answer or table, an input that can't be read
inline constexpr int EXIT_OUTPUT_ERROR = 1;  // an output that can't be made or written: the
                                             // same status, as the documentation has it
inline constexpr int EXIT_USAGE = 2;         // a command line the program doesn't take
inline constexpr int EXIT_TOO_LONG = 3;      // a series too long for the spline: run stopped

// Message lines of input error reports.
inline constexpr const char* READ_PAST_END = "Attempt to read past end of file";
inline constexpr const char* ILLEGAL_NUMERIC = "Illegal character in numeric input";
inline constexpr const char* NUMBER_OUT_OF_RANGE = "Number out of range";
inline constexpr const char* QUOTE_NOT_CLOSED = "Quote not closed";
inline constexpr const char* YEARS_NOT_CONSECUTIVE = "Years do not rise by 1 from row to row";

// A failure reported on the console in lines that each begin with "? ": where, what, and
// perhaps a further line. What it was decides the exit status.
class RunError : public std::exception {
 public:
  RunError() = default;
  RunError(std::string where, std::string what, std::string further = "")
      : heading(std::move(where)), message(std::move(what)), detail(std::move(further)) {}
  const char* what() const noexcept override { return message.c_str(); }
  virtual int exitStatus() const noexcept = 0;

  std::string heading;  // where: "Input error in a console answer", "... input table, line 17"
  std::string message;  // what: one of the messages above, or the system's own text
  std::string detail;   // optional further line (the offending token, a limit); may be empty
};

// A malformed answer or table, or an input file that can't be opened: exit status 1.
class InputError : public RunError {
 public:
  using RunError::RunError;
  int exitStatus() const noexcept override { return EXIT_INPUT_ERROR; }
};

// An output that can't be created, written or put in place (output/output_error.h builds
// them): exit status 1.
class OutputError : public RunError {
 public:
  using RunError::RunError;
  int exitStatus() const noexcept override { return EXIT_OUTPUT_ERROR; }
};

// A cutoff that a series of a batch table can't take, found once the table is read and before
// any of its outputs is made: the table fails whole, with exit status 3.
class CutoffTooLong : public RunError {
 public:
  using RunError::RunError;
  int exitStatus() const noexcept override { return EXIT_TOO_LONG; }
};

// A series that, extended at both ends, is longer than the spline can take: the run stops after
// the spline's message, with exit status 3. The blocks already written stay.
class SeriesTooLong : public std::exception {
 public:
  const char* what() const noexcept override { return "series too long for the spline"; }
};

// A command line the program doesn't take is no exception: it is found before anything runs
// and reported on one line with a pointer to --help (driver/command_line.h), exit status 2.

}  // namespace ringsmooth
