#include "output/whole_file.h"

#include <unistd.h>

#include <cerrno>

#include "output/output_error.h"
#include "output/replaced_file.h"

namespace ringsmooth {

int writeFully(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return errno;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

void writeWholeFile(const std::string& name, const std::string& text, const char* what) {
  if (name == "-") {
    if (const int failure = writeFully(STDOUT_FILENO, text.data(), text.size()); failure != 0) {
      throw outputFailure(OutputStep::Write, what, name, failure);
    }
    return;
  }
  ReplacedFile file;
  if (const int failure = file.open(name); failure != 0) {
    throw outputFailure(OutputStep::Create, what, name, failure);
  }
  // On a failure the file's temporary goes with `file`; an earlier file of the name stays.
  if (const int failure = writeFully(file.fd(), text.data(), text.size()); failure != 0) {
    throw outputFailure(OutputStep::Write, what, name, failure);
  }
  if (const int failure = file.commit(); failure != 0) {
    throw outputFailure(OutputStep::Write, what, name, failure);
  }
}

}  // namespace ringsmooth
