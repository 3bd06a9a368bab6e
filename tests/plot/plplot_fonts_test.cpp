#include "plot/plplot_fonts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/scratch_folder.h"

namespace ringsmooth {
namespace {

std::string plplotLib() {
  const char* value = std::getenv("PLPLOT_LIB");
  return value != nullptr ? value : "(unset)";
}

// A folder with copies of the two font files, as a user's own installation would have them.
void copyFonts(const runner::ScratchFolder& folder) {
  for (const char* font : {"/plstnd5.fnt", "/plxtnd5.fnt"}) {
    runner::writeFile(folder.path() + font,
                      runner::readFile(std::string(plplotFontDirectory()) + font));
  }
}

TEST(PlplotFonts, PlplotLibEndsUpNamingTheFonts) {
  runner::ScratchFolder empty;
  runner::ScratchFolder users;
  copyFonts(users);
  const struct {
    const char* label;
    const char* before;  // nullptr: unset
    std::string after;
  } cases[] = {
      {"unset", nullptr, plplotFontDirectory()},
      {"empty", "", plplotFontDirectory()},
      {"a folder that does not exist", "/nonexistent/plplot", plplotFontDirectory()},
      {"a folder without the fonts", empty.path().c_str(), plplotFontDirectory()},
      {"the user's own folder with the fonts", users.path().c_str(), users.path()},
  };
  for (const auto& c : cases) {
    if (c.before != nullptr) {
      setenv("PLPLOT_LIB", c.before, 1);
    } else {
      unsetenv("PLPLOT_LIB");
    }
    plplot_fonts();
    EXPECT_EQ(plplotLib(), c.after) << c.label;
    EXPECT_TRUE(holdsPlplotFonts(plplotLib().c_str())) << c.label;
  }
}

TEST(PlplotFonts, TheBuiltInDirectoryHoldsTheStrokeFonts) {
  EXPECT_TRUE(holdsPlplotFonts(plplotFontDirectory())) << plplotFontDirectory();
  runner::ScratchFolder empty;
  EXPECT_FALSE(holdsPlplotFonts(empty.path().c_str()));
  EXPECT_FALSE(holdsPlplotFonts(nullptr));
}

// Run first thing in its own process with PLPLOT_LIB set to a wrong directory (see
// tests.cmake): the static initializer has replaced it before main.
TEST(PlplotFonts, SetBeforeMainRuns) {
  EXPECT_NE(plplotLib(), "/nonexistent/plplot-fonts");
  EXPECT_TRUE(holdsPlplotFonts(plplotLib().c_str())) << plplotLib();
}

}  // namespace
}  // namespace ringsmooth
