#include "input/tucson.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

#include "core/run_error.h"
#include "core/text_field.h"

namespace ringsmooth {
namespace {

constexpr std::size_t LINE_LIMIT = 1024;  // columns of a line, tabs expanded
constexpr int TAB_STOP = 8;
constexpr long long VALUE_LIMIT = 999999999;  // values have at most 9 digits
constexpr double HUNDREDTHS = 100.0;          // ring widths ended by 999
constexpr double THOUSANDTHS = 1000.0;        // ring widths ended by -9999; chronology indices
constexpr long long MARKER_HUNDREDTHS = 999;
constexpr long long MARKER_THOUSANDTHS = -9999;
constexpr int CHRONOLOGY_MISSING = 9990;
constexpr std::size_t CHRONOLOGY_WIDTH = 80;
constexpr int YEARS_PER_LINE = 10;

bool isBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The lines of a file, with tabs expanded and line ends (LF, CR LF, CR) removed.
class Lines {
 public:
  Lines(std::FILE* file, const char* fileWords) : file_(file), heading_(fileWords) {}

  // Moves to the next line that is not blank; false at the end of the file.
  bool next() {
    while (readLine()) {
      if (!isBlank(text())) return true;
    }
    return false;
  }
  std::string_view text() const { return {buffer_, length_}; }
  long number() const { return number_; }

  InputError error(long line, const std::string& message, const std::string& detail = "") const {
    return InputError{heading_ + ", line " + std::to_string(line), message, detail};
  }

 private:
  bool readLine() {
    length_ = 0;
    int c = std::getc(file_);
    if (c == EOF) {
      if (std::ferror(file_)) throw error(number_ + 1, std::strerror(errno));
      return false;
    }
    ++number_;
    for (; c != EOF && c != '\n'; c = std::getc(file_)) {
      if (c == '\r') {
        const int after = std::getc(file_);
        if (after != '\n' && after != EOF) std::ungetc(after, file_);
        break;
      }
      const std::size_t end = c == '\t' ? (length_ / TAB_STOP + 1) * TAB_STOP : length_ + 1;
      if (end > LINE_LIMIT) {
        throw error(number_, "Line longer than " + std::to_string(LINE_LIMIT) + " columns");
      }
      while (length_ < end) buffer_[length_++] = c == '\t' ? ' ' : static_cast<char>(c);
    }
    if (c == EOF && std::ferror(file_)) throw error(number_, std::strerror(errno));
    return true;
  }

  std::FILE* file_;
  std::string heading_;
  char buffer_[LINE_LIMIT];
  std::size_t length_ = 0;
  long number_ = 0;
};

// Header line n: after some site ID text, the digit n standing alone in one of columns 7-10.
bool isHeaderLine(std::string_view line, char digit) {
  for (std::size_t at = 6; at <= 9 && at < line.size(); ++at) {
    if (line[at] == digit && line[at - 1] == ' ' &&
        (at + 1 == line.size() || line[at + 1] == ' ') && !isBlank(line.substr(0, at))) {
      return true;
    }
  }
  return false;
}

// Skips the three header lines when the file has them. False when the file holds no data line.
bool firstDataLine(Lines& lines) {
  if (!lines.next()) return false;
  if (!isHeaderLine(lines.text(), '1')) return true;
  const long headerLine = lines.number();
  for (const char digit : {'2', '3'}) {
    const long previous = lines.number();
    const std::string expected = std::string("Expected header line ") + digit +
                                 ": the site ID, then " + digit + " in columns 7-10";
    if (!lines.next()) throw lines.error(previous, expected, "the file ends after this line");
    if (!isHeaderLine(lines.text(), digit)) {
      throw lines.error(lines.number(), expected,
                        "header line 1 is line " + std::to_string(headerLine));
    }
  }
  return lines.next();
}

bool allDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// A whole number right-aligned in a fixed field: leading blanks, an optional '-' (when
// `signedField`), then digits to the field's end. Fields are at most 5 columns wide.
bool fieldNumber(std::string_view field, bool signedField, int& value) {
  std::string_view rest = field.substr(std::min(field.find_first_not_of(' '), field.size()));
  const bool negative = signedField && !rest.empty() && rest[0] == '-';
  if (negative) rest.remove_prefix(1);
  if (!allDigits(rest)) return false;
  int magnitude = 0;
  for (const char c : rest) magnitude = magnitude * 10 + (c - '0');
  value = negative ? -magnitude : magnitude;
  return true;
}

// A value token of a ring-width line: an optional sign and 1 to 9 significant digits.
bool tokenNumber(std::string_view token, long long& value) {
  const bool negative = !token.empty() && token[0] == '-';
  if (!token.empty() && (token[0] == '-' || token[0] == '+')) token.remove_prefix(1);
  if (!allDigits(token)) return false;
  long long magnitude = 0;
  for (const char c : token) {
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > VALUE_LIMIT) return false;
  }
  value = negative ? -magnitude : magnitude;
  return true;
}

// Builds the series of the table one at a time, year by year.
class SeriesBuilder {
 public:
  SeriesBuilder(SeriesTable& t, TucsonNotes& notes, const Lines& lines)
      : t_(t), notes_(notes), lines_(lines) {
    t_.seriesCount = 0;
    t_.missingFlag = std::numeric_limits<float>::quiet_NaN();
  }

  bool open() const { return open_; }
  const std::string& id() const { return id_; }
  int nextYear() const { return firstLineYear_ + years_; }

  // Starts a series with ID `id` whose first line gives the year `year`.
  void begin(std::string_view id, int year) {
    const long line = lines_.number();
    if (t_.seriesCount == MAX_SERIES_COUNT) {
      throw lines_.error(
          line, "Too many series: the table holds at most " + std::to_string(MAX_SERIES_COUNT));
    }
    k_ = t_.seriesCount++;
    id_ = std::string(id);
    std::string name = id_;
    for (int n = 2; nameTaken(name); ++n) name = id_ + "_" + std::to_string(n);
    if (name != id_) {
      notes_.renamed.push_back(" Series " + id_ + " at line " + std::to_string(line) +
                               " has the name of an earlier series: read as " + name);
    }
    setField(t_.seriesName[k_], NAME_LENGTH, name);
    open_ = true;
    firstLineYear_ = year;
    years_ = 0;
    firstPresent_ = -1;
    lastPresent_ = -1;
  }

  // The value of the next year: a whole number of the series' unit, or missing.
  void add(bool present, double whole) {
    const int year = years_++;
    if (!present && firstPresent_ < 0) return;  // leading missing years are trimmed
    if (firstPresent_ < 0) firstPresent_ = year;
    const int at = year - firstPresent_;
    if (at >= MAX_YEARS) {
      if (!present) return;  // beyond the last present year: trimmed anyway
      throw lines_.error(lines_.number(), "Too many years in series " + id_ +
                                              ": a series holds at most " +
                                              std::to_string(MAX_YEARS));
    }
    column()[at] = present ? whole : std::numeric_limits<double>::quiet_NaN();
    if (present) lastPresent_ = at;
  }

  // Ends the series: its values become `whole / unit` and its span is its present years.
  void finish(double unit) {
    double* values = column();
    for (int i = 0; i <= lastPresent_; ++i) {
      if (!std::isnan(values[i])) values[i] = values[i] / unit;
    }
    const int stored = firstPresent_ < 0 ? 0 : std::min(years_ - firstPresent_, MAX_YEARS);
    for (int i = lastPresent_ + 1; i < stored; ++i) values[i] = 0.0;
    if (firstPresent_ < 0) {
      t_.firstYear[k_] = t_.lastYear[k_] = firstLineYear_;
      t_.yearCount[k_] = 0;
    } else {
      t_.firstYear[k_] = firstLineYear_ + firstPresent_;
      t_.yearCount[k_] = lastPresent_ + 1;
      t_.lastYear[k_] = t_.firstYear[k_] + lastPresent_;
    }
    open_ = false;
  }

 private:
  double* column() { return t_.values + static_cast<std::ptrdiff_t>(k_) * MAX_YEARS; }
  bool nameTaken(const std::string& name) const {
    for (int k = 0; k < k_; ++k) {
      if (trimmedText(t_.seriesName[k], NAME_LENGTH) == name) return true;
    }
    return false;
  }

  SeriesTable& t_;
  TucsonNotes& notes_;
  const Lines& lines_;
  bool open_ = false;
  int k_ = 0;
  std::string id_;
  int firstLineYear_ = 0;
  int years_ = 0;          // years given so far, from the first line's year on
  int firstPresent_ = -1;  // years from the first line's year to the first present one
  int lastPresent_ = -1;   // position of the last present year, from the first present one
};

// The ID and year at the start of a ring-width line.
bool ringWidthStart(std::string_view line, std::string_view& id, int& year) {
  if (line.size() < 12) return false;
  if (line[7] == '-' && allDigits(line.substr(8, 4))) {
    fieldNumber(line.substr(7, 5), true, year);
    id = trimmed(line.substr(0, 7));
    return true;
  }
  id = trimmed(line.substr(0, 8));
  return fieldNumber(line.substr(8, 4), true, year);
}

void readRingWidthLine(Lines& lines, SeriesBuilder& series, long& lastLine) {
  const std::string_view line = lines.text();
  const long here = lines.number();
  std::string_view id;
  int year = 0;
  if (!ringWidthStart(line, id, year)) {
    throw lines.error(here, "Expected a series ID in columns 1-8 and its year in columns 9-12",
                      "columns 1-12 read " + quoted(line.substr(0, 12)));
  }
  if (id.empty()) throw lines.error(here, "Expected a series ID in columns 1-8");
  if (series.open() && id != series.id()) {
    throw lines.error(lastLine,
                      "Series " + series.id() + " ends without its end marker (999 or -9999)",
                      "line " + std::to_string(here) + " begins series " + std::string(id));
  }
  if (series.open() && year != series.nextYear()) {
    throw lines.error(here,
                      "Expected year " + std::to_string(series.nextYear()) + " for series " +
                          series.id() + ", the year after its last value",
                      "the line gives year " + std::to_string(year));
  }
  if (!series.open()) series.begin(id, year);
  lastLine = here;

  std::string_view tokens[YEARS_PER_LINE + 2];
  int count = 0;
  for (std::size_t at = 12; (at = line.find_first_not_of(' ', at)) != std::string_view::npos;) {
    const std::size_t end = std::min(line.find(' ', at), line.size());
    if (count == YEARS_PER_LINE + 1) {
      throw lines.error(here, "Expected at most 10 values and the end marker on a line",
                        "the line holds more than 11");
    }
    tokens[count++] = line.substr(at, end - at);
    at = end;
  }
  if (count == 0) throw lines.error(here, "Expected values after the year");

  bool ended = false;
  for (int j = 0; j < count; ++j) {
    long long value = 0;
    if (!tokenNumber(tokens[j], value)) {
      throw lines.error(here, "Expected whole-number values of at most 9 digits",
                        "value " + std::to_string(j + 1) + " reads " + quoted(tokens[j]));
    }
    if (ended) {
      if (value != 0) {
        throw lines.error(here, "Expected nothing but zeros after the end marker",
                          "value " + std::to_string(j + 1) + " reads " + quoted(tokens[j]));
      }
    } else if (value == MARKER_HUNDREDTHS || value == MARKER_THOUSANDTHS) {
      series.finish(value == MARKER_HUNDREDTHS ? HUNDREDTHS : THOUSANDTHS);
      ended = true;
    } else if (j == YEARS_PER_LINE) {
      throw lines.error(here, "Expected the end marker (999 or -9999) as the 11th value",
                        "a line holds at most 10 years; the 11th value reads " + quoted(tokens[j]));
    } else {
      series.add(value >= 0, static_cast<double>(value));
    }
  }
}

void readChronologyLine(Lines& lines, SeriesBuilder& series) {
  const std::string_view line = lines.text();
  const long here = lines.number();
  if (line.size() > CHRONOLOGY_WIDTH && !isBlank(line.substr(CHRONOLOGY_WIDTH))) {
    throw lines.error(here, "Expected nothing after column 80");
  }
  const std::string_view id = trimmed(line.substr(0, std::min<std::size_t>(line.size(), 6)));
  if (id.empty()) throw lines.error(here, "Expected a chronology ID in columns 1-6");
  int decade = 0;
  if (line.size() < 10 || !fieldNumber(line.substr(6, 4), true, decade)) {
    throw lines.error(
        here, "Expected the decade in columns 7-10",
        "columns 7-10 read " + quoted(line.substr(std::min<std::size_t>(6, line.size()), 4)));
  }
  if (decade % YEARS_PER_LINE != 0) {
    throw lines.error(here, "Expected a decade (a year ending in 0) in columns 7-10",
                      "the line gives " + std::to_string(decade));
  }
  if (line.size() < CHRONOLOGY_WIDTH) {
    throw lines.error(here, "Expected 10 pairs of index and sample depth in columns 11-80",
                      "the line ends at column " + std::to_string(line.size()));
  }
  const auto columns = [line](std::size_t from, std::size_t width) {
    return "columns " + std::to_string(from + 1) + "-" + std::to_string(from + width) + " read " +
           quoted(line.substr(from, width));
  };
  int index[YEARS_PER_LINE];
  for (int j = 0; j < YEARS_PER_LINE; ++j) {
    const std::size_t at = 10 + 7 * static_cast<std::size_t>(j);
    int depth = 0;
    // Difference indices can be negative: down to -999 thousandths in 4 columns.
    if (!fieldNumber(line.substr(at, 4), true, index[j])) {
      throw lines.error(here,
                        "Expected an index of -999 to 9999 for year " + std::to_string(decade + j),
                        columns(at, 4));
    }
    if (!fieldNumber(line.substr(at + 4, 3), false, depth)) {
      throw lines.error(
          here, "Expected a sample depth (a whole number) for year " + std::to_string(decade + j),
          columns(at + 4, 3));
    }
  }
  if (series.open() && id == series.id() && decade != series.nextYear()) {
    throw lines.error(here,
                      "Expected decade " + std::to_string(series.nextYear()) + " for chronology " +
                          series.id() + ", the one after its last line",
                      "the line gives decade " + std::to_string(decade));
  }
  if (series.open() && id != series.id()) series.finish(THOUSANDTHS);
  if (!series.open()) series.begin(id, decade);
  for (const int value : index) series.add(value != CHRONOLOGY_MISSING, value);
}

}  // namespace

void readRingWidthFile(std::FILE* file, SeriesTable& t, TucsonNotes& notes) {
  Lines lines(file, "Input error in the ring-width file");
  SeriesBuilder series(t, notes, lines);
  long lastLine = 0;
  for (bool more = firstDataLine(lines); more; more = lines.next()) {
    readRingWidthLine(lines, series, lastLine);
  }
  if (series.open()) {
    throw lines.error(lastLine,
                      "Series " + series.id() + " ends without its end marker (999 or -9999)",
                      "the file ends after this line");
  }
}

void readChronologyFile(std::FILE* file, SeriesTable& t, TucsonNotes& notes) {
  Lines lines(file, "Input error in the chronology file");
  SeriesBuilder series(t, notes, lines);
  for (bool more = firstDataLine(lines); more; more = lines.next()) {
    try {
      readChronologyLine(lines, series);
    } catch (const InputError&) {
      // The last line of a file may be the chronology's statistics: not data, but it holds
      // decimal numbers, which no data line does.
      const bool statistics =
          t.seriesCount > 0 && lines.text().find('.') != std::string_view::npos && !lines.next();
      if (!statistics) throw;
      break;
    }
  }
  if (series.open()) series.finish(THOUSANDTHS);
}

}  // namespace ringsmooth
