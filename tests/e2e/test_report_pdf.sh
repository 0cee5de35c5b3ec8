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

# A PDF folder whose file system fills up during the job: an error, and no job is published.
full=$tmp/full
mkdir -p "$full"
if mount -t tmpfs -o size=8k tmpfs "$full" 2>/dev/null; then
    trap 'umount "$full" 2>/dev/null || true; rm -rf "$tmp"' EXIT
    if ZELPRINT_PRINTER=pdf:$full "$ZEL_BUILD_DIR/bin/zelprint-report" >/dev/null 2>"$tmp/full.err"; then
        report_fail "a job on a full file system was reported as printed"
    fi
    grep -q "482" "$tmp/full.err" || report_fail "no printer error: $(cat "$tmp/full.err")"
    report_expect "files left on the full file system" "" "$(ls -A "$full")"
    umount "$full"
else
    echo "skipped: no small tmpfs can be mounted here (needs root)"
fi
