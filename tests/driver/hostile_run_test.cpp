// The program under hostile conditions, run as a user would: a read-only listing, file names at
// and past their 40-character field, malformed answers, garbage for a table, and runs killed
// part-way, after which an earlier listing must be as it was (see the SIGKILL note below).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/listing_check.h"
#include "support/program.h"

namespace {

constexpr int NOBODY = 65534;

class HostileRun : public runner::ScratchTest {
 protected:
  void writeTable(const std::string& name, const std::string& text) { write(name, text); }
};

const std::string SMALL_TABLE = "Year A B\n1901 1.1 2.0\n1902 1.3 2.4\n1903 0.9 2.2\n1904 1.2 2.1\n"
                                "1905 1.0 2.6\n1906 1.4 2.3\n1907 1.1 2.5\n1908 0.8 2.0\n";

std::string answersFor(const std::string& table, const std::string& listing) {
  return table + "\n" + listing + "\n3\n-999\n2\nn\nx\n";
}

TEST_F(HostileRun, ReadOnlyListingIsAnErrorAndStaysUntouched) {
  writeTable("table.txt", SMALL_TABLE);
  writeTable("out.txt", "keep me\n");
  ASSERT_EQ(::chmod((folder + "/out.txt").c_str(), 0444), 0);
  std::string command;
  if (::geteuid() == 0) {
    // Permissions don't bind root: run the program as nobody, if that can be done here.
    if (std::system("command -v setpriv > /dev/null") != 0) GTEST_SKIP() << "root without setpriv";
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    ASSERT_EQ(::chmod((folder + "/table.txt").c_str(), 0444), 0);
    write("answers.in", answersFor("table.txt", "out.txt"));
    command = "cd '" + folder + "' && setpriv --reuid=" + std::to_string(NOBODY) +
              " --regid=" + std::to_string(NOBODY) + " --clear-groups env RINGSMOOTH_PLOT_DEVICE=null '" +
              RINGSMOOTH_BINARY "' < answers.in > console.out 2>&1";
    if (std::system(("setpriv --reuid=" + std::to_string(NOBODY) + " --regid=" +
                     std::to_string(NOBODY) + " --clear-groups test -x '" RINGSMOOTH_BINARY "'")
                        .c_str()) != 0) {
      GTEST_SKIP() << "the program can't be run as nobody from where it was built";
    }
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    const std::string console = read("console.out");
    EXPECT_NE(console.find("? Cannot create the output listing \"out.txt\""), std::string::npos)
        << console;
    EXPECT_NE(console.find("? Permission denied"), std::string::npos) << console;
    runner::expectReport(console, "");
  } else {
    const auto r = runner::run(folder, answersFor("table.txt", "out.txt"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.console.find("? Permission denied"), std::string::npos) << r.console;
    runner::expectReport(r.console, "");
  }
  EXPECT_EQ(read("out.txt"), "keep me\n");
}

// A name of exactly 40 characters is used whole; of 41, it is cut to its first 40, so the file
// of the 40-character name is the one read and the one written.
TEST_F(HostileRun, FileNamesOfFortyAndFortyOneCharacters) {
  const std::string forty(40, 'a');
  const std::string fortyOut = "o" + std::string(39, 'b');
  ASSERT_EQ(forty.size(), 40u);
  writeTable(forty, SMALL_TABLE);

  auto r = runner::run(folder, answersFor(forty, fortyOut));
  ASSERT_EQ(r.status, 0) << r.console;
  const std::string listing = read(fortyOut);
  EXPECT_NE(listing.find(" Input series is: B"), std::string::npos);
  std::remove((folder + "/" + fortyOut).c_str());

  r = runner::run(folder, answersFor(forty + "Z", fortyOut + "Z"));
  ASSERT_EQ(r.status, 0) << r.console;
  EXPECT_EQ(read(fortyOut), listing);
  EXPECT_FALSE(runner::exists(folder + "/" + fortyOut + "Z"));
  // A name the cut shortens to one that doesn't exist: the 40-character name is in the report.
  r = runner::run(folder, answersFor(std::string(40, 'c') + "Z", "x.txt"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.console.find("\"" + std::string(40, 'c') + "\""), std::string::npos) << r.console;
}

TEST_F(HostileRun, TrailingBlanksOfFileNamesAreDropped) {
  writeTable("table.txt", SMALL_TABLE);
  const auto r = runner::run(folder, answersFor("table.txt   \t", "out.txt     "));
  // A tab is not a blank: "table.txt   \t" names no file, and the report says which name.
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.console.find("? No such file or directory"), std::string::npos) << r.console;
  const auto ok = runner::run(folder, answersFor("table.txt   ", "out.txt     "));
  ASSERT_EQ(ok.status, 0) << ok.console;
  EXPECT_TRUE(runner::exists(folder + "/out.txt"));
  EXPECT_FALSE(runner::exists(folder + "/out.txt     "));
  EXPECT_NE(read("out.txt").find(" Input series is: A                   \n"), std::string::npos);
}

// A NUL in a typed name would make the system see a shorter name: another file would be read,
// or replaced by the listing. Both names are refused and no file is touched.
TEST_F(HostileRun, NulInAFileNameIsRefused) {
  writeTable("table.txt", SMALL_TABLE);
  writeTable("victim.txt", "precious\n");
  auto r = runner::run(folder, std::string("table.txt\0.old\nout.txt\n3\n-999\n2\nn\nx\n", 36));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.console.find("? Cannot open the input file \"table.txt\\0.old\""), std::string::npos)
      << r.console;
  EXPECT_NE(r.console.find("? The name holds a NUL character"), std::string::npos);
  EXPECT_FALSE(runner::exists(folder + "/out.txt"));
  r = runner::run(folder, std::string("table.txt\nvictim.txt\0.lst\n3\n-999\n2\nn\nx\n", 39));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.console.find("? The name holds a NUL character"), std::string::npos) << r.console;
  runner::expectReport(r.console, "");
  EXPECT_EQ(read("victim.txt"), "precious\n");
}

// Quoted header names keep their trailing blanks inside the 20 characters: the listing shows the
// name padded to 20 either way.
TEST_F(HostileRun, HeaderNamesWithTrailingBlanks) {
  writeTable("table.txt", "'Year  ' 'A   ' \"B    \"\n1901 1 2\n1902 2 3\n1903 3 5\n1904 1 1\n");
  const auto r = runner::run(folder, answersFor("table.txt", "out.txt"));
  ASSERT_EQ(r.status, 0) << r.console;
  const std::string listing = read("out.txt");
  EXPECT_NE(listing.find("\n Input series is: A                   \n"), std::string::npos);
  EXPECT_NE(listing.find("\n Input series is: B                   \n"), std::string::npos);
}

// The files in a folder besides those every run has (its answers and console).
std::set<std::string> filesMade(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  for (const char* every : {"answers.in", "console.out", "console.err"}) names.erase(every);
  return names;
}

TEST_F(HostileRun, MalformedConsoleAnswers) {
  writeTable("table.txt", SMALL_TABLE);
  struct Case {
    const char* what;
    std::string answers;
    int status;
    const char* expect;  // in the console
    std::set<std::string> files = {"table.txt"};  // in the folder afterwards: a failed run
                                                  // leaves no listing
  };
  const Case cases[] = {
      // A blank name is refused before any file is made.
      {"blank output file", "table.txt\n   \n3\n-999\n2\nn\nx\n", 1,
       "? No output file was named", {"table.txt"}},
      {"lone minus as cutoff", "table.txt\nout.txt\n3\n-999\n-\n", 1, "? Illegal character"},
      {"point as cutoff", "table.txt\nout.txt\n3\n-999\n.\n", 1, "? Illegal character"},
      {"1e as cutoff", "table.txt\nout.txt\n3\n-999\n1e\n", 1, "? Illegal character"},
      {"--5 as column count", "table.txt\nout.txt\n--5\n", 1, "? Illegal character"},
      {"1.2.3 as flag", "table.txt\nout.txt\n3\n1.2.3\n", 1, "? Illegal character"},
      {"+ as flag", "table.txt\nout.txt\n3\n+\n", 1, "? Illegal character"},
      {"1e400 as flag", "table.txt\nout.txt\n3\n1e400\n", 1, "? Number out of range"},
      {"cutoff beyond int", "table.txt\nout.txt\n3\n-999\n99999999999\n", 1,
       "? Number out of range"},
      // "3*" stands for empty answers: the cutoff stays unset and is asked for again.
      {"3* as cutoff", "table.txt\nout.txt\n3\n-999\n3*\n2\nn\nx\n", 0,
       "The cutoff is a period in years", {"table.txt", "out.txt"}},
      {"0* as cutoff", "table.txt\nout.txt\n3\n-999\n0*\n", 1, "repeat count 0"},
  };
  for (const auto& c : cases) {
    const auto r = runner::run(folder, c.answers);
    EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.console;
    EXPECT_NE(r.console.find(c.expect), std::string::npos) << c.what << "\n" << r.console;
    if (c.status == 1) runner::expectReport(r.console, "");
    EXPECT_EQ(filesMade(folder), c.files) << c.what;
    std::remove((folder + "/out.txt").c_str());
  }
}

TEST_F(HostileRun, BinaryGarbageAsTheTable) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 12; ++trial) {
    std::string garbage(static_cast<std::size_t>(1000 + rng() % 20000), '\0');
    for (char& c : garbage) c = static_cast<char>(rng() & 0xFF);
    if (trial % 3 == 0) garbage = SMALL_TABLE + garbage;
    writeTable("table.txt", garbage);
    const auto r = runner::run(folder, answersFor("table.txt", "out.txt"));
    ASSERT_TRUE(r.status == 0 || r.status == 1) << "status " << r.status << "\n" << r.console;
    if (r.status == 1) runner::expectReport(r.console, "");
    EXPECT_EQ(r.errors, "");
  }
}

// ---- Nothing lost: runs killed part-way -----------------------------------------------------

constexpr int KILL_SERIES = 400;
constexpr int KILL_YEARS = 3000;

std::string manySeriesTable() {
  std::string text = "Year";
  for (int k = 0; k < KILL_SERIES; ++k) text += " S" + std::to_string(k);
  text += "\n";
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> milli(500, 1500);
  char cell[16];
  for (int r = 0; r < KILL_YEARS; ++r) {
    text += std::to_string(1000 + r);
    for (int k = 0; k < KILL_SERIES; ++k) {
      std::snprintf(cell, sizeof cell, " %d.%03d", milli(rng) / 1000, milli(rng) % 1000);
      text += cell;
    }
    text += "\n";
  }
  return text;
}

long fileSize(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

std::size_t checkBlock(const std::string& listing, std::size_t at, int years) {
  return runner::checkBlock(listing, at, years, 1000);
}

class KilledRun : public HostileRun {
 protected:
  // The temporary name the listing out.txt is written under, or "" when there is none.
  std::string temporaryListing() const {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.path().filename().string().rfind(".out.txt.", 0) == 0) return entry.path().string();
    }
    return "";
  }
};

TEST_F(KilledRun, AnEarlierListingStaysAndNoTemporaryIsLeft) {
  writeTable("table.txt", manySeriesTable());
  write("answers.in", "table.txt\nout.txt\n" +
                                                std::to_string(KILL_SERIES + 1) +
                                                "\n-999\n30\nn\nx\n");
  // The uninterrupted run, for comparison.
  pid_t pid = runner::start(folder);
  int raw = 0;
  ASSERT_EQ(::waitpid(pid, &raw, 0), pid);
  ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0);
  const std::string full = read("out.txt");
  std::size_t at = 0;
  for (int k = 0; k < KILL_SERIES; ++k) at = checkBlock(full, at, KILL_YEARS);
  ASSERT_EQ(at, full.size());
  const long blockSize = static_cast<long>(full.size()) / KILL_SERIES;

  for (int sig : {SIGKILL, SIGINT}) {
    int killed = 0;
    for (double part : {0.0, 0.25, 0.5, 0.9}) {
      write("out.txt", "an earlier listing\n");
      pid = runner::start(folder);
      const long threshold = std::max(1L, static_cast<long>(part * static_cast<double>(full.size())));
      // Wait for the listing, written under its temporary name, to reach the moment, then send
      // the signal.
      int status = 0;
      bool ended = false;
      std::string temporary;
      while ((temporary = temporaryListing()).empty() || fileSize(temporary) < threshold) {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
          ended = true;
          break;
        }
        ::usleep(100);
      }
      if (!ended) {
        ::kill(pid, sig);
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
      }
      if (!WIFSIGNALED(status)) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_EQ(read("out.txt"), full);
        continue;
      }
      EXPECT_EQ(WTERMSIG(status), sig);
      ++killed;
      // The earlier listing is untouched. SIGINT (like SIGTERM, SIGHUP, SIGQUIT) removes the
      // temporary before the run ends. SIGKILL can't be caught: its temporary stays, holding
      // nothing that differs from the uninterrupted run; the kernel cuts a write at a page
      // boundary when the process is killed during it, so its last block may be cut short.
      EXPECT_EQ(read("out.txt"), "an earlier listing\n");
      const std::string left = temporaryListing();
      if (sig != SIGKILL) {
        EXPECT_EQ(left, "") << "signal " << sig << " at " << part;
        continue;
      }
      const std::string listing = runner::readFile(left);
      std::remove(left.c_str());
      EXPECT_EQ(full.compare(0, listing.size(), listing), 0) << "signal " << sig << " at " << part;
      const std::size_t wholeBlocks = listing.size() / static_cast<std::size_t>(blockSize);
      const std::size_t cut = listing.size() % static_cast<std::size_t>(blockSize);
      if (cut != 0) {
        std::printf("SIGKILL at %.2f cut block %zu after %zu of its %ld bytes\n", part,
                    wholeBlocks + 1, cut, blockSize);
      }
      std::size_t pos = 0;
      for (std::size_t b = 0; b < wholeBlocks; ++b) pos = checkBlock(listing, pos, KILL_YEARS);
      EXPECT_EQ(pos, wholeBlocks * static_cast<std::size_t>(blockSize));
    }
    EXPECT_GT(killed, 0) << "no run was interrupted by signal " << sig;
  }
}

}  // namespace
