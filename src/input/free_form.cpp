#include "input/free_form.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

#include "core/text_field.h"
#include "input/number_token.h"

namespace ringsmooth {
namespace {

constexpr std::size_t FILE_BUFFER_SIZE = std::size_t{1} << 20;
constexpr std::size_t CONSOLE_BUFFER_SIZE = 4096;
constexpr std::size_t QUOTED_TOKEN_LENGTH = 60;  // longest token quoted in an error detail
// A name is read this many bytes beyond its field, to see whether the character at the cut ends
// inside the field (a UTF-8 character has at most 4 bytes).
constexpr std::size_t UTF8_TAIL = 3;

// Character classes of free-form input. The two token classes come first so that a token scan
// is one comparison per character.
enum CharClass : unsigned char {
  TOKEN_CHAR = 0,
  STAR_CHAR = 1,  // part of a token; marks a repeat r*v
  BLANK_CHAR,     // blank or tab
  COMMA_CHAR,
  SLASH_CHAR,
  NEWLINE_CHAR,
  RETURN_CHAR,  // carriage return: dropped wherever it stands
};

struct ClassTable {
  unsigned char of[256];
  constexpr ClassTable() : of{} {
    for (auto& c : of) c = TOKEN_CHAR;
    of[static_cast<unsigned char>('*')] = STAR_CHAR;
    of[static_cast<unsigned char>(' ')] = BLANK_CHAR;
    of[static_cast<unsigned char>('\t')] = BLANK_CHAR;
    of[static_cast<unsigned char>(',')] = COMMA_CHAR;
    of[static_cast<unsigned char>('/')] = SLASH_CHAR;
    of[static_cast<unsigned char>('\n')] = NEWLINE_CHAR;
    of[static_cast<unsigned char>('\r')] = RETURN_CHAR;
  }
};
constexpr ClassTable CLASSES;

inline unsigned char classOf(char c) { return CLASSES.of[static_cast<unsigned char>(c)]; }

// What the separator scan found in front of the next item.
enum class Item { Token, Empty, Slash, LineEnd, End };

// A token cut out of the input: points into the reader's buffer when it lay there whole,
// otherwise into the reader's token buffer.
struct Token {
  const char* text;
  std::size_t length;
  bool hasStar;
};

// A number token whose value (after a repeat's r* and a sign) begins with I or N is an infinity
// or a NaN whatever follows, so a slash met at `end` is part of it ("N/A", "n/a", "2*N/A")
// rather than the end of the reading. `value` is where the value begins: just after the token's
// first star, or its first character. Constant time, so that a token scan stays linear however
// many slashes it meets.
bool slashBelongsTo(const char* value, const char* end) {
  if (value < end && (*value == '+' || *value == '-')) ++value;
  if (value >= end) return false;
  const char c = *value;
  return c == 'N' || c == 'n' || c == 'I' || c == 'i';
}

// `"text"`, cut to a readable length, for error details.
std::string quoted(const char* text, std::size_t length) {
  std::string out = "\"";
  out.append(text, std::min(length, QUOTED_TOKEN_LENGTH));
  if (length > QUOTED_TOKEN_LENGTH) out += "...";
  out += '"';
  return out;
}

}  // namespace

struct FreeFormReader::State {
  std::FILE* stream;
  Kind kind;
  std::size_t capacity;
  char* buffer;
  std::size_t pos = 0;
  std::size_t len = 0;
  long line = 1;              // line of the character at buffer[pos]
  char lastByte = '\n';       // last byte of the previous buffer fill, for the line at the end
  long itemLine = 0;          // line of the latest item or of the end of input
  long readingFirstLine = 0;  // line of the current reading's first item
  bool afterValue = false;    // a value was read since the last comma: the next comma separates
  bool wholeLine = false;     // the reading ends with the line of its first item
  bool atFileStart = true;       // no fill yet: a byte-order mark may come
  bool returnBeforeFill = false;  // the last fill ended in a CR, made LF: an LF next is its pair
  char token[TOKEN_LIMIT + 1];

  State(std::FILE* s, Kind k)
      : stream(s),
        kind(k),
        capacity(k == Kind::File ? FILE_BUFFER_SIZE : CONSOLE_BUFFER_SIZE),
        buffer(new char[capacity]) {}
  ~State() { delete[] buffer; }
  State(const State&) = delete;
  State& operator=(const State&) = delete;

  InputError errorAt(long where, const char* message, const std::string& detail) const {
    std::string heading = kind == Kind::Console
                              ? std::string("Input error in a console answer")
                              : "Input error in the input table, line " +
                                    std::to_string(std::max(where, 1L));
    return InputError{heading, message, detail};
  }
  InputError errorHere(const char* message, const std::string& detail) const {
    return errorAt(itemLine, message, detail);
  }

  // Fetches more input into the buffer. A console reader takes at most the rest of one line
  // (up to and including its line feed), so nothing beyond the line in use leaves the stream;
  // a file reader fills the whole buffer, skips a byte-order mark at the file's start and makes
  // every line end a lone LF. False at the end of the input; a read failure is an input error
  // with the system's own message. When true, the buffer holds at least one character at `pos`.
  bool refill() {
    do {
      if (len > 0) lastByte = buffer[len - 1];
      pos = 0;
      len = 0;
      if (kind == Kind::File) {
        len = std::fread(buffer, 1, capacity, stream);
        if (atFileStart) skipByteOrderMark();
        normalizeLineEnds();
      } else {
        while (len < capacity) {
          const int c = std::getc(stream);
          if (c == EOF) break;
          buffer[len++] = static_cast<char>(c);
          if (c == '\n') break;
        }
      }
    } while (len > 0 && pos == len);
    if (len > 0) return true;
    if (std::ferror(stream)) throw errorHere(std::strerror(errno), "");
    return false;
  }

  // Spreadsheets and editors on Windows may begin a UTF-8 file with EF BB BF; it is no part of
  // the first item.
  void skipByteOrderMark() {
    atFileStart = false;
    if (len >= 3 && std::memcmp(buffer, "\xEF\xBB\xBF", 3) == 0) pos = 3;
  }

  // In a file, CR LF and a CR alone each end a line: CR LF becomes LF and a lone CR becomes LF,
  // so the rest of the reader sees only LF. A CR that is the buffer's last character becomes LF
  // at once; an LF that begins the next fill is then its partner and is passed over. A buffer
  // without a CR costs one memchr.
  void normalizeLineEnds() {
    if (returnBeforeFill) {
      returnBeforeFill = false;
      if (pos < len && buffer[pos] == '\n') ++pos;
    }
    char* const end = buffer + len;
    char* in = static_cast<char*>(std::memchr(buffer + pos, '\r', len - pos));
    if (in == nullptr) return;
    char* out = in;
    while (in < end) {  // *in is a CR: write its line end, then move the text up to the next CR
      if (in + 1 == end) {
        returnBeforeFill = true;
        *out++ = '\n';
        break;
      }
      if (in[1] != '\n') *out++ = '\n';
      ++in;
      char* next = static_cast<char*>(std::memchr(in, '\r', static_cast<std::size_t>(end - in)));
      if (next == nullptr) next = end;
      std::memmove(out, in, static_cast<std::size_t>(next - in));
      out += next - in;
      in = next;
    }
    len = static_cast<std::size_t>(out - buffer);
  }

  // At the end of the input: the line of the last character the input held.
  void noteEnd() { itemLine = lastByte == '\n' ? line - 1 : line; }

  void beginReading(bool toLineEnd) {
    afterValue = false;
    readingFirstLine = 0;
    wholeLine = toLineEnd;
  }

  // Passes over blanks, tabs, carriage returns, line ends and separating commas up to the next
  // item. An Item::Token leaves `pos` on the token's first character. A reading of a whole line
  // gets Item::LineEnd, its line feed taken, at the end of the line of its first item.
  Item nextItem() {
    for (;;) {
      if (pos == len && !refill()) {
        noteEnd();
        return Item::End;
      }
      const unsigned char cls = classOf(buffer[pos]);
      if (cls == BLANK_CHAR || cls == RETURN_CHAR) {
        ++pos;
        continue;
      }
      if (cls == NEWLINE_CHAR) {
        ++pos;
        ++line;
        if (wholeLine && readingFirstLine != 0) return Item::LineEnd;
        continue;
      }
      itemLine = line;
      if (readingFirstLine == 0) readingFirstLine = line;
      if (cls == COMMA_CHAR) {
        ++pos;
        if (afterValue) {
          afterValue = false;
          continue;
        }
        return Item::Empty;
      }
      if (cls == SLASH_CHAR) {
        ++pos;
        return Item::Slash;
      }
      afterValue = true;
      return Item::Token;
    }
  }

  // Discards the rest of the current line, its line feed included.
  void skipRestOfLine() {
    for (;;) {
      if (pos == len && !refill()) return;
      const void* newline = std::memchr(buffer + pos, '\n', len - pos);
      if (newline != nullptr) {
        pos = static_cast<std::size_t>(static_cast<const char*>(newline) - buffer) + 1;
        ++line;
        return;
      }
      pos = len;
    }
  }

  [[noreturn]] void throwTooLong(const char* message) const {
    throw errorHere(message, "an item longer than " + std::to_string(TOKEN_LIMIT) +
                                 " characters, beginning " + quoted(token, TOKEN_LIMIT));
  }

  // Cuts out the unquoted number token at `pos` (ending at a blank, tab, comma, slash, line end
  // or the end of input; a slash does not end an infinity or a NaN, see slashBelongsTo). In
  // place when it lies whole in the buffer; otherwise gathered, carriage returns dropped, into
  // `token`. Tokens longer than TOKEN_LIMIT raise `tooLongMessage`.
  Token takeToken(const char* tooLongMessage) {
    const char* start = buffer + pos;
    const char* end = buffer + len;
    const char* q = start;
    const char* value = start;  // after the first star, once there is one
    unsigned char stars = 0;
    unsigned char cls = 0;
    for (;;) {
      while (q < end && (cls = classOf(*q)) <= STAR_CHAR) {
        if (cls > stars) value = q + 1;  // the first star
        stars |= cls;
        ++q;
      }
      if (q == end || cls != SLASH_CHAR || !slashBelongsTo(value, q)) break;
      ++q;
    }
    const std::size_t length = static_cast<std::size_t>(q - start);
    if (q < end && cls != RETURN_CHAR) {
      pos += length;
      if (length > TOKEN_LIMIT) {
        std::memcpy(token, start, TOKEN_LIMIT);
        throwTooLong(tooLongMessage);
      }
      return Token{start, length, stars != 0};
    }
    return gatherToken(tooLongMessage);
  }

  // The character at the reading position and its class, carriage returns passed over (they
  // are dropped wherever they stand); false at the end of the input.
  bool peekSignificant(char& c, unsigned char& cls) {
    for (;;) {
      if (pos == len && !refill()) return false;
      c = buffer[pos];
      cls = classOf(c);
      if (cls != RETURN_CHAR) return true;
      ++pos;
    }
  }

  // The slow road of takeToken: the token runs into the end of the buffer or holds a carriage
  // return.
  Token gatherToken(const char* tooLongMessage) {
    std::size_t length = 0;
    std::size_t valueAt = 0;  // after the first star, once there is one
    bool hasStar = false;
    for (;;) {
      char c = 0;
      unsigned char cls = 0;
      if (!peekSignificant(c, cls)) break;
      if (cls > STAR_CHAR &&
          (cls != SLASH_CHAR || !slashBelongsTo(token + valueAt, token + length))) {
        break;
      }
      if (length == TOKEN_LIMIT) throwTooLong(tooLongMessage);
      if (cls == STAR_CHAR && !hasStar) {
        hasStar = true;
        valueAt = length + 1;
      }
      token[length++] = c;
      ++pos;
    }
    return Token{token, length, hasStar};
  }

  // The r of a repeat r*v: unsigned digits, at least 1. Saturates far above any item count.
  std::size_t repeatCount(const Token& t, std::size_t starAt) const {
    std::size_t count = 0;
    for (std::size_t i = 0; i < starAt; ++i) {
      const char c = t.text[i];
      if (!isDigit(c)) {
        throw errorHere(ILLEGAL_NUMERIC, quoted(t.text, t.length) + " is not a number");
      }
      count = withDigit(count, c);
    }
    if (starAt == 0) {
      throw errorHere(ILLEGAL_NUMERIC, quoted(t.text, t.length) + " is not a number");
    }
    if (count == 0) {
      throw errorHere(ILLEGAL_NUMERIC,
                      "repeat count 0 in " + quoted(t.text, t.length) + ": it must be 1 or more");
    }
    return count;
  }

  void convert(const char* text, std::size_t length, double& value) const {
    report(parseDouble(text, length, value), text, length, "is not a number");
  }
  void convert(const char* text, std::size_t length, float& value) const {
    report(parseFloat(text, length, value), text, length, "is not a number");
  }
  void convert(const char* text, std::size_t length, int& value) const {
    report(parseWhole(text, length, value), text, length,
           "is not a whole number (sign and digits only)");
  }
  void report(TokenStatus status, const char* text, std::size_t length,
              const char* what) const {
    if (status == TokenStatus::Ok) return;
    if (status == TokenStatus::OutOfRange) {
      throw errorHere(NUMBER_OUT_OF_RANGE,
                      quoted(text, length) + " is too large for the program's numbers");
    }
    throw errorHere(ILLEGAL_NUMERIC, quoted(text, length) + " " + what);
  }

  // The common table cell, a plain decimal (optional sign, at most 19 digits with an optional
  // point, no exponent, no repeat) lying whole in the buffer, converted in one pass: its digits
  // as an integer m below 2^53 divided by 10^f (f <= 22) are two exact doubles, so the one
  // division is correctly rounded, the same result from_chars gives. Anything else returns
  // false with `pos` unchanged, for the general road.
  bool takePlainDecimal(double& value) {
    static constexpr double POWERS_OF_TEN[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* p = buffer + pos;
    const char* const end = buffer + len;
    const bool negative = *p == '-';
    if (negative || *p == '+') ++p;
    std::uint64_t mantissa = 0;
    const char* q = p;
    while (q < end && isDigit(*q)) {
      mantissa = mantissa * 10 + static_cast<unsigned>(*q - '0');
      ++q;
    }
    std::ptrdiff_t digits = q - p;
    std::ptrdiff_t fractionDigits = 0;
    if (q < end && *q == '.') {
      const char* fraction = ++q;
      while (q < end && isDigit(*q)) {
        mantissa = mantissa * 10 + static_cast<unsigned>(*q - '0');
        ++q;
      }
      fractionDigits = q - fraction;
      digits += fractionDigits;
    }
    if (digits == 0 || digits > 19 || q == end) return false;
    const unsigned char cls = classOf(*q);
    if (cls <= STAR_CHAR || cls == RETURN_CHAR) return false;
    if (mantissa > (std::uint64_t{1} << 53) || fractionDigits > 22) return false;
    const double magnitude = static_cast<double>(mantissa) / POWERS_OF_TEN[fractionDigits];
    value = negative ? -magnitude : magnitude;
    pos = static_cast<std::size_t>(q - buffer);
    return true;
  }

  // The frame of every reading: it begins on a new line, takes items until it has `wanted` of
  // them (an empty item counts and leaves its destination alone; a slash ends the reading), then
  // discards the rest of its last line. With `ToLineEnd` it takes instead every item of the line
  // of its first item, the line's end or a slash ending it; items after the `wanted`-th are then
  // counted, not stored. `takePresent(filled)` reads the present item at the reading position
  // into destinations `filled` and on (none from `wanted` on), and returns how many items it
  // stood for (more than 1 for a repeat). `found` is false when the input ends before a reading
  // of `wanted` items has them all, or before a line's first item.
  // (A template parameter, so that the table's rows are read without a test of it per item.)
  template <bool ToLineEnd, typename TakePresent>
  FreeFormReader::LineItems readItems(std::size_t wanted, TakePresent takePresent) {
    beginReading(ToLineEnd);
    FreeFormReader::LineItems result;
    std::size_t filled = 0;
    while (ToLineEnd || filled < wanted) {
      const Item item = nextItem();
      if (item == Item::End && (!ToLineEnd || readingFirstLine == 0)) return result;
      if (item == Item::End || item == Item::LineEnd) {
        return lineItems(filled, false);
      }
      if (item == Item::Slash) {
        result.endedBySlash = true;
        break;
      }
      filled += item == Item::Empty ? 1 : takePresent(filled);
    }
    skipRestOfLine();
    return lineItems(filled, result.endedBySlash);
  }

  // How many of `repeats` items from destination `filled` on have a destination.
  static std::size_t destinationsFor(std::size_t repeats, std::size_t filled, std::size_t wanted) {
    return filled < wanted ? std::min(repeats, wanted - filled) : 0;
  }

  static FreeFormReader::LineItems lineItems(std::size_t filled, bool slash) {
    constexpr std::size_t MOST = std::size_t{1} << 40;  // far above any line's items
    return FreeFormReader::LineItems{true, static_cast<long>(std::min(filled, MOST)), slash};
  }

  // A table cell is carried in single precision later on, where an infinity, or a magnitude
  // that rounds to one, would make its whole series NaN: such a cell is refused with its token.
  // The edge is the decimal text's own rounding to single precision. A text just below
  // 2^128 - 2^103 (the midpoint between FLT_MAX and 2^128) may round, as a double, to that
  // midpoint, which a float conversion would then take to infinity; its text rounds to FLT_MAX,
  // and FLT_MAX is what the cell holds. A NaN passes: it is a missing cell. Plain decimals never
  // come here: they stay below 2^53.
  void checkCell(const char* text, std::size_t length, double& value) const {
    constexpr double SINGLE_OVERFLOW = 0x1.ffffffp+127;  // the least magnitude a float can't hold
    if (!(std::fabs(value) >= SINGLE_OVERFLOW)) return;
    float single = 0.0f;
    if (std::fabs(value) == SINGLE_OVERFLOW &&
        parseFloat(text, length, single) == TokenStatus::Ok) {
      value = single;
      return;
    }
    throw errorHere(NUMBER_OUT_OF_RANGE,
                    quoted(text, length) + (std::isinf(value)
                                                ? " is an infinity; a value must be finite"
                                                : " is too large for the program's numbers"));
  }

  // One reading of `count` numbers of type T into dest[0], dest[stride], ...; `cells`: they
  // are table cells (see checkCell); `ToLineEnd`: every number of a line (see readItems).
  template <typename T, bool ToLineEnd = false>
  FreeFormReader::LineItems readNumeric(T* dest, int count, std::ptrdiff_t stride,
                                        bool cells = false) {
    const std::size_t wanted = static_cast<std::size_t>(std::max(count, 0));
    return readItems<ToLineEnd>(wanted, [&](std::size_t filled) -> std::size_t {
      T surplus{};  // a number after the last destination: checked, then dropped
      T& first = !ToLineEnd || filled < wanted
                     ? dest[static_cast<std::ptrdiff_t>(filled) * stride]
                     : surplus;
      if constexpr (std::is_same_v<T, double>) {
        if (takePlainDecimal(first)) return 1;
      }
      const Token t = takeToken(ILLEGAL_NUMERIC);
      if (!t.hasStar) {
        convert(t.text, t.length, first);
        if constexpr (std::is_same_v<T, double>) {
          if (cells) checkCell(t.text, t.length, first);
        }
        return 1;
      }
      const std::size_t starAt =
          static_cast<std::size_t>(static_cast<const char*>(std::memchr(t.text, '*', t.length)) -
                                   t.text);
      const std::size_t repeats = repeatCount(t, starAt);
      const std::size_t n = destinationsFor(repeats, filled, wanted);
      if (starAt + 1 < t.length) {
        T value{};
        convert(t.text + starAt + 1, t.length - starAt - 1, value);
        if constexpr (std::is_same_v<T, double>) {
          if (cells) checkCell(t.text + starAt + 1, t.length - starAt - 1, value);
        }
        for (std::size_t i = 0; i < n; ++i) {
          dest[static_cast<std::ptrdiff_t>(filled + i) * stride] = value;
        }
      }
      return repeats;
    });
  }

  // Reads one name item at `pos` into `token` (its first `keep` bytes, and the bytes that may
  // complete the character at the cut) and returns how many items it stands for (r of r*name,
  // else 1); `length` receives the bytes kept,
  // `empty` whether it is r* alone. An unquoted name ends at a blank, tab, comma, slash or line
  // end. A quoted one ends at its closing mark; a mark written twice inside stands for one; a
  // mark not closed on its line is an input error.
  std::size_t takeName(std::size_t keep, std::size_t& length, bool& empty) {
    length = 0;
    empty = false;
    std::size_t repeats = 1;
    if (takePlainName(keep, length, repeats, empty)) return repeats;
    bool digitsOnly = true;
    std::size_t seen = 0;
    std::size_t count = 0;
    for (;;) {
      char c = 0;
      unsigned char cls = 0;
      if (!peekSignificant(c, cls)) break;
      if (seen == 0 && isQuoteMark(c)) {
        ++pos;
        empty = false;
        takeQuoted(c, keep, length);
        return repeats;
      }
      if (cls > STAR_CHAR) break;
      ++pos;
      if (cls == STAR_CHAR && digitsOnly && seen > 0 && repeats == 1 && length == seen &&
          seen <= keep) {
        // r*name: what was kept so far is the repeat count.
        if (count == 0) throwRepeatCountZero();
        repeats = count;
        length = 0;
        seen = 0;
        digitsOnly = false;
        empty = true;
        continue;
      }
      empty = false;
      if (isDigit(c)) {
        count = withDigit(count, c);
      } else {
        digitsOnly = false;
      }
      if (length < keep + UTF8_TAIL) token[length++] = c;
      ++seen;
    }
    return repeats;
  }

  // The common name of takeName, unquoted and lying whole in the buffer without a carriage
  // return, cut out in one scan. False, with nothing taken, for any other name (a quoted one,
  // one that runs on past the buffer), which takeName reads a character at a time.
  bool takePlainName(std::size_t keep, std::size_t& length, std::size_t& repeats, bool& empty) {
    const char* const start = buffer + pos;
    const char* const end = buffer + len;
    if (isQuoteMark(*start)) return false;
    const char* q = start;
    while (q < end && classOf(*q) <= STAR_CHAR) ++q;
    if (q == end || classOf(*q) == RETURN_CHAR) return false;
    // r*name: digits, no more than are kept, and a star.
    const char* digits = start;
    std::size_t count = 0;
    while (digits < q && isDigit(*digits)) count = withDigit(count, *digits++);
    const char* name = start;
    if (digits > start && digits < q && *digits == '*' &&
        static_cast<std::size_t>(digits - start) <= keep) {
      if (count == 0) throwRepeatCountZero();
      name = digits + 1;
      if (name < q && isQuoteMark(*name)) return false;
      repeats = count;
      empty = name == q;
    }
    length = std::min(static_cast<std::size_t>(q - name), keep + UTF8_TAIL);
    std::memcpy(token, name, length);
    pos = static_cast<std::size_t>(q - buffer);
    return true;
  }

  static bool isQuoteMark(char c) { return c == '\'' || c == '"'; }

  [[noreturn]] void throwRepeatCountZero() const {
    throw errorHere(ILLEGAL_NUMERIC, "repeat count 0 in front of a name: it must be 1 or more");
  }

  // The body of a quoted name, `pos` just after the opening `mark`.
  void takeQuoted(char mark, std::size_t keep, std::size_t& length) {
    for (;;) {
      const auto kept = [&] { return characterPrefix(token, length, keep); };
      if (pos == len && !refill()) throwQuoteNotClosed(mark, kept(), "before the end of the file");
      const char c = buffer[pos];
      if (c == '\n') throwQuoteNotClosed(mark, kept(), "on its line");
      ++pos;
      if (c == '\r') continue;
      if (c == mark) {
        if (pos == len && !refill()) return;
        if (buffer[pos] != mark) return;
        ++pos;
      }
      if (length < keep + UTF8_TAIL) token[length++] = c;
    }
  }

  // A quote left open would take the following lines, data rows included, as names.
  [[noreturn]] void throwQuoteNotClosed(char mark, std::size_t length, const char* where) const {
    throw errorHere(QUOTE_NOT_CLOSED, "the name beginning " + std::string(1, mark) +
                                          std::string(token, length) + " has no closing " +
                                          std::string(1, mark) + " " + where);
  }

  template <bool ToLineEnd>
  FreeFormReader::LineItems readNameItems(char* names, int count, int width) {
    const std::size_t w = static_cast<std::size_t>(std::max(width, 0));
    const std::size_t keep = std::min(w, TOKEN_LIMIT - UTF8_TAIL);
    const std::size_t wanted = static_cast<std::size_t>(std::max(count, 0));
    return readItems<ToLineEnd>(wanted, [&](std::size_t filled) -> std::size_t {
      std::size_t length = 0;
      bool empty = false;
      const std::size_t repeats = takeName(keep, length, empty);
      const std::size_t n = destinationsFor(repeats, filled, wanted);
      length = characterPrefix(token, length, keep);
      if (!empty) {
        for (std::size_t i = 0; i < n; ++i) {
          char* field = names + (filled + i) * w;
          std::memcpy(field, token, length);
          std::memset(field + length, ' ', w - length);
        }
      }
      return repeats;
    });
  }

  bool readLine(char* field, int width) {
    const std::size_t w = static_cast<std::size_t>(std::max(width, 0));
    std::size_t length = 0;
    bool any = false;
    for (;;) {
      if (pos == len && !refill()) {
        noteEnd();
        break;
      }
      any = true;
      const char c = buffer[pos++];
      if (c == '\n') {
        itemLine = line++;
        break;
      }
      if (c == '\r') continue;
      if (length < w) field[length++] = c;
    }
    if (!any) return false;
    readingFirstLine = itemLine;
    std::memset(field + length, ' ', w - length);
    return true;
  }
};

FreeFormReader::FreeFormReader(std::FILE* stream, Kind kind) : state_(new State(stream, kind)) {}

FreeFormReader::~FreeFormReader() { delete state_; }

bool FreeFormReader::readText(char* field, int width) { return state_->readLine(field, width); }

bool FreeFormReader::readWholeNumber(int& value) {
  return state_->readNumeric(&value, 1, 1).found;
}

bool FreeFormReader::readSingle(float& value) { return state_->readNumeric(&value, 1, 1).found; }

bool FreeFormReader::readNames(char* names, int count, int width) {
  return state_->readNameItems<false>(names, count, width).found;
}

bool FreeFormReader::readNumbers(double* cells, int count, int stride) {
  return state_->readNumeric(cells, count, stride).found;
}

bool FreeFormReader::readCells(double* cells, int count, int stride) {
  return state_->readNumeric(cells, count, stride, true).found;
}

FreeFormReader::LineItems FreeFormReader::readNamesOfLine(char* names, int count, int width) {
  return state_->readNameItems<true>(names, count, width);
}

FreeFormReader::LineItems FreeFormReader::readCellsOfLine(double* cells, int count, int stride) {
  return state_->readNumeric<double, true>(cells, count, stride, true);
}

long FreeFormReader::lineNumber() const { return state_->itemLine; }

long FreeFormReader::readingStartLine() const { return state_->readingFirstLine; }

InputError FreeFormReader::error(const char* message, const char* detail) const {
  return state_->errorAt(state_->itemLine, message, detail);
}

InputError FreeFormReader::errorAtLine(long line, const char* message, const char* detail) const {
  return state_->errorAt(line, message, detail);
}

}  // namespace ringsmooth
