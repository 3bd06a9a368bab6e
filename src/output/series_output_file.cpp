#include "output/series_output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "core/termination_signals.h"
#include "output/listing.h"
#include "output/output_error.h"
#include "output/series_csv.h"
#include "output/whole_file.h"

namespace ringsmooth {

SeriesOutputFile::~SeriesOutputFile() {
  if (fileName_ == "-" && fd_ >= 0) ::close(fd_);
}

void SeriesOutputFile::create(const std::string& fileName) {
  fileName_ = fileName;
  if (fileName == "-") {
    fd_ = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    if (fd_ < 0) throw outputFailure(OutputStep::Create, what_, fileName, errno);
  } else if (const int failure = file_.open(fileName); failure != 0) {
    throw outputFailure(OutputStep::Create, what_, fileName, failure);
  } else {
    fd_ = file_.fd();
  }
  const std::string_view text = header();
  if (!text.empty()) writeAll(text.data(), static_cast<long>(text.size()));
}

void SeriesOutputFile::writeAll(const char* data, long size) {
  if (const int failure = writeFully(fd_, data, static_cast<std::size_t>(size)); failure != 0) {
    throw outputFailure(OutputStep::Write, what_, fileName_, failure);
  }
}

void SeriesOutputFile::writeBlock(const BlockColumns& columns) {
  if (!blockText_) {
    blockText_ = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(blockCapacity()));
  }
  writeText(blockText_.get(), formatBlock(columns, blockText_.get()));
}

void SeriesOutputFile::writeText(const char* text, long size) {
  // Interrupt, quit, hangup and termination are held off while the block is handed to the
  // kernel: a write that such a signal interrupts is cut short at a page boundary, which would
  // leave half a block behind; held off, the signal ends the run just after the write, between
  // two blocks. (SIGKILL can't be held off.)
  const TerminationSignalsBlocked held;
  writeAll(text, size);
}

void SeriesOutputFile::close() {
  if (fd_ < 0) return;
  const int fd = fd_;
  fd_ = -1;
  const int failure = fileName_ == "-" ? (::close(fd) != 0 ? errno : 0) : file_.commit();
  if (failure != 0) throw outputFailure(OutputStep::Close, what_, fileName_, failure);
}

std::unique_ptr<SeriesOutputFile> makeSeriesOutputFile(OutputFormat format) {
  switch (format) {
    case OutputFormat::Csv:
      return std::make_unique<SeriesCsv>();
    case OutputFormat::Listing:
      break;
  }
  return std::make_unique<Listing>();
}

}  // namespace ringsmooth
