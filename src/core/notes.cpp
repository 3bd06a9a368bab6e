#include "core/notes.h"

#include <cstring>
#include <utility>

#include "core/capacities.h"
#include "core/text_field.h"

namespace ringsmooth {
namespace {

// What the notes of a kind are, counted in one line: "3 <phrase>, the first <place>".
constexpr const char* GATHERED[NOTE_KINDS] = {
    "",
    "lines skipped as titles",
    "series have the name of an earlier series and are read under another",
    "lines continue a series whose ID changed letter case",
    "series have years filled with the series mean",
    "series are indexed against their mean: the spline is not above 0 in every year",
    "series have no ratio index: neither the spline nor the series mean is above 0",
    "series have no value present: no result block",
    "series have a standard deviation 0 or undefined, cannot standardize: no result block",
    "series have values too large for a single-precision mean: no result block",
    "series are too short to smooth: no result block",
    "series have a spline that could not be solved: no result block",
    "plot files written",
};

}  // namespace

Notes::Notes(std::FILE* stream, std::string table, StatusLine* status, bool gather)
    : stream_(stream),
      table_(std::move(table)),
      prefix_(table_.empty() ? "" : "ringsmooth: " + table_ + ":"),
      status_(status),
      gather_(gather) {}

Notes::~Notes() { end(); }

void Notes::write(std::string_view text) {
  if (text.empty()) return;
  const bool hidden = status_ != nullptr && status_->hide();
  std::fwrite(text.data(), 1, text.size(), stream_);
  std::fflush(stream_);
  if (hidden) status_->redraw();
}

void Notes::keep(NoteKind kind, std::string text, std::string place) {
  const auto k = static_cast<std::size_t>(kind);
  if (kind != NoteKind::Single && keptAt_[k] > 0) {
    ++kept_[static_cast<std::size_t>(keptAt_[k] - 1)].count;
    return;
  }
  kept_.push_back(Kept{kind, std::move(text), std::move(place), 1});
  if (kind != NoteKind::Single) keptAt_[k] = static_cast<int>(kept_.size());
}

void Notes::note(const Note& note) {
  std::string text = prefix_ + note.text + "\n";
  if (gather_) return keep(note.kind, std::move(text), note.place);
  write(text);
}

void Notes::tableNote(std::string_view text) {
  line((table_.empty() ? "\n " : " ") + std::string(text));
}

void Notes::seriesNote(int number, const char* name, std::string_view text, NoteKind kind,
                       std::string_view where) {
  // A name field, or a shorter name ended by its NUL; its control bytes never reach the
  // terminal, as in reports.
  const std::string shown =
      printable(trimmedText(name, static_cast<int>(strnlen(name, NAME_LENGTH))));
  const std::string numbered = std::to_string(number);
  note(Note(kind, " Series " + numbered + " (" + shown + "): " + std::string(text),
            shown + " (series " + numbered + ")" + std::string(where)));
}

void Notes::report(const RunError& error) {
  const std::string heading = table_.empty() ? error.heading : table_ + ": " + error.heading;
  std::string text = "\n? " + printable(heading) + "\n? " + printable(error.message) + "\n";
  if (!error.detail.empty()) text += "? " + printable(error.detail) + "\n";
  if (gather_) {
    reports_ += text;
  } else {
    write(text);
  }
}

void Notes::programNote(std::string_view text) {
  write("ringsmooth: " + std::string(text) + "\n");
}

void Notes::asItStands(std::string_view text) {
  if (gather_) return keep(NoteKind::Single, std::string(text), "");
  write(text);
}

void Notes::end() {
  std::string text;
  for (const Kept& k : kept_) {
    if (k.count == 1) {
      text += k.text;
    } else {
      text += prefix_ + " " + std::to_string(k.count) + " " +
              GATHERED[static_cast<std::size_t>(k.kind)] + ", the first " + k.place + "\n";
    }
  }
  text += reports_;
  kept_.clear();
  keptAt_.fill(0);
  reports_.clear();
  write(text);
}

}  // namespace ringsmooth
