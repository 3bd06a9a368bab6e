#pragma once
// The series CSV (RFC 4180): the header series,year,value,spline,residual,index,filled, then one
// row per listed year. The floats are the shortest decimals that read back as the same floats,
// the index the shortest that reads back as the same double (output/shortest_decimal.h). A
// filled year has an empty value and residual (R and pandas read NA), a year without an index
// an empty index, and `filled` is 1 or 0. A name is quoted, its quotes doubled, when it holds a
// comma, a quote or a line end, or begins with a blank.
#include "output/series_output_file.h"

namespace ringsmooth {

class SeriesCsv final : public SeriesOutputFile {
 public:
  SeriesCsv() : SeriesOutputFile("the CSV output") {}
  long blockCapacity() const override;
  long formatBlock(const BlockColumns& columns, char* text) const override;

 private:
  std::string_view header() const override;
};

}  // namespace ringsmooth
