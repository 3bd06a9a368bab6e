// The progress display: on a terminal once a run has taken a second, never on a file or a pipe.
#include "driver/progress.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/program.h"
#include "support/text_stream.h"

namespace ringsmooth {
namespace {

// What can be read from `fd` (non-blocking) now.
std::string readAvailable(int fd) {
  std::string text;
  char chunk[256];
  for (ssize_t got; (got = ::read(fd, chunk, sizeof chunk)) > 0;) {
    text.append(chunk, static_cast<std::size_t>(got));
  }
  return text;
}

// What the display wrote for: two tables, a start, then series done before and after a second,
// then hidden.
std::string shown(std::FILE* stream, std::FILE* readBack) {
  Progress progress(stream, 2);
  progress.startTable(0);
  progress.tableHolds(10);
  progress.seriesDone(3);
  std::string before;
  if (readBack != nullptr) {
    std::fflush(stream);
    before = readAvailable(fileno(readBack));
  }
  EXPECT_EQ(before, "") << "shown within the first second";
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  progress.startTable(1);
  progress.tableHolds(20);
  progress.seriesDone(7);
  progress.hide();
  progress.hide();  // nothing shown: nothing to erase
  std::fflush(stream);
  return before;
}

TEST(Progress, ShownOnATerminalAfterASecondOnly) {
  int master = -1;
  int terminal = -1;
  ASSERT_EQ(openpty(&master, &terminal, nullptr, nullptr, nullptr), 0);
  std::FILE* stream = fdopen(terminal, "w");
  std::FILE* readBack = fdopen(master, "r");
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(fcntl(master, F_SETFL, O_NONBLOCK), 0);
  shown(stream, readBack);
  const std::string text = readAvailable(master);
  // The line is drawn over the one before and erases what is left of it.
  EXPECT_NE(text.find("\rringsmooth: table 2 of 2, series 0 of 20\033[K"), std::string::npos) << text;
  EXPECT_EQ(text.rfind("\r\033[K"), text.size() - 4) << "the line is cleared at the end";
  EXPECT_EQ(text.find("\r\033[K\r\033[K"), std::string::npos) << "cleared twice";
  std::fclose(stream);
  std::fclose(readBack);
}

TEST(Progress, NeverShownOnAFile) {
  support::TextStream file("");
  shown(file.get(), nullptr);
  EXPECT_EQ(file.contents(), "");
}

// A batch run's display on a terminal, the program's clock stepping a second at every reading
// (so that each change is drawn): the last line drawn, just before the line is erased at the
// end, shows every series of the last table done, whether the series were computed on the
// writing thread or ahead of it by others; a note after the last series does not run into it.
class ProgressRun : public runner::ScratchTest {};

std::string seriesTable(int series) {
  std::string text = "Year";
  for (int k = 0; k < series; ++k) text += " S" + std::to_string(k + 1);
  for (int year = 1901; year <= 1930; ++year) {
    text += "\n" + std::to_string(year);
    for (int k = 0; k < series; ++k) text += " " + std::to_string(1 + (year * (k + 3)) % 7);
  }
  return text + "\n";
}

TEST_F(ProgressRun, TheLastLineDrawnShowsEverySeriesDone) {
  write("a.txt", seriesTable(37));
  write("b.txt", seriesTable(9));
  const struct {
    std::vector<std::string> arguments;
    const char* last;  // the last line drawn
    const char* note;  // a note the run writes after the table's last series, or ""
  } cases[] = {
      {{"--jobs=1", "a.txt"}, "table 1 of 1, series 37 of 37", ""},
      {{"--jobs=2", "a.txt"}, "table 1 of 1, series 37 of 37", ""},
      {{"--jobs=1", "a.txt", "b.txt"}, "table 2 of 2, series 9 of 9",
       "ringsmooth: 2 of 2 tables read, 46 series listed"},
      {{"--jobs=1", "-p", "listed", "a.txt"}, "table 1 of 1, series 37 of 37",
       "ringsmooth: a.txt: Plots written to a.pdf (37 pages)\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.front() + " " + c.arguments.back());
    int master = -1;
    int terminal = -1;
    ASSERT_EQ(openpty(&master, &terminal, nullptr, nullptr, nullptr), 0);
    ASSERT_EQ(fcntl(master, F_SETFL, O_NONBLOCK), 0);
    runner::Options o;
    o.arguments = {"-c", "5"};
    o.arguments.insert(o.arguments.end(), c.arguments.begin(), c.arguments.end());
    o.environment = runner::preloading(CLOCK_STEPS_LIBRARY);
    // A leak checker's summary of suppressions (PLplot's loader) would follow the last line.
    const char* leaks = std::getenv("LSAN_OPTIONS");
    o.environment.push_back(std::string("LSAN_OPTIONS=") + (leaks ? leaks : "") +
                            ":print_suppressions=0");
    o.standardError = ::ttyname(terminal);
    EXPECT_EQ(runner::run(folder, o).status, 0);
    const std::string text = readAvailable(master);
    ::close(terminal);
    ::close(master);
    const std::size_t last = text.rfind("\rringsmooth: table ");
    ASSERT_NE(last, std::string::npos) << text;
    const std::string lastDrawn = "\rringsmooth: " + std::string(c.last) + "\033[K\r\033[K";
    EXPECT_EQ(text.substr(last, lastDrawn.size()), lastDrawn);
    EXPECT_NE(text.find(c.note), std::string::npos) << text;
    // Every line, drawn or written, begins where the display has been cleared or a line ended.
    for (std::size_t at = 0; (at = text.find("ringsmooth: ", at)) != std::string::npos; ++at) {
      const std::string before = text.substr(at < 4 ? 0 : at - 4, std::min<std::size_t>(at, 4));
      EXPECT_TRUE(at == 0 || before.ends_with('\r') || before.ends_with('\n') || before == "\r\033[K")
          << text.substr(at < 40 ? 0 : at - 40, 80);
    }
  }
}

// A run ended by a signal while its line is shown clears the line first: the shell's next line
// does not run into it. The second table is a FIFO held open: the run is waiting in it.
TEST_F(ProgressRun, ASignalClearsTheLineBeforeTheRunEnds) {
  write("a.txt", seriesTable(37));
  ASSERT_EQ(::mkfifo((scratch / "b.txt").c_str(), 0600), 0);
  int master = -1, terminal = -1, fifo = -1, status = 0;
  ASSERT_EQ(openpty(&master, &terminal, nullptr, nullptr, nullptr), 0);
  ASSERT_EQ(fcntl(master, F_SETFL, O_NONBLOCK), 0);
  const pid_t pid = ::fork();
  if (pid == 0 && ::dup2(terminal, 2) == 2 && ::chdir(folder.c_str()) == 0) {
    for (const std::string& s : runner::preloading(CLOCK_STEPS_LIBRARY)) ::putenv(::strdup(s.c_str()));
    ::execl(RINGSMOOTH_BINARY, "ringsmooth", "-c", "5", "-j", "1", "a.txt", "b.txt", nullptr);
  }
  if (pid == 0) ::_exit(127);
  while ((fifo = ::open((scratch / "b.txt").c_str(), O_WRONLY | O_NONBLOCK)) < 0) ::usleep(1000);
  ::kill(pid, SIGTERM);
  ::waitpid(pid, &status, 0);
  const std::string text = readAvailable(master);
  for (const int fd : {fifo, terminal, master}) ::close(fd);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_TRUE(text.ends_with("\r\033[K")) << text;
}

}  // namespace
}  // namespace ringsmooth
