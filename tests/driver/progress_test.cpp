// The progress display: on a terminal once a run has taken a second, never on a file or a pipe.
#include "driver/progress.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "support/text_stream.h"

namespace ringsmooth {
namespace {

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
    char chunk[256];
    while (const std::size_t got = ::read(fileno(readBack), chunk, sizeof chunk)) {
      if (got == static_cast<std::size_t>(-1)) break;
      before.append(chunk, got);
    }
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
  std::string text;
  char chunk[256];
  for (ssize_t got; (got = ::read(master, chunk, sizeof chunk)) > 0;) text.append(chunk, static_cast<std::size_t>(got));
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

}  // namespace
}  // namespace ringsmooth
