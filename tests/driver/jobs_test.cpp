// Runs with any number of computing threads write the same bytes: the listing, the console,
// standard error, the plot files and the exit status, also when series are skipped, when a
// series stops the run and when a run is interrupted.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
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

// A batch run of many tables takes them side by side; its standard error reads as if it had
// taken them in turn, and every output is the same.
TEST_F(Jobs, BatchRunsWriteTheSameForAnyNumberOfThreads) {
  std::vector<std::string> arguments = {"-c", "15", "-n"};
  std::vector<std::string> outputs;
  for (int t = 0; t < 9; ++t) {
    const std::string name = "t" + std::to_string(t);
    write(name + ".txt", t == 3   ? std::string("Year A\n1 1\n2 x\n")
                         : t == 6 ? mixedTable(6, 9980, 30)
                                  : mixedTable(5 + 3 * t, 200 + 50 * t, 10 + t));
    arguments.push_back(name + ".txt");
    outputs.push_back(name + ".lst");
  }
  std::vector<Outputs> runs;
  for (const char* jobs : {"1", "2", "7"}) {
    runner::Options o;
    o.arguments = arguments;
    o.arguments.push_back(std::string("--jobs=") + jobs);
    runs.push_back(collect(runner::run(folder, o), outputs));
  }
  EXPECT_EQ(runs[0].status, 1);
  EXPECT_NE(runs[0].errors.find("? t3.txt: Input error"), std::string::npos) << runs[0].errors;
  EXPECT_NE(runs[0].errors.find("ringsmooth: t6.txt: Series 1"), std::string::npos);
  EXPECT_NE(runs[0].errors.find("ringsmooth: t0.txt: Series 3"), std::string::npos);
  for (std::size_t j = 1; j < runs.size(); ++j) expectSame(runs[0], runs[j], "jobs run " + std::to_string(j));
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

// Interrupted part-way, tables taken side by side leave whole blocks only, each as a full run
// writes it.
TEST_F(Jobs, AnInterruptedBatchLeavesWholeBlocks) {
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
    const pid_t pid = ::fork();
    if (pid == 0) {
      if (::chdir(folder.c_str()) != 0) ::_exit(120);
      std::freopen("/dev/null", "w", stderr);
      std::vector<const char*> argv = {RINGSMOOTH_BINARY};
      for (const auto& a : arguments) argv.push_back(a.c_str());
      argv.push_back(nullptr);
      ::execv(RINGSMOOTH_BINARY, const_cast<char* const*>(argv.data()));
      ::_exit(121);
    }
    ::usleep(20000 + 30000 * attempt);
    ::kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    if (WIFSIGNALED(status)) ++interrupted;
    for (int t = 0; t < 4; ++t) {
      const std::string listing = read("t" + std::to_string(t) + ".lst");
      EXPECT_EQ(complete[t].compare(0, listing.size(), listing), 0) << "table " << t;
      // Whole blocks: the listing ends where one of the full run's blocks ends.
      EXPECT_TRUE(listing.empty() || listing.size() == complete[t].size() ||
                  complete[t].compare(listing.size(), 19, "\n Input series is: ") == 0)
          << "table " << t << " cut at " << listing.size();
    }
  }
  EXPECT_GT(interrupted, 0) << "no run was interrupted";
}

}  // namespace
