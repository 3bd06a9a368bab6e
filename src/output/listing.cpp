#include "output/listing.h"

#include <cstring>

#include "core/capacities.h"
#include "output/fixed_field.h"

namespace ringsmooth {
namespace {

constexpr int LINE_LENGTH = 29;  // year in 5 columns, three values in 8 each
constexpr char HEADER[] = " year  unfilt  spline  resids";
constexpr char NAME_LEAD[] = " Input series is: ";
constexpr long BLOCK_CAPACITY =
    1 + (sizeof NAME_LEAD - 1) + NAME_LENGTH + 1 + LINE_LENGTH + 1 + MAX_YEARS * (LINE_LENGTH + 1L);

}  // namespace

long Listing::blockCapacity() const { return BLOCK_CAPACITY; }

long Listing::formatBlock(const BlockColumns& c, char* text) const {
  char* out = text;
  *out++ = '\n';
  std::memcpy(out, NAME_LEAD, sizeof NAME_LEAD - 1);
  out += sizeof NAME_LEAD - 1;
  std::memcpy(out, c.name, NAME_LENGTH);
  out += NAME_LENGTH;
  *out++ = '\n';
  std::memcpy(out, HEADER, LINE_LENGTH);
  out += LINE_LENGTH;
  *out++ = '\n';
  for (int i = 0; i < c.n; ++i) {
    c.residuals[i] = c.listed[i] - c.smoothed[i];
    integerField(out, 5, static_cast<long long>(c.firstYear) + i);
    fixedField(out + 5, c.listed[i]);
    fixedField(out + 13, c.smoothed[i]);
    fixedField(out + 21, c.residuals[i]);
    out[LINE_LENGTH] = '\n';
    out += LINE_LENGTH + 1;
  }
  return out - text;
}

}  // namespace ringsmooth
