#include "driver/open_table.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "core/run_error.h"
#include "output/output_error.h"

namespace ringsmooth {
namespace {

constexpr const char* CANNOT_OPEN = "Cannot open the input file";
constexpr const char* NUL_IN_NAME = "The name holds a NUL character";

InputError openFailure(const std::string& name, int errorNumber) {
  return InputError{std::string(CANNOT_OPEN) + " \"" + name + "\"", std::strerror(errorNumber)};
}

// The name with each NUL shown as "\0".
std::string shownWithNul(const std::string& name) {
  std::string shown = name;
  for (size_t at = 0; (at = shown.find('\0', at)) != std::string::npos;) shown.replace(at, 1, "\\0");
  return shown;
}

}  // namespace

OpenTable::OpenTable(const std::string& name) {
  if (name == "-") {
    file_ = stdin;
    return;
  }
  if (name.find('\0') != std::string::npos) {
    throw InputError{std::string(CANNOT_OPEN) + " \"" + shownWithNul(name) + "\"", NUL_IN_NAME};
  }
  file_ = std::fopen(name.c_str(), "rb");
  owned_ = true;
  if (file_ == nullptr) throw openFailure(name, errno);
  struct stat info {};
  if (fstat(fileno(file_), &info) == 0 && S_ISDIR(info.st_mode)) {
    close();
    throw openFailure(name, EISDIR);
  }
}

void OpenTable::close() {
  if (owned_ && file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

void refuseNulInOutputName(const char* what, const std::string& name) {
  if (name.find('\0') == std::string::npos) return;
  throw outputRefused(OutputStep::Create, what, shownWithNul(name), NUL_IN_NAME);
}

void refuseOutputOverTable(const OpenTable& table, const std::string& outputName,
                           const char* what) {
  struct stat tableInfo {};
  struct stat outputInfo {};
  if (!outputName.empty() && outputName != "-" && fstat(fileno(table.file()), &tableInfo) == 0 &&
      stat(outputName.c_str(), &outputInfo) == 0 && tableInfo.st_dev == outputInfo.st_dev &&
      tableInfo.st_ino == outputInfo.st_ino) {
    throw outputRefused(OutputStep::Create, what, outputName,
                        "It is the input file; the table would be overwritten");
  }
}

}  // namespace ringsmooth
