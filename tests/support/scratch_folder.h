#pragma once
// A fresh folder under /tmp for one test, removed with everything in it when the test ends, and
// small helpers for the files in it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace runner {

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = "/tmp/ringsmooth-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~ScratchFolder() {
    // Files made read-only by a test must not stop their removal.
    std::system(("chmod -R u+w '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'").c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// A test with a scratch folder of its own.
class ScratchTest : public ::testing::Test {
 protected:
  ScratchFolder scratch;
  const std::string& folder = scratch.path();
  void write(const std::string& name, const std::string& text) { writeFile(scratch / name, text); }
  std::string read(const std::string& name) const { return readFile(scratch / name); }
  bool has(const std::string& name) const { return exists(scratch / name); }
};

}  // namespace runner
