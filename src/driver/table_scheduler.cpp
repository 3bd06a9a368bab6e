#include "driver/table_scheduler.h"

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/notes.h"
#include "core/termination_signals.h"
#include "driver/output_names.h"
#include "driver/progress.h"
#include "driver/table_run.h"
#include "output/replaced_file.h"

namespace ringsmooth {

namespace {

// What a batch run did, for its closing line.
class RunTally {
 public:
  explicit RunTally(const CommandLine& c) : c_(c) {}

  // Table t came to `tally` with `status`; returns the run's status so far.
  int add(std::size_t t, const TableTally& tally, int status) {
    read_ += tally.read ? 1 : 0;
    listed_ += tally.listed;
    skipped_ += tally.skipped;
    if (status != EXIT_NORMAL && failed_++ == 0) firstFailed_ = tableName(c_.tables[t]);
    if (status_ == EXIT_NORMAL) status_ = status;
    return status_;
  }

  // After a run of several tables: "ringsmooth: 3 of 4 tables read, 12 series listed, 1
  // series skipped, 2 tables failed (the first bad.txt); the outputs are in out."
  void close(Notes& notes) const {
    const std::size_t tables = c_.tables.size();
    if (tables < 2) return;
    std::string text = std::to_string(read_) + " of " + std::to_string(tables) +
                       " tables read, " + std::to_string(listed_) + " series listed, " +
                       std::to_string(skipped_) + " series skipped, " + std::to_string(failed_) +
                       (failed_ == 1 ? " table failed" : " tables failed");
    if (failed_ > 0) text += " (the first " + firstFailed_ + ")";
    text += c_.outputDir.empty() ? "; the outputs are beside their tables."
                                 : "; the outputs are in " + c_.outputDir + ".";
    notes.programNote(text);
  }

 private:
  const CommandLine& c_;
  int read_ = 0;
  int listed_ = 0;
  int skipped_ = 0;
  int failed_ = 0;
  std::string firstFailed_;
  int status_ = EXIT_NORMAL;
};

}  // namespace

int runTablesInTurn(const CommandLine& c, std::FILE* err, int jobs) {
  // The display would only get in the way of the echo.
  Progress progress(c.verbose ? nullptr : err, static_cast<int>(c.tables.size()));
  RunTally run(c);
  int status = EXIT_NORMAL;
  for (std::size_t t = 0; t < c.tables.size(); ++t) {
    RunSettings settings = tableSettings(c, t);
    // With the echo, every note comes where the dialogue writes it.
    Notes notes(err, tableName(c.tables[t]), &progress, !c.verbose);
    TableTally tally;
    const TableConsole console{c.verbose ? err : nullptr, notes, nullptr, &progress, jobs,
                               nullptr, &tally};
    const int tableStatus = stoppedBy(notes, [&] {
      progress.startTable(static_cast<int>(t));
      return runTable(settings, console);
    });
    notes.end();
    status = run.add(t, tally, tableStatus);
  }
  progress.hide();
  Notes closing(err);
  run.close(closing);
  return status;
}

namespace {

// What a table run side by side left for standard error, and its status.
struct TableOutcome {
  std::string text;
  int status = EXIT_NORMAL;
  TableTally tally;
  bool done = false;
};

// Table t of a run side by side, its notes kept in memory.
TableOutcome runKeepingNotes(const CommandLine& c, std::size_t t, const std::atomic<bool>& stop) {
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* stream = open_memstream(&text, &size);
  const std::string name = tableName(c.tables[t]);
  TableOutcome result;
  if (stream == nullptr) {
    result.text = "ringsmooth: " + name + ": no memory for its notes\n";
    result.status = EXIT_INPUT_ERROR;
    return result;
  }
  {
    RunSettings settings = tableSettings(c, t);
    Notes notes(stream, name, nullptr, !c.verbose);
    const TableConsole console{c.verbose ? stream : nullptr, notes, nullptr, nullptr, 1, &stop,
                               &result.tally};
    result.status = stoppedBy(notes, [&] { return runTable(settings, console); });
  }
  std::fclose(stream);
  result.text.assign(text, size);
  std::free(text);
  return result;
}

// Tables taken in turn by the threads of a run side by side.
class TableQueue {
 public:
  explicit TableQueue(const CommandLine& c) : c_(c), outcome_(c.tables.size()) {}

  void work() {
    for (;;) {
      std::size_t t = 0;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (next_ >= outcome_.size() || stop_) return;
        t = next_++;
      }
      TableOutcome result = runKeepingNotes(c_, t, stop_);
      std::lock_guard<std::mutex> lock(mutex_);
      result.done = true;
      outcome_[t] = std::move(result);
      doneChanged_.notify_all();
    }
  }

  // Waits for table t, looking for the termination signals meanwhile; false when one came
  // (its number in `signal`).
  bool awaitTable(std::size_t t, const sigset_t& termination, int& signal) {
    const timespec noWait{0, 0};
    std::unique_lock<std::mutex> lock(mutex_);
    while (!outcome_[t].done) {
      doneChanged_.wait_for(lock, std::chrono::milliseconds(20));
      siginfo_t info;
      const int caught = sigtimedwait(&termination, &info, &noWait);
      if (caught > 0) {
        signal = caught;
        return false;
      }
    }
    return true;
  }

  TableOutcome& outcome(std::size_t t) { return outcome_[t]; }
  void stop() { stop_ = true; }

 private:
  const CommandLine& c_;
  std::vector<TableOutcome> outcome_;
  std::mutex mutex_;
  std::condition_variable doneChanged_;
  std::size_t next_ = 0;
  std::atomic<bool> stop_{false};
};

// Ends the process by `signal` after removing every temporary file.
void endBySignal(int signal, std::FILE* err) {
  removeTemporariesForGood();
  std::fflush(err);
  std::signal(signal, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  std::raise(signal);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
}

}  // namespace

int runTablesSideBySide(const CommandLine& c, std::FILE* err, int jobs,
                        const sigset_t& termination) {
  const std::size_t tables = c.tables.size();
  TableQueue queue(c);
  const TerminationSignalsBlocked blocked;
  std::vector<std::thread> threads;
  for (int j = 0; j < jobs && static_cast<std::size_t>(j) < tables; ++j) {
    threads.emplace_back([&queue] { queue.work(); });
  }
  Progress progress(c.verbose ? nullptr : err, static_cast<int>(tables));
  Notes notes(err, "", &progress);
  RunTally run(c);
  int status = EXIT_NORMAL;
  int signal = 0;
  for (std::size_t t = 0; t < tables; ++t) {
    progress.startTable(static_cast<int>(t));
    progress.tableHolds(0);  // the table's series are counted on another thread
    if (!queue.awaitTable(t, termination, signal)) break;
    TableOutcome& outcome = queue.outcome(t);
    notes.asItStands(outcome.text);
    status = run.add(t, outcome.tally, outcome.status);
    outcome.text.clear();
  }
  queue.stop();
  progress.hide();
  if (signal != 0) endBySignal(signal, err);
  for (std::thread& thread : threads) thread.join();
  run.close(notes);
  return status;
}

}  // namespace ringsmooth
