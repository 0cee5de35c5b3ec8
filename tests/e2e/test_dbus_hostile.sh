# Hostile input: thousands of generated calls on every member and property of one object, with
# wrong kinds, Null, Empty, NaN and infinities, integers at and past every range edge, 1 MB
# strings, unknown keys and members, wrong signatures, unknown objects. Each is answered in
# time (an error carries its number), the server stays up with bounded memory, and the object
# prints a correct page afterwards.
source "$(dirname "$0")/dbus_lib.sh"

CALLS=2500
started=$SECONDS
out=$("$ZEL_BUILD_DIR/bin/bus-client" hostile "$CALLS" 12 2>&1) || fail "$out"
expect "every call answered" "$CALLS calls answered" "$out"
echo "ok: $CALLS calls in $((SECONDS - started)) s"
PID=$(server_pid)
rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$PID/status")
echo "memory: $rss kB after the calls"
[ "$rss" -lt $((1024 * 1024)) ] || fail "the server holds $rss kB"
wait_for_file "$ZEL_E2E_TMP/pdf/job-*.pdf" 10 || fail "no PDF"
for f in "$ZEL_E2E_TMP"/pdf/job-*.pdf; do pdftotext "$f" -; done | grep -q "Na de aanval" ||
    fail "the page after the bad calls is not in any PDF"
echo "ok: the object printed its page after the bad calls"
