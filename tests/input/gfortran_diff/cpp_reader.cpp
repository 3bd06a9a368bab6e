// Reads the cases named in a plan with FreeFormReader and prints what each reading gave, in the
// same form as fortran_reader.f90 (see there), so that the two outputs can be compared line by
// line. Destinations start at the same sentinels on both sides (-7.25, -7, twenty '@').
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "input/free_form.h"

using ringsmooth::FreeFormReader;

namespace {

constexpr int NAME_WIDTH = 20;

std::string hexDouble(double v) {
  if (std::isnan(v)) return "NAN";
  std::uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  char text[17];
  std::snprintf(text, sizeof text, "%016llX", static_cast<unsigned long long>(bits));
  return text;
}

std::string hexFloat(float v) {
  if (std::isnan(v)) return "NAN";
  std::uint32_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(bits));
  return text;
}

// One reading; "" when it failed for lack of input (EOF).
std::string reading(FreeFormReader& reader, char kind, int count) {
  std::string out(1, kind);
  switch (kind) {
    case 'N':
    case 'T': {
      std::vector<double> x(static_cast<std::size_t>(count), -7.25);
      const bool read = kind == 'T' ? reader.readCells(x.data(), count, 1)
                                    : reader.readNumbers(x.data(), count, 1);
      if (!read) return "";
      for (double v : x) out += " " + hexDouble(v);
      return out;
    }
    case 'S': {
      float s = -7.25f;
      if (!reader.readSingle(s)) return "";
      return out + " " + hexFloat(s);
    }
    case 'I': {
      int whole = -7;
      if (!reader.readWholeNumber(whole)) return "";
      return out + " " + std::to_string(whole);
    }
    default: {
      std::vector<char> names(static_cast<std::size_t>(count * NAME_WIDTH), '@');
      if (!reader.readNames(names.data(), count, NAME_WIDTH)) return "";
      out += ' ';
      for (int i = 0; i < count; ++i) {
        out += '[';
        out.append(names.data() + i * NAME_WIDTH, NAME_WIDTH);
        out += ']';
      }
      return out;
    }
  }
}

void runCase(const std::string& caseName, const std::vector<std::pair<char, int>>& readings) {
  std::printf("# %s\n", caseName.c_str());
  std::FILE* file = std::fopen(caseName.c_str(), "rb");
  if (file == nullptr) {
    std::printf("cannot open\n");
    return;
  }
  {
    FreeFormReader reader(file, FreeFormReader::Kind::File);
    try {
      for (const auto& [kind, count] : readings) {
        const std::string line = reading(reader, kind, count);
        if (line.empty()) {
          std::printf("EOF\n");
          break;
        }
        std::printf("%s\n", line.c_str());
      }
    } catch (const ringsmooth::InputError&) {
      std::printf("ERR\n");
    }
  }
  std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: cpp_reader PLAN\n");
    return 2;
  }
  std::ifstream plan(argv[1]);
  std::string line;
  while (std::getline(plan, line)) {
    std::istringstream words(line);
    std::string caseName;
    int m = 0;
    if (!(words >> caseName >> m)) continue;
    std::vector<std::pair<char, int>> readings;
    for (int j = 0; j < m; ++j) {
      char kind = 0;
      int count = 0;
      words >> kind >> count;
      readings.emplace_back(kind, count);
    }
    runCase(caseName, readings);
  }
  return 0;
}
