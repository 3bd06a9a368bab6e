#include "core/file_names.h"

namespace ringsmooth {

std::string withoutExtension(const std::string& path) {
  std::size_t length = path.size();
  while (length > 0 && path[length - 1] == ' ') --length;
  std::size_t baseStart = length;
  while (baseStart > 0 && path[baseStart - 1] != '/') --baseStart;
  for (std::size_t i = length; i > baseStart + 1; --i) {
    if (path[i - 1] == '.') return path.substr(0, i - 1);
  }
  return path.substr(0, length);
}

}  // namespace ringsmooth
