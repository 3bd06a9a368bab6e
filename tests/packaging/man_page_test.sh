#!/usr/bin/env bash
# The man page formats without a single groff warning, has every section a user looks for,
# quotes the program's questions word for word and names the project's version. The page is
# rendered once by groff into a file and every check searches that file: no check depends on man's
# pager or caches, and no grep reads from a pipe (where its early exit could cut off the writer).
# Usage: man_page_test.sh PAGE VERSION
set -uo pipefail
page=$1
version=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

command -v groff > /dev/null || { echo "SKIP: groff is not installed"; exit 77; }

warnings=$(groff -man -ww -z "$page" 2>&1)
status=$?
[ "$status" -eq 0 ] || fail "groff exited with $status"
[ -z "$warnings" ] || fail "groff -man -ww -z is not silent:"$'\n'"$warnings"

rendered=$work/page.txt
groff -man -Tutf8 -rLL=80n -P-cbou "$page" > "$rendered" 2> /dev/null
[ -s "$rendered" ] || fail "the page renders to nothing"
# Joined into one line with single blanks, so that filled text can be searched across line breaks.
flat=$work/flat.txt
tr -s ' \n' '  ' < "$rendered" | sed 's/‐ //g; s/- \([a-z]\)/-\1/g' > "$flat"
status_section=$work/status.txt
sed -n '/^EXIT STATUS/,/^ENVIRONMENT/p' "$rendered" > "$status_section"

for section in NAME SYNOPSIS DESCRIPTION OPTIONS DIALOGUE "INPUT TABLE" "OUTPUT LISTING" PLOTS \
               LIMITS "EXIT STATUS" ENVIRONMENT FILES EXAMPLES; do
  grep -qx "$section" "$rendered" || fail "no section $section"
done

for prompt in "Enter the input file (/ to exit)" "Enter the output file" \
              "Enter number of columns including years" \
              "Enter missing value flag, e.g., -999.00" \
              "Enter the 50% frequency response cutoff" "Normalize the input data first? y/n" \
              "Maximum x-axis range for all plots? y/n"; do
  grep -qF -- "$prompt" "$flat" || fail "prompt not quoted: $prompt"
done

for name in RINGSMOOTH_PLOT_DEVICE PLPLOT_LIB pngcairo xwin null "--help" "--version"; do
  grep -qF -- "$name" "$flat" || fail "$name is not mentioned"
done

# Every exit status the program uses is described.
for status_code in 0 1 2 3; do
  grep -qE "^ +$status_code( |$)" "$status_section" ||
    fail "exit status $status_code is not described"
done

grep -q "^\.TH RINGSMOOTH 1 [0-9-]* \"ringsmooth $version\"" "$page" ||
  fail ".TH does not name version $version"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "man page checks passed"
