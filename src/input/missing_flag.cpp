#include "input/missing_flag.h"

#include <bit>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace ringsmooth {

bool readMissingFlag(FreeFormReader& answer, float& flag) {
  // A signalling NaN marks "nothing read": no number read from text has this pattern.
  constexpr std::uint64_t NOTHING_READ = 0x7ff4000000000001u;
  double cell = std::bit_cast<double>(NOTHING_READ);
  if (!answer.readCells(&cell, 1, 1)) return false;
  if (std::bit_cast<std::uint64_t>(cell) == NOTHING_READ) {
    throw answer.error("No missing value flag was given", "the answer held no number");
  }
  flag = static_cast<float>(cell);
  return true;
}

std::optional<float> missingFlagFromText(const std::string& text, std::string& problem) {
  const std::string line = text + "\n";  // a whole answer line, never an empty stream
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(
      fmemopen(const_cast<char*>(line.data()), line.size(), "r"), &std::fclose);
  if (stream == nullptr) {
    problem = "it cannot be read";
    return std::nullopt;
  }
  std::optional<float> result;
  try {
    FreeFormReader answer(stream.get(), FreeFormReader::Kind::Console);
    float flag = 0.0f;
    if (readMissingFlag(answer, flag)) {
      result = flag;
    } else {
      problem = "it holds no number";
    }
  } catch (const InputError& e) {
    problem = e.message + (e.detail.empty() ? "" : ": " + e.detail);
  }
  return result;
}

}  // namespace ringsmooth
