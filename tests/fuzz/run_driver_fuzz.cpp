// Fuzz target: the whole run on a table. The fuzz input (after its first byte, which picks one
// of a few fixed sets of answers) is written to a temporary table file; the answers name it and
// a temporary listing, and ask for no plots. The exit status must be one of the program's own,
// and the listing must consist of whole blocks only.
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "core/run_error.h"
#include "driver/run_driver.h"
#include "fuzz_support.h"

namespace {

struct AnswerSet {
  const char* columns;
  const char* flag;
  const char* cutoff;
  const char* normalize;
};
const AnswerSet ANSWERS[] = {{"5", "-999", "10", "n"}, {"5", "-999", "3", "y"},
                             {"3", "-99.99", "1", "n"}, {"2", "0", "40", "y"},
                             {"9", "NaN", "5", "n"},    {"1", "-999", "5", "n"}};
constexpr std::size_t ANSWER_SETS = sizeof ANSWERS / sizeof ANSWERS[0];

std::string readAll(const std::string& path) {
  std::string out;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return out;
  char chunk[65536];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.append(chunk, n);
  std::fclose(f);
  return out;
}

// Every block: an empty line, " Input series is: " and 20 characters, the header, and year
// lines of 29 characters. Nothing else, nothing cut short.
void checkListing(const std::string& listing) {
  std::size_t at = 0;
  auto line = [&](std::string& out) {
    const std::size_t end = listing.find('\n', at);
    fuzz::require(end != std::string::npos, "listing ends inside a line");
    out.assign(listing, at, end - at);
    at = end + 1;
  };
  std::string text;
  bool inBlock = false;
  while (at < listing.size()) {
    line(text);
    if (text.empty()) {
      line(text);
      fuzz::require(text.size() == 38 && text.rfind(" Input series is: ", 0) == 0,
                    "block without its name line");
      line(text);
      fuzz::require(text == " year  unfilt  spline  resids", "block without its header");
      inBlock = true;
      continue;
    }
    fuzz::require(inBlock && text.size() == 29, "listing line of the wrong length");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const std::string folder = [] {
    std::string pattern = "/tmp/rsfz-XXXXXX";
    fuzz::require(mkdtemp(pattern.data()) != nullptr, "cannot make a scratch folder");
    // An answer beginning with "/" ends the run at the first question, so the files are named
    // relative to the scratch folder.
    fuzz::require(chdir(pattern.c_str()) == 0, "cannot enter the scratch folder");
    return pattern;
  }();
  const std::string tablePath = "t.txt";
  const std::string listingPath = "l.txt";
  std::FILE* t = std::fopen(tablePath.c_str(), "wb");
  fuzz::require(t != nullptr, "cannot write the table");
  std::fwrite(data + 1, 1, size - 1, t);
  std::fclose(t);

  const AnswerSet& a = ANSWERS[data[0] % ANSWER_SETS];
  const std::string answers = tablePath + "\n" + listingPath + "\n" + a.columns + "\n" + a.flag +
                              "\n" + a.cutoff + "\n" + a.normalize + "\nx\n";
  std::FILE* console = fuzz::openBytes(answers.data(), answers.size());
  std::FILE* out = std::fopen("/dev/null", "w");
  fuzz::require(console && out, "cannot open the console streams");
  const int status = ringsmooth::runDriver(console, out);
  std::fclose(console);
  std::fclose(out);
  fuzz::require(status == ringsmooth::EXIT_NORMAL || status == ringsmooth::EXIT_INPUT_ERROR ||
                    status == ringsmooth::EXIT_TOO_LONG,
                "exit status that the program does not define");
  checkListing(readAll(listingPath));
  std::remove(listingPath.c_str());
  return 0;
}
