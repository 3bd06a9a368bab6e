// Runs with any number of computing threads write the same bytes: the listing, the console,
// standard error, the plot files and the exit status, also when series are skipped, when a
// series stops the run and when a run is interrupted.
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "support/listing_check.h"
#include "support/program.h"

namespace {

// `series` ring-width-like series over `years` rows, some of them unusable: all missing,
// constant (no spread to standardize by), a single value. The first `shortOnes` cover the last
// 300 rows only; the others nearly all rows.
std::string mixedTable(int series, int years, unsigned seed, int shortOnes = 0) {
  std::mt19937 rng(seed);
  std::normal_distribution<double> noise(0.0, 0.15);
  std::string text = "Year";
  for (int k = 0; k < series; ++k) text += " S" + std::to_string(k + 1);
  text += "\n";
  std::vector<double> state(series, 0.0);
  char cell[32];
  for (int r = 0; r < years; ++r) {
    text += std::to_string(1500 + r);
    for (int k = 0; k < series; ++k) {
      state[k] = 0.6 * state[k] + noise(rng);
      const int start = (k * 37) % (years / 3);
      const bool present = r >= start && r < years - (k * 11) % (years / 4) &&
                           (k >= shortOnes || r >= years - 300);
      if (k % 9 == 4 || !present || (k % 9 == 6 && r != start)) {
        text += " -999";
      } else if (k % 9 == 2) {
        text += " 2.5";
      } else {
        std::snprintf(cell, sizeof cell, " %.3f", 1.0 + state[k]);
        text += cell;
      }
    }
    text += "\n";
  }
  return text;
}

struct Outputs {
  int status;
  std::string console, errors;
  std::vector<std::string> files;
};

class Jobs : public runner::ScratchTest {
 protected:
  Outputs collect(const runner::Result& r, const std::vector<std::string>& names) {
    Outputs o{r.status, r.console, r.errors, {}};
    for (const std::string& name : names) {
      o.files.push_back(read(name));
      std::remove((scratch / name).c_str());
    }
    return o;
  }
};

void expectSame(const Outputs& a, const Outputs& b, const std::string& what) {
  EXPECT_EQ(a.status, b.status) << what;
  EXPECT_EQ(a.console, b.console) << what;
  EXPECT_EQ(a.errors, b.errors) << what;
  ASSERT_EQ(a.files.size(), b.files.size()) << what;
  for (std::size_t i = 0; i < a.files.size(); ++i) EXPECT_EQ(a.files[i], b.files[i]) << what << " file " << i;
}

TEST_F(Jobs, TheDialogueWritesTheSameForAnyNumberOfThreads) {
  write("mixed.txt", mixedTable(31, 400, 1));
  write("long.txt", mixedTable(12, 9990, 2, 9));
  const struct {
    std::string answers;
    std::string device;
    std::vector<std::string> files;
    int status;
  } cases[] = {
      {runner::answers("mixed.txt", "out.lst", 32, "-999", 20, "y", "x"), "null", {"out.lst"}, 0},
      {runner::answers("mixed.txt", "out.lst", 32, "-999", 7, "n", "y"), "svg",
       {"out.lst", "out-1.svg", "out-8.svg", "out-31.svg"}, 0},
      // The first long series (the tenth) stops the run: the blocks before it are written.
      {runner::answers("long.txt", "out.lst", 13, "-999", 300, "n", "x"), "null", {"out.lst"}, 3},
  };
  for (const auto& c : cases) {
    std::vector<Outputs> runs;
    for (const char* jobs : {"1", "2", "7"}) {
      runner::Options o;
      o.answers = c.answers;
      o.plotDevice = c.device;
      o.environment = {std::string("RINGSMOOTH_JOBS=") + jobs};
      runs.push_back(collect(runner::run(folder, o), c.files));
    }
    EXPECT_EQ(runs[0].status, c.status) << runs[0].console.substr(0, 500);
    EXPECT_NE(runs[0].files[0], "");
    for (std::size_t j = 1; j < runs.size(); ++j) expectSame(runs[0], runs[j], c.answers);
  }
}

// RINGSMOOTH_JOBS that is no whole number of 1 or more is named in a warning, which says what is
// used instead: the cores the program may run on.
TEST_F(Jobs, ABadJobCountInTheEnvironmentIsNamed) {
  cpu_set_t cores;
  ASSERT_EQ(sched_getaffinity(0, sizeof cores, &cores), 0);
  const std::string warning = "ringsmooth: RINGSMOOTH_JOBS is not a whole number of 1 or more; using " +
                              std::to_string(CPU_COUNT(&cores)) + "\n";
  const struct {
    const char* value;
    bool warned;
  } cases[] = {{"0", true}, {"-2", true}, {"two", true}, {"1.5", true}, {"3", false}, {"", false}};
  for (const auto& c : cases) {
    runner::Options o;
    o.answers = "/\n";
    o.environment = {std::string("RINGSMOOTH_JOBS=") + c.value};
    const auto r = runner::run(folder, o);
    EXPECT_EQ(r.status, 0) << c.value;
    EXPECT_EQ(r.errors, c.warned ? warning : "") << c.value;
  }
}

// A batch run writes the same for any number of threads: many tables taken side by side (their
// standard error, the -v echo included, reads as if taken in turn), tables with plots (taken in turn), one table of
// more series than fill four Burg batches (its batches computed ahead, by threads, into a ring
// of slots used over and over) as a listing and as CSV, and series of nearly the most years as
// CSV (the CSV block store is larger than the listing's).
TEST_F(Jobs, BatchRunsWriteTheSameForAnyNumberOfThreads) {
  std::vector<std::string> nine;
  for (int t = 0; t < 9; ++t) {
    const std::string name = "t" + std::to_string(t);
    write(name + ".txt", t == 3   ? std::string("Year A\n1 1\n2 x\n")
                         : t == 6 ? mixedTable(6, 9980, 30)
                                  : mixedTable(5 + 3 * t, 200 + 50 * t, 10 + t));
    nine.push_back(name + ".txt");
  }
  write("w33.txt", mixedTable(33, 90, 50));
  write("w37.txt", mixedTable(37, 120, 51));
  write("w699.txt", mixedTable(699, 60, 52));
  write("long.txt", mixedTable(33, 9000, 53));  // its first series has every year
  const auto lst = [](const std::vector<std::string>& tables) {
    std::vector<std::string> outputs;
    for (const std::string& t : tables) outputs.push_back(t.substr(0, t.size() - 4) + ".lst");
    return outputs;
  };
  const struct {
    std::vector<std::string> options, tables, outputs;
    int status;
    std::vector<std::string> notes;  // on standard error
  } cases[] = {
      {{"-c", "15", "-n"}, nine, lst(nine), 1,
       {"? t3.txt: Input error", "? t6.txt: The cutoff is too long for series 1 (S1)",
        "ringsmooth: t0.txt: Series 3",
        // t3 can't be read, t6 fails at its cutoff; of the other 116 series those whose
        // k % 9 is 2, 4 or 6 are skipped.
        "\nringsmooth: 8 of 9 tables read, 78 series listed, 38 series skipped, 2 tables failed "
        "(the first t3.txt); the outputs are beside their tables.\n"}},
      {{"-c", "15", "-v"}, {"t0.txt", "t3.txt", "t4.txt"}, {"t0.lst", "t3.lst", "t4.lst"}, 1,
       {" ip:  15\n"}},
      {{"-c", "5", "-p", "listed"}, {"t0.txt", "t1.txt", "t2.txt"},
       {"t0.lst", "t1.lst", "t2.lst"}, 0, {"ringsmooth: t2.txt: Plot"}},
      // Every ninth series from the 5th has no value; from the 3rd and 7th, no spread.
      {{"-c", "9"}, {"w33.txt"}, {"w33.lst"}, 0, {"ringsmooth: w33.txt: 4 series have no value"}},
      {{"-c", "9", "-f", "csv", "-n"}, {"w37.txt"}, {"w37.spline.csv"}, 0,
       {"ringsmooth: w37.txt: 8 series have a standard deviation 0"}},
      {{"-c", "7"}, {"w699.txt"}, {"w699.lst"}, 0, {"ringsmooth: w699.txt: 78 series have no"}},
      {{"-c", "7", "-f", "csv"}, {"w699.txt"}, {"w699.spline.csv"}, 0, {}},
      {{"-c", "400", "-f", "csv"}, {"long.txt"}, {"long.spline.csv"}, 0, {}},
      // 9,000 years and 2 x 5% of them fit the spline's 10,000; 2 x 6% don't.
      {{"-c", "20%", "--ends=predict"}, {"long.txt"}, {"long.lst"}, 3,
       {"the largest cutoff that fits is 5%\n"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tables.back() + " " + c.options.back());
    std::vector<Outputs> runs;
    for (const char* jobs : {"1", "2", "7"}) {
      runner::Options o;
      o.arguments = c.options;
      o.arguments.insert(o.arguments.end(), c.tables.begin(), c.tables.end());
      o.arguments.push_back(std::string("--jobs=") + jobs);
      runs.push_back(collect(runner::run(folder, o), c.outputs));
    }
    EXPECT_EQ(runs[0].status, c.status) << runs[0].errors;
    for (const std::string& note : c.notes) {
      EXPECT_NE(runs[0].errors.find(note), std::string::npos) << note << "\n" << runs[0].errors;
    }
    for (std::size_t j = 1; j < runs.size(); ++j) expectSame(runs[0], runs[j], "jobs run " + std::to_string(j));
  }
  // Every year of the long series has its row.
  runner::Options o;
  o.arguments = {"-c", "400", "-f", "csv", "-o", "-", "long.txt"};
  const std::string csv = runner::run(folder, o).console;
  int rows = 0;
  for (std::size_t at = 0; (at = csv.find("\nS1,", at)) != std::string::npos; ++at) ++rows;
  EXPECT_EQ(rows, 9000);
}

// A table's chronology, its years shared among threads when it has indices enough: the same
// files for any number.
TEST_F(Jobs, AChronologyIsTheSameForAnyNumberOfThreads) {
  write("big.txt", mixedTable(160, 1300, 42));
  std::vector<Outputs> runs;
  for (const char* jobs : {"1", "2", "7"}) {
    runner::Options o;
    o.arguments = {"-c", "20", "--chronology=crn,csv", "--jobs", jobs, "big.txt"};
    runs.push_back(collect(runner::run(folder, o), {"big.chron.csv", "big.crn"}));
  }
  EXPECT_EQ(runs[0].status, 0) << runs[0].errors;
  EXPECT_NE(runs[0].errors.find("Chronology 1500 to 2799 (1300 years)"), std::string::npos)
      << runs[0].errors;
  for (std::size_t j = 1; j < runs.size(); ++j) expectSame(runs[0], runs[j], "jobs run " + std::to_string(j));
}

// Starts a batch run in `folder` with `arguments`, standard error to /dev/null, and returns at
// once with its process id.
pid_t startBatch(const std::string& folder, const std::vector<std::string>& arguments) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  if (::chdir(folder.c_str()) != 0) ::_exit(120);
  std::freopen("/dev/null", "w", stderr);
  std::vector<const char*> argv = {RINGSMOOTH_BINARY};
  for (const auto& a : arguments) argv.push_back(a.c_str());
  argv.push_back(nullptr);
  ::execv(RINGSMOOTH_BINARY, const_cast<char* const*>(argv.data()));
  ::_exit(121);
}

// The status of process `pid` once it has ended; a process that has not ended after two minutes
// is killed and reported as a hang.
int waitForEnd(pid_t pid) {
  int status = 0;
  for (int tick = 0; tick < 12000; ++tick) {
    if (::waitpid(pid, &status, WNOHANG) == pid) return status;
    ::usleep(10000);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  ADD_FAILURE() << "the run did not end";
  return status;
}

// The signals a thread blocks, from its status file in /proc.
unsigned long long blockedSignals(const std::string& statusFile) {
  const std::string status = runner::readFile(statusFile);
  const std::size_t at = status.find("SigBlk:");
  return at == std::string::npos ? 0 : std::stoull(status.substr(at + 7), nullptr, 16);
}

// Interrupt, quit, hangup and termination as a signal mask (signal s is bit s - 1).
unsigned long long terminationMask() {
  unsigned long long mask = 0;
  for (int s : {SIGINT, SIGQUIT, SIGHUP, SIGTERM}) mask |= 1ULL << (s - 1);
  return mask;
}

// What the temporary file a listing is written under holds so far ("" while there is none).
std::string temporaryOf(const std::string& folder, const std::string& listing) {
  std::error_code missing;
  for (const auto& entry : std::filesystem::directory_iterator(folder, missing)) {
    if (entry.path().filename().string().starts_with("." + listing + ".")) {
      return runner::readFile(entry.path().string());
    }
  }
  return "";
}

int blocksIn(const std::string& listing) {
  int blocks = 0;
  for (std::size_t at = 0; (at = listing.find(" Input series is: ", at)) != std::string::npos; ++at) ++blocks;
  return blocks;
}

// Interrupted part-way, tables taken side by side leave each listing whole, as a full run
// writes it, or absent, and no temporary file.
TEST_F(Jobs, AnInterruptedBatchLeavesWholeListingsOrNone) {
  std::vector<std::string> arguments = {"-c", "30", "-j", "2"};
  for (int t = 0; t < 4; ++t) {
    write("t" + std::to_string(t) + ".txt", mixedTable(60, 3000, 40 + t));
    arguments.push_back("t" + std::to_string(t) + ".txt");
  }
  runner::Options full;
  full.arguments = arguments;
  ASSERT_EQ(runner::run(folder, full).status, 0);
  std::vector<std::string> complete;
  for (int t = 0; t < 4; ++t) complete.push_back(read("t" + std::to_string(t) + ".lst"));

  int interrupted = 0;
  for (int attempt = 0; attempt < 6; ++attempt) {
    for (int t = 0; t < 4; ++t) std::remove((scratch / ("t" + std::to_string(t) + ".lst")).c_str());
    const pid_t pid = startBatch(folder, arguments);
    ::usleep(20000 + 30000 * attempt);
    ::kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    if (WIFSIGNALED(status)) ++interrupted;
    for (int t = 0; t < 4; ++t) {
      const std::string listing = read("t" + std::to_string(t) + ".lst");
      EXPECT_TRUE(listing.empty() || listing == complete[t]) << "table " << t;
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    }
  }
  EXPECT_GT(interrupted, 0) << "no run was interrupted";

  // Terminated once the first of two long tables has a block in its temporary file, the run
  // ends by the signal, leaving neither long listing nor any temporary; the tables not yet
  // started are left untouched.
  write("long0.txt", mixedTable(200, 3000, 60));
  write("long1.txt", mixedTable(200, 3000, 61));
  for (const char* later : {"t2.lst", "t3.lst"}) write(later, "untouched\n");
  const pid_t pid = startBatch(folder, {"-c", "1000", "-j", "2", "long0.txt", "long1.txt", "t2.txt", "t3.txt"});
  for (int tick = 0; tick < 12000 && blocksIn(temporaryOf(folder, "long0.lst")) == 0; ++tick) {
    ::usleep(10000);
  }
  ASSERT_GT(blocksIn(temporaryOf(folder, "long0.lst")), 0) << "the first long table never got a block";
  // Meanwhile no thread of the run can be ended by a termination signal.
  std::error_code ended;
  for (const auto& thread : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", ended)) {
    EXPECT_EQ(blockedSignals(thread.path() / "status") & terminationMask(), terminationMask()) << thread.path();
  }
  ::kill(pid, SIGTERM);
  const int status = waitForEnd(pid);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_FALSE(std::filesystem::exists(scratch / "long0.lst"));
  EXPECT_FALSE(std::filesystem::exists(scratch / "long1.lst"));
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
  }
  EXPECT_EQ(read("t2.lst"), "untouched\n");
  EXPECT_EQ(read("t3.lst"), "untouched\n");
}

}  // namespace
