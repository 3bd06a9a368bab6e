// Preloaded into the program (LD_PRELOAD) by tests of write failures: the call named by
// CALL_FAILS (close, fsync or rename) on the file whose name ends with CALL_FAILS_FOR, or on the
// temporary ".NAME.XXXXXX" it is written under, fails with an I/O error (EIO), as a network or
// full file system may report data it could not write only when the file is synced or closed.
// A close still closes the file; a failed sync or rename changes nothing.
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// True when CALL_FAILS is `call` and `path` names the chosen file or its temporary.
bool chosen(const char* call, const char* path) {
  const char* failing = std::getenv("CALL_FAILS");
  const char* name = std::getenv("CALL_FAILS_FOR");
  if (failing == nullptr || std::strcmp(failing, call) != 0 || name == nullptr || name[0] == '\0') {
    return false;
  }
  const std::size_t nameLength = std::strlen(name);
  const std::size_t pathLength = std::strlen(path);
  if (pathLength >= nameLength && std::strcmp(path + pathLength - nameLength, name) == 0) return true;
  // The temporary is named after the file's last name, without the folder.
  const char* nameBase = std::strrchr(name, '/') == nullptr ? name : std::strrchr(name, '/') + 1;
  const std::size_t baseLength = std::strlen(nameBase);
  const char* base = std::strrchr(path, '/') == nullptr ? path : std::strrchr(path, '/') + 1;
  return base[0] == '.' && std::strncmp(base + 1, nameBase, baseLength) == 0 &&
         base[1 + baseLength] == '.';
}

bool chosenFile(const char* call, int fd) {
  char link[64];
  char path[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t length = ::readlink(link, path, sizeof path - 1);
  if (length < 0) return false;
  path[length] = '\0';
  return chosen(call, path);
}

int failed() {
  errno = EIO;
  return -1;
}

}  // namespace

extern "C" int close(int fd) {
  static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "close"));
  const bool fail = chosenFile("close", fd);
  const int result = real(fd);
  return fail && result == 0 ? failed() : result;
}

extern "C" int fsync(int fd) {
  static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
  return chosenFile("fsync", fd) ? failed() : real(fd);
}

extern "C" int rename(const char* from, const char* to) {
  using Rename = int (*)(const char*, const char*);
  static const auto real = reinterpret_cast<Rename>(::dlsym(RTLD_NEXT, "rename"));
  return chosen("rename", to) ? failed() : real(from, to);
}
