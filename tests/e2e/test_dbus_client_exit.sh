# A client that leaves the bus mid-report loses nothing: its object is released, which ends
# the print job, and the page reaches the printer.
source "$(dirname "$0")/dbus_lib.sh"

"$ZEL_BUILD_DIR/bin/test_server" --gtest_also_run_disabled_tests \
    --gtest_filter=HoldingClient.DISABLED_CreatesAnObjectAndHoldsItsConnection \
    >"$ZEL_E2E_TMP/client.out" 2>&1 &
CLIENT=$!
PIDS+=($CLIENT)
for _ in $(seq 100); do
    OBJ=$(grep -o '^/clsPrint/[0-9]*$' "$ZEL_E2E_TMP/client.out")
    [ -n "$OBJ" ] && break
    sleep 0.1
done
[ -n "$OBJ" ] || fail "the holding client made no object: $(cat "$ZEL_E2E_TMP/client.out")"
echo "ok: the client created $OBJ"

# Another connection draws on it; the object stays the holding client's.
call "$OBJ" SetMode v s P >/dev/null || fail "SetMode"
call "$OBJ" AddTekst 'vvva{sv}' i 1 i 5 s "Regel van een vertrokken klant" 0 >/dev/null ||
    fail "AddTekst"
expect "nothing printed while the job is open" "" "$(ls "$ZEL_E2E_TMP/pdf")"

kill "$CLIENT"
wait "$CLIENT" 2>/dev/null
for _ in $(seq 50); do
    call_error "$OBJ" GetResult | grep -q "No object" && break
    sleep 0.1
done
expect "the object went with its client" "Call failed: No object at $OBJ" \
    "$(call_error "$OBJ" GetResult)"
wait_for_file "$ZEL_E2E_TMP/pdf/job-*.pdf" 10 || fail "no PDF after the client left"
pdftotext "$ZEL_E2E_TMP"/pdf/job-*.pdf - | grep -q "Regel van een vertrokken klant" ||
    fail "the printed text is not in the PDF"
echo "ok: the job was ended and printed"

PID=$(server_pid)
kill -TERM "$PID"
wait_gone "$PID" 10 || fail "the server did not end on SIGTERM"
