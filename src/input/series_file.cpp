#include "input/series_file.h"

#include <algorithm>

#include "input/free_form.h"
#include "core/text_field.h"
#include "input/rdtabdat.h"
#include "input/tucson.h"

namespace ringsmooth {
namespace {

bool endsWithWord(const std::string& name, std::string_view ending) {
  if (name.size() < ending.size()) return false;
  const std::string_view tail = std::string_view(name).substr(name.size() - ending.size());
  return equalIgnoringCase(tail, ending);
}

std::string counted(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

InputFormat formatForName(const std::string& fileName) {
  if (endsWithWord(fileName, ".rwl")) return InputFormat::Rwl;
  if (endsWithWord(fileName, ".crn")) return InputFormat::Crn;
  return InputFormat::Table;
}

std::optional<InputFormat> formatNamed(std::string_view word) {
  if (word == "table") return InputFormat::Table;
  if (word == "rwl") return InputFormat::Rwl;
  if (word == "crn") return InputFormat::Crn;
  return std::nullopt;
}

InputSummary readSeriesFile(std::FILE* file, InputFormat format, int columns, float missingFlag,
                            SeriesTable& t) {
  InputSummary summary;
  summary.format = format;
  if (format == InputFormat::Table) {
    FreeFormReader table(file, FreeFormReader::Kind::File);
    rdtabdat(table, columns, missingFlag, t);
  } else {
    TucsonNotes notes;
    if (format == InputFormat::Rwl) {
      readRingWidthFile(file, t, notes);
    } else {
      readChronologyFile(file, t, notes);
    }
    summary.notes = std::move(notes.lines);
    summary.skipped = std::move(notes.skipped);
    summary.site = std::move(notes.site);
  }
  summary.seriesCount = t.seriesCount;
  for (int k = 0; k < t.seriesCount; ++k) {
    if (t.yearCount[k] <= 0) continue;
    summary.firstYear =
        summary.anyValue ? std::min(summary.firstYear, t.firstYear[k]) : t.firstYear[k];
    summary.lastYear = summary.anyValue ? std::max(summary.lastYear, t.lastYear[k]) : t.lastYear[k];
    summary.anyValue = true;
  }
  return summary;
}

std::vector<std::string> readingNotes(const InputSummary& summary) {
  std::vector<std::string> lines;
  for (const Note& note : readingNoteList(summary)) lines.push_back(note.text);
  return lines;
}

std::vector<Note> readingNoteList(const InputSummary& summary) {
  std::vector<Note> lines;
  if (summary.format == InputFormat::Table) return lines;
  const bool rwl = summary.format == InputFormat::Rwl;
  std::string line = rwl ? " Tucson ring-width file: " : " Tucson chronology file: ";
  line += rwl ? counted(summary.seriesCount, "series", "series")
              : counted(summary.seriesCount, "chronology", "chronologies");
  if (summary.anyValue) {
    line +=
        ", years " + std::to_string(summary.firstYear) + " to " + std::to_string(summary.lastYear);
  } else if (summary.seriesCount > 0) {
    line += ", none with a value";
  }
  if (!summary.skipped.empty()) line += "; " + std::to_string(summary.skipped.size()) + " skipped";
  lines.push_back(printable(line));
  for (const Note& note : summary.notes) {
    lines.push_back(Note(note.kind, printable(note.text), printable(note.place)));
  }
  return lines;
}

}  // namespace ringsmooth
