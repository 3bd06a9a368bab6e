#include "driver/output_names.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/file_names.h"
#include "plot/plot_device.h"

namespace ringsmooth {
namespace {

const char* extensionOf(OutputFormat format) {
  return format == OutputFormat::Csv ? ".spline.csv" : ".lst";
}

// The extension of the run's output: the first format's, or the index table's when it is the
// only one.
const char* firstExtension(const RunSettings& settings) {
  return settings.formats.empty() ? ".rwi.csv" : extensionOf(settings.formats.front());
}

// The output name without the first format's extension: what the other outputs are named
// after.
std::string outputStem(const RunSettings& settings) {
  const std::string& name = settings.outputFileName;
  if (name == "-") return withoutExtension(plotBase(settings));
  const std::string extension = firstExtension(settings);
  // A file named only by the extension (".lst", "out/.lst") keeps it, as withoutExtension does.
  const std::size_t slash = name.rfind('/');
  const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
  if (name.size() - base > extension.size() && name.ends_with(extension)) {
    return name.substr(0, name.size() - extension.size());
  }
  return withoutExtension(name);
}

// The output of a batch table: -o, or beside the table (or in -d's folder) with the first
// format's extension.
std::string outputFor(const CommandLine& c, const std::string& table) {
  if (!c.output.empty()) return c.output;
  const char* extension = firstExtension(c.settings);
  std::string stem = withoutExtension(table);
  if (!c.outputDir.empty()) {
    const std::size_t slash = stem.rfind('/');
    if (slash != std::string::npos) stem = stem.substr(slash + 1);
    return c.outputDir + (c.outputDir.back() == '/' ? "" : "/") + stem + extension;
  }
  return stem + extension;
}

// A file as the system finds it: its path made absolute and normalised, existing folders'
// links followed; and, when it exists, its device and inode.
struct FileIdentity {
  std::string path;
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
};

FileIdentity identityOf(const std::string& name) {
  namespace fs = std::filesystem;
  FileIdentity id;
  std::error_code error;
  fs::path path = fs::absolute(name, error);
  if (error) path = name;
  const fs::path resolved = fs::weakly_canonical(path, error);
  id.path = (error ? path.lexically_normal() : resolved).string();
  struct stat info {};
  if (::stat(name.c_str(), &info) == 0) {
    id.exists = true;
    id.device = info.st_dev;
    id.inode = info.st_ino;
  }
  return id;
}

bool sameFile(const FileIdentity& a, const FileIdentity& b) {
  return a.path == b.path || (a.exists && b.exists && a.device == b.device && a.inode == b.inode);
}

}  // namespace

std::string tableName(const std::string& table) {
  return table == "-" ? "standard input" : table;
}

RunSettings tableSettings(const CommandLine& c, std::size_t t) {
  RunSettings settings = c.settings;
  settings.inputFileName = c.tables[t];
  settings.outputFileName = outputFor(c, c.tables[t]);
  if (settings.plotDevice.empty()) settings.plotDevice = "pdf";
  return settings;
}

std::string plotBase(const RunSettings& settings) {
  if (settings.outputFileName != "-") return settings.outputFileName;
  return settings.inputFileName != "-" ? settings.inputFileName : "stdin";
}

std::string formatOutputName(const RunSettings& settings, OutputFormat format) {
  if (format == settings.formats.front()) return settings.outputFileName;
  return outputStem(settings) + extensionOf(format);
}

bool writesCsv(const RunSettings& settings) {
  return std::find(settings.formats.begin(), settings.formats.end(), OutputFormat::Csv) !=
         settings.formats.end();
}

ChronologyOutputNames chronologyOutputNames(const RunSettings& settings) {
  const std::string stem = outputStem(settings);
  return ChronologyOutputNames{settings.chronology.crn ? stem + ".crn" : "",
                               settings.chronology.csv ? stem + ".chron.csv" : ""};
}

StatisticsOutputNames statisticsOutputNames(const RunSettings& settings) {
  if (!settings.stats) return {};
  const std::string stem = outputStem(settings);
  return StatisticsOutputNames{stem + ".stats.csv", stem + ".series.csv"};
}

std::string indexTableName(const RunSettings& settings) {
  if (!settings.indexTable) return "";
  return settings.formats.empty() ? settings.outputFileName : outputStem(settings) + ".rwi.csv";
}

std::string plotBookName(const RunSettings& settings) {
  return withoutExtension(plotBase(settings)) + ".pdf";
}

bool plotsInABook(const RunSettings& settings) {
  const bool plots = settings.plotSpan != PlotSpan::None;
  return plots && (settings.plotDevice == "pdf" || settings.plotDevice == "pdfcairo");
}

std::vector<TableOutput> tableOutputs(const RunSettings& settings) {
  std::vector<TableOutput> outputs;
  for (const OutputFormat format : settings.formats) {
    outputs.push_back({format == OutputFormat::Csv ? "the CSV output" : "the output listing",
                       formatOutputName(settings, format)});
  }
  const ChronologyOutputNames chronology = chronologyOutputNames(settings);
  const StatisticsOutputNames statistics = statisticsOutputNames(settings);
  outputs.push_back({"the chronology", chronology.crn});
  outputs.push_back({"the chronology CSV", chronology.csv});
  outputs.push_back({"the statistics CSV", statistics.signal});
  outputs.push_back({"the series statistics CSV", statistics.series});
  outputs.push_back({"the index table", indexTableName(settings)});
  if (plotsInABook(settings)) outputs.push_back({"the PDF of the plots", plotBookName(settings)});
  std::erase_if(outputs, [](const TableOutput& o) { return o.name.empty() || o.name == "-"; });
  return outputs;
}

SeriesPlotFiles seriesPlotFiles(const RunSettings& settings, const std::string& extension) {
  if (settings.plotSpan == PlotSpan::None || plotsInABook(settings)) return {};
  return {withoutExtension(plotBase(settings)), extension};
}

namespace {

// The outputs of a run's tables and the tables themselves, as the system finds them.
class RunFiles {
 public:
  explicit RunFiles(const CommandLine& c) : c_(c) {
    // Every table's plots go to one device, asked for once.
    const std::string extension =
        c.settings.plotSpan == PlotSpan::None || c.tables.empty()
            ? ""
            : namedPlotDevice(tableSettings(c, 0).plotDevice.c_str()).extension;
    for (std::size_t t = 0; t < c.tables.size(); ++t) {
      tables_.push_back(c.tables[t] == "-" ? FileIdentity{} : identityOf(c.tables[t]));
      const RunSettings settings = tableSettings(c, t);
      for (TableOutput& output : tableOutputs(settings)) {
        FileIdentity id = identityOf(output.name);
        outputs_.push_back(Output{t, output.what, std::move(output.name), std::move(id)});
      }
      plots_.push_back(seriesPlotFiles(settings, extension));
    }
  }

  // Two outputs that are one file.
  std::string sharedOutput() const {
    for (std::size_t i = 0; i < outputs_.size(); ++i) {
      const Output& o = outputs_[i];
      for (std::size_t j = i + 1; j < outputs_.size(); ++j) {
        const Output& p = outputs_[j];
        if (!sameFile(o.id, p.id)) continue;
        if (p.table == o.table) {
          return "table " + name(o.table) + " would write " + o.name + " as both " + o.what +
                 " and " + p.what;
        }
        return "tables " + name(o.table) + " and " + name(p.table) + " would both write " + o.name;
      }
    }
    return "";
  }

  // An output that is another table of the run (its own is refused as its run starts).
  std::string outputOverTable() const {
    for (const Output& o : outputs_) {
      for (std::size_t t = 0; t < tables_.size(); ++t) {
        if (t != o.table && c_.tables[t] != "-" && sameFile(o.id, tables_[t])) {
          return "table " + name(o.table) + " would write " + o.name + " over table " +
                 c_.tables[t];
        }
      }
    }
    return "";
  }

  // A table of the run named as one of the plot files of a table, its own included.
  std::string plotFileOverTable() const {
    for (std::size_t p = 0; p < plots_.size(); ++p) {
      if (plots_[p].extension.empty()) continue;
      const std::string prefix = identityOf(plots_[p].stem + "-").path;
      for (std::size_t t = 0; t < tables_.size(); ++t) {
        const std::string& extension = plots_[p].extension;
        if (c_.tables[t] != "-" && isSeriesNumbered(tables_[t].path, prefix, extension)) {
          return "table " + name(p) + " would write a plot file over table " + c_.tables[t];
        }
      }
    }
    return "";
  }

 private:
  struct Output {
    std::size_t table;
    const char* what;
    std::string name;
    FileIdentity id;
  };

  // PREFIX, a series number (1 or more), "." and EXTENSION.
  static bool isSeriesNumbered(const std::string& path, const std::string& prefix,
                               const std::string& extension) {
    const std::string ending = "." + extension;
    if (path.size() < prefix.size() + 1 + ending.size() || !path.starts_with(prefix) ||
        !path.ends_with(ending)) {
      return false;
    }
    const std::string number =
        path.substr(prefix.size(), path.size() - prefix.size() - ending.size());
    return number.front() != '0' &&
           std::all_of(number.begin(), number.end(), [](char d) { return d >= '0' && d <= '9'; });
  }

  std::string name(std::size_t t) const { return tableName(c_.tables[t]); }

  const CommandLine& c_;
  std::vector<FileIdentity> tables_;
  std::vector<Output> outputs_;
  std::vector<SeriesPlotFiles> plots_;
};

}  // namespace

std::string outputClash(const CommandLine& c) {
  const RunFiles files(c);
  for (const std::string& clash :
       {files.sharedOutput(), files.outputOverTable(), files.plotFileOverTable()}) {
    if (!clash.empty()) return clash;
  }
  return "";
}

}  // namespace ringsmooth
