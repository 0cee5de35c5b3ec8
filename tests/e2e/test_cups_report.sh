#!/usr/bin/env bash
# The test report printed through a real CUPS server to a cups-pdf queue: the file that comes
# out has as many pages as the queue's page grid gives (its paper and printable area, not the
# PDF destination's), the header on every page numbered from 2, every body line exactly once.
set -euo pipefail
: "${ZEL_BUILD_DIR:?set ZEL_BUILD_DIR to the build folder}"
here=$(dirname "$0")
source "$here/lib/report.sh"
source "$here/lib/cups.sh"

cups_script_begin

queue=ZelReport
cups_add_pdf_queue "$queue" "$tmp/out" || report_fail "cannot add the cups-pdf queue"

ZELPRINT_PRINTER=$queue "$ZEL_BUILD_DIR/bin/zelprint-report" >"$tmp/expected" ||
    report_fail "zelprint-report failed"
cups_wait_idle "$queue" 30 || report_fail "the job did not leave the queue"
report_expect "no PDF file of its own for a queue job" "" "$(grep '^job ' "$tmp/expected" || true)"

shopt -s nullglob
files=("$tmp/out"/*.pdf)
report_expect "files from the queue" 1 "${#files[@]}"
report_check "${files[0]}" "$tmp/expected"
