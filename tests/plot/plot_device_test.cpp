#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>

#include "plot/plot1.h"
#include "support/text_stream.h"

namespace ringsmooth {
namespace {

// One work area for every plot of the test program, as in a run.
PlotWork& plotWork() {
  static PlotWork work;
  return work;
}

// Sets (or, with nullptr, removes) an environment variable for one test and puts it back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    hadValue_ = old != nullptr;
    if (hadValue_) oldValue_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (hadValue_) {
      setenv(name_, oldValue_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  bool hadValue_ = false;
  std::string oldValue_;
};

struct FileNameCase {
  const char* device;
  const char* extension;
  const char* listing;
  int series;
  const char* expected;
};

void PrintTo(const FileNameCase& c, std::ostream* os) { *os << c.listing << " " << c.device; }

class PlotFileNameCases : public testing::TestWithParam<FileNameCase> {};

TEST_P(PlotFileNameCases, NamesTheFileBesideTheListing) {
  const FileNameCase& c = GetParam();
  PlotDevice device{};
  std::strcpy(device.name, c.device);
  std::strcpy(device.extension, c.extension);
  char fileName[256];
  std::memset(fileName, 'x', sizeof fileName);
  plotFileName(device, c.listing, c.series, fileName, sizeof fileName);
  EXPECT_STREQ(fileName, c.expected) << c.listing;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlotFileNameCases,
    testing::Values(FileNameCase{"pngcairo", "png", "result.txt", 3, "result-3.png"},
                    FileNameCase{"pngcairo", "png", "out/a.lst", 3, "out/a-3.png"},
                    FileNameCase{"pngcairo", "png", "res", 3, "res-3.png"},
                    FileNameCase{"svg", "svg", "dir.v2/res", 12, "dir.v2/res-12.svg"},
                    FileNameCase{"svg", "svg", "dir.v2/res.out", 1, "dir.v2/res-1.svg"},
                    FileNameCase{"pdfcairo", "pdf", "a.b.c", 7, "a.b-7.pdf"},
                    FileNameCase{"psc", "ps", "/tmp/x/run.txt", 699, "/tmp/x/run-699.ps"},
                    FileNameCase{"pngcairo", "png", ".hidden", 2, ".hidden-2.png"},
                    FileNameCase{"pngcairo", "png", "dir/.lst", 2, "dir/.lst-2.png"},
                    FileNameCase{"pngcairo", "png", "result.txt      ", 4, "result-4.png"},
                    FileNameCase{"xwin", "", "result.txt", 3, ""},
                    FileNameCase{"null", "", "result.txt", 3, ""}));

TEST(PlotFileName, ANameThatDoesNotFitIsNotCutOff) {
  const PlotDevice device{"pngcairo", "png", false};
  char fileName[12];
  plotFileName(device, "result.txt", 3, fileName, sizeof fileName);  // "result-3.png" is 12
  EXPECT_STREQ(fileName, "");
  char exact[13];
  plotFileName(device, "result.txt", 3, exact, sizeof exact);
  EXPECT_STREQ(exact, "result-3.png");
}

struct DeviceCase {
  const char* requested;   // RINGSMOOTH_PLOT_DEVICE, nullptr for unset
  const char* display;     // DISPLAY, nullptr for unset
  const char* name;        // device chosen
  const char* extension;
  bool interactive;
  const char* note;        // text the console line must contain; "" for no line at all
};

void PrintTo(const DeviceCase& c, std::ostream* os) {
  *os << "device " << (c.requested ? c.requested : "unset") << ", display "
      << (c.display ? c.display : "unset");
}

class ChoosePlotDeviceCases : public testing::TestWithParam<DeviceCase> {};

TEST_P(ChoosePlotDeviceCases, PicksAUsableDeviceAndSaysWhyWhenItFallsBack) {
  const DeviceCase& c = GetParam();
  ScopedEnv device("RINGSMOOTH_PLOT_DEVICE", c.requested);
  ScopedEnv display("DISPLAY", c.display);
  support::TextStream console("");
  Notes notes(console.get());
  PlotDevice chosen{};
  choosePlotDevice(chosen, std::getenv("RINGSMOOTH_PLOT_DEVICE"), notes);
  EXPECT_STREQ(chosen.name, c.name);
  EXPECT_STREQ(chosen.extension, c.extension);
  EXPECT_EQ(chosen.interactive, c.interactive);
  const std::string text = console.contents();
  if (c.note[0] == '\0') {
    EXPECT_EQ(text, "");
  } else {
    EXPECT_NE(text.find(c.note), std::string::npos) << text;
    EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line: " << text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChoosePlotDeviceCases,
    testing::Values(
        DeviceCase{nullptr, nullptr, "pngcairo", "png", false, ""},
        DeviceCase{nullptr, ":59317", "pngcairo", "png", false, ""},
        DeviceCase{"", nullptr, "pngcairo", "png", false, ""},
        DeviceCase{"svg", nullptr, "svg", "svg", false, ""},
        DeviceCase{"svgcairo", nullptr, "svgcairo", "svg", false, ""},
        DeviceCase{"pdfcairo", nullptr, "pdfcairo", "pdf", false, ""},
        DeviceCase{"psc", nullptr, "psc", "ps", false, ""},
        DeviceCase{"epscairo", nullptr, "epscairo", "eps", false, ""},
        DeviceCase{"null", nullptr, "null", "", false, ""},
        DeviceCase{"foo", nullptr, "pngcairo", "png", false,
                   "Plot device \"foo\" is not known to PLplot; plots go to PNG files instead."},
        DeviceCase{"mem", nullptr, "pngcairo", "png", false,
                   "Plot device \"mem\" cannot be used by ringsmooth"},
        DeviceCase{"pngqt", nullptr, "pngcairo", "png", false, "Plot device \"pngqt\" "},
        DeviceCase{"xwin", nullptr, "pngcairo", "png", false,
                   "Plot device \"xwin\" needs an X display and none is reachable"},
        DeviceCase{"xwin", ":59317", "pngcairo", "png", false,
                   "Plot device \"xwin\" needs an X display and none is reachable"}));

// An unknown name must never reach PLplot, which would then show its device menu and read the
// answer from standard input.
TEST(ChoosePlotDevice, UnknownNameThenPlotLeavesStandardInputUnread) {
  char path[] = "/tmp/ringsmooth-stdin-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, "7\n", 2), 2);
  ASSERT_EQ(lseek(fd, 0, SEEK_SET), 0);
  const int savedStdin = dup(STDIN_FILENO);
  ASSERT_EQ(dup2(fd, STDIN_FILENO), STDIN_FILENO);

  ScopedEnv device("RINGSMOOTH_PLOT_DEVICE", "no-such-device");
  support::TextStream console("");
  Notes notes(console.get());
  PlotDevice chosen{};
  choosePlotDevice(chosen, std::getenv("RINGSMOOTH_PLOT_DEVICE"), notes);
  const std::string dir = testing::TempDir();
  char fileName[512];
  const std::string listing = dir + "/ringsmooth-stdin-check-" + std::to_string(getpid()) + ".txt";
  plotFileName(chosen, listing.c_str(), 1, fileName, sizeof fileName);
  const float values[3] = {1.0f, 2.0f, 3.0f};
  plot1(values, values, values, 3, 2000, "stdin check         ", false, PlotOutput{&chosen, console.get(), &notes}, fileName, plotWork());
  const off_t position = lseek(STDIN_FILENO, 0, SEEK_CUR);

  dup2(savedStdin, STDIN_FILENO);
  close(savedStdin);
  close(fd);
  unlink(path);
  EXPECT_EQ(position, 0) << "standard input was read";
  EXPECT_NE(console.contents().find("\"no-such-device\" is not known to PLplot"), std::string::npos);
  EXPECT_EQ(access(fileName, F_OK), 0) << fileName;
  unlink(fileName);
}

}  // namespace
}  // namespace ringsmooth
