#include "output/output_error.h"

#include <cstring>

#include "output/replaced_file.h"

namespace ringsmooth {

OutputError outputRefused(OutputStep step, const char* what, const std::string& name,
                          std::string reason) {
  const char* verb = step == OutputStep::Create ? "Cannot create "
                     : step == OutputStep::Write ? "Cannot write "
                                                 : "Cannot close ";
  const std::string shown = name == "-" ? "standard output" : "\"" + name + "\"";
  return OutputError{verb + std::string(what) + " " + shown, std::move(reason)};
}

OutputError outputFailure(OutputStep step, const char* what, const std::string& name,
                          int errorNumber) {
  const bool file = name != "-";
  return outputRefused(step, what, name,
                       step == OutputStep::Create && file ? creationFailure(name, errorNumber)
                                                          : std::strerror(errorNumber));
}

}  // namespace ringsmooth
