#pragma once
// Free-form reading of a text stream, the way every number typed at the console and the whole
// input table are read:
//   - a reading takes a fixed number of items, begins at the start of a new line, goes on over
//     further lines until it has them, and then discards the rest of the last line it used;
//   - items are separated by blanks, tabs, one comma (blanks or tabs around it allowed) or a
//     line end; in a file, CR LF, LF and a CR not followed by LF each end a line (so files from
//     Windows, Unix and the classic Mac read alike), and a UTF-8 byte-order mark at its very
//     start is skipped; at the console a carriage return is dropped wherever it stands;
//   - a number: optional sign, digits with an optional decimal point, optional exponent (E or D,
//     either case, optionally signed digits); a token starting (after an optional sign) with
//     I or N, either case, is an infinity or a NaN whatever follows, and runs to the next blank,
//     tab, comma or line end, slashes included (N/A and n/a are one NaN);
//   - a whole number: optional sign and digits only;
//   - r*v stands for r items equal to v; r* for r empty items;
//   - an empty item (nothing between two commas) leaves its destination unchanged;
//   - a slash ends the reading at once: items not yet filled keep their contents;
//   - a name may be quoted with ' or ", may then hold blanks, commas and slashes, and the quote
//     mark written twice stands for one; an unquoted name ends at a blank, tab, comma, slash
//     or line end.
// Numbers convert correctly rounded to the destination's precision (double for cells, float
// for the missing-value flag).
//
// Choices where the rules above leave room:
//   - a comma with no item before it since the reading began or since the last comma is an
//     empty item (",5" is an empty item and 5); a line end counts as a blank;
//   - repeat count 0 (0*5) is an input error; a repeat standing for more items than the
//     reading still needs fills what is needed and the rest is discarded with the line;
//   - a number too large for its destination (1e400; 1e39 for a float) is an input error
//     "Number out of range"; one too small (1e-400) becomes a zero of its sign, the correctly
//     rounded result;
//   - a token longer than TOKEN_LIMIT (1024) characters is an input error;
//   - a quoted name must close on its line: a mark still open at the end of its line or of
//     the input is an input error "Quote not closed"; text right after a closing mark begins
//     the next item.
//
// The reader allocates its buffer once, never per item or per line, and streams: a line may be
// far longer than the buffer. Malformed input raises InputError (core/run_error.h) naming the
// source and, for a file, the line.
#include <cstdio>

#include "core/run_error.h"

namespace ringsmooth {

class FreeFormReader {
 public:
  // Console readers fetch stdin one line at a time, never reading ahead of the line being
  // used, so that any other reader of the same FILE* (a pause for Return) sees the next line.
  // File readers fill a fixed 1 MiB buffer. The stream stays the caller's (not closed here).
  enum class Kind { Console, File };
  FreeFormReader(std::FILE* stream, Kind kind);
  ~FreeFormReader();
  FreeFormReader(const FreeFormReader&) = delete;
  FreeFormReader& operator=(const FreeFormReader&) = delete;

  // Every reading returns false when the end of the input comes before it has all its items
  // (the caller decides whether that is an error); true otherwise, also after a slash.

  // One line as text, not free-form: its first `width` characters (CR dropped), blank-padded.
  bool readText(char* field, int width);
  // One whole number (sign and digits only). A token with a decimal point, exponent or
  // letter raises InputError with ILLEGAL_NUMERIC. Out of range of int: InputError.
  bool readWholeNumber(int& value);
  // One number, correctly rounded to single precision.
  bool readSingle(float& value);
  // `count` names of `width` characters each (first `width` kept, blank-padded).
  bool readNames(char* names, int count, int width);
  // `count` numbers, correctly rounded to double, into cells[0], cells[stride], ...
  // A malformed token raises InputError with ILLEGAL_NUMERIC.
  bool readNumbers(double* cells, int count, int stride);
  // The same for table cells, which the program later carries in single precision: an
  // infinity, or a number whose decimal text rounds to a single-precision infinity (1e39),
  // raises InputError with NUMBER_OUT_OF_RANGE naming its line and token; one whose text rounds
  // to FLT_MAX is FLT_MAX, even where its nearest double would round to infinity. A NaN is read
  // as it is.
  bool readCells(double* cells, int count, int stride);

  // For a table whose column count nobody gave, a reading of one whole line: it begins on a new
  // line as every reading does (lines empty or blank before it passed over) and takes every item
  // of the line of its first item, up to the line's end or a slash, by the rules of readNames
  // or readCells. The first `count` items are stored as those store them; the rest are only
  // checked and counted.
  struct LineItems {
    bool found = false;         // false: the input ended before the line's first item
    long items = 0;             // the items of the line (r*v counts r, an empty item 1)
    bool endedBySlash = false;  // a slash ended the line's reading
  };
  LineItems readNamesOfLine(char* names, int count, int width);
  LineItems readCellsOfLine(double* cells, int count, int stride);

  // Line number (from 1) of the last line a reading used; for error headings.
  long lineNumber() const;
  // Line number (from 1) where the last reading found its first item; 0 before any item.
  long readingStartLine() const;
  // "Input error in a console answer" or "Input error in the input table, line N".
  InputError error(const char* message, const char* detail = "") const;
  // The same report for a given line of the file (a console reader ignores `line`).
  InputError errorAtLine(long line, const char* message, const char* detail = "") const;

 private:
  struct State;
  State* state_;
};

}  // namespace ringsmooth
