#!/usr/bin/env bash
# zelprint print: a template and a text file each become one PDF job with every line and the
# numbered header; a missing file, an unknown queue and an unwritable folder fail with one
# line that names them, exit 1 and leave no job.
set -euo pipefail
: "${ZEL_BUILD_DIR:?set ZEL_BUILD_DIR to the build folder}"
source "$(dirname "$0")/lib/report.sh"

tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
report_env "$tmp"
zelprint=$ZEL_BUILD_DIR/bin/zelprint

made=$("$zelprint" print "$ZEL_SOURCE_DIR/examples/voorraad.psj" --printer "pdf:$tmp/pdf" \
    --header "Lijst blad #B") || report_fail "template not printed"
report_expect "where the template went" "$tmp/pdf/job-0001.pdf" "$made"
pages=$(pdfinfo "$made" | awk '/^Pages:/ { print $2 }')
[ "$pages" -ge 2 ] || report_fail "template: expected several pages, got $pages"
report_expect "the header on the last page" "Lijst blad $pages" \
    "$(report_page_text "$made" "$pages" | head -1 | tr -s ' ')"
report_expect "template lines" "$(grep -c 'A-1' "$ZEL_SOURCE_DIR/examples/voorraad.psj")" \
    "$(pdftotext "$made" - | grep -c 'A-1')"

# Every kind of line end, a tab, and a last line without one.
printf 'een\ntwee\r\ndrie\rvier\tvijf\nzes' >"$tmp/lines.txt"
made=$("$zelprint" print --text "$tmp/lines.txt" --printer "pdf:$tmp/pdf" --orientation 2) ||
    report_fail "text file not printed"
report_expect "text lines" "een|twee|drie|vier vijf|zes" \
    "$(report_page_text "$made" 1 | tr -s ' ' | tr -d '\f' | grep -v '^$' | paste -sd'|')"
report_expect "landscape" "yes" "$(pdfinfo "$made" | awk '/^Page size:/ { print ($3 > $5) ? "yes" : "no" }')"

# failure ARGS... : exit 1, one line on standard error that contains $expect, no new job.
failure() {
    local code=0
    "$zelprint" print "$@" >"$tmp/out" 2>"$tmp/err" || code=$?
    report_expect "exit code of print $*" 1 "$code"
    report_expect "one error line for print $*" 1 "$(grep -cv 'QStandardPaths' "$tmp/err")"
    grep -q -- "$expect" "$tmp/err" || report_fail "message does not name $expect: $(cat "$tmp/err")"
    report_expect "jobs after print $*" 2 "$(ls "$tmp/pdf" | wc -l)"
}
expect=$tmp/missing.psj failure "$tmp/missing.psj" --printer "pdf:$tmp/pdf"
expect=zelprint-no-such-queue failure "$tmp/lines.txt" --text --printer zelprint-no-such-queue
mkdir -m 500 "$tmp/locked"
if [ ! -w "$tmp/locked" ]; then  # root writes anywhere
    expect=$tmp/locked failure "$tmp/lines.txt" --text --printer "pdf:$tmp/locked"
fi
expect=/proc/zelprint failure "$tmp/lines.txt" --text --printer "pdf:/proc/zelprint"
# A line past the longest text (1 048 576 characters) fails with 7 and names the line.
{ echo eerste; head -c $((10 << 20)) /dev/zero | tr '\0' x; echo; } >"$tmp/long.txt"
expect="long.txt, line 2" failure "$tmp/long.txt" --text --printer "pdf:$tmp/pdf"
# A template line past it names the file and the line too.
{ printf 'eerste\r\n'; head -c $((10 << 20)) /dev/zero | tr '\0' x; printf '\r\n'; } >"$tmp/long.psj"
expect="long.psj, line 2" failure "$tmp/long.psj" --printer "pdf:$tmp/pdf"

# An unknown default set is a usage error that names the known ones.
code=0
"$zelprint" print --text "$tmp/lines.txt" --default Foo --printer "pdf:$tmp/pdf" 2>"$tmp/err" ||
    code=$?
report_expect "exit code of --default Foo" 2 "$code"
grep -q "TERMINAL, TERMINAL7B" "$tmp/err" || report_fail "the known sets are not named: $(cat "$tmp/err")"
report_expect "jobs after --default Foo" 2 "$(ls "$tmp/pdf" | wc -l)"

# A template as written on the original platform (Windows-1252) or by an editor here (LF line
# ends): every line on its own, every letter as written; the page number is the page's own.
printf 'Factuur blad #B\nCaf\xe9 in Belgi\xeb\n' >"$tmp/factuur.psj"
made=$("$zelprint" print "$tmp/factuur.psj" --printer "pdf:$tmp/pdf") ||
    report_fail "the Windows-1252 template was not printed"
report_expect "Windows-1252 template lines" "Factuur blad 1|Café in België" \
    "$(report_page_text "$made" 1 | tr -s ' ' | tr -d '\f' | grep -v '^$' | paste -sd'|')"
