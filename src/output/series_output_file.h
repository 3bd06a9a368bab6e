#pragma once
// The outputs with a block for every listed series (the listing, the series CSV), and what they
// have in common: each is written under a temporary name and put in place when whole (or, on
// standard output, as the run goes), each block handed to the system in one piece as soon as
// it is formed, so that a run that stops or is killed leaves only whole blocks behind.
//
// A new format of this kind is a class derived from SeriesOutputFile that forms its block (and
// perhaps a header), an OutputFormat, and a line in makeSeriesOutputFile. An output made once
// per table from the whole table (the chronology files) is a text written by writeWholeFile.
#include <memory>
#include <string>
#include <string_view>

#include "output/replaced_file.h"

namespace ringsmooth {

enum class OutputFormat { Listing, Csv };  // the fixed-width listing, or RFC 4180 CSV
inline constexpr int OUTPUT_FORMATS = 2;

// One series' columns as its block shows them.
struct BlockColumns {
  const char* name;  // NAME_LENGTH characters, blank-padded
  int firstYear;
  int n;
  const float* listed;
  const float* smoothed;
  float* residuals;              // set to listed - smoothed (single precision), year by year
  const unsigned char* filled;   // 1 where the listed value was filled; null: none was
  const double* index;           // each year's index, NaN where none; null: none at all
};

class SeriesOutputFile {
 public:
  virtual ~SeriesOutputFile();
  SeriesOutputFile(const SeriesOutputFile&) = delete;
  SeriesOutputFile& operator=(const SeriesOutputFile&) = delete;

  // The most bytes a block takes (a series of MAX_YEARS years).
  virtual long blockCapacity() const = 0;
  // Forms the block of `columns` into text[0 .. blockCapacity()) and returns its length,
  // setting residuals[i] = listed[i] - smoothed[i] just before year i is formed. Reads and
  // writes nothing else, so blocks can be formed on any thread.
  virtual long formatBlock(const BlockColumns& columns, char* text) const = 0;

  // Starts the file; "-" is standard output. A file is written under a temporary name and
  // replaces an existing one only at close() (output/replaced_file.h): until then, and if the
  // run fails or is stopped, the file of that name stays as it was. Throws OutputError.
  void create(const std::string& fileName);
  // Writes a block formed by formatBlock, whole, the termination signals held off meanwhile.
  // Throws OutputError.
  void writeText(const char* text, long size);
  // Forms and writes one block.
  void writeBlock(const BlockColumns& columns);
  // Closes the file and puts it in place; throws OutputError if the system reports a failure.
  void close();

 protected:
  // `what` names the output in errors ("the output listing").
  explicit SeriesOutputFile(const char* what) : what_(what) {}
  // What the file begins with.
  virtual std::string_view header() const { return {}; }

 private:
  void writeAll(const char* data, long size);

  const char* what_;
  int fd_ = -1;
  ReplacedFile file_;  // the file named, unless the output is standard output
  std::string fileName_;
  std::unique_ptr<char[]> blockText_;  // writeBlock's block, formed in full before it is written
};

// An output of `format`, not yet created.
std::unique_ptr<SeriesOutputFile> makeSeriesOutputFile(OutputFormat format);

}  // namespace ringsmooth
