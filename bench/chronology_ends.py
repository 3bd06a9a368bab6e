#!/usr/bin/env python3
"""Where a site chronology with extended ends differs from one with natural ends, and by how
much: batch runs of the program with --chronology=csv on each Tucson file, the two settings of
each pair below, and the absolute difference of the two chronologies year by year, over the
chronology's first and last tenth of years, its middle half and all its years; and of the series'
own indices, over each series' first and last tenth and its middle half.

usage: bench/chronology_ends.py [--binary build/ringsmooth] [FILE.rwl ...]
(default: tests/input/tucson/ca533.rwl and co021.rwl)
"""
import argparse
import csv
import os
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
PAIRS = [  # (label, options of the extended run, options of the natural run)
    ("-c 32: default (filter and prediction of 32) against --ends=none",
     ["-c", "32"], ["-c", "32", "--ends=none"]),
    ("-c 67%: --ends=predict (the dialogue's extension) against the default (natural ends)",
     ["-c", "67%", "--ends=predict"], ["-c", "67%"]),
    ("-c 67%: --filter=auto --predict=10 against the default (natural ends)",
     ["-c", "67%", "--filter=auto", "--predict=10"], ["-c", "67%"]),
]


def run(binary, options, table, folder):
    """The chronology (year -> index) and every series' indices (series -> [index by year])."""
    subprocess.run([binary, *options, "-f", "csv", "--chronology=csv", "-d", folder, table],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    stem = os.path.join(folder, os.path.splitext(os.path.basename(table))[0])
    with open(stem + ".chron.csv") as f:
        chronology = {int(r["year"]): float(r["std"]) for r in csv.DictReader(f) if r["std"]}
    series = {}
    with open(stem + ".spline.csv") as f:
        for r in csv.DictReader(f):
            series.setdefault(r["series"], []).append(float(r["index"]) if r["index"] else None)
    return chronology, series


def parts(values):
    """The first and last tenth, the middle half and the whole of a list."""
    n = len(values)
    tenth = (n + 9) // 10
    return values[:tenth] + values[n - tenth:], values[n // 4:3 * n // 4], values


def summary(differences):
    cells = []
    for values in parts(differences):
        values = [v for v in values if v is not None]
        cells.append(f"{statistics.median(values):.4f} / {max(values):.4f}")
    return " | ".join(cells)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", default=os.path.join(ROOT, "build", "ringsmooth"))
    parser.add_argument("files", nargs="*", default=[
        os.path.join(ROOT, "tests", "input", "tucson", "ca533.rwl"),
        os.path.join(ROOT, "tests", "input", "tucson", "co021.rwl")])
    args = parser.parse_args()
    print("absolute differences of the ratio index, median / largest: first and last tenth | "
          "middle half | all")
    with tempfile.TemporaryDirectory() as work:
        for label, extended, natural in PAIRS:
            print(label)
            for table in args.files:
                a_chron, a_series = run(args.binary, extended, table, os.path.join(work, "a"))
                b_chron, b_series = run(args.binary, natural, table, os.path.join(work, "b"))
                years = sorted(set(a_chron) & set(b_chron))
                chron = [abs(a_chron[y] - b_chron[y]) for y in years]
                per_series = [[], [], []]
                for name, a in a_series.items():
                    d = [None if x is None or y is None else abs(x - y)
                         for x, y in zip(a, b_series[name])]
                    for i, part in enumerate(parts(d)):
                        per_series[i] += part
                name = os.path.basename(table)
                print(f"  {name:10s} chronology  {summary(chron)}")
                print(f"  {name:10s} series      " + " | ".join(
                    f"{statistics.median([v for v in p if v is not None]):.4f} / "
                    f"{max(v for v in p if v is not None):.4f}" for p in per_series))


if __name__ == "__main__":
    sys.exit(main())
