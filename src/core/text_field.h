#pragma once
// Fixed-width, blank-padded text fields (series names, file names typed at the console).
#include <string>

namespace ringsmooth {

// The length of field[0..width) without its trailing blanks.
int trimmedLength(const char* field, int width);

// The field without its trailing blanks.
std::string trimmedText(const char* field, int width);

// Copies text into field[0..width), cut to width and padded with blanks; no terminator.
void setField(char* field, int width, const std::string& text);

}  // namespace ringsmooth
