#!/usr/bin/env bash
# The test report printed to PDF files: exactly one job file, as many pages as the page grid
# gives, the header on every page numbered from 2, every body line exactly once on its page.
set -euo pipefail
: "${ZEL_BUILD_DIR:?set ZEL_BUILD_DIR to the build folder}"
source "$(dirname "$0")/lib/report.sh"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
report_env "$tmp"

ZELPRINT_PRINTER=pdf:$tmp/pdf "$ZEL_BUILD_DIR/bin/zelprint-report" >"$tmp/expected" ||
    report_fail "zelprint-report failed"

# One finished job and nothing else: no spool file is left behind.
report_expect "files in the PDF folder" "job-0001.pdf" "$(ls -A "$tmp/pdf" | tr '\n' ' ' | sed 's/ $//')"
report_expect "the job the report names" "job $tmp/pdf/job-0001.pdf" "$(grep '^job ' "$tmp/expected")"
report_check "$tmp/pdf/job-0001.pdf" "$tmp/expected"
