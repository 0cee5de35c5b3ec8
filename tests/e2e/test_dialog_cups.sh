#!/usr/bin/env bash
# The printer dialog of "Selecteer Printer" against a real CUPS queue: the copies, duplex, paper
# and colour chosen in it are kept with the queue (the window test that needs a queue).
set -euo pipefail
: "${ZEL_BUILD_DIR:?set ZEL_BUILD_DIR to the build folder}"
here=$(dirname "$0")
source "$here/lib/report.sh"
source "$here/lib/cups.sh"

cups_script_begin
cups_add_pdf_queue ZelDialog "$tmp/out" || report_fail "cannot add the cups-pdf queue"
QT_QPA_PLATFORM=offscreen ZEL_TEST_QUEUE=ZelDialog "$ZEL_BUILD_DIR/bin/test_windows" \
    --gtest_filter='QuestionsTest.PrinterDialogChoicesGoWithTheQueue' >"$tmp/log" 2>&1 ||
    report_fail "$(cat "$tmp/log")"
grep -q "1 test.*PASSED\|PASSED.*1 test" "$tmp/log" || report_fail "the dialog test did not run: $(cat "$tmp/log")"
echo "ok: the dialog's choices go with the queue"
