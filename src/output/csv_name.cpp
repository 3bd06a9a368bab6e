#include "output/csv_name.h"

#include <cstring>

#include "core/text_field.h"

namespace ringsmooth {

int csvName(const char name[NAME_LENGTH], char out[CSV_NAME_CAPACITY]) {
  const int length = trimmedLength(name, NAME_LENGTH);
  bool quote = length > 0 && name[0] == ' ';
  for (int i = 0; i < length; ++i) {
    const char c = name[i];
    quote = quote || c == ',' || c == '"' || c == '\r' || c == '\n';
  }
  if (!quote) {
    std::memcpy(out, name, static_cast<std::size_t>(length));
    return length;
  }
  int at = 0;
  out[at++] = '"';
  for (int i = 0; i < length; ++i) {
    if (name[i] == '"') out[at++] = '"';
    out[at++] = name[i];
  }
  out[at++] = '"';
  return at;
}

}  // namespace ringsmooth
