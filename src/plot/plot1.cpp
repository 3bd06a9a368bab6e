// One plot of a series through PLplot: the range lines, then one whole use of the library.
#include "plot/plot1.h"

#include <plplot/plplot.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <type_traits>
#include <csetjmp>
#include <cstring>
#include <string>

#include "core/text_field.h"
#include "output/replaced_file.h"
#include "plot/plot_range.h"

namespace ringsmooth {

constexpr int TITLE_LENGTH = NAME_LENGTH;
constexpr int PAGE_TITLE_LENGTH = 160;  // a book page's title: series, table and stiffness
static_assert(std::is_same_v<PLFLT, double>, "the chronology's arrays go to PLplot as they are");

// The year axis in single precision as the range rules want it, and the double copies PLplot
// takes. Title text for PLplot: trailing blanks removed (an all-blank title becomes one blank),
// and '#', PLplot's text escape, doubled so that a series name shows as written.
struct PlotWork::Storage {
  float yearAxis[PLOT_MAX_POINTS];
  PLFLT yearAxisPoints[PLOT_MAX_POINTS];
  PLFLT observedPoints[PLOT_MAX_POINTS];
  PLFLT smoothedPoints[PLOT_MAX_POINTS];
  PLFLT levelPoints[PLOT_MAX_POINTS];
  char plotTitle[2 * PAGE_TITLE_LENGTH + 1];
  char windowTitle[2 * TITLE_LENGTH + 64];
};

// Left as they come: every plot writes what it draws.
PlotWork::PlotWork() : storage_(std::make_unique_for_overwrite<Storage>()) {}
PlotWork::~PlotWork() = default;

namespace {

constexpr int COLOUR_BACKGROUND = 0;
constexpr int COLOUR_SERIES = 1;   // red in PLplot's default map 0
constexpr int COLOUR_SPLINE = 9;   // blue in PLplot's default map 0
constexpr int COLOUR_FOREGROUND = 15;
constexpr int COLOUR_GRID = 7;   // set to a light grey
constexpr int COLOUR_SHADE = 8;  // set to a light orange

// Where PLplot's fatal errors land instead of ending the process (see runGuarded). PLplot's
// exit handler is a plain C callback with no place for our own data, so this is the one state
// of the program that lives at file scope; plots are drawn one at a time by one thread.
std::jmp_buf leavePlplot;
int plplotExits = 0;  // fatal errors in this plot so far: the first jump tidies, a second gives up
char plplotFatalMessage[160];

int clampedCount(int n) { return std::clamp(n, 0, PLOT_MAX_POINTS); }

// A title ends at its trailing blanks, or at a NUL (a name the header left unset).
int trimmedTitleLength(const char title[]) {
  return trimmedLength(title, static_cast<int>(strnlen(title, TITLE_LENGTH)));
}

// title[0..length) as PLplot shows it as written: '#', its text escape, doubled; text holds
// 2 length + 2 characters.
void copyTitle(const char title[], int length, char text[]) {
  int out = 0;
  for (int i = 0; i < length; ++i) {
    if (title[i] == '#') text[out++] = '#';
    text[out++] = title[i];
  }
  if (out == 0) text[out++] = ' ';
  text[out] = '\0';
}

void toPoints(const float values[], int n, PLFLT points[]) {
  for (int i = 0; i < n; ++i) points[i] = static_cast<PLFLT>(values[i]);
}

// PLplot's xwin screen goes on only after Return or a right click, and quits the whole process
// on "Q". Any key (other than a lone modifier) or any mouse button dismisses the plot instead.
void continueOnKey(PLGraphicsIn* input, void*, int* exitEventLoop) {
  const unsigned int keysym = input->keysym;
  const bool modifierOnly = keysym >= 0xffe1u && keysym <= 0xffeeu;  // Shift_L .. Hyper_R
  input->keysym = 0;  // nothing of PLplot's own key handling runs
  if (!modifierOnly) *exitEventLoop = 1;
}

void continueOnButton(PLGraphicsIn*, void*, int* exitEventLoop) { *exitEventLoop = 1; }

// PLplot calls this from plexit, just before it would end the process.
int jumpOutOfPlplot(const char* message) {
  if (plplotExits == 0) {
    std::snprintf(plplotFatalMessage, sizeof plplotFatalMessage, "%s",
                  message != nullptr ? message : "");
  }
  std::longjmp(leavePlplot, ++plplotExits);
}

// One plot as the library calls see it.
struct PageRequest {
  const PlotDevice* device;
  const char* fileName;  // nullptr unless a file device
  PlotRange range;
  int n;
  bool standardized;
  const PlotWork::Storage* work;
};

// Device, colours and the start of the library, in their documented order.
void openStream(const PageRequest& page) {
  plsdev(page.device->name);
  plscol0(COLOUR_BACKGROUND, 255, 255, 255);
  plscol0(COLOUR_FOREGROUND, 0, 0, 0);
  plscol0(COLOUR_GRID, 225, 225, 225);
  plscol0(COLOUR_SHADE, 255, 226, 190);
  plscolbg(255, 255, 255);
  if (page.device->interactive) {
    plspause(1);
    plsKeyEH(continueOnKey, nullptr);
    plsButtonEH(continueOnButton, nullptr);
    plsetopt("plwindow", page.work->windowTitle);
  } else {
    plspause(0);
  }
  if (page.fileName != nullptr) plsfnam(page.fileName);
  plinit();
}

// The page of one plot: box, labels and the three curves; plenv starts a new page. The one
// subpage is set on a stream's first page only: set again, it would put the next plot on the
// page before it.
void drawCurves(const PageRequest& page, bool firstPage) {
  const PlotWork::Storage& w = *page.work;
  plcol0(COLOUR_FOREGROUND);
  if (firstPage) plssub(1, 1);
  plenv(page.range.xMin, page.range.xMax, page.range.yMin, page.range.yMax, 0, 2);
  pllab("Years", page.standardized ? "Standard Normal Deviates" : "Original Data Units",
        w.plotTitle);
  pllsty(1);
  plwidth(1);
  plcol0(COLOUR_SERIES);
  plline(page.n, w.yearAxisPoints, w.observedPoints);
  plwidth(2);
  plcol0(COLOUR_SPLINE);
  plline(page.n, w.yearAxisPoints, w.smoothedPoints);
  plwidth(2);
  plcol0(COLOUR_FOREGROUND);
  plline(page.n, w.yearAxisPoints, w.levelPoints);
}

// The span [low, high] of values[0..n) that are not NaN, widened when it is a single point so
// that the library accepts it; false when every value is NaN.
bool valueSpan(const double values[], int n, double& low, double& high) {
  bool any = false;
  for (int i = 0; i < n; ++i) {
    if (std::isnan(values[i])) continue;
    low = any ? std::min(low, values[i]) : values[i];
    high = any ? std::max(high, values[i]) : values[i];
    any = true;
  }
  if (any && !(high > low)) {
    low -= 0.5;
    high += 0.5;
  }
  return any;
}

// A new page of a book, its window x0 .. x1, y0 .. y1.
void startPage(double x0, double x1, double y0, double y1, bool firstPage) {
  plcol0(COLOUR_FOREGROUND);
  if (firstPage) plssub(1, 1);
  pladv(0);
  plvsta();
  plwind(x0, x1, y0, y1);
}

// A book page's frame: the grid in light grey under the curves, the axes (with a right one
// unless `rightAxisOwn`) and the labels.
void drawFrame(bool rightAxisOwn, const char* yLabel, const char* title) {
  plcol0(COLOUR_GRID);
  plwidth(1);
  plbox("g", 0.0, 0, "g", 0.0, 0);
  plcol0(COLOUR_FOREGROUND);
  plbox("bcnst", 0.0, 0, rightAxisOwn ? "bnstv" : "bcnstv", 0.0, 0);
  pllab("Years", yLabel, title);
}

// A legend entry: a line of the colour and width, or a box of the colour.
struct LegendEntry {
  const char* text;
  int colour;
  double width;
  bool box;
};

constexpr int LEGEND_MOST = 3;

// The legend in one row inside the top right corner of the window, on white.
void drawLegend(const LegendEntry entries[], int count) {
  PLINT options[LEGEND_MOST], colours[LEGEND_MOST], styles[LEGEND_MOST], patterns[LEGEND_MOST];
  PLINT symbolNumbers[LEGEND_MOST], textColours[LEGEND_MOST];
  PLFLT widths[LEGEND_MOST], scales[LEGEND_MOST];
  const char* texts[LEGEND_MOST];
  const char* symbols[LEGEND_MOST];
  for (int i = 0; i < count; ++i) {
    options[i] = entries[i].box ? PL_LEGEND_COLOR_BOX : PL_LEGEND_LINE;
    colours[i] = entries[i].colour;
    widths[i] = entries[i].width;
    texts[i] = entries[i].text;
    styles[i] = 1;
    patterns[i] = 0;
    scales[i] = 0.8;
    symbolNumbers[i] = 0;
    symbols[i] = "";
    textColours[i] = COLOUR_FOREGROUND;
  }
  PLFLT width = 0.0;
  PLFLT height = 0.0;
  pllegend(&width, &height, PL_LEGEND_BACKGROUND | PL_LEGEND_BOUNDING_BOX,
           PL_POSITION_TOP | PL_POSITION_RIGHT | PL_POSITION_INSIDE, 0.01, 0.01, 0.06,
           COLOUR_BACKGROUND, COLOUR_FOREGROUND, 1, 1, count, count, options, 0.6, 0.7, 2.0, 0.0,
           textColours, texts, colours, patterns, scales, widths, colours, styles, widths, colours,
           scales, symbolNumbers, symbols);
}

// low .. high widened to hold values[0..n), NaN aside.
void widenToHold(const double values[], int n, double& low, double& high) {
  for (int i = 0; i < n; ++i) {
    if (std::isnan(values[i])) continue;
    low = std::min(low, values[i]);
    high = std::max(high, values[i]);
  }
}

// The window's y range for curves spanning low .. high: a margin below and room for the legend
// above; 0 .. 1 when there is nothing to show.
void makeRoom(double& low, double& high) {
  if (!(high >= low)) {
    low = 0.0;
    high = 1.0;
  }
  const double span = high > low ? high - low : 1.0;
  low -= 0.04 * span;
  high += 0.2 * span;
}

// A series page of a book: values, spline and level line over a light grid, with a legend.
void drawShownCurves(const PageRequest& page, bool firstPage) {
  const PlotWork::Storage& w = *page.work;
  double y0 = HUGE_VAL;
  double y1 = -HUGE_VAL;
  widenToHold(w.observedPoints, page.n, y0, y1);
  widenToHold(w.smoothedPoints, page.n, y0, y1);
  widenToHold(w.levelPoints, page.n, y0, y1);
  makeRoom(y0, y1);
  startPage(page.range.xMin, page.range.xMax, y0, y1, firstPage);
  drawFrame(false, page.standardized ? "Standard Normal Deviates" : "Original Data Units",
            w.plotTitle);
  const LegendEntry legend[] = {{"measured", COLOUR_SERIES, 1.0, false},
                                {"spline", COLOUR_SPLINE, 2.0, false},
                                {"mean", COLOUR_FOREGROUND, 1.0, false}};
  const PLFLT* curves[] = {w.observedPoints, w.smoothedPoints, w.levelPoints};
  for (int c = 0; c < 3; ++c) {
    plcol0(legend[c].colour);
    plwidth(legend[c].width);
    plline(page.n, w.yearAxisPoints, curves[c]);
  }
  drawLegend(legend, 3);
}

// The years where weak[] is not 0, shaded from y0 to y1: a box from half a year before each run
// of them to half a year after, within x0 .. x1.
void shadeWeakYears(const ChronologyCurves& c, double x0, double x1, double y0, double y1) {
  plcol0(COLOUR_SHADE);
  for (int from = 0; from < c.years;) {
    if (c.weak[from] == 0) {
      ++from;
      continue;
    }
    int to = from;
    while (to < c.years && c.weak[to] != 0) ++to;
    const PLFLT left = std::max(x0, c.yearAxis[from] - 0.5);
    const PLFLT right = std::min(x1, c.yearAxis[to - 1] + 0.5);
    PLFLT x[] = {left, right, right, left};
    PLFLT y[] = {y0, y0, y1, y1};
    plfill(4, x, y);
    from = to;
  }
}

// The chronology page: the weak years shaded, the level line, the index in the spline's colour
// against the left axis, broken where a year has none, and the sample depth in the series'
// colour against its own axis on the right; a legend. title[] takes the title as PLplot shows it.
void drawChronology(const ChronologyCurves& c, char title[], bool firstPage) {
  double x0 = 0.0, x1 = 0.0, y0 = HUGE_VAL, y1 = -HUGE_VAL, d0 = 0.0, d1 = 0.0;
  if (!valueSpan(c.yearAxis, c.years, x0, x1)) return;
  widenToHold(c.index, c.years, y0, y1);
  makeRoom(y0, y1);
  valueSpan(c.depth, c.years, d0, d1);
  copyTitle(c.title, static_cast<int>(strnlen(c.title, PAGE_TITLE_LENGTH)), title);
  startPage(x0, x1, y0, y1, firstPage);
  if (c.weak != nullptr) shadeWeakYears(c, x0, x1, y0, y1);
  drawFrame(true, "Index", title);
  plwidth(1);
  plcol0(COLOUR_FOREGROUND);
  const PLFLT levelX[] = {x0, x1};
  const PLFLT levelY[] = {c.level, c.level};
  plline(2, levelX, levelY);
  plwidth(2);
  plcol0(COLOUR_SPLINE);
  for (int from = 0; from < c.years;) {
    int to = from;
    while (to < c.years && !std::isnan(c.index[to])) ++to;
    if (to > from) plline(to - from, c.yearAxis + from, c.index + from);
    from = to + 1;
  }
  plwind(x0, x1, 0.0, d1 * 1.25);
  plwidth(1);
  plcol0(COLOUR_SERIES);
  plline(c.years, c.yearAxis, c.depth);
  plbox("", 0.0, 0, "cmstv", 0.0, 0);
  plmtex("r", 4.0, 0.5, 0.5, "Sample depth");
  const LegendEntry legend[] = {{c.indexLabel, COLOUR_SPLINE, 2.0, false},
                                {"sample depth", COLOUR_SERIES, 1.0, false},
                                {"EPS < 0.85", COLOUR_SHADE, 1.0, true}};
  drawLegend(legend, c.weak != nullptr ? 3 : 2);
}

// Runs `body` with PLplot's exit handler pointed at a jump back here, so that a fatal error of
// the library (a display that went away, a file it cannot write) ends this use of the library
// and not the program. Only PLplot's C frames lie between the jump and this function. Returns
// false, with the library's message in plplotFatalMessage, when that happened.
template <typename Body>
bool runGuarded(Body body) {
  plplotFatalMessage[0] = '\0';
  plplotExits = 0;
  plsexit(jumpOutOfPlplot);
  switch (setjmp(leavePlplot)) {
    case 0:
      body();
      return true;
    case 1:
      // Close the half-made stream; if that fails as well the second jump lands below.
      plend();
      return false;
    default:
      return false;
  }
}

void note(const PlotOutput& out, const std::string& text) { out.notes->line(text); }

// A file device must have a file it can write: PLplot would otherwise ask for a name on
// standard input, or retry and end the process. The plot goes to a temporary beside fileName,
// put in place once the plot is whole.
bool fileStarted(ReplacedFile& file, const char* fileName, const PlotOutput& out) {
  if (fileName == nullptr || fileName[0] == '\0') {
    note(out, " Plot not written: no file name for it.");
    return false;
  }
  if (const int failure = file.open(fileName); failure != 0) {
    const std::string why = std::string(fileName) + " (" + creationFailure(fileName, failure) + ")";
    note(out, " Plot not written: cannot create " + why + ".");
    return false;
  }
  return true;
}

// Puts a finished plot file in place; false, after a note, when the system refused.
bool fileCommitted(ReplacedFile& file, const char* fileName, const PlotOutput& out) {
  if (const int failure = file.commit(); failure != 0) {
    const std::string why = std::string(fileName) + " (" + std::strerror(failure) + ")";
    note(out, " Plot not written: cannot write " + why + ".");
    return false;
  }
  return true;
}

// The page's range, its range lines on the echo stream, and the curves copied for PLplot.
PageRequest preparePage(const SeriesCurves& c, const PlotOutput& out, PlotWork::Storage& w) {
  const int count = clampedCount(c.n);
  PageRequest page{out.device, nullptr, {}, count, c.standardized, &w};
  plotRange(c.observed, c.smoothed, count, c.startYear, page.range);
  fillYearAxis(count, c.startYear, w.yearAxis);
  if (out.echo != nullptr) writeRangeLines(page.range, out.echo);
  toPoints(w.yearAxis, count, w.yearAxisPoints);
  toPoints(c.observed, count, w.observedPoints);
  toPoints(c.smoothed, count, w.smoothedPoints);
  toPoints(c.level, count, w.levelPoints);
  if (c.pageTitle != nullptr) {
    copyTitle(c.pageTitle, static_cast<int>(strnlen(c.pageTitle, PAGE_TITLE_LENGTH)), w.plotTitle);
  } else {
    copyTitle(c.title, trimmedTitleLength(c.title), w.plotTitle);
  }
  // xwin goes on through our handlers; xcairo keeps PLplot's own rule.
  const bool anyKey = std::strcmp(out.device->name, "xwin") == 0;
  std::snprintf(w.windowTitle, sizeof w.windowTitle, "ringsmooth: %.*s (%s goes on)",
                trimmedTitleLength(c.title), c.title,
                anyKey ? "any key or click" : "Return or right click");
  // The range lines show before a window waits.
  if (out.echo != nullptr) std::fflush(out.echo);
  return page;
}

}  // namespace

void plot1(const float observed[], const float smoothed[], const float level[], int n,
           int startYear, const char title[NAME_LENGTH], bool standardized,
           const PlotOutput& output, const char* fileName, PlotWork& work) {
  const SeriesCurves curves{observed, smoothed, level, n, startYear, title, standardized};
  PageRequest page = preparePage(curves, output, work.storage());
  const bool toFile = output.device->extension[0] != '\0';
  ReplacedFile file;
  if (toFile) {
    if (!fileStarted(file, fileName, output)) return;
    page.fileName = file.writtenName();
  }
  const bool finished = runGuarded([&] {
    openStream(page);
    drawCurves(page, true);
    plend();
  });
  if (!finished) {
    note(output, std::string(" Plot stopped: PLplot reported \"") + plplotFatalMessage + "\".");
  } else if (toFile && fileCommitted(file, fileName, output)) {
    output.notes->note(
        Note(NoteKind::PlotFile, std::string(" Plot written to ") + fileName, fileName));
  }
}

// A page of the book: the stream is opened for the first one.
template <typename Draw>
void PlotBook::addPage(const char* windowTitle, Draw draw) {
  if (failed_) return;
  PageRequest opening{output_.device, nullptr, {}, 0, false, &work_.storage()};
  if (!open_) {
    if (!fileStarted(file_, fileName_.c_str(), output_)) {
      failed_ = true;
      return;
    }
    opening.fileName = file_.writtenName();
    char* title = work_.storage().windowTitle;
    if (windowTitle != title) {
      std::snprintf(title, sizeof work_.storage().windowTitle, "%s", windowTitle);
    }
  }
  const bool first = !open_;
  const bool drawn = runGuarded([&] {
    if (first) openStream(opening);
    draw(first);
  });
  open_ = true;
  if (!drawn) {
    failed_ = true;
    open_ = false;
    file_.discard();
    note(output_, std::string(" Plots stopped: PLplot reported \"") + plplotFatalMessage + "\".");
    return;
  }
  ++pages_;
}

void PlotBook::page(const SeriesCurves& curves) {
  if (failed_) return;
  const PageRequest page = preparePage(curves, output_, work_.storage());
  addPage(work_.storage().windowTitle, [&](bool first) { drawShownCurves(page, first); });
}

void PlotBook::chronologyPage(const ChronologyCurves& curves) {
  addPage("ringsmooth: chronology",
          [&](bool first) { drawChronology(curves, work_.storage().plotTitle, first); });
}

void PlotBook::close() {
  if (!open_) return;
  open_ = false;
  const bool finished = runGuarded([] { plend(); });
  if (!finished) {
    file_.discard();
    note(output_, std::string(" Plots stopped: PLplot reported \"") + plplotFatalMessage + "\".");
    return;
  }
  if (!fileCommitted(file_, fileName_.c_str(), output_)) return;
  const std::string what = fileName_ + " (" + std::to_string(pages_) +
                           (pages_ == 1 ? " page)" : " pages)");
  note(output_, " Plots written to " + what);
}

PlotBook::~PlotBook() {
  // A book left open by a run that stopped is ended quietly; its file is not put in place.
  if (open_) runGuarded([] { plend(); });
}

}  // namespace ringsmooth
