#pragma once
// Output files that are whole or absent. A file is written under a temporary name in its
// target's folder and renamed over the target only once it is complete, so that a run that
// fails or is stopped leaves the earlier file of that name as it was and nothing half-written.
// Every temporary that exists is listed process-wide, so that a run ended by a signal can
// remove them before it goes.
#include <csignal>
#include <string>

namespace ringsmooth {

class ReplacedFile {
 public:
  ReplacedFile() = default;
  // A file opened and not committed is closed and its temporary removed.
  ~ReplacedFile();
  ReplacedFile(const ReplacedFile&) = delete;
  ReplacedFile& operator=(const ReplacedFile&) = delete;

  // Opens `target` for writing. A regular file, or a name not taken yet, is written under the
  // temporary name ".NAME.XXXXXX" in the target's folder, with the permissions the target will
  // keep: an existing file's own, a new file's 0666 less the umask. A symbolic link is followed
  // (the file it names is replaced). Anything else (a device, a FIFO) is opened and written as
  // it stands. An existing file that may not be written is refused (EACCES), as a truncating
  // open would refuse it. Returns 0, or the errno value of the failure.
  int open(const std::string& target);

  int fd() const { return fd_; }
  // The name the content goes to while it is written: the temporary, or the target itself when
  // it is written in place. For writers that open the file by its name (PLplot).
  const char* writtenName() const {
    return temporary_.empty() ? target_.c_str() : temporary_.c_str();
  }

  // Closes the file and renames the temporary over the target. A file that replaces an
  // existing one is synced to the disk first, so that a crash just after the rename can't
  // leave the target empty: the new content is on the disk before the old is given up. A new
  // name is not synced (a sync costs milliseconds per file, and there is nothing to lose).
  // Returns 0, or the errno value of the failure, after which the temporary is gone and the
  // target as it was.
  int commit();
  // Closes the file and removes its temporary; the target stays as it was.
  void discard();

 private:
  friend struct TemporaryList;
  void closeFile();
  void list();
  void unlist();

  int fd_ = -1;
  std::string target_;                // the file replaced (a symbolic link resolved)
  std::string temporary_;             // empty when written in place or when there is none
  bool replacing_ = false;            // the target existed when the file was opened
  ReplacedFile* previous_ = nullptr;  // the list of live temporaries
  ReplacedFile* next_ = nullptr;
};

// Makes every signal of `signals` remove the live temporaries and then end the process as its
// default action would; a signal ignored when this is called (nohup ignores the hangup) stays
// ignored. Returns the signals that now end the run. Call it once, before any thread starts;
// the threads of the run must keep these signals blocked (only the thread that writes the
// outputs takes them).
sigset_t removeTemporariesOnSignals(const sigset_t& signals);

// Removes every live temporary now and lets no file be made or committed afterwards: for a
// process about to end by a signal it took itself. Never returns the files' lock.
void removeTemporariesForGood();

// The failure to create `target` as a report's message line: the system's words, or, when
// the target's folder is missing, "No such folder" and the folder's name.
std::string creationFailure(const std::string& target, int errorNumber);

}  // namespace ringsmooth
