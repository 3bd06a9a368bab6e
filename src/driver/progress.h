#pragma once
// A one-line progress display for batch runs on a terminal: tables and series done, shown once a
// run has taken more than a second, redrawn at most ten times a second, and never when standard
// error is a file or a pipe. Notes on the same stream go through a Notes sink given the display,
// which clears the line before each note and draws it again after.
#include <chrono>
#include <cstdio>

#include "core/notes.h"

namespace ringsmooth {

class Progress final : public StatusLine {
 public:
  Progress(std::FILE* terminal, int tables);
  // The table now being worked on (from 0); its series count is not known yet, and the line is
  // drawn once it is.
  void startTable(int table);
  // The series count of the current table, once it has been read.
  void tableHolds(int seriesCount);
  // `done` series of the current table are finished.
  void seriesDone(int done);
  // Clears the line; true when it was shown.
  bool hide() override;
  // Draws the line as it stands now (not within the run's first second).
  void redraw() override;

 private:
  void draw();

  std::FILE* terminal_;  // null: no display
  int tables_;
  int table_ = 0;
  int seriesCount_ = 0;
  int done_ = 0;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDrawn_;
};

}  // namespace ringsmooth
