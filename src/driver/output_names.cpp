#include "driver/output_names.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/file_names.h"

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
  if (name.size() > extension.size() && name.ends_with(extension)) return name.substr(0, name.size() - extension.size());
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
  return chronologyOutputs(outputStem(settings), settings.chronology);
}

StatisticsOutputNames statisticsOutputNames(const RunSettings& settings) {
  return statisticsOutputs(outputStem(settings), settings.stats);
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

std::vector<std::string> tableOutputNames(const RunSettings& settings) {
  std::vector<std::string> names;
  for (const OutputFormat format : settings.formats) {
    names.push_back(formatOutputName(settings, format));
  }
  if (plotsInABook(settings)) names.push_back(plotBookName(settings));
  const ChronologyOutputNames chronology = chronologyOutputNames(settings);
  const StatisticsOutputNames statistics = statisticsOutputNames(settings);
  for (const std::string& name : {chronology.crn, chronology.csv, statistics.signal,
                                  statistics.series, indexTableName(settings)}) {
    if (!name.empty()) names.push_back(name);
  }
  std::erase(names, "-");
  return names;
}

std::string outputClash(const CommandLine& c) {
  struct Output {
    std::size_t table;
    std::string name;
    FileIdentity id;
  };
  std::vector<Output> outputs;
  std::vector<FileIdentity> tables;
  for (std::size_t t = 0; t < c.tables.size(); ++t) {
    tables.push_back(c.tables[t] == "-" ? FileIdentity{} : identityOf(c.tables[t]));
    for (std::string& name : tableOutputNames(tableSettings(c, t))) {
      FileIdentity id = identityOf(name);
      outputs.push_back(Output{t, std::move(name), std::move(id)});
    }
  }
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    const Output& o = outputs[i];
    for (std::size_t j = i + 1; j < outputs.size(); ++j) {
      if (outputs[j].table != o.table && sameFile(o.id, outputs[j].id)) {
        return "tables " + tableName(c.tables[o.table]) + " and " +
               tableName(c.tables[outputs[j].table]) + " would both write " + o.name;
      }
    }
    for (std::size_t t = 0; t < c.tables.size(); ++t) {
      if (t != o.table && c.tables[t] != "-" && sameFile(o.id, tables[t])) {
        return "table " + tableName(c.tables[o.table]) + " would write " + o.name +
               " over table " + c.tables[t];
      }
    }
  }
  return "";
}

}  // namespace ringsmooth
