#include "core/text_field.h"

#include <cstring>

namespace ringsmooth {

int trimmedLength(const char* field, int width) {
  int length = width > 0 ? width : 0;
  while (length > 0 && field[length - 1] == ' ') --length;
  return length;
}

std::string trimmedText(const char* field, int width) {
  return std::string(field, static_cast<std::size_t>(trimmedLength(field, width)));
}

std::string printable(std::string text) {
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) c = '?';
  }
  return text;
}

void setField(char* field, int width, const std::string& text) {
  const std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
  const std::size_t n = text.size() < w ? text.size() : w;
  std::memcpy(field, text.data(), n);
  std::memset(field + n, ' ', w - n);
}

}  // namespace ringsmooth
