#pragma once
// Helpers shared by the fuzz targets: a FILE* over the fuzz input and checks of error reports.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/run_error.h"

namespace fuzz {

// A read-only FILE* over bytes that stay alive as long as it is open. fmemopen refuses a
// zero-length buffer in some C libraries, so an empty input is read from /dev/null instead.
inline std::FILE* openBytes(const void* data, std::size_t size) {
  if (size == 0) return std::fopen("/dev/null", "rb");
  return fmemopen(const_cast<void*>(data), size, "rb");
}

// Stops the fuzzer with a message when a condition the program promises does not hold.
inline void require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

// An error report is printed one "? " line per field, so no field may hold a line end, and the
// heading and the message must say something.
inline void checkReport(const ringsmooth::InputError& e) {
  require(!e.heading.empty() && !e.message.empty(), "error report with an empty line");
  require(e.heading.find('\n') == std::string::npos, "line end in the heading");
  require(e.message.find('\n') == std::string::npos, "line end in the message");
  require(e.detail.find('\n') == std::string::npos, "line end in the detail");
  require(e.heading.rfind("Input error in ", 0) == 0, "heading does not say where");
}

}  // namespace fuzz
