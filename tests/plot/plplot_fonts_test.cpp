#include "plot/plplot_fonts.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace ringsmooth {
namespace {

TEST(PlplotFonts, ReplacesAUsersPlplotLib) {
  setenv("PLPLOT_LIB", "/somewhere/else", 1);
  plplot_fonts();
  const char* value = std::getenv("PLPLOT_LIB");
  ASSERT_NE(value, nullptr);
  EXPECT_STREQ(value, RINGSMOOTH_FONT_DIR);
  EXPECT_STREQ(plplotFontDirectory(), RINGSMOOTH_FONT_DIR);
}

TEST(PlplotFonts, SetsItWhenUnset) {
  unsetenv("PLPLOT_LIB");
  plplot_fonts();
  const char* value = std::getenv("PLPLOT_LIB");
  ASSERT_NE(value, nullptr);
  EXPECT_STREQ(value, RINGSMOOTH_FONT_DIR);
}

TEST(PlplotFonts, TheDirectoryHoldsTheStrokeFonts) {
  const std::string dir = plplotFontDirectory();
  EXPECT_EQ(access((dir + "/plstnd5.fnt").c_str(), R_OK), 0) << dir;
  EXPECT_EQ(access((dir + "/plxtnd5.fnt").c_str(), R_OK), 0) << dir;
}

// Run first thing in its own process with PLPLOT_LIB set to a wrong directory (see
// tests.cmake): the static initializer has replaced it before main.
TEST(PlplotFonts, SetBeforeMainRuns) {
  const char* value = std::getenv("PLPLOT_LIB");
  ASSERT_NE(value, nullptr);
  EXPECT_STREQ(value, RINGSMOOTH_FONT_DIR);
}

}  // namespace
}  // namespace ringsmooth
