# A client's own CUPS queue, chosen at Create before the server's destination: a queue CUPS does
# not know is error 482 there, and a job goes to the chosen queue, its JobEnded naming the queue
# and the CUPS job id. JobOptions, Title and PrintColorMode reach the job (read back from CUPS's
# page log), an option CUPS would refuse is 482 at Create, and JobFinished tells how the job
# ended at CUPS: completed, or held by a stopped queue. A frozen CUPS at one client's job end
# does not hold up another client, and the first client's job is kept as a PDF file.
source "$(dirname "$0")/dbus_lib.sh"
source "$(dirname "$0")/lib/cups.sh"
trap 'cups_stop; cleanup' EXIT

chmod 755 "$ZEL_E2E_TMP"  # the filters run as the lp user and read the spool below it
cups_start "$ZEL_E2E_TMP/cups" || fail "cannot start a private CUPS server"
cups_add_pdf_queue ZelBus "$ZEL_E2E_TMP/out" || fail "cannot add the cups-pdf queue"

# Started here rather than by activation, so that the server sees this CUPS (CUPS_SERVER).
export XDG_DOCUMENTS_DIR=$ZEL_E2E_TMP/documents
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

# finished OBJECT: the JobFinished signal of the object's job, as (document, state, reason).
finished() {
    local tenths=300
    until grep -q "$1: ZelPrintDemo.Jobs.JobFinished" "$ZEL_E2E_TMP/monitor"; do
        [ "$tenths" -gt 0 ] || fail "no JobFinished for $1: $(cat "$ZEL_E2E_TMP/monitor")"
        tenths=$((tenths - 1))
        sleep 0.1
    done
    sed -n "s|^$1: ZelPrintDemo.Jobs.JobFinished ||p" "$ZEL_E2E_TMP/monitor"
}
# print_one OBJECT: one line on the printer, then the object's release ends the job.
print_one() {
    call "$1" Reset 'a{sv}' 1 UitvoerMode s P >/dev/null || fail "Reset $1"
    call "$1" AddTekst 'vvva{sv}' i 1 i 1 s "Regel een" 0 >/dev/null || fail "AddTekst $1"
}
gdbus monitor --session -d "$NAME" >"$ZEL_E2E_TMP/monitor" 2>&1 &
PIDS+=($!)
sleep 0.5

obj=$(bus call "$NAME" / ZelPrintDemo.Server Create 'a{sv}' 4 Persistent b true Printer s ZelBus \
    Title s "Lijst juni" JobOptions 'a{ss}' 3 copies 2 media A5 sides two-sided-short-edge |
    sed 's/^o "\(.*\)"$/\1/')
bus set-property "$NAME" "$obj" "$OBJ_IFACE" PrintColorMode i 1 || fail "set PrintColorMode"
print_one "$obj"
bus call "$NAME" "$obj" "$OBJ_IFACE" Release || fail "Release $obj"
said=$(finished "$obj")
job=$(sed -n "s/^('\([0-9]*\)', 'completed', '')$/\1/p" <<<"$said")
[ -n "$job" ] || fail "the job did not complete: $said"
echo "ok: JobFinished says job $job completed"
cups_wait_idle ZelBus 30 || fail "the job did not leave the queue"
expect "copies, title, paper, sides and PrintColorMode in the page log" \
    "2 - localhost Lijst juni A5 two-sided-short-edge monochrome" \
    "$(awk -v id="$job" '$3 == id' "$ZEL_E2E_TMP/cups/log/page_log" | sed 's/.*\] total //')"

expect "an option CUPS refuses, at Create" \
    "Call failed: 482: Printer error: ZelBus: number-up=3: not supported (the queue takes 1,2,4,6,9,16)" \
    "$(bus call "$NAME" / ZelPrintDemo.Server Create 'a{sv}' 2 Printer s ZelBus \
        JobOptions 'a{ss}' 1 number-up 3 2>&1)"

# A stopped queue: the job waits there, and the client is told.
cupsdisable ZelBus
obj=$(bus call "$NAME" / ZelPrintDemo.Server Create 'a{sv}' 2 Persistent b true Printer s ZelBus |
    sed 's/^o "\(.*\)"$/\1/')
print_one "$obj"
bus call "$NAME" "$obj" "$OBJ_IFACE" Release || fail "Release $obj"
said=$(finished "$obj")
grep -q "^('[0-9]*', 'held', 'queue stopped')$" <<<"$said" || fail "a stopped queue not told: $said"
echo "ok: JobFinished says the queue is stopped"
cancel -a ZelBus
cupsenable ZelBus

# CUPS frozen while one client's job ends: another client's calls are answered meanwhile, and
# the first client learns that its job was kept as a PDF file.
frozen=$(bus call "$NAME" / ZelPrintDemo.Server Create 'a{sv}' 2 Persistent b true Printer s ZelBus |
    sed 's/^o "\(.*\)"$/\1/')
other=$(bus call "$NAME" / ZelPrintDemo.Server Create 'a{sv}' 2 Persistent b true \
    Printer s "pdf:$ZEL_E2E_TMP/other" | sed 's/^o "\(.*\)"$/\1/')
print_one "$frozen"
kill -STOP "$CUPS_PID"
busctl --user --timeout=60 call "$NAME" "$frozen" "$OBJ_IFACE" Release >"$ZEL_E2E_TMP/frozen" 2>&1 &
releasing=$!
sleep 1
start=$(date +%s%N)
expect "another client's read while CUPS is frozen" "i 1" "$(get "$other" StartLine)"
elapsed=$((($(date +%s%N) - start) / 1000000))
[ "$elapsed" -lt 1000 ] || fail "another client waited $elapsed ms"
echo "ok: answered in $elapsed ms"
wait "$releasing" && fail "the frozen job was reported printed: $(cat "$ZEL_E2E_TMP/frozen")"
kill -CONT "$CUPS_PID"
grep -q "482: Printer error: ZelBus: CUPS did not take the job within 15 s; the job was kept as $ZEL_E2E_TMP/documents/ZelPrintDemo/job-0001.pdf" \
    "$ZEL_E2E_TMP/frozen" || fail "the frozen job's answer: $(cat "$ZEL_E2E_TMP/frozen")"
pdftotext "$ZEL_E2E_TMP/documents/ZelPrintDemo/job-0001.pdf" - | grep -q "Regel een" ||
    fail "the kept file lacks the job"
echo "ok: the job CUPS did not take was kept"
