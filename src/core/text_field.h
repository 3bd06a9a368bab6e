#pragma once
// Fixed-width, blank-padded text fields (series names, file names typed at the console).
#include <string>

namespace ringsmooth {

// The length of field[0..width) without its trailing blanks.
int trimmedLength(const char* field, int width);

// The field without its trailing blanks.
std::string trimmedText(const char* field, int width);

// The text with its control bytes (below 0x20, and 0x7f) shown as '?', so that bytes from an
// input file never act on the user's terminal.
std::string printable(std::string text);

// Copies text into field[0..width), cut to width and padded with blanks; no terminator.
void setField(char* field, int width, const std::string& text);

}  // namespace ringsmooth
