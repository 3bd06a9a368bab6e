#include "core/text_field.h"

#include <algorithm>
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

namespace {

char lowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return lowerCase(x) == lowerCase(y); });
}

std::size_t utf8Length(const unsigned char* text, std::size_t size) {
  const unsigned char lead = text[0];
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;  // the range of the second byte, narrower for some leads
  unsigned char high = 0xbf;
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3;
    if (lead == 0xe0) low = 0xa0;   // no overlong forms
    if (lead == 0xed) high = 0x9f;  // no surrogates
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4;
    if (lead == 0xf0) low = 0x90;
    if (lead == 0xf4) high = 0x8f;  // nothing beyond U+10FFFF
  } else {
    return 0;
  }
  if (size < length || text[1] < low || text[1] > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (text[i] < 0x80 || text[i] > 0xbf) return 0;
  }
  return length;
}

std::size_t characterPrefix(const char* text, std::size_t size, std::size_t limit) {
  if (size <= limit) return size;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  std::size_t at = 0;
  while (at < limit) {
    const std::size_t length = std::max<std::size_t>(utf8Length(bytes + at, size - at), 1);
    if (at + length > limit) break;
    at += length;
  }
  return at;
}

void setField(char* field, int width, const std::string& text) {
  const std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
  const std::size_t n = characterPrefix(text.data(), text.size(), w);
  std::memcpy(field, text.data(), n);
  std::memset(field + n, ' ', w - n);
}

}  // namespace ringsmooth
