#include "core/notes.h"

#include <cstring>
#include <utility>

#include "core/capacities.h"
#include "core/text_field.h"

namespace ringsmooth {

Notes::Notes(std::FILE* stream, std::string table, StatusLine* status)
    : stream_(stream),
      table_(std::move(table)),
      prefix_(table_.empty() ? "" : "ringsmooth: " + table_ + ":"),
      status_(status) {}

void Notes::write(std::string_view text) {
  if (text.empty()) return;
  const bool hidden = status_ != nullptr && status_->hide();
  std::fwrite(text.data(), 1, text.size(), stream_);
  std::fflush(stream_);
  if (hidden) status_->redraw();
}

void Notes::line(std::string_view text) {
  write(prefix_ + std::string(text) + "\n");
}

void Notes::tableNote(std::string_view text) {
  write((table_.empty() ? "\n" : prefix_) + " " + std::string(text) + "\n");
}

void Notes::seriesNote(int number, const char* name, std::string_view text) {
  write(prefix_ + " Series " + std::to_string(number) + " (" + std::string(name, strnlen(name, NAME_LENGTH)) +
        "): " + std::string(text) + "\n");
}

void Notes::report(const RunError& error) {
  const std::string heading = table_.empty() ? error.heading : table_ + ": " + error.heading;
  std::string text = "\n? " + printable(heading) + "\n? " + printable(error.message) + "\n";
  if (!error.detail.empty()) text += "? " + printable(error.detail) + "\n";
  write(text);
}

void Notes::programNote(std::string_view text) {
  write("ringsmooth: " + std::string(text) + "\n");
}

void Notes::asItStands(std::string_view text) { write(text); }

}  // namespace ringsmooth
