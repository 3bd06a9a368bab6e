#!/usr/bin/env bash
# The R and Python snippets of the README, run as they stand against a listing the
# program writes for the bundled sample table. Their tables are checked against the sample
# table itself (read here with awk): the series in order, every year of each series' span, each
# present value as "unfilt", and resids = unfilt - spline on every line.
# Skips (status 77) where neither Rscript nor a Python with pandas is installed.
# Usage: read_listing_test.sh PROGRAM SOURCE_DIR
set -uo pipefail
program=$1
source=$2
doc="$source/README.md"

python=""
for candidate in python3 /usr/bin/python3; do
  if command -v "$candidate" > /dev/null && "$candidate" -c 'import pandas' 2> /dev/null; then
    python=$candidate
    break
  fi
done
have_r=no
command -v Rscript > /dev/null && have_r=yes
if [ -z "$python" ] && [ "$have_r" = no ]; then
  echo "SKIP: neither Rscript nor a Python with pandas is installed"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cp "$source/examples/sample.txt" .
printf '%s\n' sample.txt sample.lst 5 -999 30 n n |
  RINGSMOOTH_PLOT_DEVICE=null "$program" > console.txt 2>&1
status=$?
if [ "$status" -ne 0 ] || [ ! -s sample.lst ]; then
  cat console.txt
  echo "FAIL: the program ended with status $status and no listing"
  exit 1
fi

# The oracle, from the table: every present cell, and each series' first and last year, in
# column order.
awk 'NR == 1 { columns = NF; for (c = 2; c <= NF; c++) name[c] = $c; print "series,year,value"; next }
     NF > 0 { for (c = 2; c <= NF; c++) if ($c + 0 != -999) {
                print name[c] "," $1 "," $c
                if (!(c in first)) first[c] = $1
                last[c] = $1 } }
     END { print "series,first,last" > "spans.csv"
           for (c = 2; c <= columns; c++) print name[c] "," first[c] "," last[c] > "spans.csv" }' \
  sample.txt > present.csv

# snippet LANG: the first fenced block of that language in the document.
snippet() { awk -v fence="\`\`\`$1" '$0 == fence { on = 1; next } on && /^```/ { exit } on' "$doc"; }

if [ "$have_r" = yes ]; then
  { snippet r
    cat << 'R'
present <- read.csv("present.csv", stringsAsFactors = FALSE)
spans <- read.csv("spans.csv", stringsAsFactors = FALSE)
stopifnot(identical(names(listing), c("series", "year", "unfilt", "spline", "resids")))
stopifnot(identical(unique(listing$series), spans$series))
for (i in seq_len(nrow(spans))) {
  rows <- listing[listing$series == spans$series[i], ]
  stopifnot(identical(as.integer(rows$year), as.integer(spans$first[i]:spans$last[i])))
}
stopifnot(all(abs(listing$resids - (listing$unfilt - listing$spline)) <= 0.0015))
both <- merge(present, listing, by = c("series", "year"))
stopifnot(nrow(both) == nrow(present), all(abs(both$value - both$unfilt) <= 0.0006))
cat("R read", nrow(listing), "lines of", length(unique(listing$series)), "series\n")
R
  } > check.R
  Rscript check.R || fail "the R snippet did not read the listing correctly"
else
  echo "R is not installed: its snippet is not checked"
fi

if [ -n "$python" ]; then
  { snippet python
    cat << 'PY'
import csv

present = list(csv.DictReader(open("present.csv")))
spans = list(csv.DictReader(open("spans.csv")))
assert list(listing.columns) == ["series", "year", "unfilt", "spline", "resids"], listing.columns
assert list(dict.fromkeys(listing.series)) == [s["series"] for s in spans], listing.series.unique()
for s in spans:
    years = list(listing[listing.series == s["series"]].year)
    assert years == list(range(int(s["first"]), int(s["last"]) + 1)), s
assert ((listing.resids - (listing.unfilt - listing.spline)).abs() <= 0.0015).all()
unfilt = {(r.series, r.year): r.unfilt for r in listing.itertuples()}
for cell in present:
    value = unfilt[(cell["series"], int(cell["year"]))]
    assert abs(float(cell["value"]) - value) <= 0.0006, (cell, value)
print("pandas read", len(listing), "lines of", listing.series.nunique(), "series")
PY
  } > check.py
  "$python" check.py || fail "the Python snippet did not read the listing correctly"
else
  echo "pandas is not installed: the Python snippet is not checked"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "listing snippets checked"
