// Output files written under a temporary name: the target changes only at commit, keeps the
// permissions it would have had, links are followed, devices are written in place. (What a
// failed or stopped run leaves is checked end to end in driver/outputs_test.cpp.)
#include "output/replaced_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/scratch_folder.h"

namespace ringsmooth {
namespace {

namespace fs = std::filesystem;

mode_t permissions(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

// The permissions the system gives a file created now with 0666, as the program would create
// it without a temporary.
mode_t newFilePermissions(const runner::ScratchFolder& folder) {
  const std::string probe = folder / "probe";
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  ::close(fd);
  const mode_t mode = permissions(probe);
  ::unlink(probe.c_str());
  return mode;
}

std::size_t entries(const runner::ScratchFolder& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder.path()), {}));
}

void writeText(ReplacedFile& file, const std::string& text) {
  ASSERT_EQ(::write(file.fd(), text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

TEST(ReplacedFile, TheTargetChangesOnlyAtCommitAndKeepsItsPermissions) {
  const struct {
    const char* what;
    const char* existing;  // the file there before, written "old" with `mode`; null: none
    mode_t mode;
    bool throughLink;  // the target named is a symbolic link to `existing`
  } cases[] = {
      {"a new file", nullptr, 0, false},
      {"an existing file", "out.lst", 0640, false},
      {"a link to an existing file", "real.lst", 0600, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    runner::ScratchFolder folder;
    const std::string file = folder / (c.existing != nullptr ? c.existing : "out.lst");
    std::string target = file;
    mode_t expectedMode = newFilePermissions(folder);
    if (c.existing != nullptr) {
      runner::writeFile(file, "old");
      ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
      expectedMode = c.mode;
    }
    if (c.throughLink) {
      target = folder / "link.lst";
      ASSERT_EQ(::symlink(file.c_str(), target.c_str()), 0);
    }
    const std::size_t before = entries(folder);
    ReplacedFile out;
    ASSERT_EQ(out.open(target), 0);
    writeText(out, "new");
    EXPECT_NE(std::string(out.writtenName()), target);
    EXPECT_EQ(entries(folder), before + 1);  // the temporary, beside its target
    EXPECT_EQ(runner::readFile(file), c.existing != nullptr ? "old" : "");
    ASSERT_EQ(out.commit(), 0);
    EXPECT_EQ(runner::readFile(file), "new");
    EXPECT_EQ(permissions(file), expectedMode);
    EXPECT_EQ(fs::is_symlink(target), c.throughLink);
    EXPECT_EQ(entries(folder), c.existing != nullptr ? before : before + 1);
  }
}

// A device is written as it stands: it is no file to replace.
TEST(ReplacedFile, DevicesAreWrittenInPlace) {
  ReplacedFile device;
  ASSERT_EQ(device.open("/dev/null"), 0);
  EXPECT_STREQ(device.writtenName(), "/dev/null");
  writeText(device, "new");
  EXPECT_EQ(device.commit(), 0);
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

}  // namespace
}  // namespace ringsmooth
