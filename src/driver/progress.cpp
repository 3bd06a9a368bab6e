#include "driver/progress.h"

#include <unistd.h>

#include "core/termination_signals.h"

namespace ringsmooth {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto SHOW_AFTER = std::chrono::seconds(1);
constexpr auto REDRAW_EVERY = std::chrono::milliseconds(100);

}  // namespace

Progress::Progress(std::FILE* terminal, int tables)
    : terminal_(terminal != nullptr && ::isatty(fileno(terminal)) ? terminal : nullptr),
      tables_(tables),
      start_(Clock::now()),
      lastDrawn_(start_) {}

void Progress::startTable(int table) {
  table_ = table;
  seriesCount_ = 0;
  done_ = 0;
}

void Progress::tableHolds(int seriesCount) {
  seriesCount_ = seriesCount;
  draw();
}

void Progress::seriesDone(int done) {
  done_ = done;
  draw();
}

void Progress::draw() {
  if (terminal_ == nullptr) return;
  const auto now = Clock::now();
  if (now - start_ < SHOW_AFTER || (shown_ && now - lastDrawn_ < REDRAW_EVERY)) return;
  // Known as shown before it is drawn: a signal meanwhile clears it anyway.
  statusLineShownOn(fileno(terminal_));
  std::fprintf(terminal_, "\rringsmooth: table %d of %d, series %d of %d\033[K", table_ + 1,
               tables_, done_, seriesCount_);
  std::fflush(terminal_);
  shown_ = true;
  lastDrawn_ = now;
}

bool Progress::hide() {
  if (!shown_) return false;
  std::fputs("\r\033[K", terminal_);
  std::fflush(terminal_);
  statusLineShownOn(-1);
  shown_ = false;
  return true;
}

void Progress::redraw() { draw(); }

}  // namespace ringsmooth
