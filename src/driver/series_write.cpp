#include "driver/series_write.h"

#include <algorithm>
#include <string>

#include "core/run_error.h"
#include "core/text_field.h"
#include "output/filter_echo.h"

namespace ringsmooth {

static_assert(PLOT_MAX_POINTS == MAX_YEARS, "a plot draws every year a series can have");

namespace {

// "1 year" or "N years".
std::string yearsText(int count) {
  return std::to_string(count) + (count == 1 ? " year" : " years");
}

}  // namespace

void SeriesWriter::noteSkipped(const SeriesResult& s, NoteKind kind, const char* why) {
  out_.notes->seriesNote(s.k + 1, table_.seriesName[s.k], std::string(why) + "; no result block.",
                         kind);
  ++out_.tally->skipped;
}

// The run stops at a series too long for the spline: the dialogue shows the spline's own
// message; a batch run says which series stopped it.
void SeriesWriter::stopTooLong(const SeriesResult& s) {
  if (out_.dialogue) {
    out_.notes->asItStands(
        "\n"
        " *** series too long for spline subroutine ***\n"
        "  *** enlarge mxy parameter in subroutine ***\n"
        "\n");
  } else {
    out_.notes->seriesNote(s.k + 1, table_.seriesName[s.k],
                           tooLongForSpline(s.n, s.plan) + "; the table stops here.");
  }
  throw SeriesTooLong();
}

// The plot over the span as the reader delivered it: the years trimmed at either end are
// drawn at the series' level.
void SeriesWriter::plotWidestRange(const SeriesResult& s, const char* fileName) {
  const float mean = s.seriesMean;
  std::fill(plotValues_, plotValues_ + MAX_YEARS, 0.0f);
  std::fill(plotSmoothed_, plotSmoothed_ + MAX_YEARS, 0.0f);
  std::fill(plotLevel_, plotLevel_ + MAX_YEARS, mean);
  for (int i = 0; i < s.n; ++i) {
    plotValues_[i + s.leadingMissing] = s.workSeries[i];
    plotSmoothed_[i + s.leadingMissing] = s.smoothedSeries[i];
  }
  for (int i = 0; i < s.leadingMissing; ++i) plotValues_[i] = plotSmoothed_[i] = mean;
  for (int i = s.leadingMissing + s.n; i < s.untrimmedCount; ++i) {
    plotValues_[i] = plotSmoothed_[i] = mean;
  }
  draw(SeriesCurves{plotValues_, plotSmoothed_, plotLevel_, s.untrimmedCount,
                    s.untrimmedFirstYear, table_.seriesName[s.k],
                    settings_.scaling == Scaling::Standardize, pageTitle(s)},
       fileName);
}

// A book page's title: "CAM011 - ca533, spline 67% = 304 years" ("spline 30 years" for a cutoff
// in years).
const char* SeriesWriter::pageTitle(const SeriesResult& s) {
  if (out_.book == nullptr) return nullptr;
  const std::string years = yearsText(s.plan.period);
  pageTitle_ = trimmedText(table_.seriesName[s.k], NAME_LENGTH) + " - " + out_.table +
               ", spline " +
               (settings_.cutoffPercent > 0
                    ? std::to_string(settings_.cutoffPercent) + "% = " + years
                    : years);
  return pageTitle_.c_str();
}

void SeriesWriter::draw(const SeriesCurves& curves, const char* fileName) {
  if (out_.book != nullptr) {
    out_.book->page(curves);
  } else {
    plot1(curves.observed, curves.smoothed, curves.level, curves.n, curves.startYear,
          curves.title, curves.standardized, plotOutput_, fileName, plotWork_);
  }
}

void SeriesWriter::plot(const SeriesResult& s) {
  const PlotSpan span = settings_.plotSpan;
  if (span == PlotSpan::None || out_.plotDevice == nullptr) return;
  char fileName[4096] = "";
  if (out_.book == nullptr) {
    plotFileName(*out_.plotDevice, out_.plotBase, s.k + 1, fileName, sizeof fileName);
  }
  if (span == PlotSpan::Listed) {
    draw(SeriesCurves{s.workSeries, s.smoothedSeries, s.levelLine, s.n, s.firstYear,
                      table_.seriesName[s.k], settings_.scaling == Scaling::Standardize,
                      pageTitle(s)},
         fileName);
  } else {
    plotWidestRange(s, fileName);
  }
}

// The notes of a listed series: its filled years, and ratio indices not taken against the spline.
void SeriesWriter::noteListed(const SeriesResult& s) {
  const char* name = table_.seriesName[s.k];
  if (s.filledCount > 0) {
    const std::string first = std::to_string(s.firstFilledYear);
    out_.notes->seriesNote(s.k + 1, name,
                           yearsText(s.filledCount) + " filled with the series mean, the first " +
                               first + ".",
                           NoteKind::Filled, " in " + first);
  }
  if (s.indexBase == IndexBase::Mean) {
    out_.notes->seriesNote(s.k + 1, name,
                           "the spline is not above 0 in every year: every ratio index is taken "
                           "against the series mean.",
                           NoteKind::RatioToMean);
  } else if (s.indexBase == IndexBase::None) {
    out_.notes->seriesNote(s.k + 1, name,
                           "no ratio index: neither the spline nor the series mean is above 0.",
                           NoteKind::NoRatioIndex);
  }
}

// The blocks, notes and plot of a smoothed series.
void SeriesWriter::writeListed(const SeriesResult& s) {
  for (const OutputFormat format : settings_.formats) {
    const int f = static_cast<int>(format);
    (*out_.outputs)[static_cast<std::size_t>(f)]->writeText(s.blockText[f].get(), s.blockSize[f]);
  }
  noteListed(s);
  if (out_.indexStore != nullptr) {
    out_.indexStore->firstYear[s.k] = s.firstYear;
    out_.indexStore->yearCount[s.k] = s.n;
    out_.indexStore->taking[s.k] = 1;
  }
  ++out_.tally->listed;
  if (s.n < s.plan.period) ++out_.tally->shorterThanCutoff;
  plot(s);
}

void SeriesWriter::writeSeries(const SeriesResult& s) {
  const SmoothingPlan& plan = s.plan;
  switch (s.outcome) {
    case SeriesOutcome::NoValue:
      return noteSkipped(s, NoteKind::NoValue, "no value present");
    case SeriesOutcome::NoSpread:
      return noteSkipped(s, NoteKind::NoSpread,
                         "standard deviation 0 or undefined, cannot standardize");
    case SeriesOutcome::TooLarge:
      return noteSkipped(s, NoteKind::TooLarge, "values too large for a single-precision mean");
    default:
      break;
  }
  // A filter longer than the storage can only belong to a series far too long for the spline:
  // the stop below comes before any coefficient is shown.
  if (out_.echo != nullptr && plan.filterOrder >= 1) {
    writeFilterEcho(out_.echo, plan.filterOrder,
                    plan.filterFits() ? s.filterCoefficients : nullptr);
  }
  switch (s.outcome) {
    case SeriesOutcome::TooLong:
      return stopTooLong(s);
    case SeriesOutcome::TooShort:
      return noteSkipped(s, NoteKind::TooShort, "too short to smooth");
    case SeriesOutcome::NotSolved:
      // The spline's own words, with the console echo; the series' note says it otherwise.
      if (out_.echo != nullptr) {
        out_.notes->asItStands(">> sbr spline: matrix not positive definite\n");
      }
      return noteSkipped(s, NoteKind::NotSolved, "the spline could not be solved");
    default:
      return writeListed(s);
  }
}

void SeriesWriter::write(const SeriesBatch& batch) {
  for (int i = 0; i < batch.count; ++i) {
    if (out_.stop != nullptr && out_.stop->load()) throw RunStopped();
    writeSeries(batch.series[i]);
    if (out_.progress != nullptr) out_.progress->seriesDone(batch.first + i + 1);
  }
}

}  // namespace ringsmooth
