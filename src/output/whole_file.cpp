#include "output/whole_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/run_error.h"

namespace ringsmooth {
namespace {

InputError fileError(const char* verb, const char* what, const std::string& name) {
  return InputError{std::string(verb) + " " + what + " \"" + name + "\"", std::strerror(errno)};
}

}  // namespace

void writeWholeFile(const std::string& name, const std::string& text, const char* what) {
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) throw fileError("Cannot create", what, name);
  const char* data = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) {
      const InputError error = fileError("Cannot write", what, name);
      ::close(fd);
      throw error;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  if (::close(fd) != 0) throw fileError("Cannot close", what, name);
}

}  // namespace ringsmooth
