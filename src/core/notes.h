#pragma once
// The one way a run's notes reach the console: what the reader found, series skipped or filled,
// plot files written, the spline's messages, error reports. The sink composes every note (a
// batch run's table prefix, a series' number and name) and keeps notes off a status line drawn
// on the same stream (a batch run's progress): it hides the line before a note and draws it
// again after. Each note is written whole and flushed.
#include <cstdio>
#include <string>
#include <string_view>

#include "core/run_error.h"

namespace ringsmooth {

// A line drawn in place on the notes' stream (a progress display).
class StatusLine {
 public:
  // Clears the line; true when it was shown.
  virtual bool hide() = 0;
  // Draws the line again after hide() cleared it.
  virtual void redraw() = 0;

 protected:
  ~StatusLine() = default;
};

class Notes {
 public:
  // Notes on `stream`. A batch run names its table (as reports name it: "standard input" for
  // "-"), and every note begins with "ringsmooth: TABLE:"; the dialogue names none, and its
  // notes stand as they are. `status`, when given, is drawn on the same stream.
  explicit Notes(std::FILE* stream, std::string table = "", StatusLine* status = nullptr);

  std::FILE* stream() const { return stream_; }

  // A line of the run's own, `text` beginning with a blank (" Plot written to x.png"): after
  // the table prefix in a batch run.
  void line(std::string_view text);
  // A note on the whole table: in the dialogue after an empty line and one blank; in a batch
  // run after the prefix and one blank.
  void tableNote(std::string_view text);
  // " Series N (NAME): text", NAME the 20-character name with its blanks, after the prefix.
  void seriesNote(int number, const char* name, std::string_view text);
  // An error report: an empty line, then "? heading", "? message" and, when present,
  // "? detail"; in a batch run the heading begins with "TABLE: ". Control bytes from the input
  // are shown as '?' so that they never act on the user's terminal.
  void report(const RunError& error);
  // A note of the program's, not of a table: "ringsmooth: text".
  void programNote(std::string_view text);
  // Text written as it stands, line ends included (the spline's messages, notes collected
  // elsewhere).
  void asItStands(std::string_view text);

 private:
  void write(std::string_view text);

  std::FILE* stream_;
  std::string table_;
  std::string prefix_;  // "ringsmooth: TABLE:", or "" in the dialogue
  StatusLine* status_;
};

}  // namespace ringsmooth
