#pragma once
// The output listing: for each series an empty line, " Input series is: " and its 20-character
// name, the column header " year  unfilt  spline  resids", and one 29-character line per year:
// the year in 5 columns, then the value, the spline and the residual in 8 columns each with 3
// decimals (output/fixed_field.h). The dialogue and a batch run write it alike.
#include "output/series_output_file.h"

namespace ringsmooth {

class Listing final : public SeriesOutputFile {
 public:
  Listing() : SeriesOutputFile("the output listing") {}
  long blockCapacity() const override;
  long formatBlock(const BlockColumns& columns, char* text) const override;
};

}  // namespace ringsmooth
