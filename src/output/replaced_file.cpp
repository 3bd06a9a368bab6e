#include "output/replaced_file.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "core/termination_signals.h"

namespace ringsmooth {

// The live temporaries, in a list threaded through the files themselves. It is changed, and
// temporaries are made, renamed and removed, only under the lock and with every signal blocked
// in the changing thread, so that a temporary is never on the disk unlisted. The signal
// handler reads the list without the lock: it runs only in the thread that writes the outputs,
// never while that thread changes the list, and the other threads of a run never change it
// while that thread can take a signal (see removeTemporariesOnSignals).
struct TemporaryList {
  static std::mutex lock;
  static ReplacedFile* head;

  static void removeAll() {
    for (ReplacedFile* f = head; f != nullptr; f = f->next_) ::unlink(f->temporary_.c_str());
  }
};

std::mutex TemporaryList::lock;
ReplacedFile* TemporaryList::head = nullptr;

namespace {

// Holds every signal off and takes the list's lock for its lifetime.
class ListChange {
 public:
  ListChange() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &previous_);
    TemporaryList::lock.lock();
  }
  ~ListChange() {
    TemporaryList::lock.unlock();
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  ListChange(const ListChange&) = delete;
  ListChange& operator=(const ListChange&) = delete;

 private:
  sigset_t previous_;
};

// The permissions a newly created file gets: 0666 less the umask. The umask can only be read
// by setting it, so it is read once, before the run starts its threads.
mode_t newFileMode() {
  static const mode_t mode = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

// The folder part of a path, with its final slash ("" for a bare name).
std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// ".NAME.XXXXXX" beside the target; a long name is shortened so that the temporary's own name
// stays within the system's limit.
std::string temporaryPattern(const std::string& target) {
  const std::string folder = folderOf(target);
  constexpr std::size_t ADDED = 8;  // the leading dot and ".XXXXXX"
  const std::string name = target.substr(folder.size(), NAME_MAX - ADDED);
  return folder + "." + name + ".XXXXXX";
}

extern "C" void removeTemporariesAndEnd(int signal) {
  clearShownStatusLine();
  TemporaryList::removeAll();
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  sigemptyset(&byDefault.sa_mask);
  ::sigaction(signal, &byDefault, nullptr);
  // Blocked while the handler runs, the signal ends the process as soon as it returns.
  ::raise(signal);
}

}  // namespace

int ReplacedFile::open(const std::string& target) {
  discard();
  target_ = target;
  struct stat info {};
  const bool exists = ::stat(target.c_str(), &info) == 0;
  struct stat link {};
  const bool isLink = ::lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
  // A dangling link, a device or a FIFO is written in place, as a truncating open writes it.
  if ((isLink && !exists) || (exists && !S_ISREG(info.st_mode))) {
    fd_ = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd_ < 0 ? errno : 0;
  }
  if (isLink) {
    char* real = ::realpath(target.c_str(), nullptr);
    if (real == nullptr) return errno;
    target_ = real;
    std::free(real);
  }
  if (exists && ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) return errno;
  const mode_t mode = exists ? static_cast<mode_t>(info.st_mode & 07777) : newFileMode();
  std::string name = temporaryPattern(target_);
  const ListChange change;
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return errno;
  if (::fchmod(fd, mode) != 0) {
    const int error = errno;
    ::close(fd);
    ::unlink(name.c_str());
    return error;
  }
  fd_ = fd;
  replacing_ = exists;
  temporary_ = std::move(name);
  list();
  return 0;
}

void ReplacedFile::closeFile() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

int ReplacedFile::commit() {
  if (temporary_.empty()) {
    const int fd = fd_;
    fd_ = -1;
    return fd >= 0 && ::close(fd) != 0 ? errno : 0;
  }
  int error = 0;
  if (replacing_ && ::fsync(fd_) != 0) error = errno;
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    discard();
    return error;
  }
  const ListChange change;
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
    error = errno;
    ::unlink(temporary_.c_str());
  }
  unlist();
  temporary_.clear();
  return error;
}

void ReplacedFile::discard() {
  closeFile();
  if (temporary_.empty()) return;
  const ListChange change;
  ::unlink(temporary_.c_str());
  unlist();
  temporary_.clear();
}

ReplacedFile::~ReplacedFile() { discard(); }

void ReplacedFile::list() {
  next_ = TemporaryList::head;
  previous_ = nullptr;
  if (next_ != nullptr) next_->previous_ = this;
  TemporaryList::head = this;
}

void ReplacedFile::unlist() {
  if (previous_ != nullptr) {
    previous_->next_ = next_;
  } else {
    TemporaryList::head = next_;
  }
  if (next_ != nullptr) next_->previous_ = previous_;
  previous_ = next_ = nullptr;
}

sigset_t removeTemporariesOnSignals(const sigset_t& signals) {
  newFileMode();  // the umask is read while there is one thread
  struct sigaction action {};
  action.sa_handler = removeTemporariesAndEnd;
  action.sa_mask = signals;
  action.sa_flags = SA_RESTART;
  sigset_t ending;
  sigemptyset(&ending);
  for (int s = 1; s < NSIG; ++s) {
    struct sigaction current {};
    if (sigismember(&signals, s) != 1 || ::sigaction(s, nullptr, &current) != 0 ||
        current.sa_handler == SIG_IGN) {
      continue;
    }
    ::sigaction(s, &action, nullptr);
    sigaddset(&ending, s);
  }
  return ending;
}

void removeTemporariesForGood() {
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, nullptr);
  TemporaryList::lock.lock();
  TemporaryList::removeAll();
}

std::string creationFailure(const std::string& target, int errorNumber) {
  std::string folder = folderOf(target);
  struct stat info {};
  if (errorNumber == ENOENT && !folder.empty() && ::stat(folder.c_str(), &info) != 0) {
    if (folder.size() > 1) folder.pop_back();
    return "No such folder \"" + folder + "\"";
  }
  return std::strerror(errorNumber);
}

}  // namespace ringsmooth
