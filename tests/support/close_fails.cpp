// Preloaded into the program (LD_PRELOAD) by tests of write failures: close() of the file whose
// name ends with CLOSE_FAILS_FOR, or of the temporary ".NAME.XXXXXX" it is written under,
// closes it, then reports an I/O error (EIO), as a network or full file system may report data
// it could not write only when the file is closed.
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool namesChosenFile(int fd) {
  const char* chosen = std::getenv("CLOSE_FAILS_FOR");
  if (chosen == nullptr || chosen[0] == '\0') return false;
  char link[64];
  char path[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t length = ::readlink(link, path, sizeof path - 1);
  if (length < 0) return false;
  path[length] = '\0';
  const std::size_t chosenLength = std::strlen(chosen);
  const auto pathLength = static_cast<std::size_t>(length);
  if (pathLength >= chosenLength && std::strcmp(path + pathLength - chosenLength, chosen) == 0) {
    return true;
  }
  // The temporary is named after the file's last name, without the folder.
  const char* chosenSlash = std::strrchr(chosen, '/');
  const char* chosenBase = chosenSlash == nullptr ? chosen : chosenSlash + 1;
  const std::size_t baseLength = std::strlen(chosenBase);
  const char* slash = std::strrchr(path, '/');
  const char* base = slash == nullptr ? path : slash + 1;
  return base[0] == '.' && std::strncmp(base + 1, chosenBase, baseLength) == 0 &&
         base[1 + baseLength] == '.';
}

}  // namespace

extern "C" int close(int fd) {
  using Close = int (*)(int);
  static const auto realClose = reinterpret_cast<Close>(::dlsym(RTLD_NEXT, "close"));
  const bool fail = namesChosenFile(fd);
  const int result = realClose(fd);
  if (!fail || result != 0) return result;
  errno = EIO;
  return -1;
}
