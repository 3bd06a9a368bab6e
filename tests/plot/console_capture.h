#pragma once
// A console the code under test writes to, read back as one string.
#include <cstdio>
#include <string>

class ConsoleCapture {
 public:
  ConsoleCapture() : file_(std::tmpfile()) {}
  ~ConsoleCapture() { std::fclose(file_); }
  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;

  std::FILE* file() { return file_; }

  std::string text() {
    std::fflush(file_);
    std::rewind(file_);
    std::string result;
    for (int c = std::fgetc(file_); c != EOF; c = std::fgetc(file_)) result += static_cast<char>(c);
    return result;
  }

 private:
  std::FILE* file_;
};
