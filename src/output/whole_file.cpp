#include "output/whole_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/run_error.h"
#include "output/replaced_file.h"

namespace ringsmooth {
namespace {

InputError fileError(const char* verb, const char* what, const std::string& name,
                     int errorNumber) {
  return InputError{std::string(verb) + " " + what + " \"" + name + "\"",
                    std::strerror(errorNumber)};
}

}  // namespace

void writeWholeFile(const std::string& name, const std::string& text, const char* what) {
  ReplacedFile file;
  if (const int failure = file.open(name); failure != 0) {
    InputError error = fileError("Cannot create", what, name, failure);
    error.message = creationFailure(name, failure);
    throw error;
  }
  const char* data = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t written = ::write(file.fd(), data, left);
    if (written < 0 && errno == EINTR) continue;
    // The file's temporary goes with `file`; an earlier file of the name stays as it was.
    if (written < 0) throw fileError("Cannot write", what, name, errno);
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  if (const int failure = file.commit(); failure != 0) {
    throw fileError("Cannot write", what, name, failure);
  }
}

}  // namespace ringsmooth
