#pragma once
// The names of the files a run writes for a table, and the check, made before a batch run
// touches any file, that no two of its tables write the same file and that no table writes
// over another table of the run.
#include <cstddef>
#include <string>
#include <vector>

#include "driver/chronology_run.h"
#include "driver/command_line.h"
#include "driver/settings.h"
#include "driver/signal_run.h"

namespace ringsmooth {

// A batch table as reports name it: "standard input" for "-".
std::string tableName(const std::string& table);

// The settings of batch table t: the shared ones, with the table's name, its output's name (-o,
// or beside the table or in -d's folder with the first format's extension) and the pdf plot
// device unless another was asked for.
RunSettings tableSettings(const CommandLine& commandLine, std::size_t t);

// The file the output of `format` goes to. The first format asked for goes to the run's output
// name; each other one beside it: that name without the first format's extension (or without
// its own extension), then the format's extension (".lst", ".spline.csv").
std::string formatOutputName(const RunSettings& settings, OutputFormat format);

// True when one of the formats asked for is CSV.
bool writesCsv(const RunSettings& settings);

// The chronology files of a table (empty names for those not asked for): named after the
// output, as its other formats are.
ChronologyOutputNames chronologyOutputNames(const RunSettings& settings);

// The statistics files of a table (empty names when --stats is not given).
StatisticsOutputNames statisticsOutputNames(const RunSettings& settings);

// The index table of a table, "" when not asked for: beside the other outputs, or the run's
// output itself when it is the only format.
std::string indexTableName(const RunSettings& settings);

// The name plot files are made from: the output's name, or, for an output on standard output,
// the table's ("stdin" for standard input).
std::string plotBase(const RunSettings& settings);

// The PDF that holds a batch table's plots, a page per series.
std::string plotBookName(const RunSettings& settings);

// True when a batch table's plots go into one PDF.
bool plotsInABook(const RunSettings& settings);

// A file a batch table writes: what it is, as reports name it ("the output listing"), and its
// name.
struct TableOutput {
  const char* what;
  std::string name;
};

// Every file a batch table writes, standard output ("-") left out: the one list that the
// clash check and the check against the table itself go through, so that an output named here
// is checked with the others. Plot files of one series each are not among them (how many there
// are is known only once the table is read): see seriesPlotFiles.
std::vector<TableOutput> tableOutputs(const RunSettings& settings);

// The plot files of one series each that a batch table writes, STEM-N.EXTENSION for series N,
// on a device whose files have `extension` (plot/plot_device.h); an empty extension when it
// writes none (no plots, a screen, or one PDF of them all).
struct SeriesPlotFiles {
  std::string stem;
  std::string extension;
};
SeriesPlotFiles seriesPlotFiles(const RunSettings& settings, const std::string& extension);

// The usage error of a batch run two of whose outputs would be the same file (two of one table,
// or of two tables), or one of whose tables would write over another table of the run (or,
// with a plot file, over its own), naming both; "" when there is none. Names are compared as
// the system resolves them: the same path once made absolute and normalised (links of existing
// folders followed), or the same existing file.
std::string outputClash(const CommandLine& commandLine);

}  // namespace ringsmooth
