#pragma once
// The harness against the program: the same series, the same settings, the same bits.
#include <string>
#include <vector>

namespace endbench {

// Runs `program` with -f csv on every file at whole-number and (unless `wholeCutoffsOnly`)
// relative cutoffs, with its default ends, natural ends, the dialogue's extension and an
// automatic filter, and compares every spline value of every series without missing years with
// the harness's, bit for bit. Prints one line per file and setting; returns the number of
// values that differ.
long verifyAgainstProgram(const std::string& program, const std::vector<std::string>& files,
                          bool wholeCutoffsOnly);

}  // namespace endbench
