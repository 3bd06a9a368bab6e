#include "input/tucson.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "core/text_field.h"
#include "input/site_header.h"

namespace ringsmooth {
namespace {

constexpr std::size_t LINE_LIMIT = 1024;           // columns of a line, tabs expanded
constexpr std::size_t BYTE_LIMIT = 4 * LINE_LIMIT;  // a column holds at most a 4-byte character
constexpr std::size_t TAB_STOP = 8;
constexpr int TITLE_LIMIT = 3;                 // leading lines that may be titles
constexpr long long VALUE_LIMIT = 999999999;  // values have at most 9 digits
constexpr double HUNDREDTHS = 100.0;          // ring widths ended by 999
constexpr double THOUSANDTHS = 1000.0;        // ring widths ended by -9999; chronology indices
constexpr long long MARKER_HUNDREDTHS = 999;
constexpr long long MARKER_THOUSANDTHS = -9999;
constexpr std::size_t GRID_START = 12;  // the first value field begins in column 13
constexpr std::size_t GRID_WIDTH = 6;   // columns of a value field
constexpr int CHRONOLOGY_MISSING = 9990;
constexpr std::size_t CHRONOLOGY_WIDTH = 80;
constexpr int YEARS_PER_LINE = 10;
// No line holds more values: each takes a column and a blank at least.
constexpr std::size_t MAX_VALUES = LINE_LIMIT / 2;
constexpr long long BLANK_FIELD = std::numeric_limits<long long>::min();  // a missing year

bool isBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string quoted(std::string_view text) {
  std::string out(1, '"');
  out.append(text).push_back('"');
  return out;
}

bool validUtf8(const char* text, std::size_t size) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  for (std::size_t at = 0; at < size;) {
    const std::size_t length = utf8Length(bytes + at, size - at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

// The lines of a file, with tabs expanded, line ends removed and each column's place known.
class Lines {
 public:
  Lines(std::FILE* file, const char* fileWords) : file_(file), heading_(fileWords) {}
  Lines(const Lines&) = delete;
  Lines& operator=(const Lines&) = delete;

  // Moves to the next line that is not blank; false at the end of the file.
  bool next() {
    while (readRaw()) {
      layOut();
      if (!isBlank(text())) return true;
    }
    return false;
  }
  std::string_view text() const { return {buffer_, bytes_}; }
  std::size_t columns() const { return columns_; }
  // The text of columns [from, from + width), counted from 0, cut at the line's end.
  std::string_view columnText(std::size_t from, std::size_t width) const {
    if (from >= columns_) return {};
    const std::size_t to = std::min(from + width, columns_);
    if (bytes_ == columns_) return {buffer_ + from, to - from};
    return {buffer_ + columnStart_[from], columnStart_[to] - columnStart_[from]};
  }
  // The column after the line's last non-blank character (trailing blanks are a column each).
  std::size_t usedColumns() const {
    const std::string_view line = text();
    const std::size_t last = line.find_last_not_of(' ');
    return last == std::string_view::npos ? 0 : columns_ - (line.size() - 1 - last);
  }
  long number() const { return number_; }
  const std::string& heading() const { return heading_; }

  InputError error(long line, const std::string& message, const std::string& detail = "") const {
    return InputError{heading_ + ", line " + std::to_string(line), message, detail};
  }

 private:
  bool readRaw() {
    rawLength_ = 0;
    int c = std::getc(file_);
    if (c == EOF) {
      if (std::ferror(file_)) throw error(number_ + 1, std::strerror(errno));
      return false;
    }
    ++number_;
    for (; c != EOF && c != '\n'; c = std::getc(file_)) {
      if (c == '\r') {
        endAtCarriageReturn();
        return true;
      }
      if (rawLength_ == BYTE_LIMIT) throw tooLong();
      raw_[rawLength_++] = static_cast<char>(c);
    }
    if (c == EOF && std::ferror(file_)) throw error(number_, std::strerror(errno));
    return true;
  }

  // CR LF and CR CR LF end one line; CRs followed by anything else each end a line, the lines
  // between them being empty.
  void endAtCarriageReturn() {
    long returns = 1;
    int after = std::getc(file_);
    for (; after == '\r'; after = std::getc(file_)) ++returns;
    if (after == '\n') return;
    number_ += returns - 1;
    if (after != EOF) std::ungetc(after, file_);
  }

  // Expands tabs; on a line of valid UTF-8 a character is one column, on any other a byte. A line
  // of ASCII without tabs, the common one, is a byte a column and needs no column places.
  void layOut() {
    const bool plain = std::all_of(raw_, raw_ + rawLength_, [](char c) {
      return c != '\t' && static_cast<unsigned char>(c) < 0x80;
    });
    if (plain) {
      if (rawLength_ > LINE_LIMIT) throw tooLong();
      std::memcpy(buffer_, raw_, rawLength_);
      bytes_ = columns_ = rawLength_;
      return;
    }
    const bool utf8 = validUtf8(raw_, rawLength_);
    const auto* bytes = reinterpret_cast<const unsigned char*>(raw_);
    std::size_t length = 0;
    columns_ = 0;
    for (std::size_t at = 0; at < rawLength_;) {
      const bool tab = raw_[at] == '\t';
      const std::size_t size = utf8 && !tab ? utf8Length(bytes + at, rawLength_ - at) : 1;
      const std::size_t end = tab ? (columns_ / TAB_STOP + 1) * TAB_STOP : columns_ + 1;
      if (end > LINE_LIMIT) throw tooLong();
      for (; columns_ < end; ++columns_) {
        columnStart_[columns_] = length;
        if (tab) buffer_[length++] = ' ';
      }
      if (!tab) {
        std::memcpy(buffer_ + length, raw_ + at, size);
        length += size;
      }
      at += size;
    }
    columnStart_[columns_] = length;
    bytes_ = length;
  }

  InputError tooLong() const {
    return error(number_, "Line longer than " + std::to_string(LINE_LIMIT) + " columns");
  }

  std::FILE* file_;
  std::string heading_;
  char raw_[BYTE_LIMIT];
  std::size_t rawLength_ = 0;
  char buffer_[BYTE_LIMIT];
  std::size_t columnStart_[LINE_LIMIT + 1] = {};
  std::size_t columns_ = 0;
  std::size_t bytes_ = 0;  // of the line in buffer_; as many as columns_ on a line of ASCII
  long number_ = 0;
};

bool allDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// A whole number of at most 9 digits with an optional sign ('+' only when `plus`).
bool wholeNumber(std::string_view text, bool plus, long long& value) {
  const bool negative = !text.empty() && text[0] == '-';
  if (negative || (plus && !text.empty() && text[0] == '+')) text.remove_prefix(1);
  if (!allDigits(text)) return false;
  long long magnitude = 0;
  for (const char c : text) {
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > VALUE_LIMIT) return false;
  }
  value = negative ? -magnitude : magnitude;
  return true;
}

// A whole number right-aligned in a fixed field: leading blanks, an optional '-' (when
// `signedField`), then digits to the field's end.
bool fieldNumber(std::string_view field, bool signedField, long long& value) {
  const std::string_view rest = field.substr(std::min(field.find_first_not_of(' '), field.size()));
  if (!signedField && !rest.empty() && rest[0] == '-') return false;
  return wholeNumber(rest, false, value);
}

bool fieldNumber(std::string_view field, bool signedField, int& value) {
  long long wide = 0;
  if (!fieldNumber(field, signedField, wide)) return false;
  value = static_cast<int>(wide);  // fields are at most 5 columns wide
  return true;
}

// A year written by blanks: an optional '-' and at most 4 digits, as the grid's years are.
bool yearToken(std::string_view token, int& year) {
  long long value = 0;
  const std::size_t digits = token.size() - (!token.empty() && token[0] == '-' ? 1 : 0);
  if (digits > 4 || !wholeNumber(token, false, value)) return false;
  year = static_cast<int>(value);
  return true;
}

bool isMarker(long long value) {
  return value == MARKER_HUNDREDTHS || value == MARKER_THOUSANDTHS;
}

// Builds the series of the table one at a time, year by year. Notes about a series are kept
// until it is finished: a series that is discarded leaves none.
class SeriesBuilder {
 public:
  SeriesBuilder(SeriesTable& t, const Lines& lines) : t_(t), lines_(lines) {
    t_.seriesCount = 0;
    t_.missingFlag = std::numeric_limits<float>::quiet_NaN();
  }

  bool open() const { return open_; }
  const std::string& id() const { return id_; }
  const std::string& name() const { return name_; }
  long firstLine() const { return firstLine_; }
  int nextYear() const { return firstLineYear_ + years_; }
  void note(Note text) { pending_.push_back(std::move(text)); }

  // The name of a series with ID `id`, given to it for good: the ID cut to a name's bytes, or,
  // when an earlier series (kept or skipped) has that name, ID_2, ID_3, ... (the ID cut to leave
  // room for the number).
  std::string claimName(std::string_view id) {
    std::string name = fitted(id, NAME_LENGTH);
    if (names_.contains(name)) {
      int& n = nextNumber_[std::string(id)];
      n = std::max(n, 2);
      for (;; ++n) {
        // Appended, not "_" + to_string(n): GCC 12 at -O3 warns falsely (-Wrestrict) on that.
        std::string number(1, '_');
        number += std::to_string(n);
        name = fitted(id, NAME_LENGTH - number.size()) + number;
        if (!names_.contains(name)) break;
      }
    }
    names_.insert(name);
    return name;
  }

  // Starts a series with ID `id` whose first line gives the year `year`.
  void begin(std::string_view id, int year) {
    const long line = lines_.number();
    if (t_.seriesCount == MAX_SERIES_COUNT) {
      throw lines_.error(
          line, "Too many series: the table holds at most " + std::to_string(MAX_SERIES_COUNT));
    }
    k_ = t_.seriesCount++;
    id_ = std::string(id);
    name_ = claimName(id_);
    firstLine_ = line;
    pending_.clear();
    if (name_ != fitted(id_, NAME_LENGTH)) {
      note(Note(NoteKind::Renamed,
                " Series " + id_ + " at line " + std::to_string(line) +
                    " has the name of an earlier series: read as " + name_,
                id_ + " at line " + std::to_string(line) + ", read as " + name_));
    }
    setField(t_.seriesName[k_], NAME_LENGTH, name_);
    open_ = true;
    firstLineYear_ = year;
    years_ = 0;
    firstPresent_ = -1;
    lastPresent_ = -1;
  }

  // The value of the next year: a whole number of the series' unit, or missing. False when the
  // series would hold more years than a column does.
  bool add(bool present, double whole) {
    const int year = years_++;
    if (!present && firstPresent_ < 0) return true;  // leading missing years are trimmed
    if (firstPresent_ < 0) firstPresent_ = year;
    const int at = year - firstPresent_;
    if (at >= MAX_YEARS) return !present;  // missing years beyond the last present are trimmed
    column()[at] = present ? whole : std::numeric_limits<double>::quiet_NaN();
    if (present) lastPresent_ = at;
    return true;
  }

  // Ends the series: its values become `whole / unit` and its span is its present years.
  void finish(double unit, std::vector<Note>& notes) {
    double* values = column();
    for (int i = 0; i <= lastPresent_; ++i) {
      if (!std::isnan(values[i])) values[i] = values[i] / unit;
    }
    std::fill(values + lastPresent_ + 1, values + storedYears(), 0.0);
    if (firstPresent_ < 0) {
      t_.firstYear[k_] = t_.lastYear[k_] = firstLineYear_;
      t_.yearCount[k_] = 0;
    } else {
      t_.firstYear[k_] = firstLineYear_ + firstPresent_;
      t_.yearCount[k_] = lastPresent_ + 1;
      t_.lastYear[k_] = t_.firstYear[k_] + lastPresent_;
    }
    for (Note& text : pending_) notes.push_back(std::move(text));
    pending_.clear();
    open_ = false;
  }

  // Takes the open series out of the table again; its name stays taken.
  void discard() {
    std::fill(column(), column() + storedYears(), 0.0);
    std::memset(t_.seriesName[k_], 0, NAME_LENGTH);
    --t_.seriesCount;
    pending_.clear();
    open_ = false;
  }

 private:
  double* column() { return t_.column(k_); }
  int storedYears() const {
    return firstPresent_ < 0 ? 0 : std::min(years_ - firstPresent_, MAX_YEARS);
  }
  static std::string fitted(std::string_view text, std::size_t bytes) {
    return std::string(text.substr(0, characterPrefix(text.data(), text.size(), bytes)));
  }

  SeriesTable& t_;
  const Lines& lines_;
  std::vector<Note> pending_;
  bool open_ = false;
  int k_ = 0;
  std::string id_;
  std::string name_;
  long firstLine_ = 0;
  std::unordered_set<std::string> names_;            // every name given, skipped series' too
  std::unordered_map<std::string, int> nextNumber_;  // per ID, the number to try next
  int firstLineYear_ = 0;
  int years_ = 0;          // years given so far, from the first line's year on
  int firstPresent_ = -1;  // years from the first line's year to the first present one
  int lastPresent_ = -1;   // position of the last present year, from the first present one
};

// What both readers share: the file's lines, the series being built, titles, and series
// skipped for a fault of their own.
class TucsonReader {
 protected:
  TucsonReader(std::FILE* file, SeriesTable& t, TucsonNotes& notes, const char* kind,
               const char* seriesWord)
      : lines_(file, kind), series_(t, lines_), notes_(notes), t_(t), seriesWord_(seriesWord) {}

  // A leading line that is not a data line is a title, up to TITLE_LIMIT of them: noted and
  // passed over. True when the line is such a title.
  bool isTitle(bool dataLine) {
    if (dataSeen_ || dataLine || titles_ == TITLE_LIMIT) {
      dataSeen_ = true;
      return false;
    }
    ++titles_;
    const std::string line = std::to_string(lines_.number());
    const std::string title = quoted(lines_.text());
    notes_.lines.push_back(Note(NoteKind::Title, " Line " + line + " skipped as a title: " + title,
                                "line " + line + ": " + title));
    SiteHeader site = notes_.site.value_or(SiteHeader{});
    if (readSiteHeaderLine(titleWords(), site)) notes_.site = std::move(site);
    return true;
  }

  // The site ID of the file's header lines; empty when it has none.
  std::string_view siteId() const {
    return notes_.site ? std::string_view(notes_.site->id) : std::string_view();
  }

  void finish(double unit) { series_.finish(unit, notes_.lines); }

  // Skips the block of series `id` (its name taken for good) for a fault at line `line`; the
  // block's further lines, the lines of that ID in a row, are passed over. `firstLine` is the
  // block's first line when it began before the fault (the series' first line).
  void skip(std::string_view id, long line, std::string message, std::string detail,
            const std::string& name = "", long firstLine = 0) {
    endSkippedBlock();
    InputError fault{lines_.heading() + ", line " + std::to_string(line), std::move(message),
                     std::move(detail)};
    if (firstFault_.heading.empty()) firstFault_ = fault;
    const std::string taken = name.empty() && !id.empty() ? series_.claimName(id) : name;
    skipping_ = SkippedBlock{std::string(id), taken, firstLine > 0 ? firstLine : line, line,
                             std::move(fault)};
  }

  void skipOpenSeries(long line, std::string message, std::string detail = "") {
    const std::string id = series_.id();
    const std::string name = series_.name();
    const long first = series_.firstLine();
    series_.discard();
    skip(id, line, std::move(message), std::move(detail), name, first);
  }

  // True when a line of ID `id` (or `other`, the same line read another way) belongs to the
  // block being skipped, and is passed over; a line of another ID ends the block.
  bool passedOver(std::string_view id, std::string_view other = {}) {
    if (!skipping_) return false;
    const std::string& skipped = skipping_->id;
    if (!skipped.empty() &&
        (equalIgnoringCase(skipped, id) || (!other.empty() && equalIgnoringCase(skipped, other)))) {
      skipping_->lastLine = lines_.number();
      return true;
    }
    endSkippedBlock();
    return false;
  }

  // Reports the block being skipped by the lines it spans, under the name it would have had:
  // "..., line 57: series FAD23B (lines 50-62) skipped".
  void endSkippedBlock() {
    if (!skipping_) return;
    SkippedBlock& b = *skipping_;
    std::string& heading = b.report.heading;
    if (b.id.empty()) {
      heading += ": line skipped";
    } else {
      heading += ": " + std::string(seriesWord_) + " " + b.name + " (line";
      heading += b.firstLine == b.lastLine
                     ? " " + std::to_string(b.firstLine)
                     : "s " + std::to_string(b.firstLine) + "-" + std::to_string(b.lastLine);
      heading += ") skipped";
    }
    notes_.skipped.push_back(std::move(b.report));
    skipping_.reset();
  }

  // The words of the current line, with their columns counted from 1.
  std::vector<TitleWord> titleWords() const {
    std::vector<TitleWord> words;
    const std::size_t columns = lines_.columns();
    for (std::size_t at = 0; at < columns;) {
      if (lines_.columnText(at, 1) == " ") {
        ++at;
        continue;
      }
      std::size_t end = at;
      while (end < columns && lines_.columnText(end, 1) != " ") ++end;
      words.push_back(TitleWord{lines_.columnText(at, end - at), at + 1, end});
      at = end;
    }
    return words;
  }

  // When nothing could be read, the first fault is the file's error.
  void end() {
    endSkippedBlock();
    if (t_.seriesCount == 0 && !firstFault_.heading.empty()) throw firstFault_;
  }

  int seriesCount() const { return t_.seriesCount; }

  Lines lines_;
  SeriesBuilder series_;
  TucsonNotes& notes_;

 private:
  SeriesTable& t_;
  const char* seriesWord_;
  int titles_ = 0;
  bool dataSeen_ = false;
  struct SkippedBlock {
    std::string id;    // empty for a line without an ID, a block of its own
    std::string name;  // the name the series would have had
    long firstLine;
    long lastLine;
    InputError report;  // its heading completed when the block ends
  };
  std::optional<SkippedBlock> skipping_;
  InputError firstFault_;
};

// One way of reading a ring-width line, and how far it got.
struct Reading {
  enum Stage { None, Id, Year, Values, Fits };  // ordered: what was read before a fault
  Stage stage = None;
  std::string_view id;
  int year = 0;
  std::size_t count = 0;
  long long value[MAX_VALUES] = {};  // BLANK_FIELD for a blank field on the grid
  std::string message;  // what was expected, when the stage is not Fits
  std::string detail;

  void start() {
    stage = None;
    id = {};
    count = 0;
    message.clear();
    detail.clear();
  }
  bool fail(std::string expected, std::string what = "") {
    message = std::move(expected);
    detail = std::move(what);
    return false;
  }
  // At most 10 years and then the end marker, only zeros after it, at least one value.
  void checkShape() {
    int years = 0;
    bool ended = false;
    for (std::size_t j = 0; j < count; ++j) {
      const long long v = value[j];
      if (ended) {
        if (v != 0 && v != BLANK_FIELD) {
          fail("Expected nothing but zeros after the end marker",
               "value " + std::to_string(j + 1) + " reads " + std::to_string(v));
          return;
        }
      } else if (isMarker(v)) {
        ended = true;
      } else if (years == YEARS_PER_LINE) {
        fail("Expected the end marker (999 or -9999) as the 11th value",
             "a line holds at most 10 years; the 11th value reads " +
                 (v == BLANK_FIELD ? std::string("blank") : std::to_string(v)));
        return;
      } else {
        ++years;
      }
    }
    if (count == 0) {
      fail("Expected values after the year");
      return;
    }
    stage = Fits;
  }
};

// The line on the grid: ID in columns 1-8, year ending in column 12, 6-column value fields.
void readOnGrid(const Lines& lines, Reading& r) {
  r.start();
  const bool longYear = lines.columnText(7, 1) == "-" && allDigits(lines.columnText(8, 4));
  r.id = trimmed(lines.columnText(0, longYear ? 7 : 8));
  const std::string_view yearField = lines.columnText(longYear ? 7 : 8, longYear ? 5 : 4);
  if (r.id.empty()) return void(r.fail("Expected a series ID in columns 1-8"));
  r.stage = Reading::Id;
  if (lines.columns() < GRID_START || !fieldNumber(yearField, true, r.year)) {
    return void(r.fail("Expected the year right-aligned in columns 9-12",
                       "columns 9-12 read " + quoted(lines.columnText(8, 4))));
  }
  r.stage = Reading::Year;
  const std::size_t used = lines.usedColumns();
  for (std::size_t from = GRID_START; from < used; from += GRID_WIDTH) {
    const std::string_view field = lines.columnText(from, GRID_WIDTH);
    long long& v = r.value[r.count++];
    if (isBlank(field)) {
      v = BLANK_FIELD;
    } else if (from + GRID_WIDTH > used || !fieldNumber(field, true, v)) {
      return void(r.fail("Expected whole numbers right-aligned in 6-column fields from column 13",
                         "columns " + std::to_string(from + 1) + "-" +
                             std::to_string(from + GRID_WIDTH) + " read " + quoted(field)));
    }
  }
  r.stage = Reading::Values;
  r.checkShape();
}

// The line by blanks: ID (from column 1), year, values.
void readByBlanks(std::string_view line, Reading& r) {
  r.start();
  if (line[0] == ' ') return void(r.fail("Expected a series ID in columns 1-8"));
  std::size_t j = 0;
  for (std::size_t at = 0; (at = line.find_first_not_of(' ', at)) != std::string_view::npos;
       ++j) {
    const std::size_t end = std::min(line.find(' ', at), line.size());
    const std::string_view token = line.substr(at, end - at);
    at = end;
    if (j == 0) {
      r.id = token;
      r.stage = Reading::Id;
    } else if (j == 1) {
      if (!yearToken(token, r.year)) {
        return void(r.fail("Expected the year after the series ID", "it reads " + quoted(token)));
      }
      r.stage = Reading::Year;
    } else if (!wholeNumber(token, true, r.value[r.count++])) {
      return void(r.fail("Expected whole-number values of at most 9 digits",
                         "value " + std::to_string(j - 1) + " reads " + quoted(token)));
    }
  }
  if (r.stage == Reading::Id) return void(r.fail("Expected the year after the series ID"));
  r.stage = Reading::Values;
  r.checkShape();
}

// The reading that says most about a line: one that fits on the grid, else the one that got
// further (by blanks when both stopped at the same stage: its message names the token).
const Reading& furthest(const Reading& grid, const Reading& blanks) {
  if (grid.stage == Reading::Fits) return grid;
  return blanks.stage >= grid.stage ? blanks : grid;
}

class RingWidthReader : TucsonReader {
 public:
  RingWidthReader(std::FILE* file, SeriesTable& t, TucsonNotes& notes)
      : TucsonReader(file, t, notes, "Input error in the ring-width file", "series") {}

  void read() {
    while (lines_.next()) {
      readOnGrid(lines_, grid_);
      blanksRead_ = false;
      // An ID and a year on the grid make a data line, even one with a fault after them.
      if (isTitle(grid_.stage >= Reading::Year || byBlanks().stage == Reading::Fits)) continue;
      take();
    }
    if (series_.open()) {
      skipOpenSeries(lastLine_, noEndMarker(), "the file ends after this line");
    }
    if (offGrid_ > 0) notes_.lines.push_back(offGridNote());
    end();
  }

 private:
  // " 9 lines read by blanks, off the column grid, the first at line 438"
  std::string offGridNote() const {
    std::string note(1, ' ');
    note += std::to_string(offGrid_);
    note += offGrid_ == 1 ? " line read by blanks, off the column grid, at line "
                          : " lines read by blanks, off the column grid, the first at line ";
    note += std::to_string(firstOffGrid_);
    return note;
  }
  std::string noEndMarker() const {
    return "Series " + series_.id() + " ends without its end marker (999 or -9999)";
  }
  // The line read by blanks, read when first needed: most lines continue their series on the
  // grid.
  const Reading& byBlanks() {
    if (!blanksRead_) readByBlanks(lines_.text(), blanks_);
    blanksRead_ = true;
    return blanks_;
  }
  bool sameSeries(const Reading& r) const {
    return r.stage >= Reading::Id && equalIgnoringCase(r.id, series_.id());
  }
  bool continues(const Reading& r) const {
    return r.stage == Reading::Fits && sameSeries(r) && r.year == series_.nextYear();
  }

  // The line continues the open series, starts one, or is a fault of the series it names.
  void take() {
    const long here = lines_.number();
    if (series_.open() && continues(grid_)) return add(grid_, false);
    const Reading& blanks = byBlanks();
    if (series_.open() && continues(blanks)) return add(blanks, true);
    if (passedOver(grid_.id, blanks.id)) return;
    const Reading& best = furthest(grid_, blanks);
    if (series_.open()) {
      if (sameSeries(grid_) || sameSeries(blanks)) {
        const Reading& own = sameSeries(grid_) && sameSeries(blanks) ? best
                             : sameSeries(grid_)                      ? grid_
                                                                      : blanks;
        if (own.stage != Reading::Fits) return skipOpenSeries(here, own.message, own.detail);
        return skipOpenSeries(here,
                              "Expected year " + std::to_string(series_.nextYear()) +
                                  " for series " + series_.id() + ", the year after its last value",
                              "the line gives year " + std::to_string(own.year));
      }
      skipOpenSeries(lastLine_, noEndMarker(),
                     "line " + std::to_string(here) + " begins series " + std::string(best.id));
      endSkippedBlock();  // the series' block ended on its last line
    }
    if (grid_.stage == Reading::Fits) return add(grid_, false);
    if (blanks.stage == Reading::Fits) return add(blanks, true);
    skip(best.id, here, best.message, best.detail);
  }

  void add(const Reading& r, bool byBlanks) {
    const long here = lines_.number();
    if (!series_.open()) {
      series_.begin(r.id, r.year);
    } else if (r.id != series_.id()) {
      series_.note(Note(NoteKind::CaseChanged,
                        " Series " + series_.id() + " continues at line " + std::to_string(here) +
                            " with its ID written " + std::string(r.id),
                        series_.id() + " at line " + std::to_string(here)));
    }
    if (byBlanks && offGrid_++ == 0) firstOffGrid_ = here;
    lastLine_ = here;
    for (std::size_t j = 0; j < r.count; ++j) {
      const long long v = r.value[j];
      if (isMarker(v)) return finish(v == MARKER_HUNDREDTHS ? HUNDREDTHS : THOUSANDTHS);
      if (!series_.add(v >= 0, static_cast<double>(v))) {
        return skipOpenSeries(here,
                              "Too many years in series " + series_.id() +
                                  ": a series holds at most " + std::to_string(MAX_YEARS));
      }
    }
  }

  Reading grid_;
  Reading blanks_;
  bool blanksRead_ = false;  // blanks_ holds the reading of the current line
  long lastLine_ = 0;  // the open series' last line
  int offGrid_ = 0;
  long firstOffGrid_ = 0;
};

// A chronology line, read on its grid.
struct ChronologyLine {
  bool started = false;  // an ID and a decade in their columns
  bool fits = false;
  std::string_view id;
  int decade = 0;
  int index[YEARS_PER_LINE] = {};
  std::string message;  // what was expected, when it does not fit
  std::string detail;

  bool fail(std::string expected, std::string what = "") {
    message = std::move(expected);
    detail = std::move(what);
    return false;
  }
  // `openId`, `nextDecade`: the open chronology's ID (empty when none is open) and the decade
  // its next line must give; `siteId`: the file's site ID, empty when it has none.
  bool read(const Lines& lines, std::string_view openId, int nextDecade, std::string_view siteId) {
    started = fits = false;
    const auto columns = [&lines](std::size_t from, std::size_t width) {
      return "columns " + std::to_string(from + 1) + "-" + std::to_string(from + width) +
             " read " + quoted(lines.columnText(from, width));
    };
    const std::size_t idWidth = wideYear(lines, openId, nextDecade, siteId) ? 5 : 6;
    id = trimmed(lines.columnText(0, idWidth));
    if (id.empty()) return fail("Expected a chronology ID in columns 1-" + std::to_string(idWidth));
    if (lines.columns() < 10 ||
        !fieldNumber(lines.columnText(idWidth, 10 - idWidth), true, decade)) {
      return fail("Expected the decade in columns " + std::to_string(idWidth + 1) + "-10",
                  columns(idWidth, 10 - idWidth));
    }
    started = true;
    if (!isBlank(lines.columnText(CHRONOLOGY_WIDTH, LINE_LIMIT))) {
      return fail("Expected nothing after column 80");
    }
    if (decade % YEARS_PER_LINE != 0) {
      return fail("Expected a decade (a year ending in 0) in columns 7-10",
                  "the line gives " + std::to_string(decade));
    }
    if (lines.columns() < CHRONOLOGY_WIDTH) {
      return fail("Expected 10 pairs of index and sample depth in columns 11-80",
                  "the line ends at column " + std::to_string(lines.columns()));
    }
    for (int j = 0; j < YEARS_PER_LINE; ++j) {
      const std::size_t at = 10 + 7 * static_cast<std::size_t>(j);
      int depth = 0;
      // Difference indices can be negative: down to -999 thousandths in 4 columns.
      if (!fieldNumber(lines.columnText(at, 4), true, index[j])) {
        return fail("Expected an index of -999 to 9999 for year " + std::to_string(decade + j),
                    columns(at, 4));
      }
      if (!fieldNumber(lines.columnText(at + 4, 3), false, depth)) {
        return fail(
            "Expected a sample depth (a whole number) for year " + std::to_string(decade + j),
            columns(at + 4, 3));
      }
    }
    return fits = true;
  }

  // Whether the line's year takes columns 6-10 (the ID then takes 1-5): see input/tucson.h.
  static bool wideYear(const Lines& lines, std::string_view openId, int nextDecade,
                       std::string_view siteId) {
    const std::string_view year = lines.columnText(5, 5);
    if (year.size() != 5) return false;
    if (year[0] == '-') return allDigits(year.substr(1));
    int wide = 0;
    if (!allDigits(year) || !fieldNumber(year, false, wide)) return false;
    const std::string_view shortId = trimmed(lines.columnText(0, 5));
    if (!openId.empty() && shortId == openId && wide == nextDecade) return true;
    if (!siteId.empty() && shortId == siteId && trimmed(lines.columnText(0, 6)) != siteId) {
      return true;
    }
    return lines.columnText(4, 1) == " ";
  }
};

class ChronologyReader : TucsonReader {
 public:
  ChronologyReader(std::FILE* file, SeriesTable& t, TucsonNotes& notes)
      : TucsonReader(file, t, notes, "Input error in the chronology file", "chronology") {}

  void read() {
    while (lines_.next()) {
      line_.read(lines_, series_.open() ? std::string_view(series_.id()) : std::string_view(),
                 series_.nextYear(), siteId());
      if (isTitle(line_.started)) continue;
      if (!suspect_.message.empty()) fault(suspect_, suspectLine_);
      suspect_.message.clear();
      take();
    }
    // The last line may be the chronology's statistics: not data, but it holds decimal
    // numbers, which no data line does.
    if (!suspect_.message.empty() && seriesCount() == 0) fault(suspect_, suspectLine_);
    if (series_.open()) finish(THOUSANDTHS);
    end();
  }

 private:
  void take() {
    const long here = lines_.number();
    if (passedOver(line_.id)) return;
    if (!line_.fits) {
      if (lines_.text().find('.') == std::string_view::npos) return fault(line_, here);
      // Decided by the next line: only the file's last line may be statistics.
      suspect_ = line_;
      suspectId_ = std::string(line_.id);
      suspect_.id = suspectId_;
      suspectLine_ = here;
      return;
    }
    if (series_.open() && line_.id == series_.id() && line_.decade != series_.nextYear()) {
      return skipOpenSeries(here,
                            "Expected decade " + std::to_string(series_.nextYear()) +
                                " for chronology " + series_.id() + ", the one after its last line",
                            "the line gives decade " + std::to_string(line_.decade));
    }
    if (series_.open() && line_.id != series_.id()) finish(THOUSANDTHS);
    if (!series_.open()) series_.begin(line_.id, line_.decade);
    for (const int value : line_.index) series_.add(value != CHRONOLOGY_MISSING, value);
  }

  // A line that is no chronology line: a fault of the chronology it names.
  void fault(const ChronologyLine& line, long here) {
    if (series_.open() && line.id == series_.id()) {
      return skipOpenSeries(here, line.message, line.detail);
    }
    if (series_.open()) finish(THOUSANDTHS);
    skip(line.id, here, line.message, line.detail);
  }

  ChronologyLine line_;
  ChronologyLine suspect_;  // a line with a decimal point, not yet known to be the last
  std::string suspectId_;
  long suspectLine_ = 0;
};

}  // namespace

void readRingWidthFile(std::FILE* file, SeriesTable& t, TucsonNotes& notes) {
  RingWidthReader(file, t, notes).read();
}

void readChronologyFile(std::FILE* file, SeriesTable& t, TucsonNotes& notes) {
  ChronologyReader(file, t, notes).read();
}

}  // namespace ringsmooth
