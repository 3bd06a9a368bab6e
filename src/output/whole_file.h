#pragma once
// Output files that are composed in full before they are written: one call writes each whole.
#include <cstddef>
#include <string>

namespace ringsmooth {

// Writes data[0..size) to `fd`, again after an interrupted or partial write. Returns 0, or
// the errno value of the failure.
int writeFully(int fd, const char* data, std::size_t size);

// Writes `text` as the whole content of the file `name`: under a temporary name, renamed over
// `name` once whole, so that a failure leaves an earlier file of that name as it was; "-" is
// standard output.
// `what` names the file in an error ("the chronology"). Throws OutputError with the system's
// message when the file cannot be created, written or closed.
void writeWholeFile(const std::string& name, const std::string& text, const char* what);

}  // namespace ringsmooth
