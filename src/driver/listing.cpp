#include "driver/listing.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "core/run_error.h"
#include "core/text_field.h"
#include "driver/fixed_field.h"
#include "driver/jobs.h"
#include "output/whole_file.h"

namespace ringsmooth {
namespace {

constexpr int LINE_LENGTH = 29;  // year in 5 columns, three values in 8 each
constexpr char HEADER[] = " year  unfilt  spline  resids";
constexpr char NAME_LEAD[] = " Input series is: ";
constexpr long LISTING_BLOCK_CAPACITY =
    1 + (sizeof NAME_LEAD - 1) + NAME_LENGTH + 1 + LINE_LENGTH + 1 + MAX_YEARS * (LINE_LENGTH + 1L);

// A CSV row: the name (quoted, every character possibly doubled), the year, three floats of at
// most 15 characters each, the index (a double, at most 24), six commas, the flag and the line
// end.
constexpr char CSV_HEADER[] = "series,year,value,spline,residual,index,filled\n";
constexpr int CSV_NAME_CAPACITY = 2 + 2 * NAME_LENGTH;  // quotes, every character doubled
constexpr long CSV_ROW_CAPACITY = CSV_NAME_CAPACITY + 11 + 3 * 16 + 25 + 6 + 1 + 1;
constexpr long CSV_BLOCK_CAPACITY = MAX_YEARS * CSV_ROW_CAPACITY;

// The shortest decimal that reads back as the same float; NaN, Inf and -Inf as R and pandas
// read them.
char* writeShortest(char* out, float value) {
  if (std::isnan(value)) return std::copy_n("NaN", 3, out);
  if (std::isinf(value)) return value < 0 ? std::copy_n("-Inf", 4, out) : std::copy_n("Inf", 3, out);
  return std::to_chars(out, out + 16, value).ptr;
}

// Writes the series name as a CSV field into out[0 .. CSV_NAME_CAPACITY) and returns its
// length: without its trailing blanks, quoted (and its quotes doubled) when it holds a comma, a
// quote, a line end or a blank at its start.
int csvName(const char name[NAME_LENGTH], char out[CSV_NAME_CAPACITY]) {
  const int length = trimmedLength(name, NAME_LENGTH);
  bool quote = length > 0 && name[0] == ' ';
  for (int i = 0; i < length; ++i) {
    const char c = name[i];
    quote = quote || c == ',' || c == '"' || c == '\r' || c == '\n';
  }
  if (!quote) {
    std::memcpy(out, name, static_cast<std::size_t>(length));
    return length;
  }
  int at = 0;
  out[at++] = '"';
  for (int i = 0; i < length; ++i) {
    if (name[i] == '"') out[at++] = '"';
    out[at++] = name[i];
  }
  out[at++] = '"';
  return at;
}

// The CSV rows of a block.
char* csvRows(const BlockColumns& c, char* out) {
  char field[CSV_NAME_CAPACITY];
  const int fieldLength = csvName(c.name, field);
  for (int i = 0; i < c.n; ++i) {
    c.residuals[i] = c.listed[i] - c.smoothed[i];
    const bool filled = c.filled != nullptr && c.filled[i] != 0;
    out = std::copy(field, field + fieldLength, out);
    *out++ = ',';
    out = std::to_chars(out, out + 11, static_cast<long long>(c.firstYear) + i).ptr;
    *out++ = ',';
    if (!filled) out = writeShortest(out, c.listed[i]);
    *out++ = ',';
    out = writeShortest(out, c.smoothed[i]);
    *out++ = ',';
    if (!filled) out = writeShortest(out, c.residuals[i]);
    *out++ = ',';
    if (c.index != nullptr && !std::isnan(c.index[i])) {
      out = std::to_chars(out, out + 25, c.index[i]).ptr;
    }
    *out++ = ',';
    *out++ = filled ? '1' : '0';
    *out++ = '\n';
  }
  return out;
}

}  // namespace

Listing::Listing() = default;

Listing::~Listing() {
  if (fileName_ == "-" && fd_ >= 0) ::close(fd_);
}

InputError Listing::error(const char* what, int errorNumber) const {
  const char* kind = format_ == OutputFormat::Csv ? "the CSV output" : "the output listing";
  const std::string name = fileName_ == "-" ? "standard output" : "\"" + fileName_ + "\"";
  return InputError{std::string(what) + " " + kind + " " + name, std::strerror(errorNumber)};
}

void Listing::create(const std::string& fileName, OutputFormat format) {
  fileName_ = fileName;
  format_ = format;
  if (fileName == "-") {
    fd_ = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    if (fd_ < 0) throw error("Cannot create", errno);
  } else if (const int failure = file_.open(fileName); failure != 0) {
    InputError e = error("Cannot create", failure);
    e.message = creationFailure(fileName, failure);
    throw e;
  } else {
    fd_ = file_.fd();
  }
  if (format_ == OutputFormat::Csv) writeAll(CSV_HEADER, sizeof CSV_HEADER - 1);
}

void Listing::writeAll(const char* data, long size) {
  if (const int failure = writeFully(fd_, data, static_cast<std::size_t>(size)); failure != 0) {
    throw error("Cannot write", failure);
  }
}

long blockCapacity(OutputFormat format) {
  return format == OutputFormat::Csv ? CSV_BLOCK_CAPACITY : LISTING_BLOCK_CAPACITY;
}

long formatBlock(OutputFormat format, const BlockColumns& c, char* text) {
  if (format == OutputFormat::Csv) return csvRows(c, text) - text;
  char* out = text;
  *out++ = '\n';
  std::memcpy(out, NAME_LEAD, sizeof NAME_LEAD - 1);
  out += sizeof NAME_LEAD - 1;
  std::memcpy(out, c.name, NAME_LENGTH);
  out += NAME_LENGTH;
  *out++ = '\n';
  std::memcpy(out, HEADER, LINE_LENGTH);
  out += LINE_LENGTH;
  *out++ = '\n';
  for (int i = 0; i < c.n; ++i) {
    c.residuals[i] = c.listed[i] - c.smoothed[i];
    integerField(out, 5, static_cast<long long>(c.firstYear) + i);
    fixedField(out + 5, c.listed[i]);
    fixedField(out + 13, c.smoothed[i]);
    fixedField(out + 21, c.residuals[i]);
    out[LINE_LENGTH] = '\n';
    out += LINE_LENGTH + 1;
  }
  return out - text;
}

void Listing::writeBlock(const BlockColumns& columns) {
  if (!blockText_) {
    blockText_ = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(blockCapacity(format_)));
  }
  writeText(blockText_.get(), formatBlock(format_, columns, blockText_.get()));
}

void Listing::writeText(const char* text, long size) {
  // Interrupt, quit, hangup and termination are held off while the block is handed to the
  // kernel: a write that such a signal interrupts is cut short at a page boundary, which would
  // leave half a block behind; held off, the signal ends the run just after the write, between
  // two blocks. (SIGKILL can't be held off.)
  const TerminationSignalsBlocked held;
  writeAll(text, size);
}

void Listing::close() {
  if (fd_ < 0) return;
  const int fd = fd_;
  fd_ = -1;
  const int failure = fileName_ == "-" ? (::close(fd) != 0 ? errno : 0) : file_.commit();
  if (failure != 0) throw error("Cannot close", failure);
}

}  // namespace ringsmooth
