#pragma once
// Test helper: a FILE* holding given text, read from its start, closed on destruction.
#include <cstdio>
#include <string>

namespace support {

class TextStream {
 public:
  explicit TextStream(const std::string& text) : file_(std::tmpfile()) {
    if (file_ != nullptr) {
      std::fwrite(text.data(), 1, text.size(), file_);
      std::rewind(file_);
    }
  }
  ~TextStream() {
    if (file_ != nullptr) std::fclose(file_);
  }
  TextStream(const TextStream&) = delete;
  TextStream& operator=(const TextStream&) = delete;
  std::FILE* get() const { return file_; }
  // Everything written to the stream so far (for captured console output).
  std::string contents() const {
    std::fflush(file_);
    std::rewind(file_);
    std::string out;
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file_)) > 0) out.append(chunk, n);
    return out;
  }

 private:
  std::FILE* file_;
};

}  // namespace support
