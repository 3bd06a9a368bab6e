// Fuzz target: free-form reading. The input's first bytes choose the reader kind (bit 0 of the
// first: a file; bit 1: numbers are read as table cells) and a script of readings (text lines,
// whole numbers, single numbers, names, numbers with a stride); the rest is the text read. Every
// destination is a heap block of exactly the size the reading may fill, so the address
// sanitizer catches any store beyond it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "input/free_form.h"

using ringsmooth::FreeFormReader;

namespace {

constexpr int MAX_READINGS = 4096;

struct Reading {
  int kind;   // 0 text, 1 whole number, 2 single, 3 names, 4 numbers
  int count;  // items (names, numbers) or field width (text)
  int stride;
};

Reading decode(std::uint8_t b) {
  return Reading{b % 5, 1 + ((b >> 3) & 31), 1 + ((b >> 3) & 3)};
}

// One reading; false when the input has ended before the reading had its items. `cells`: the
// numbers are read as table cells, none of which may come back infinite in single precision.
bool runReading(FreeFormReader& reader, const Reading& r, bool cells) {
  switch (r.kind) {
    case 0: {
      std::vector<char> field(static_cast<std::size_t>(r.count));
      return reader.readText(field.data(), r.count);
    }
    case 1: {
      int value = -7;
      return reader.readWholeNumber(value);
    }
    case 2: {
      float value = -7.0f;
      return reader.readSingle(value);
    }
    case 3: {
      const int width = 1 + r.count % 24;
      std::vector<char> names(static_cast<std::size_t>(r.count * width), '#');
      return reader.readNames(names.data(), r.count, width);
    }
    default: {
      std::vector<double> values(static_cast<std::size_t>((r.count - 1) * r.stride + 1), -7.0);
      if (!cells) return reader.readNumbers(values.data(), r.count, r.stride);
      const bool complete = reader.readCells(values.data(), r.count, r.stride);
      for (double v : values) {
        fuzz::require(!std::isinf(static_cast<float>(v)), "a cell single precision can't hold");
      }
      return complete;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const auto kind = (data[0] & 1) ? FreeFormReader::Kind::File : FreeFormReader::Kind::Console;
  const bool cells = (data[0] & 2) != 0;
  const std::size_t scriptLength = 1 + data[1] % 16;
  if (size < 2 + scriptLength) return 0;
  std::vector<Reading> script;
  for (std::size_t i = 0; i < scriptLength; ++i) script.push_back(decode(data[2 + i]));
  const std::uint8_t* text = data + 2 + scriptLength;
  const std::size_t textSize = size - 2 - scriptLength;
  std::vector<std::uint8_t> copy(text, text + textSize);  // exact size: overreads are caught

  std::FILE* stream = fuzz::openBytes(copy.data(), copy.size());
  fuzz::require(stream != nullptr, "cannot open the fuzz input as a stream");
  {
    FreeFormReader reader(stream, kind);
    try {
      long lastLine = 0;
      for (int n = 0; n < MAX_READINGS; ++n) {
        if (!runReading(reader, script[static_cast<std::size_t>(n) % script.size()], cells)) break;
        // Line numbers never go back and never pass the lines the input holds.
        fuzz::require(reader.lineNumber() >= lastLine, "line number went back");
        lastLine = reader.lineNumber();
      }
    } catch (const ringsmooth::InputError& e) {
      fuzz::checkReport(e);
    }
  }
  std::fclose(stream);
  return 0;
}
