// What a run leaves in the folder, as a user finds it afterwards: after a success, a failure, a
// clash of outputs and a signal, every output is whole or absent, an earlier result is
// replaced only by a whole new one, and no temporary file is left behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/listing_check.h"
#include "support/program.h"

namespace {

namespace fs = std::filesystem;

const std::string SAMPLE = runner::readFile(RINGSMOOTH_SOURCE_DIR "/examples/sample.txt");
const std::string EARLIER = "an earlier result\n";
constexpr int SHORT_YEARS = 100;

// Series A has 100 years; series B, extended by 30 years at each end, is too long for the spline.
std::string tooLongTable() {
  std::string text = "Year A B\n";
  for (int y = 1; y <= 9990; ++y) {
    text += std::to_string(y) + (y <= SHORT_YEARS ? " 1." + std::to_string(y % 7) : " -999") +
            " 2." + std::to_string(y % 5) + "\n";
  }
  return text;
}

// The tables every case finds in its folder, and that no run may change.
const std::map<std::string, std::string> TABLES = {
    {"sample.txt", SAMPLE},
    {"sample.csv", SAMPLE},
    {"sub/sample.txt", SAMPLE},
    {"other.txt", SAMPLE},
    {"other.spline.csv", SAMPLE},
    {"other.chron.csv", SAMPLE},
    {"other.stats.csv", SAMPLE},
    {"other.pdf", SAMPLE},
    {"other-2.svg", SAMPLE},
    {"long.txt", tooLongTable()},
    {"bad.txt", "Year A\n1901 1.5\n1902 x\n"},
};

// What a file left behind holds.
enum class Holds { Earlier, Listing, Csv, Pdf, FirstBlockOnly, Folder };

struct Left {
  std::string name;
  Holds holds;
};

struct Case {
  const char* what;
  std::vector<std::string> arguments;  // a batch run; none: the dialogue, on `answers`
  std::string answers;
  std::vector<std::string> earlier;  // files holding an earlier result before the run; a name
                                     // "LINK=FILE" is a hard link to such a file
  int status;                        // 128 + the signal for a run stopped by one
  std::vector<Left> left;            // every file there is afterwards besides TABLES
  std::string said;                  // on standard error or the console ("" for a signal)
  int signal = 0;  // sent once the temporaries of `stopped` exist (a batch table's outputs are
                   // made once it is read); tables named "fifo*" are FIFOs the test holds open,
                   // so that the run is known to be reading them
  std::vector<std::string> stopped = {};
  bool ignored = false;  // the signal is ignored as the run starts (nohup): the run goes on,
                         // and the FIFOs are then given the sample table
};

std::string dialogue(const std::string& table, const std::string& listing, int columns) {
  return runner::answers(table, listing, columns, "-999", 30, "n", "x");
}

class Outputs : public runner::ScratchTest {
 protected:
  // The listing and the CSV of sample.txt with cutoff 30, each from a run of its own.
  static void SetUpTestSuite() {
    runner::ScratchFolder once;
    runner::writeFile(once / "sample.txt", SAMPLE);
    for (const char* format : {"listing", "csv"}) {
      runner::Options o;
      o.arguments = {"-c", "30", "-f", format, "sample.txt"};
      runner::run(once.path(), o);
    }
    listing_ = runner::readFile(once / "sample.lst");
    csv_ = runner::readFile(once / "sample.spline.csv");
  }

  void expectHolds(const Left& file) const {
    const std::string text = read(file.name);
    SCOPED_TRACE(file.name);
    switch (file.holds) {
      case Holds::Earlier:
        EXPECT_EQ(text, EARLIER);
        break;
      case Holds::Listing:
        EXPECT_EQ(text, listing_);
        break;
      case Holds::Csv:
        EXPECT_EQ(text, csv_);
        break;
      case Holds::Pdf:
        EXPECT_EQ(text.rfind("%PDF", 0), 0u);
        EXPECT_NE(text.find("%%EOF", text.size() - 8), std::string::npos);
        break;
      case Holds::FirstBlockOnly:
        EXPECT_EQ(runner::checkBlock(text, 0, SHORT_YEARS, 1), text.size());
        break;
      case Holds::Folder:
        break;
    }
  }

  // Every file and folder under the scratch folder but the tables and the runner's own.
  std::map<std::string, bool> leftBehind() const {
    std::map<std::string, bool> found;  // name, and whether it is a folder
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      const std::string name = fs::relative(entry.path(), folder).string();
      const bool fifo = name.rfind("fifo", 0) == 0 && fs::path(name).extension() == ".txt";
      if (TABLES.count(name) > 0 || name == "sub" || fifo || name == "answers.in" ||
          name.rfind("console.", 0) == 0) {
        continue;
      }
      found[name] = entry.is_directory();
    }
    return found;
  }

  // Runs the case on FIFOs held open, and stops it with its signal once its temporaries exist.
  int runStopped(const Case& c) {
    std::vector<std::string> fifos;
    for (const std::string& a :
         c.arguments.empty() ? std::vector<std::string>{"fifo.txt"} : c.arguments) {
      if (a.rfind("fifo", 0) == 0 && ::mkfifo((scratch / a).c_str(), 0600) == 0) fifos.push_back(a);
    }
    write("answers.in", c.answers);
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = c.ignored ? SIG_IGN : SIG_DFL;
    ::sigaction(c.signal, &ignore, &previous);  // the run inherits the disposition
    const pid_t pid = runner::start(folder, c.arguments);
    ::sigaction(c.signal, &previous, nullptr);
    int status = 0;
    const auto ended = [&] { return ::waitpid(pid, &status, WNOHANG) == pid; };
    std::vector<int> writers;
    for (const std::string& fifo : fifos) {
      int fd = -1;
      // Opened without blocking: fails until the run opens the table for reading.
      while ((fd = ::open((scratch / fifo).c_str(), O_WRONLY | O_NONBLOCK)) < 0) {
        if (ended()) return -1;
        ::usleep(1000);
      }
      writers.push_back(fd);
    }
    for (const std::string& output : c.stopped) {
      while (!temporaryOf(output)) {
        if (ended()) return -1;
        ::usleep(1000);
      }
    }
    ::kill(pid, c.signal);
    for (int fd : writers) {
      if (c.ignored) {
        ::fcntl(fd, F_SETFL, 0);
        EXPECT_EQ(::write(fd, SAMPLE.data(), SAMPLE.size()), static_cast<ssize_t>(SAMPLE.size()));
      }
      ::close(fd);
    }
    ::waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
  }

  // True when the temporary that `output` is written under exists.
  bool temporaryOf(const std::string& output) const {
    const std::string prefix = "." + fs::path(output).filename().string() + ".";
    for (const auto& entry :
         fs::directory_iterator(scratch / fs::path(output).parent_path().string())) {
      if (entry.path().filename().string().rfind(prefix, 0) == 0) return true;
    }
    return false;
  }

  static std::string listing_;
  static std::string csv_;
};

std::string Outputs::listing_;
std::string Outputs::csv_;

TEST_F(Outputs, LeftBehindAfterSuccessFailureClashAndSignal) {
  const Case cases[] = {
      // Success: an earlier result is replaced by the whole new one.
      {"a success replaces an earlier listing", {"-c", "30", "sample.txt"}, "", {"sample.lst"},
       0, {{"sample.lst", Holds::Listing}}, ""},
      {"the dialogue's success too", {}, dialogue("sample.txt", "good.lst", 5), {"good.lst"}, 0,
       {{"good.lst", Holds::Listing}}, ""},
      {"-d makes its folder and parents; two formats at once",
       {"-c", "30", "-d", "out/deep", "-f", "listing,csv", "sample.txt"}, "", {}, 0,
       {{"out", Holds::Folder}, {"out/deep", Holds::Folder},
        {"out/deep/sample.lst", Holds::Listing}, {"out/deep/sample.spline.csv", Holds::Csv}},
       ""},
      {"a name of 255 bytes replaced: its temporary's name is cut to the system's limit",
       {"-c", "30", "-o", std::string(251, 'n') + ".lst", "sample.txt"}, "",
       {std::string(251, 'n') + ".lst"}, 0, {{std::string(251, 'n') + ".lst", Holds::Listing}}, ""},
      {"the dialogue's stop keeps the blocks before the series", {},
       dialogue("long.txt", "good.lst", 3), {}, 3, {{"good.lst", Holds::FirstBlockOnly}},
       "*** series too long for spline subroutine ***"},
      // A batch table whose cutoff a series can't take fails before its outputs are made.
      {"a cutoff too long keeps the earlier listing", {"-c", "30", "long.txt"}, "", {"long.lst"}, 3,
       {{"long.lst", Holds::Earlier}}, "the largest cutoff that fits is 5 years\n"},
      {"a percentage too large keeps every earlier output",
       {"-c", "1000%", "--ends=predict", "-f", "listing,csv", "long.txt"}, "",
       {"long.lst", "long.spline.csv"}, 3,
       {{"long.lst", Holds::Earlier}, {"long.spline.csv", Holds::Earlier}},
       "? long.txt: The cutoff is too long for series 2 (B), the longest\n? 9990 years and 99900 "
       "predicted at each end are more than the spline's 10000\n? no cutoff fits it"},
      // Failure: the earlier result stays, nothing new looks like a result.
      {"a failed table keeps the earlier listing", {"-c", "30", "-o", "good.lst", "bad.txt"}, "",
       {"good.lst"}, 1, {{"good.lst", Holds::Earlier}}, "? bad.txt: Input error in the input"},
      {"so does a failed dialogue", {}, dialogue("bad.txt", "good.lst", 2), {"good.lst"}, 1,
       {{"good.lst", Holds::Earlier}}, "? Input error in the input table, line 3"},
      {"a refused table leaves no output",
       {"-c", "30", "-f", "listing,csv", "-p", "listed", "bad.txt"}, "", {}, 1, {},
       "? bad.txt: Input error"},
      {"a missing folder is named", {"-c", "30", "-o", "nodir/x.lst", "sample.txt"}, "", {}, 1,
       {}, "? No such folder \"nodir\"\n"},
      // Clash and usage: refused before any file is touched.
      {"two tables, one output", {"-c", "30", "sample.txt", "sample.csv"}, "", {}, 2, {},
       "tables sample.txt and sample.csv would both write sample.lst\n"},
      {"two tables, one output in -d's folder",
       {"-c", "30", "-d", "out", "sample.txt", "sub/sample.txt"}, "", {}, 2, {},
       "tables sample.txt and sub/sample.txt would both write out/sample.lst\n"},
      {"one output by two paths", {"-c", "30", "sample.txt", "sub/../sample.csv"}, "", {}, 2, {},
       "tables sample.txt and sub/../sample.csv would both write sample.lst\n"},
      {"one output by two links", {"-c", "30", "sample.txt", "sub/sample.txt"}, "",
       {"sample.lst", "sub/sample.lst=sample.lst"}, 2,
       {{"sample.lst", Holds::Earlier}, {"sub/sample.lst", Holds::Earlier}},
       "tables sample.txt and sub/sample.txt would both write sample.lst\n"},
      {"an output over another table",
       {"-c", "30", "-f", "csv", "other.txt", "other.spline.csv"}, "", {}, 2, {},
       "table other.txt would write other.spline.csv over table other.spline.csv\n"},
      {"a chronology over another table",
       {"-c", "30", "--chronology=csv", "other.txt", "other.chron.csv"}, "", {}, 2, {},
       "table other.txt would write other.chron.csv over table other.chron.csv\n"},
      {"statistics over another table", {"-c", "30", "--stats", "other.txt", "other.stats.csv"},
       "", {}, 2, {}, "table other.txt would write other.stats.csv over table other.stats.csv\n"},
      {"two outputs of one table", {"-c", "30", "--chronology=crn", "-o", "q.crn", "sample.txt"},
       "", {}, 2, {}, "table sample.txt would write q.crn as both the output listing and the chronology\n"},
      {"a plot file over a table", {"-c", "30", "-p", "listed", "--plot-device=svg", "other.txt",
       "other-2.svg"}, "", {}, 2, {}, "table other.txt would write a plot file over table other-2.svg\n"},
      {"a table named as its own PDF", {"-c", "30", "-p", "listed", "other.pdf"}, "", {}, 1, {},
       "Cannot create the PDF of the plots \"other.pdf\""},
      {"a repeated -f", {"-c", "30", "-f", "csv", "-f", "listing", "sample.txt"}, "", {}, 2, {},
       "option '-f' is given twice"},
      // Signals: the temporaries go, earlier results and finished tables stay.
      {"SIGINT in the dialogue", {}, dialogue("fifo.txt", "good.lst", 2), {"good.lst"},
       128 + SIGINT, {{"good.lst", Holds::Earlier}}, "", SIGINT, {"good.lst"}},
      {"SIGTERM in the second table of a run in turn",
       {"-c", "30", "-j", "1", "-p", "listed", "sample.txt", "fifo.txt"}, "", {"fifo.lst"},
       128 + SIGTERM,
       {{"sample.lst", Holds::Listing}, {"sample.pdf", Holds::Pdf}, {"fifo.lst", Holds::Earlier}},
       "", SIGTERM},
      {"SIGHUP ignored by nohup leaves the run going", {"-c", "30", "-j", "1", "fifo.txt"}, "",
       {"fifo.lst"}, 0, {{"fifo.lst", Holds::Listing}}, "", SIGHUP, {}, true},
      {"SIGHUP in tables side by side", {"-c", "30", "-j", "2", "fifo.txt", "fifo2.txt"}, "",
       {"fifo.lst"}, 128 + SIGHUP, {{"fifo.lst", Holds::Earlier}}, "", SIGHUP},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(folder);
    fs::create_directories(scratch / "sub");
    for (const auto& [name, text] : TABLES) write(name, text);
    for (const std::string& name : c.earlier) {
      const std::size_t link = name.find('=');
      if (link == std::string::npos) {
        write(name, EARLIER);
      } else {
        fs::create_hard_link(scratch / name.substr(link + 1), scratch / name.substr(0, link));
      }
    }
    std::string said;
    int status = 0;
    if (c.signal != 0) {
      status = runStopped(c);
    } else {
      runner::Options o;
      o.arguments = c.arguments;
      o.answers = c.answers;
      const runner::Result r = runner::run(folder, o);
      status = r.status;
      said = r.errors + r.console;
    }
    EXPECT_EQ(status, c.status) << said;
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
    std::map<std::string, bool> expected;
    for (const Left& file : c.left) {
      expected[file.name] = file.holds == Holds::Folder;
      expectHolds(file);
    }
    EXPECT_EQ(leftBehind(), expected);
    for (const auto& [name, text] : TABLES) EXPECT_EQ(read(name), text) << name;
  }
}

}  // namespace
