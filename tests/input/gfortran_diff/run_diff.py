#!/usr/bin/env python3
"""Differential test of free-form reading against gfortran's list-directed READ.

Usage: run_diff.py CPP_READER WORK_FOLDER [CASES] [SEED]

Compiles fortran_reader.f90 with gfortran, writes CASES random case files (generate.py), reads
every case with both readers and compares what each reading gave: the bit patterns of doubles
and floats, whole numbers, 20-character names, and where a reading failed (ERR: malformed input,
EOF: the input ended first). Exit 0 when they agree, 1 when not, 77 (skipped) without gfortran.

Generated cases cover blanks, tabs, commas and blank-comma-blank as separators, repeats r*v and
r*, empty items, the slash, quoted names with doubled marks, exponents E/e/D/d with signs, signs
and points in every position, readings continued over lines, surplus items, empty lines, CR LF
line ends, a last line without a line end, and malformed tokens (both readers must refuse them).

Deliberate differences, not generated but checked below (the program's reading is asserted;
gfortran's is printed for information). Reading kind T is a row of table cells: the program reads
it as the table reader does (readCells), gfortran as doubles like N.
  1. A token beginning (after a sign) with I or N is an infinity or a NaN whatever follows
     ("NA", "Infoo"), and runs to the next blank, comma or line end, slashes included ("N/A",
     "n/a" and "2*N/A" are NaNs, and the reading goes on after them); gfortran takes only Inf,
     Infinity, NaN, NaN(...) and refuses the rest. In the table a NaN cell is a missing value,
     as a cell equal to the missing-value flag is.
  2. A number too large for its destination (1e400, or 1e39 for the single-precision flag) is an
     input error "Number out of range"; gfortran makes it an infinity without a word. A table
     cell is carried in single precision later, so there an infinity and any magnitude that
     rounds to a single-precision infinity (Inf, -Infinity, 1e39, 1e308) are that error too;
     gfortran reads them as doubles.
  3. Only E, e, D and d introduce an exponent: gfortran also reads "1+3" (1000, the exponent
     letter left out) and "1.5q3"; here they are illegal numbers.
  4. Text right after a closing quote mark ('abc'def) begins the next item; gfortran refuses it.
  5. A quoted name must close on its line: a mark still open at the end of its line or of the
     file is an input error "Quote not closed" (an open quote would take the data rows after it
     as names); gfortran goes on over the line end ('spans<LF>lines' is one name "spanslines"
     there) and takes a quote open at the end of the file as closed.
  6. In a file, a CR not followed by LF ends a line, as LF and CR LF do (a file saved by a
     classic Mac); gfortran takes a lone CR as a blank, so such a file is one line to it. (At the
     console a CR is dropped wherever it stands.)
  7. On a last line without a line end, a slash or a null repeat (r*) that ends the reading works
     as on any other line, and a lone sign is an illegal number; gfortran reports end of file.
  8. A comma at the start of a line is an empty item when no item stands before it since the
     reading began or since the last comma (",5" after empty lines, or after a line holding only
     a comma); gfortran joins it with the line end before it into one separator there.
  9. A UTF-8 byte-order mark at the start of the file is skipped; gfortran reads it as part of
     the first item, so a quoted first name is no longer quoted there.
An empty item leaves its destination unchanged in both readers; the table reader blanks the names
before it reads the header, so a name the header leaves empty ("Year,,B", "2*", the names after a
slash) is blank in the listing.
"""
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SENTINEL = "C01D000000000000"  # -7.25

# (text, plan readings, what the program gives, what gfortran 12 gives, for information)
KNOWN_DIFFERENCES = [
    ("NA 1 2\n", "N 3", ["N NAN 3FF0000000000000 4000000000000000"], "ERR"),
    ("Infoo\n", "N 1", ["N 7FF0000000000000"], "ERR"),
    ("-INFINITE\n", "N 1", ["N FFF0000000000000"], "ERR"),
    ("1.5 N/A 2.5\n", "N 3", ["N 3FF8000000000000 NAN 4004000000000000"], "ERR"),
    ("2*n/a 5\n", "N 3", ["N NAN NAN 4014000000000000"], "ERR"),
    ("1e400 1\n", "N 2", ["ERR"], "+Infinity"),
    ("1e39\n", "S 1", ["ERR"], "S 7F800000"),
    ("1e39 1\n", "T 2", ["ERR"], "T 48078287F49C4A1D 3FF0000000000000"),
    ("1e308\n", "T 1", ["ERR"], "T 7FE1CCF385EBC8A0"),
    ("-Infinity 1\n", "T 2", ["ERR"], "T FFF0000000000000 3FF0000000000000"),
    ("1+3\n", "N 1", ["ERR"], "N 1000"),
    ("1.5q3\n", "N 1", ["ERR"], "N 1500"),
    ("'abc'def g\n", "C 2", ["C [abc                 ][def                 ]"], "ERR"),
    ("'spans\nlines' b\n", "C 2", ["ERR"], "C [spanslines][b]"),
    ("'Year A B\n1901 1 2\n1902 1 2\n", "C 3 N 3", ["ERR"], "EOF (the name takes the file)"),
    ("'open", "C 1", ["ERR"], "C [open]"),
    ("A B\r1 2\r", "C 2 N 2", ["C [A                   ][B                   ]",
                               "N 3FF0000000000000 4000000000000000"], "C [A][B], then EOF"),
    ("1 2 /", "N 3", ["N 3FF0000000000000 4000000000000000 " + SENTINEL], "EOF"),
    ("1 2 3*", "N 4", ["N 3FF0000000000000 4000000000000000 " + SENTINEL + " " + SENTINEL],
     "EOF"),
    ("-", "N 1", ["ERR"], "EOF"),
    ("\n,5 6\n", "N 3", ["N " + SENTINEL + " 4014000000000000 4018000000000000"], "EOF"),
    ("6\n,\n,7\n", "N 3", ["N 4018000000000000 " + SENTINEL + " 401C000000000000"], "EOF"),
    ("\ufeff\"Cal year\",\"Site A\"\n", "C 2",
     ["C [Cal year            ][Site A              ]"], "C [<BOM>\"Cal][year\"]"),
]


def parse(output):
    """Output of a reader -> {case name: [lines]}."""
    cases, current = {}, None
    for line in output.decode("latin-1").splitlines():
        if line.startswith("# "):
            current = line[2:]
            cases[current] = []
        else:
            cases[current].append(line)
    return cases


def run(reader, plan, cwd):
    return parse(subprocess.run([reader, plan], cwd=cwd, check=True, capture_output=True).stdout)


def known_differences(cpp_reader, fortran_reader, folder):
    plan_lines = []
    for i, (text, readings, _, _) in enumerate(KNOWN_DIFFERENCES):
        name = f"known{i:02d}.txt"
        with open(os.path.join(folder, name), "w", newline="", encoding="utf-8") as f:
            f.write(text)
        kinds = readings.split()
        plan_lines.append(f"{name} {len(kinds) // 2} {readings}\n")
    with open(os.path.join(folder, "known_plan.txt"), "w") as f:
        f.writelines(plan_lines)
    cpp = run(cpp_reader, "known_plan.txt", folder)
    fortran = run(fortran_reader, "known_plan.txt", folder)
    failures = 0
    for i, (text, readings, expected, gfortran_note) in enumerate(KNOWN_DIFFERENCES):
        name = f"known{i:02d}.txt"
        got = cpp[name]
        status = "ok" if got == expected else "WRONG"
        failures += got != expected
        print(f"  {status:5} {text!r:22} {readings}: program {got}, gfortran {fortran[name]}"
              f" (documented: {gfortran_note})")
    return failures


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    cpp_reader = os.path.abspath(sys.argv[1])
    folder = os.path.abspath(sys.argv[2])
    cases = int(sys.argv[3]) if len(sys.argv) > 3 else 4000
    seed = int(sys.argv[4]) if len(sys.argv) > 4 else 20240607
    gfortran = shutil.which("gfortran")
    if gfortran is None:
        print("gfortran is not installed: skipped")
        return 77
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    fortran_reader = os.path.join(folder, "fortran_reader")
    subprocess.run([gfortran, "-O1", "-o", fortran_reader, os.path.join(HERE, "fortran_reader.f90")],
                   cwd=folder, check=True)
    subprocess.run([sys.executable, os.path.join(HERE, "generate.py"), str(seed), str(cases), folder],
                   check=True)
    cpp = run(cpp_reader, "plan.txt", folder)
    fortran = run(fortran_reader, "plan.txt", folder)

    readings = sum(len(v) for v in fortran.values())
    differing = [name for name in fortran if fortran[name] != cpp.get(name)]
    print(f"{len(fortran)} cases, {readings} readings compared; {len(differing)} cases differ")
    for name in differing[:5]:
        with open(os.path.join(folder, name), "rb") as f:
            print(f"--- {name}: {f.read()!r}")
        print(f"    gfortran: {fortran[name]}")
        print(f"    program:  {cpp.get(name)}")
    print("Deliberate differences:")
    wrong = known_differences(cpp_reader, fortran_reader, folder)
    if len(fortran) != cases or len(cpp) != cases:
        print("a reader did not report every case")
        return 1
    return 1 if differing or wrong else 0


sys.exit(main())
