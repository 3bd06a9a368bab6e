#include "driver/listing.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "core/run_error.h"
#include "driver/fixed_field.h"

namespace ringsmooth {
namespace {

constexpr int LINE_LENGTH = 29;  // year in 5 columns, three values in 8 each
constexpr char HEADER[] = " year  unfilt  spline  resids";
constexpr char NAME_LEAD[] = " Input series is: ";
constexpr long BLOCK_CAPACITY =
    1 + (sizeof NAME_LEAD - 1) + NAME_LENGTH + 1 + LINE_LENGTH + 1 + MAX_YEARS * (LINE_LENGTH + 1L);

InputError listingError(const char* what, const std::string& fileName, int errorNumber) {
  return InputError{std::string(what) + " the output listing \"" + fileName + "\"",
                    std::strerror(errorNumber)};
}

// Holds off the signals that end a run from the keyboard or the system (interrupt, quit, hangup,
// termination) while one block is handed to the kernel. A write that such a signal interrupts
// is cut short at a page boundary, which would leave half a block behind; held off, the signal
// ends the run just after the write, between two blocks. (SIGKILL can't be held off.)
class TerminationSignalsHeld {
 public:
  TerminationSignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int s : {SIGINT, SIGQUIT, SIGHUP, SIGTERM}) sigaddset(&held, s);
    sigprocmask(SIG_BLOCK, &held, &previous_);
  }
  ~TerminationSignalsHeld() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  TerminationSignalsHeld(const TerminationSignalsHeld&) = delete;
  TerminationSignalsHeld& operator=(const TerminationSignalsHeld&) = delete;

 private:
  sigset_t previous_;
};

}  // namespace

Listing::Listing() : blockText_(std::make_unique<char[]>(BLOCK_CAPACITY)) {}

Listing::~Listing() {
  if (fd_ >= 0) ::close(fd_);
}

void Listing::create(const std::string& fileName) {
  fileName_ = fileName;
  fd_ = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) throw listingError("Cannot create", fileName_, errno);
}

void Listing::writeAll(const char* data, long size) {
  while (size > 0) {
    const ssize_t written = ::write(fd_, data, static_cast<size_t>(size));
    if (written < 0) {
      if (errno == EINTR) continue;
      throw listingError("Cannot write", fileName_, errno);
    }
    data += written;
    size -= written;
  }
}

void Listing::writeBlock(const char name[NAME_LENGTH], int firstYear, int n, const float listed[],
                         const float smoothed[], float residuals[]) {
  char* const blockText = blockText_.get();
  char* out = blockText;
  *out++ = '\n';
  std::memcpy(out, NAME_LEAD, sizeof NAME_LEAD - 1);
  out += sizeof NAME_LEAD - 1;
  std::memcpy(out, name, NAME_LENGTH);
  out += NAME_LENGTH;
  *out++ = '\n';
  std::memcpy(out, HEADER, LINE_LENGTH);
  out += LINE_LENGTH;
  *out++ = '\n';
  for (int i = 0; i < n; ++i) {
    residuals[i] = listed[i] - smoothed[i];
    integerField(out, 5, static_cast<long long>(firstYear) + i);
    fixedField(out + 5, listed[i]);
    fixedField(out + 13, smoothed[i]);
    fixedField(out + 21, residuals[i]);
    out[LINE_LENGTH] = '\n';
    out += LINE_LENGTH + 1;
  }
  const TerminationSignalsHeld held;
  writeAll(blockText, out - blockText);
}

void Listing::close() {
  if (fd_ < 0) return;
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) throw listingError("Cannot close", fileName_, errno);
}

}  // namespace ringsmooth
