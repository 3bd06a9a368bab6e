#pragma once
// Fixed-width, blank-padded text fields (series names, file names typed at the console).
#include <cstddef>
#include <string>
#include <string_view>

namespace ringsmooth {

// The length of field[0..width) without its trailing blanks.
int trimmedLength(const char* field, int width);

// The field without its trailing blanks.
std::string trimmedText(const char* field, int width);

// The text with its control bytes (below 0x20, and 0x7f) shown as '?', so that bytes from an
// input file never act on the user's terminal.
std::string printable(std::string text);

// Whether a and b are the same text when the ASCII capitals are read as small letters (IDs and
// file name endings); other bytes compare as they are.
bool equalIgnoringCase(std::string_view a, std::string_view b);

// The length of the UTF-8 character at text[0..size), or 0 when no valid character starts there
// (a stray continuation byte, an overlong form, a surrogate, a cut sequence).
std::size_t utf8Length(const unsigned char* text, std::size_t size);

// The length of the longest start of text[0..size) of at most `limit` bytes that does not end
// inside a UTF-8 character, so that a name cut to its field never ends in half a character.
// A byte that begins no valid character counts as a character of its own (Latin-1 text is cut
// by bytes).
std::size_t characterPrefix(const char* text, std::size_t size, std::size_t limit);

// Copies text into field[0..width), cut at a character boundary to at most width bytes and
// padded with blanks; no terminator.
void setField(char* field, int width, const std::string& text);

}  // namespace ringsmooth
