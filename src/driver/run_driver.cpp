// The run dialogue: the questions, the two files, and the loop over the series.
#include "driver/run_driver.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "analysis/spline.h"
#include "input/free_form.h"
#include "input/input_error.h"
#include "input/rdtabdat.h"
#include "plot/plplot_fonts.h"

namespace ringsmooth {
namespace {

// The run's fixed storage: the 56 MB table and the working arrays, made once.
SeriesTable table;
SeriesWork work;
RunSettings settings;

// A text field without its trailing blanks, as a C string.
std::string trimmed(const char* field, int width) {
  int length = width;
  while (length > 0 && field[length - 1] == ' ') --length;
  return std::string(field, static_cast<size_t>(length));
}

InputError fileError(const char* what, const std::string& name, int errorNumber) {
  return InputError{std::string(what) + " \"" + name + "\"", std::strerror(errorNumber), ""};
}

// A NUL typed into a file name would end the name there for the system, so that another file
// than the one named would be opened, or replaced by the listing. Such a name is refused.
void refuseNulInName(const char* what, const std::string& name) {
  if (name.find('\0') == std::string::npos) return;
  std::string shown = name;
  for (size_t at = 0; (at = shown.find('\0', at)) != std::string::npos;) shown.replace(at, 1, "\\0");
  throw InputError{std::string(what) + " \"" + shown + "\"", "The name holds a NUL character", ""};
}

class Dialogue {
 public:
  Dialogue(FreeFormReader& console, std::FILE* out) : console_(console), out_(out) {}

  void askText(const char* prompt, char* field, int width) {
    writePrompt(out_, prompt);
    if (!console_.readText(field, width)) throw console_.error(READ_PAST_END);
  }

  // A one-letter answer with Y and N folded to lower case.
  char askLetter(const char* prompt) {
    char answer = ' ';
    askText(prompt, &answer, 1);
    if (answer == 'Y') return 'y';
    if (answer == 'N') return 'n';
    return answer;
  }

  int askCutoff() {
    for (;;) {
      std::fputc('\n', out_);
      writePrompt(out_, "Enter the 50% frequency response cutoff");
      int cutoff = 0;
      if (!console_.readWholeNumber(cutoff)) throw console_.error(READ_PAST_END);
      if (cutoff >= 1) return cutoff;
      std::fputs(" The cutoff is a period in years: a whole number of 1 or more.\n", out_);
    }
  }

  char askNormalize() {
    for (;;) {
      const char answer = askLetter("Normalize the input data first? y/n");
      if (answer == 'y' || answer == 'n') return answer;
      std::fputs(" Please answer y or n.\n", out_);
    }
  }

 private:
  FreeFormReader& console_;
  std::FILE* out_;
};

// Opens the input table for reading; a directory or a missing file is reported with the
// system's own words.
std::FILE* openTable(const std::string& name) {
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (file == nullptr) throw fileError("Cannot open the input file", name, errno);
  struct stat info {};
  if (fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
    std::fclose(file);
    throw fileError("Cannot open the input file", name, EISDIR);
  }
  return file;
}

// Creating the listing over the input table would destroy the table before it is read.
void refuseListingOverTable(std::FILE* tableFile, const std::string& listingName) {
  struct stat tableInfo {};
  struct stat listingInfo {};
  if (fstat(fileno(tableFile), &tableInfo) == 0 && stat(listingName.c_str(), &listingInfo) == 0 &&
      tableInfo.st_dev == listingInfo.st_dev && tableInfo.st_ino == listingInfo.st_ino) {
    throw InputError{"Cannot create the output listing \"" + listingName + "\"",
                     "It is the input file; the table would be overwritten", ""};
  }
}

struct OpenTable {
  std::FILE* file = nullptr;
  ~OpenTable() {
    if (file != nullptr) std::fclose(file);
  }
};

int run(FreeFormReader& console, std::FILE* out) {
  Dialogue dialogue(console, out);
  std::fputc('\n', out);
  dialogue.askText("Enter the input file (/ to exit)", settings.inputFileName, FILE_NAME_LENGTH);
  if (settings.inputFileName[0] == '/') return EXIT_NORMAL;
  const std::string inputName = trimmed(settings.inputFileName, FILE_NAME_LENGTH);
  refuseNulInName("Cannot open the input file", inputName);
  OpenTable input;
  input.file = openTable(inputName);

  dialogue.askText("Enter the output file", settings.outputFileName, FILE_NAME_LENGTH);
  const std::string listingName = trimmed(settings.outputFileName, FILE_NAME_LENGTH);
  refuseNulInName("Cannot create the output listing", listingName);
  refuseListingOverTable(input.file, listingName);
  Listing listing;
  listing.create(listingName.c_str());

  {
    FreeFormReader tableReader(input.file, FreeFormReader::Kind::File);
    rdtabdat(console, out, tableReader, table);
  }
  std::fclose(input.file);
  input.file = nullptr;

  if (table.seriesCount <= 0) {
    std::fputs("\n The table holds no series with data rows; nothing to do.\n", out);
    listing.close();
    return EXIT_NORMAL;
  }

  settings.cutoff = dialogue.askCutoff();
  settings.normalizeAnswer = ' ';
  settings.normalizeAnswer = dialogue.askNormalize();
  settings.plotRangeAnswer = ' ';
  settings.plotRangeAnswer = dialogue.askLetter("Maximum x-axis range for all plots? y/n");

  PlotDevice plotDevice{};
  if (settings.plotRangeAnswer == 'y' || settings.plotRangeAnswer == 'n') {
    choosePlotDevice(plotDevice, out);
  }
  const RunContext context{table, settings, work, listing, plotDevice, listingName.c_str(), out};
  processAllSeries(context);
  listing.close();
  return EXIT_NORMAL;
}

}  // namespace

int runDriver(std::FILE* consoleIn, std::FILE* consoleOut) {
  plplot_fonts();
  FreeFormReader console(consoleIn, FreeFormReader::Kind::Console);
  int status = EXIT_NORMAL;
  try {
    status = run(console, consoleOut);
  } catch (const InputError& error) {
    writeErrorReport(consoleOut, error);
    status = EXIT_INPUT_ERROR;
  } catch (const SeriesTooLong&) {
    status = EXIT_TOO_LONG;
  }
  // A console that could not take the dialogue (a full disk, a closed pipe) must not end in a
  // reported success: whoever reads it has not seen what the run said.
  if (std::fflush(consoleOut) != 0 || std::ferror(consoleOut)) {
    std::fprintf(stderr, "ringsmooth: writing to the console failed: %s\n", std::strerror(errno));
    if (status == EXIT_NORMAL) status = EXIT_INPUT_ERROR;
  }
  return status;
}

}  // namespace ringsmooth
