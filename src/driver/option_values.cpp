#include "driver/option_values.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

#include "input/missing_flag.h"
#include "input/number_token.h"

namespace ringsmooth {
namespace {

constexpr int MAX_CUTOFF_PERCENT = 1000;

// A cutoff written as a share of the series' length, R's habit (0.67 for 67%): that share in
// percent, rounded to the nearest (at least 1); 0 for any other value.
int fractionAsPercent(const std::string& value) {
  double share = 0.0;
  if (parseDouble(value.data(), value.size(), share) != TokenStatus::Ok || !(share > 0.0) ||
      !(share < 1.0)) {
    return 0;
  }
  return std::max(1, static_cast<int>(std::lround(share * 100.0)));
}

}  // namespace

std::string readWholeNumber(const std::string& value, int lowest, int highest, int& setting) {
  int number = 0;
  if (parseWhole(value.data(), value.size(), number) != TokenStatus::Ok || number < lowest ||
      number > highest) {
    return "a whole number " +
           (highest == INT_MAX ? "of " + std::to_string(lowest) + " or more"
                               : "from " + std::to_string(lowest) + " to " + std::to_string(highest));
  }
  setting = number;
  return "";
}

std::string readCutoff(const std::string& value, int& years, int& percent) {
  if (!value.empty() && value.back() == '%') {
    int share = 0;
    if (parseWhole(value.data(), value.size() - 1, share) != TokenStatus::Ok || share < 1 ||
        share > MAX_CUTOFF_PERCENT) {
      return "a percentage from 1% to 1000%";
    }
    years = 0;
    percent = share;
    return "";
  }
  std::string expected = readWholeNumber(value, 1, INT_MAX, years);
  if (expected.empty()) {
    percent = 0;
  } else if (const int share = fractionAsPercent(value); share > 0) {
    expected += "; did you mean " + std::to_string(share) + "%?";
  }
  return expected;
}

std::string readEndLength(const std::string& value, bool autoAllowed, EndLength& length) {
  if (autoAllowed && value == "auto") {
    length = EndLength{EndLength::Kind::Auto, 0};
    return "";
  }
  int years = 0;
  int percent = 0;
  if (!readCutoff(value, years, percent).empty()) {
    return autoAllowed ? "a whole number of 1 or more, a percentage from 1% to 1000%, or auto"
                       : "a whole number of 1 or more, or a percentage from 1% to 1000%";
  }
  length = percent > 0 ? EndLength{EndLength::Kind::Percent, percent}
                       : EndLength{EndLength::Kind::Years, years};
  return "";
}

std::string readFormats(const std::string& value, std::vector<OutputFormat>& formats,
                        bool& indexTable) {
  std::vector<OutputFormat> read;
  bool rwi = false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = value.find(',', start);
    const std::string word = value.substr(start, comma == std::string::npos ? comma : comma - start);
    const OutputFormat format = word == "csv" ? OutputFormat::Csv : OutputFormat::Listing;
    const bool known = word == "csv" || word == "listing";
    if (word == "rwi" && !rwi) {
      rwi = true;
    } else if (!known || std::find(read.begin(), read.end(), format) != read.end()) {
      return "listing, csv, rwi or several of them, each once (listing,csv,rwi)";
    } else {
      read.push_back(format);
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  formats = read;
  indexTable = rwi;
  return "";
}

std::string readMissingFlag(const std::string& value, float& flag) {
  std::string problem;
  const std::optional<float> read = missingFlagFromText(value, problem);
  if (read) flag = *read;
  return read ? "" : problem;
}

}  // namespace ringsmooth
