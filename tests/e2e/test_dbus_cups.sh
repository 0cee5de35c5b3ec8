# A client's own CUPS queue, chosen at Create before the server's destination: a queue CUPS does
# not know is error 482 there, and a job goes to the chosen queue, its JobEnded naming the queue
# and the CUPS job id.
source "$(dirname "$0")/dbus_lib.sh"
source "$(dirname "$0")/lib/cups.sh"
trap 'cups_stop; cleanup' EXIT

chmod 755 "$ZEL_E2E_TMP"  # the filters run as the lp user and read the spool below it
cups_start "$ZEL_E2E_TMP/cups" || fail "cannot start a private CUPS server"
cups_add_pdf_queue ZelBus "$ZEL_E2E_TMP/out" || fail "cannot add the cups-pdf queue"

# Started here rather than by activation, so that the server sees this CUPS (CUPS_SERVER).
"$ZELPRINT" serve 2>>"$ZEL_E2E_TMP/server.err" &
PIDS+=($!)
for _ in $(seq 100); do
    bus status "$NAME" >/dev/null 2>&1 && break
    sleep 0.1
done

expect "an unknown queue at Create" "Call failed: 482: Printer error: GeenPrinter: unknown queue" \
    "$(bus call "$NAME" / ZelPrintDemo.Server Create 'a{sv}' 1 Printer s GeenPrinter 2>&1)"

"$ZEL_BUILD_DIR/bin/zelprint-client-sdbus" ZelBus >"$ZEL_E2E_TMP/said" 2>&1 ||
    fail "the example failed: $(cat "$ZEL_E2E_TMP/said")"
job=$(sed -n 's/^job ZelBus \([0-9][0-9]*\) 2 pages$/\1/p' "$ZEL_E2E_TMP/said")
[ -n "$job" ] || fail "no JobEnded for the queue: $(cat "$ZEL_E2E_TMP/said")"
echo "ok: JobEnded names the queue and job $job"
cups_wait_idle ZelBus 30 || fail "the job did not leave the queue"
lpstat -W completed -o ZelBus | grep -q "^ZelBus-$job " ||
    fail "CUPS knows no completed job $job: $(lpstat -W completed -o ZelBus)"
echo "ok: CUPS completed that job"
expect "the server's own destination got nothing" "" "$(ls "$ZEL_E2E_TMP/pdf")"
shopt -s nullglob
files=("$ZEL_E2E_TMP"/out/*.pdf)
expect "one file from the queue" 1 "${#files[@]}"
pdftotext "${files[0]}" - | grep -q "Regel 30" || fail "the queue's file lacks the report"
echo "ok: the report came out of the queue"
