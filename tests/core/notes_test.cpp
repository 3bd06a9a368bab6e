// The notes sink: every kind of note on a line of its own, the status line drawn on the same
// stream cleared before it and drawn again after it, and only when it was shown.
#include "core/notes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/text_stream.h"

namespace ringsmooth {
namespace {

// A status line that marks on the stream where it is cleared and drawn.
class MarkedLine final : public StatusLine {
 public:
  MarkedLine(std::FILE* stream, bool shown) : stream_(stream), shown_(shown) {}
  bool hide() override {
    if (!shown_) return false;
    std::fputs("[hide]", stream_);
    shown_ = false;
    return true;
  }
  void redraw() override {
    std::fputs("[draw]", stream_);
    shown_ = true;
  }

 private:
  std::FILE* stream_;
  bool shown_;
};

TEST(Notes, EachNoteClearsTheStatusLineAndDrawsItAgain) {
  const char* name = "Pine ridge          ";
  const struct {
    const char* table;  // "" in the dialogue
    bool shown;         // the status line is on the screen
    std::function<void(Notes&)> note;
    std::string text;
    bool gather = false;  // a batch run's table: the notes kept until end()
  } cases[] = {
      {"t.txt", true, [](Notes& n) { n.line(" Plot written to t-1.png"); },
       "[hide]ringsmooth: t.txt: Plot written to t-1.png\n[draw]"},
      {"t.txt", false, [](Notes& n) { n.line(" Plot written to t-1.png"); },
       "ringsmooth: t.txt: Plot written to t-1.png\n"},
      {"", false, [](Notes& n) { n.line(" Plot written to t-1.png"); }, " Plot written to t-1.png\n"},
      {"t.txt", true, [](Notes& n) { n.tableNote("Chronology 1 to 9."); },
       "[hide]ringsmooth: t.txt: Chronology 1 to 9.\n[draw]"},
      {"", false, [](Notes& n) { n.tableNote("Nothing to do."); }, "\n Nothing to do.\n"},
      {"t.txt", true, [&](Notes& n) { n.seriesNote(12, name, "too short to smooth"); },
       "[hide]ringsmooth: t.txt: Series 12 (Pine ridge): too short to smooth\n[draw]"},
      {"", false, [](Notes& n) { n.seriesNote(3, "AB\x1b" "CD", "too short to smooth"); },
       " Series 3 (AB?CD): too short to smooth\n"},
      {"t.txt", true, [](Notes& n) { n.report(OutputError{"Cannot write \"a\"", "Full", "x\x1b"}); },
       "[hide]\n? t.txt: Cannot write \"a\"\n? Full\n? x?\n[draw]"},
      {"", false, [](Notes& n) { n.report(InputError{"Input error", "Quote not closed"}); },
       "\n? Input error\n? Quote not closed\n"},
      {"t.txt", true, [](Notes& n) { n.asItStands(">> as it is\n"); }, "[hide]>> as it is\n[draw]"},
      {"t.txt", true, [](Notes& n) { n.asItStands(""); }, ""},
      // Gathered: the report after the notes, a kind counted in the place of its first note, a
      // kind noted once as it stands, all in one write.
      {"t.txt", true, [&](Notes& n) {
         n.report(InputError{"Input error", "Bad"});
         n.seriesNote(2, name, "1 year filled", NoteKind::Filled, " in 1907");
         n.line(" Alone");
         n.seriesNote(5, "B", "2 years filled", NoteKind::Filled, " in 1910");
         n.note(Note(NoteKind::PlotFile, " Plot written to t-1.png", "t-1.png"));
         for (int twice = 0; twice < 2; ++twice) n.end();
       },
       "[hide]ringsmooth: t.txt: 2 series have years filled with the series mean, the first "
       "Pine ridge (series 2) in 1907\nringsmooth: t.txt: Alone\nringsmooth: t.txt: Plot written "
       "to t-1.png\n\n? t.txt: Input error\n? Bad\n[draw]",
       true},
  };
  for (const auto& c : cases) {
    support::TextStream stream("");
    MarkedLine status(stream.get(), c.shown);
    Notes notes(stream.get(), c.table, &status, c.gather);
    c.note(notes);
    EXPECT_EQ(stream.contents(), c.text);
  }
}

}  // namespace
}  // namespace ringsmooth
