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
#include <string_view>

namespace {

// True when CALL_FAILS is `call` and `path` (or, with `fd` >= 0, the file open on it) names the
// chosen file or its temporary.
bool chosen(const char* call, const char* path, int fd = -1) {
  const char* failing = std::getenv("CALL_FAILS");
  const char* name = std::getenv("CALL_FAILS_FOR");
  char link[64];
  char opened[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t length = fd < 0 ? 0 : ::readlink(link, opened, sizeof opened - 1);
  if (failing == nullptr || std::strcmp(failing, call) != 0 || name == nullptr || length < 0) {
    return false;
  }
  const std::string_view p = fd < 0 ? std::string_view(path) : std::string_view(opened, length);
  const std::string_view n(name);
  // The temporary is named after the file's last name, without the folder.
  const std::string_view base = p.substr(p.rfind('/') + 1), own = n.substr(n.rfind('/') + 1);
  return !n.empty() && (p.ends_with(n) || (base.size() > own.size() + 1 && base[0] == '.' &&
                                           base.substr(1, own.size()) == own &&
                                           base[1 + own.size()] == '.'));
}

int failed() {
  errno = EIO;
  return -1;
}

}  // namespace

extern "C" int close(int fd) {
  static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "close"));
  const bool fail = chosen("close", nullptr, fd);
  const int result = real(fd);
  return fail && result == 0 ? failed() : result;
}

extern "C" int fsync(int fd) {
  static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
  return chosen("fsync", nullptr, fd) ? failed() : real(fd);
}

extern "C" int rename(const char* from, const char* to) {
  using Rename = int (*)(const char*, const char*);
  static const auto real = reinterpret_cast<Rename>(::dlsym(RTLD_NEXT, "rename"));
  return chosen("rename", to) ? failed() : real(from, to);
}
