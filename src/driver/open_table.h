#pragma once
// The safety checks on a table's files before a run touches them: the input opened as the
// system finds it, names the system would misread, an output that would overwrite the input.
#include <cstdio>
#include <string>

namespace ringsmooth {

// The input table, open for reading ("-": standard input), closed when the run is done with it.
class OpenTable {
 public:
  // A directory, a missing file or a name holding a NUL is an InputError (the system's own
  // words for the first two).
  explicit OpenTable(const std::string& name);
  ~OpenTable() { close(); }
  OpenTable(const OpenTable&) = delete;
  OpenTable& operator=(const OpenTable&) = delete;

  std::FILE* file() const { return file_; }
  void close();

 private:
  std::FILE* file_ = nullptr;
  bool owned_ = false;
};

// A NUL typed into a file name would end the name there for the system, so that another file
// than the one named would be replaced by the output: an OutputError naming `what` ("the output
// listing").
void refuseNulInOutputName(const char* what, const std::string& name);

// An output over the input table would destroy the table (the listing before it is read): an
// OutputError naming `what`. Empty names and "-" are no files.
void refuseOutputOverTable(const OpenTable& table, const std::string& outputName,
                           const char* what);

}  // namespace ringsmooth
