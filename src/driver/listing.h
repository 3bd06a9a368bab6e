#pragma once
// The output listing (or its CSV form): one block per series, each handed to the operating system
// whole as soon as it is finished, so that a run that stops or is killed leaves only whole
// blocks behind.
#include <memory>
#include <string>

#include "core/capacities.h"
#include "core/run_error.h"
#include "driver/settings.h"
#include "output/replaced_file.h"

namespace ringsmooth {

// One series' columns as its block shows them.
struct BlockColumns {
  const char* name;  // NAME_LENGTH characters, blank-padded
  int firstYear;
  int n;
  const float* listed;
  const float* smoothed;
  float* residuals;              // set to listed - smoothed (single precision), year by year
  const unsigned char* filled;   // CSV: 1 where the listed value was filled; null: none was
  const double* index;           // CSV: each year's index, NaN where none; null: none at all
};

class Listing {
 public:
  Listing();
  ~Listing();
  Listing(const Listing&) = delete;
  Listing& operator=(const Listing&) = delete;

  // Starts the file; "-" is standard output. A file is written under a temporary name and
  // replaces an existing one only at close() (output/replaced_file.h): until then, and if the
  // run fails or is stopped, the file of that name stays as it was. A CSV output starts with
  // its header line. Throws InputError with the system's message (or the missing folder).
  void create(const std::string& fileName, OutputFormat format = OutputFormat::Listing);
  // Writes one result block (see formatBlock). Throws InputError with the system's message when
  // the write fails.
  void writeBlock(const BlockColumns& columns);
  // Writes a block formed by formatBlock, whole.
  void writeText(const char* text, long size);
  // Closes the file and puts it in place; throws InputError if the system reports a failure.
  void close();

 private:
  void writeAll(const char* data, long size);
  InputError error(const char* what, int errorNumber) const;
  int fd_ = -1;
  ReplacedFile file_;  // the file named, unless the output is standard output
  OutputFormat format_ = OutputFormat::Listing;
  std::string fileName_;
  std::unique_ptr<char[]> blockText_;  // one block's text, formed in full before it is written
};

// The most bytes a block of `format` takes (a series of MAX_YEARS years).
long blockCapacity(OutputFormat format);

// Forms a block of `format` into text[0 .. blockCapacity) and returns its length, setting
// residuals[i] = listed[i] - smoothed[i] just before year i is formed. A listing block: an empty
// line, " Input series is: " and the 20-character name, the column header, and one
// 29-character line per year. A CSV block: one row per year,
// series,year,value,spline,residual,index,filled, the floats as the shortest decimals that read
// back as the same floats, the index as the shortest that reads back as the same double; a
// filled year has an empty value and residual (R and pandas read NA), a year without an index
// an empty index, and `filled` is 1 or 0.
long formatBlock(OutputFormat format, const BlockColumns& columns, char* text);

}  // namespace ringsmooth
