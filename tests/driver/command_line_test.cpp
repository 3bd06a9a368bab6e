// handleCommandLine: what each command line returns and which stream gets what.
#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The version as the project declares it, read from the top-level CMakeLists.txt.
std::string declaredVersion() {
  std::ifstream file(std::string(RINGSMOOTH_SOURCE_DIR) + "/CMakeLists.txt");
  std::stringstream text;
  text << file.rdbuf();
  const std::string content = text.str();
  const std::string marker = "project(ringsmooth VERSION ";
  const std::size_t at = content.find(marker);
  if (at == std::string::npos) return "<no version in CMakeLists.txt>";
  const std::size_t start = at + marker.size();
  const std::size_t end = content.find_first_not_of("0123456789.", start);
  return content.substr(start, end - start);
}

std::string contentsOf(std::FILE* stream) {
  std::fflush(stream);
  std::rewind(stream);
  std::string text;
  char buffer[512];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, stream)) > 0) {
    text.append(buffer, got);
  }
  return text;
}

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome run(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "ringsmooth");
  std::vector<char*> argv;
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  EXPECT_NE(out, nullptr);
  EXPECT_NE(err, nullptr);
  Outcome outcome;
  outcome.status =
      ringsmooth::handleCommandLine(static_cast<int>(arguments.size()), argv.data(), out, err);
  outcome.out = contentsOf(out);
  outcome.err = contentsOf(err);
  std::fclose(out);
  std::fclose(err);
  return outcome;
}

TEST(CommandLine, NoArgumentsGoesOnToTheDialogueSilently) {
  const Outcome o = run({});
  EXPECT_EQ(o.status, -1);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(o.err, "");
}

enum class Shows { usage, version };

struct Accepted {
  std::vector<std::string> arguments;
  Shows shows;
};

class AcceptedCommandLine : public testing::TestWithParam<Accepted> {};

TEST_P(AcceptedCommandLine, PrintsOnStandardOutputAndSucceeds) {
  const Outcome o = run(GetParam().arguments);
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "");
  if (GetParam().shows == Shows::usage) {
    EXPECT_EQ(o.out.rfind("Usage: ringsmooth\n", 0), 0u) << o.out;
  } else {
    EXPECT_EQ(o.out, "ringsmooth " + declaredVersion() + "\n");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Options, AcceptedCommandLine,
    testing::Values(Accepted{{"--help"}, Shows::usage}, Accepted{{"-h"}, Shows::usage},
                    Accepted{{"--version"}, Shows::version}, Accepted{{"-V"}, Shows::version},
                    Accepted{{"--help", "--version"}, Shows::usage},
                    Accepted{{"--version", "--help"}, Shows::usage},
                    Accepted{{"--version", "--version"}, Shows::version}));

struct Refused {
  std::vector<std::string> arguments;
  std::string named;  // the argument the message must quote
  std::string kind;   // "unrecognized option" or "unexpected argument"
};

class RefusedCommandLine : public testing::TestWithParam<Refused> {};

TEST_P(RefusedCommandLine, ReportsAUsageErrorOnStandardErrorOnly) {
  const Outcome o = run(GetParam().arguments);
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.out, "");
  EXPECT_NE(o.err.find("ringsmooth: " + GetParam().kind + " '" + GetParam().named + "'\n"),
            std::string::npos)
      << o.err;
  EXPECT_NE(o.err.find("Try 'ringsmooth --help'"), std::string::npos) << o.err;
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, RefusedCommandLine,
    testing::Values(Refused{{"--bogus"}, "--bogus", "unrecognized option"},
                    Refused{{"-x"}, "-x", "unrecognized option"},
                    Refused{{"--HELP"}, "--HELP", "unrecognized option"},
                    Refused{{"--help=all"}, "--help=all", "unrecognized option"},
                    Refused{{"--vers"}, "--vers", "unrecognized option"},
                    Refused{{"input.txt"}, "input.txt", "unexpected argument"},
                    Refused{{"-"}, "-", "unexpected argument"},
                    Refused{{""}, "", "unexpected argument"},
                    // A bad argument anywhere wins over a good one, before anything is printed.
                    Refused{{"--help", "table.txt"}, "table.txt", "unexpected argument"},
                    Refused{{"--version", "--verbose"}, "--verbose", "unrecognized option"}));

TEST(CommandLine, AFailedWriteIsNotReportedAsSuccess) {
  std::FILE* full = std::fopen("/dev/full", "w");
  if (full == nullptr) GTEST_SKIP() << "no /dev/full on this machine";
  std::FILE* err = std::tmpfile();
  ASSERT_NE(err, nullptr);
  std::string name = "ringsmooth";
  std::string option = "--help";
  char* argv[] = {name.data(), option.data(), nullptr};
  EXPECT_EQ(ringsmooth::handleCommandLine(2, argv, full, err), 1);
  EXPECT_NE(contentsOf(err).find("ringsmooth: write error"), std::string::npos);
  std::fclose(full);
  std::fclose(err);
}

TEST(CommandLine, UsageTextFitsAnEightyColumnTerminal) {
  std::istringstream lines(ringsmooth::usageText());
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    ++count;
    EXPECT_LE(line.size(), 80u) << "line " << count << ": " << line;
    EXPECT_EQ(line.find('\t'), std::string::npos) << "line " << count;
  }
  EXPECT_GT(count, 5);
}

TEST(CommandLine, UsageTextNamesEveryOptionItAccepts) {
  const std::string usage = ringsmooth::usageText();
  for (const char* option : {"-h", "--help", "-V", "--version", "RINGSMOOTH_PLOT_DEVICE"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
}

}  // namespace
