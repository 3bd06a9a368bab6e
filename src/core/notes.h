#pragma once
// The one way a run's notes reach the console: what the reader found, series skipped or filled,
// plot files written, the spline's messages, error reports. The sink composes every note (a
// batch run's table prefix, a series' number and name) and keeps notes off a status line drawn
// on the same stream (a batch run's progress): it hides the line before a note and draws it
// again after. Each note is written whole and flushed.
//
// A batch run gathers a table's notes: notes of one kind become one line that counts them and
// names the first, in the place of the first; the error reports follow the table's notes, so
// that the faults are not lost among them.
#include <array>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

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

// What a note tells, for the notes a batch run gathers by kind.
enum class NoteKind {
  Single,       // a note of its own, written as it stands
  Title,        // the readers': a line skipped as a title
  Renamed,      // a series named as an earlier one, read under a new name
  CaseChanged,  // a line continuing a series whose ID changed letter case
  Filled,       // a series': years filled with its mean
  RatioToMean,   // ratio indices taken against the series mean: the spline reaches 0
  NoRatioIndex,  // no ratio index at all: neither the spline nor the mean is above 0
  NoValue,       // a series skipped: no value present
  NoSpread,      // standard deviation 0 or undefined
  TooLarge,      // values too large for their mean
  TooShort,      // too short to smooth
  NotSolved,     // the spline could not be solved
  PlotFile,      // a plot file written
};
inline constexpr int NOTE_KINDS = static_cast<int>(NoteKind::PlotFile) + 1;

struct Note {
  // A note of its own.
  Note(std::string alone) : text(std::move(alone)) {}  // NOLINT: any text is a note
  Note(NoteKind of, std::string alone, std::string where)
      : kind(of), text(std::move(alone)), place(std::move(where)) {}

  NoteKind kind = NoteKind::Single;
  std::string text;   // the note alone, beginning with a blank, without its line end
  std::string place;  // where it is, for the line of its kind: "FDD08A at line 2706"
};

class Notes {
 public:
  // Notes on `stream`. A batch run names its table (as reports name it: "standard input" for
  // "-"), and every note begins with "ringsmooth: TABLE:"; the dialogue names none, and its
  // notes stand as they are. `status`, when given, is drawn on the same stream. With `gather`
  // (a batch run's table) the notes are kept until end().
  explicit Notes(std::FILE* stream, std::string table = "", StatusLine* status = nullptr,
                 bool gather = false);
  // Writes what is still kept.
  ~Notes();
  Notes(const Notes&) = delete;
  Notes& operator=(const Notes&) = delete;

  std::FILE* stream() const { return stream_; }

  // A note of the run's own (" Plot written to x.png"), after the table prefix in a batch run.
  void note(const Note& note);
  void line(std::string_view text) { note(Note(std::string(text))); }
  // A note on the whole table: in the dialogue after an empty line and one blank; in a batch
  // run after the prefix and one blank.
  void tableNote(std::string_view text);
  // " Series N (NAME): text", NAME without its trailing blanks, after the prefix; in the line
  // of its kind the series is "NAME (series N)" followed by `where` (" in 1907").
  void seriesNote(int number, const char* name, std::string_view text,
                  NoteKind kind = NoteKind::Single, std::string_view where = "");
  // An error report: an empty line, then "? heading", "? message" and, when present,
  // "? detail"; in a batch run the heading begins with "TABLE: ". Control bytes from the input
  // are shown as '?' so that they never act on the user's terminal.
  void report(const RunError& error);
  // A note of the program's, not of a table: "ringsmooth: text", at once.
  void programNote(std::string_view text);
  // Text written as it stands, line ends included (the spline's messages, notes collected
  // elsewhere).
  void asItStands(std::string_view text);
  // Writes the notes kept so far: one line per kind, counting its notes and naming the first
  // (a kind noted once keeps its own note), then the reports.
  void end();

 private:
  struct Kept {
    NoteKind kind;
    std::string text;   // the note alone, written as it stands, prefix and line end included
    std::string place;  // of the first of its kind
    int count;
  };

  void write(std::string_view text);
  void keep(NoteKind kind, std::string text, std::string place);

  std::FILE* stream_;
  std::string table_;
  std::string prefix_;  // "ringsmooth: TABLE:", or "" in the dialogue
  StatusLine* status_;
  bool gather_;
  std::vector<Kept> kept_;                  // in the order of each kind's first note
  std::array<int, NOTE_KINDS> keptAt_{};    // 1 + the kind's place in kept_; 0: none yet
  std::string reports_;
};

}  // namespace ringsmooth
