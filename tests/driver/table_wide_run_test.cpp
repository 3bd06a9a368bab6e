// A batch run's statistics, residual chronology and index table against the field's package on
// ca533 and co021 with its spline (--ends=none -c 67%): the program's own indices, from single
// precision values and splines, agree with dplR's to about 1e-6.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/csv_numbers.h"
#include "support/program.h"

namespace {

using support::csvRows;
using support::expectRowsNear;

class TableWideRun : public runner::ScratchTest {};

TEST_F(TableWideRun, AgreesWithTheFieldsPackage) {
  const struct {
    std::string site, table;
  } cases[] = {{"ca533", "/tests/input/tucson/ca533.rwl"},
               {"co021", "/tests/input/tucson/co021.rwl"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.site);
    write(c.site + ".rwl", runner::readFile(RINGSMOOTH_SOURCE_DIR + c.table));
    runner::Options o;
    o.arguments = {"-c", "67%", "--ends=none", "-f", "rwi", "--stats", "--chronology=csv",
                   c.site + ".rwl"};
    const runner::Result r = runner::run(folder, o);
    ASSERT_EQ(r.status, 0) << r.errors;
    std::vector<std::vector<double>> residual;  // year and res of year,std,res,depth
    for (const auto& row : csvRows(scratch / (c.site + ".chron.csv"))) {
      residual.push_back({row[0], row[2]});
    }
    expectRowsNear("res", residual, csvRows(support::referencePath(c.site + ".res.csv")), 0, 1e-5);
    const auto signal = csvRows(support::referencePath(c.site + ".signal.csv"));
    expectRowsNear("stats", csvRows(scratch / (c.site + ".stats.csv")), signal, 0, 1e-6);
    expectRowsNear("series", csvRows(scratch / (c.site + ".series.csv")),
                   csvRows(support::referencePath(c.site + ".series.csv")), 1, 1e-6);
    const std::string rwi = read(c.site + ".rwi.csv");
    const std::string names = runner::readFile(support::referencePath(c.site + ".index.csv"));
    EXPECT_EQ(rwi.substr(0, rwi.find('\n')), names.substr(0, names.find('\n')));
    expectRowsNear("rwi", csvRows(scratch / (c.site + ".rwi.csv")),
                   csvRows(support::referencePath(c.site + ".index.csv")), 0, 2e-6);
    // The note's year: the one after the last window whose EPS is below 0.85.
    double trusted = signal[1][0];
    for (std::size_t w = 1; w < signal.size(); ++w) {
      if (signal[w][5] < 0.85) trusted = signal[w][1] + 1;
    }
    EXPECT_NE(r.errors.find("window from " + std::to_string(int(trusted)) + " on."),
              std::string::npos)
        << r.errors;
  }
}

// A table of one series gets its summary and a note instead of signal statistics; the index
// table alone goes to standard output.
TEST_F(TableWideRun, OneSeriesAndStandardOutput) {
  write("one.txt", "Year A\n1901 1.2\n1902 1.1\n1903 1.4\n");
  const struct {
    std::vector<std::string> arguments;
    std::string note, console;  // in the notes, at the start of standard output
    std::vector<std::string> made, notMade;
  } cases[] = {
      {{"-f", "rwi", "-o", "-", "one.txt"}, "", "year,A\n1901,0.97", {}, {"one.lst", "-"}},
      {{"--stats", "one.txt"}, "one.txt: No signal statistics: they need two series with indices, "
       "the table has 1.\n", "", {"one.lst", "one.series.csv"}, {"one.stats.csv"}},
  };
  for (const auto& c : cases) {
    runner::Options o;
    o.arguments = {"-c", "10"};
    o.arguments.insert(o.arguments.end(), c.arguments.begin(), c.arguments.end());
    const runner::Result r = runner::run(folder, o);
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_NE(r.errors.find(c.note), std::string::npos) << r.errors;
    EXPECT_EQ(r.console.rfind(c.console, 0), 0u) << r.console;
    for (const std::string& name : c.made) EXPECT_TRUE(has(name)) << name;
    for (const std::string& name : c.notMade) EXPECT_FALSE(has(name)) << name;
  }
}

}  // namespace
