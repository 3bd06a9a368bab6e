#include "input/free_form.h"
// placeholder until the reader lands
namespace ringsmooth {
struct FreeFormReader::State {};
FreeFormReader::FreeFormReader(std::FILE*, Kind) : state_(nullptr) {}
FreeFormReader::~FreeFormReader() {}
bool FreeFormReader::readText(char*, int) { return false; }
bool FreeFormReader::readWholeNumber(int&) { return false; }
bool FreeFormReader::readSingle(float&) { return false; }
bool FreeFormReader::readNames(char*, int, int) { return false; }
bool FreeFormReader::readNumbers(double*, int, int) { return false; }
long FreeFormReader::lineNumber() const { return 0; }
InputError FreeFormReader::error(const char* message, const char* detail) const {
  return InputError{"Input error", message, detail};
}
}  // namespace ringsmooth
