// The dialogue's questions about the table: their layout, and answers that are refused.
#include "driver/dialogue.h"

#include <gtest/gtest.h>

#include <string>

#include "support/program.h"
#include "support/text_stream.h"

namespace ringsmooth {
namespace {

using support::TextStream;

struct ShapeRun {
  RunSettings settings;
  std::string prompts;
  bool failed = false;
  InputError error;
};

ShapeRun askTableShape(const std::string& answers) {
  TextStream console(answers), out("");
  FreeFormReader reader(console.get(), FreeFormReader::Kind::Console);
  ShapeRun r;
  try {
    Dialogue(reader, out.get()).askTableShape(r.settings);
  } catch (const InputError& e) {
    r.failed = true;
    r.error = e;
  }
  r.prompts = out.contents();
  return r;
}

TEST(Dialogue, TableQuestionsAreLaidOutInTheirColumns) {
  const ShapeRun r = askTableShape("2\n-999\n");
  ASSERT_FALSE(r.failed) << r.error.message;
  EXPECT_EQ(r.prompts, runner::prompt("Enter number of columns including years") +
                           runner::prompt("Enter missing value flag, e.g., -999.00"));
  EXPECT_EQ(r.prompts.size(), 96u);
  EXPECT_EQ(r.settings.columnCount, 2);
  EXPECT_EQ(r.settings.missingFlag, -999.0f);
}

TEST(Dialogue, TableAnswersThatAreRefused) {
  const struct {
    const char* label;
    const char* answers;
    const char* messagePart;
    const char* detailPart;
  } cases[] = {
      {"no column answer", "", READ_PAST_END, ""},
      {"no flag answer", "2\n", READ_PAST_END, ""},
      {"decimal column count", "2.0\n-999\n", ILLEGAL_NUMERIC, "2.0"},
      {"bad flag", "2\n-9x9\n", ILLEGAL_NUMERIC, "-9x9"},
      {"zero columns", "0\n-999\n", "from 1 to 700", "0"},
      {"701 columns", "701\n-999\n", "from 1 to 700", "701"},
      {"no number for the flag", "2\n,\n", "No missing value flag was given", "no number"},
  };
  for (const auto& c : cases) {
    const ShapeRun r = askTableShape(c.answers);
    ASSERT_TRUE(r.failed) << c.label;
    EXPECT_EQ(r.error.heading, "Input error in a console answer") << c.label;
    EXPECT_NE(r.error.message.find(c.messagePart), std::string::npos)
        << c.label << ": " << r.error.message;
    EXPECT_NE(r.error.detail.find(c.detailPart), std::string::npos)
        << c.label << ": " << r.error.detail;
  }
}

}  // namespace
}  // namespace ringsmooth
