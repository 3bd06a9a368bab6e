#include "driver/batch_checks.h"

namespace ringsmooth {
namespace {

// The tables: named, standard input at most once, and the outputs -o and -d can name.
std::string tablesProblem(const CommandLine& c) {
  if (c.tables.empty()) return "no TABLE given";
  int fromStandardInput = 0;
  for (const std::string& table : c.tables) {
    if (table.empty()) return "a TABLE name is empty";
    if (table == "-") ++fromStandardInput;
  }
  if (fromStandardInput > 1) return "standard input (-) can be read only once";
  if (!c.output.empty() && !c.outputDir.empty()) return "give -o or -d, not both";
  if (!c.output.empty() && c.tables.size() > 1) {
    return "-o names the output of a single TABLE; use -d for several";
  }
  if (fromStandardInput == 1 && c.output.empty()) {
    return "TABLE - (standard input) needs -o FILE, or -o - for standard output";
  }
  if (c.settings.chronology.any() && fromStandardInput == 1) {
    return "--chronology needs a named TABLE: standard input (-) gives no site ID";
  }
  return "";
}

}  // namespace

std::string batchRunProblem(CommandLine& c, const GivenOptions& given) {
  if (std::string problem = tablesProblem(c); !problem.empty()) return problem;
  RunSettings& s = c.settings;
  if (s.scaling == Scaling::Standardize) {
    // A ratio of standard normal deviates, which centre on 0, means nothing.
    if (given.index && s.index == IndexKind::Ratio) {
      return "--index=ratio has no meaning with -n (standard normal deviates)";
    }
    s.index = IndexKind::Difference;
  }
  // The ends measured best at relative cutoffs are natural ones (README, "The end extension,
  // measured"); a filter or a prediction asked for extends them.
  if (!given.ends && !given.length && s.cutoffPercent != 0) s.ends = Ends::None;
  if (given.length && s.ends == Ends::None) {
    return "--filter and --predict extend the ends; they don't go with --ends=none";
  }
  return "";
}

}  // namespace ringsmooth
