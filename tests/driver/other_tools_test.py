#!/usr/bin/env python3
"""The batch run's outputs in the field's other tools, and the equivalences the documentation
states, each checked against the tool itself where it is installed here:

- a CSV (-f csv) read by pandas and by R's read.csv gives the listing's numbers: pandas' values,
  rounded to single precision, are the very floats the listing shows to 3 decimals; a year
  filled with the series mean reads as NA in value, residual and index, with filled 1;
- the chronology of ca533.rwl (--chronology=csv) is the Tukey biweight mean of value / spline
  computed here from the run's own CSV, to 1e-12 relative, with the counts of measured values
  as its depths;
- --ends=none agrees with scipy's make_smoothing_spline at lam = lambda (from --response), and
  with R's smooth.spline at lambda / (last year - first year)^3 with all knots;
- the gains --response prints are the amplitudes a long sinusoid keeps through scipy's spline.

usage: other_tools_test.py PROGRAM SAMPLE_TABLE RING_WIDTH_FILE
Exits 77 (skipped) when no Python with pandas and scipy is installed.
"""
import functools
import operator
import os
import shutil
import subprocess
import sys
import tempfile

try:
    import numpy as np
    import pandas as pd
    from scipy.interpolate import make_smoothing_spline
except ImportError:
    print("SKIP: this Python lacks numpy, pandas or scipy")
    sys.exit(77)

PROGRAM, SAMPLE, RWL = os.path.abspath(sys.argv[1]), sys.argv[2], sys.argv[3]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run(*arguments, cwd):
    done = subprocess.run([PROGRAM, *arguments], cwd=cwd, capture_output=True, text=True)
    check(done.returncode == 0, f"{arguments}: status {done.returncode}: {done.stderr}")
    return done.stdout


def listing_fields(path):
    """(series, year) -> the three 8-column fields of the fixed-width listing."""
    fields, name = {}, None
    for line in open(path):
        if line.startswith(" Input series is: "):
            name = line[18:].rstrip("\n").rstrip()
        elif len(line) == 30 and line[:5].strip().lstrip("-").isdigit():
            fields[(name, int(line[:5]))] = (line[5:13], line[13:21], line[21:29])
    return fields


def fixed(value):
    text = "%8.3f" % value
    return text if len(text) == 8 else "********"


def listed_ratio(frame):
    """Each measured year's value / spline in double precision from the CSV's single-precision
    numbers; in a series whose spline is not above 0 in every year, value / the mean of its
    measured values, summed in order (no index where that mean is not above 0 either)."""
    def exact(column):
        return column.to_numpy().astype(np.float32).astype(np.float64)
    ratios = []
    for _, rows in frame.groupby("series", sort=False):
        value, spline = exact(rows.value), exact(rows.spline)
        measured = value[rows.filled.to_numpy() == 0]
        if (spline > 0).all():
            ratios.append(measured / spline[rows.filled.to_numpy() == 0])
            continue
        mean = functools.reduce(operator.add, measured.tolist(), 0.0) / len(measured)
        ratios.append(measured / mean if mean > 0 else np.full(len(measured), np.nan))
    return np.concatenate(ratios)


def response(cutoff, cwd):
    return {name: float(value) for name, value in
            (line.split() for line in run("-c", str(cutoff), "--response", cwd=cwd).splitlines())}


work = tempfile.mkdtemp()
try:
    shutil.copy(SAMPLE, os.path.join(work, "sample.txt"))
    with open(os.path.join(work, "wide.txt"), "w") as f:
        f.write("Year Big Small\n")
        for i in range(60):
            small = "-999" if i in (7, 8, 30) else f"{0.001 * np.cos(i / 2):.6f}"
            f.write(f"{1800 + i} {9000 + 800 * np.sin(i / 3):.3f} {small}\n")
    for table in ("sample.txt", "wide.txt"):
        stem = table[:-4]
        run("-c", "20", "-o", stem + ".lst", table, cwd=work)
        run("-c", "20", "-f", "csv", table, cwd=work)
        expected = listing_fields(os.path.join(work, stem + ".lst"))
        csv = os.path.join(work, stem + ".spline.csv")

        # pandas: the header, every listed year once, and the very floats of the listing.
        frame = pd.read_csv(csv)
        check(list(frame.columns) ==
              ["series", "year", "value", "spline", "residual", "index", "filled"],
              f"{table}: CSV header {list(frame.columns)}")
        check(len(frame) == len(expected), f"{table}: {len(frame)} CSV rows, {len(expected)} listed")
        filled = frame[frame.filled == 1]
        check(len(filled) > 0, f"{table}: no filled year in the CSV")
        check(filled[["value", "residual", "index"]].isna().all().all() and
              filled.spline.notna().all(), f"{table}: filled years not NA:\n{filled}")
        index = pd.read_csv(csv, float_precision="round_trip")["index"][frame.filled == 0]
        check(np.array_equal(index.to_numpy(), listed_ratio(frame), equal_nan=True),
              f"{table}: index is not value / spline")
        for row in frame.itertuples():
            shown = (row.spline,) if row.filled else (row.value, row.spline, row.residual)
            got = tuple(fixed(np.float32(v)) for v in shown)
            want = expected.get((row.series, row.year))
            want = want and (want[1:2] if row.filled else want)
            if got != want:
                check(False, f"{table}: pandas {row.series} {row.year}: {got} vs listing {want}")
                break

        # R: read.csv gives numbers within the listing's rounding of every listed field.
        if shutil.which("Rscript"):
            listed = os.path.join(work, stem + ".fields.csv")
            pd.DataFrame([(s, y, *map(float, (f if "*" not in f else "nan" for f in v)))
                          for (s, y), v in expected.items()],
                         columns=["series", "year", "value", "spline", "residual"]
                         ).to_csv(listed, index=False)
            script = (
                f'd <- read.csv("{csv}"); l <- read.csv("{listed}");\n'
                'm <- merge(d, l, by = c("series", "year"));\n'
                'stopifnot(nrow(m) == nrow(d), nrow(d) == nrow(l));\n'
                'stopifnot(all(is.na(m$value.x) == (m$filled == 1)),\n'
                '          all(is.na(m$residual.x) == (m$filled == 1)), !any(is.na(m$spline.x)));\n'
                'for (col in c("value", "spline", "residual")) {\n'
                '  a <- m[[paste0(col, ".x")]]; b <- m[[paste0(col, ".y")]];\n'
                '  ok <- is.na(a) | is.na(b) | abs(a - b) <= 0.0005 + 1e-6 * abs(a);\n'
                '  if (!all(ok)) stop(paste(col, "differs"))\n'
                '}\ncat("R read", nrow(d), "rows\\n")\n')
            done = subprocess.run(["Rscript", "-e", script], capture_output=True, text=True)
            check(done.returncode == 0, f"{table}: R read.csv: {done.stderr.strip()}")
        else:
            print("Rscript is not installed: the R checks are skipped")

    # --ends=none against scipy and R, at the lambda --response gives.
    for cutoff in (5, 20, 60):
        lam = response(cutoff, work)["lambda"]
        run("-c", str(cutoff), "--ends=none", "-f", "csv", "-o", "none.csv", "sample.txt", cwd=work)
        frame = pd.read_csv(os.path.join(work, "none.csv"))
        for name, g in frame.groupby("series"):
            years = g.year.to_numpy(float)
            values = g.value.fillna(g.value.mean()).to_numpy()  # filled years: the mean
            fit = make_smoothing_spline(years, values, lam=lam)(years)
            error = np.max(np.abs(fit - g.spline.to_numpy())) / np.max(np.abs(g.value))
            check(error < 2e-6, f"scipy, cutoff {cutoff}, {name}: relative difference {error:.2e}")
        if shutil.which("Rscript"):
            script = (
                f'd <- read.csv("{os.path.join(work, "none.csv")}"); worst <- 0;\n'
                'for (s in unique(d$series)) { g <- d[d$series == s, ];\n'
                '  g$value[is.na(g$value)] <- mean(g$value, na.rm = TRUE);\n'
                f'  f <- smooth.spline(g$year, g$value, lambda = {lam!r} / (max(g$year) - min(g$year))^3,\n'
                '                     all.knots = TRUE);\n'
                '  worst <- max(worst, max(abs(predict(f, g$year)$y - g$spline)) / max(abs(g$value))) }\n'
                'if (worst > 1e-4) stop(paste("relative difference", worst))\n')
            done = subprocess.run(["Rscript", "-e", script], capture_output=True, text=True)
            check(done.returncode == 0, f"R smooth.spline, cutoff {cutoff}: {done.stderr.strip()}")

    # The chronology of a ring-width file: the biweight mean of value / spline, year by year.
    def biweight(x):
        m = np.median(x)
        u = (x - m) / (9 * np.median(np.abs(x - m)) + 1e-6)
        w = np.where(np.abs(u) <= 1, (1 - u * u) ** 2, 0.0)
        return x[0] if len(x) == 1 else np.sum(w * x) / np.sum(w)

    shutil.copy(RWL, os.path.join(work, "site.rwl"))
    run("-c", "67%", "-f", "csv", "--index=ratio", "--chronology=csv", "site.rwl", cwd=work)
    rows = pd.read_csv(os.path.join(work, "site.spline.csv"))
    chronology = pd.read_csv(os.path.join(work, "site.chron.csv"),
                             float_precision="round_trip").set_index("year")
    measured = rows[rows.filled == 0]
    ratio = listed_ratio(rows)
    by_year = pd.Series(ratio).groupby(measured.year.to_numpy())
    want = by_year.apply(lambda g: biweight(g.to_numpy()))
    check(list(chronology.index) == list(want.index), "chronology years differ")
    check(np.array_equal(chronology.depth.to_numpy(), by_year.size().to_numpy()),
          "chronology depths are not the counts of measured values")
    got, want = chronology["std"].to_numpy(), want.to_numpy()
    differ = np.abs(got - want) > 1e-12 * np.abs(want)  # years of index 0 (rings of width 0) too
    check(not differ.any(), f"chronology differs from the biweight mean in {differ.sum()} years")

    # The gains: a long sinusoid through scipy's spline at the same lam keeps that share.
    for cutoff in (10, 30):
        r = response(cutoff, work)
        check(r["gain_at_%d" % cutoff] == 0.5, f"gain at the cutoff {cutoff}: {r}")
        years = np.arange(4000.0)
        for name, gain in r.items():
            if not name.startswith("gain_at_"):
                continue
            period = float(name[len("gain_at_"):])
            angle = 2 * np.pi * years / period
            kept = make_smoothing_spline(years, np.sin(angle), lam=r["lambda"])(years)
            # Least squares on sine and cosine, away from the ends, over whole periods.
            window = slice(1000, 1000 + int(2000 // period * period))
            basis = np.column_stack([np.sin(angle[window]), np.cos(angle[window])])
            coefficients = np.linalg.lstsq(basis, kept[window], rcond=None)[0]
            amplitude = np.hypot(*coefficients)
            check(abs(amplitude - gain) < 0.003,
                  f"cutoff {cutoff}, period {period}: scipy keeps {amplitude:.4f}, --response {gain}")
finally:
    shutil.rmtree(work)

if failures:
    print(len(failures), "failure(s)")
    sys.exit(1)
print("other tools agree")
