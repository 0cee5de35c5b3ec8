# The server's own end: it leaves --linger seconds after its last object, and on SIGTERM (or
# any other signal that would end it) it releases every open object first, so that no printed
# page is lost; SIGPIPE and a standard error nobody reads end nothing.
source "$(dirname "$0")/dbus_lib.sh"

# start_server LINGER: a server of this script's own, its PID in SERVER.
start_server() {
    "$ZELPRINT" serve --linger "$1" 2>>"$ZEL_E2E_TMP/server.err" &
    SERVER=$!
    PIDS+=($SERVER)
    for _ in $(seq 100); do
        bus status "$NAME" >/dev/null 2>&1 && return
        sleep 0.1
    done
    fail "the server did not take its name: $(cat "$ZEL_E2E_TMP/server.err")"
}

# print_line TEXT: a persistent object in printer mode with one line on its page.
print_line() {
    OBJ=$(create_persistent)
    call "$OBJ" SetMode v s P >/dev/null || fail "SetMode"
    call "$OBJ" AddTekst 'vvva{sv}' i 1 i 1 s "$1" 0 >/dev/null || fail "AddTekst"
}

pdf_text() {
    for f in "$ZEL_E2E_TMP"/pdf/job-*.pdf; do pdftotext "$f" -; done
}

# The command line: help and version succeed; bad usage is exit code 2 with one line.
while IFS='|' read -r args code message; do
    # shellcheck disable=SC2086 # the arguments are split on purpose
    said=$("$ZELPRINT" $args 2>&1 >/dev/null)
    expect "zelprint $args: exit code" "$code" "$?"
    expect "zelprint $args: standard error" "$message" "$said"
done <<'CASES'
--help|0|
--version|0|
|2|zelprint: a command is needed (see zelprint --help)
bogus|2|zelprint: unknown command bogus (see zelprint --help)
interface DIR extra|2|zelprint: unexpected argument extra (see zelprint --help)
serve --linger abc|2|zelprint: --linger takes seconds from 0 to 86400 (see zelprint --help)
serve extra|2|zelprint: unexpected argument extra (see zelprint --help)
CASES

start_server 1
wait_gone "$SERVER" 5 || fail "a server without objects did not leave after --linger"
echo "ok: no object, the server leaves after --linger"

start_server 1
"$ZELPRINT" serve 2>"$ZEL_E2E_TMP/second.err"
expect "a second server exits non-zero" 1 "$?"
expect "with one line" "zelprint: the bus name ZelPrintDemo.clsPrint is taken" \
    "$(cat "$ZEL_E2E_TMP/second.err")"

print_line "Afgedrukt voor het vertrek"
sleep 1.5
kill -0 "$SERVER" 2>/dev/null || fail "the server left while an object was open"
call "$OBJ" Release >/dev/null || fail "Release"
wait_gone "$SERVER" 5 || fail "the server did not leave after its last object"
wait "$SERVER"
expect "the server's exit code after --linger" 0 "$?"
pdf_text | grep -q "Afgedrukt voor het vertrek" || fail "the released job is not printed"
echo "ok: released, printed, and gone after --linger"

start_server 30
print_line "Afgedrukt bij SIGTERM"
expect "only the earlier job is printed while this one is open" 1 "$(ls "$ZEL_E2E_TMP/pdf" | wc -l)"
kill -TERM "$SERVER"
wait_gone "$SERVER" 10 || fail "the server did not end on SIGTERM"
wait "$SERVER"
expect "the server's exit code after SIGTERM" 0 "$?"
pdf_text | grep -q "Afgedrukt bij SIGTERM" || fail "the open job was lost at SIGTERM"
echo "ok: SIGTERM ends the open job before the server leaves"

# The terminal the server was started from closes (SIGHUP), a quit from it (SIGQUIT), or a stray
# SIGUSR1, SIGUSR2, SIGALRM or real-time signal: the same orderly end.
for sig in HUP USR1 USR2 QUIT ALRM RTMIN; do
    start_server 30
    print_line "Afgedrukt bij SIG$sig"
    kill -"$sig" "$SERVER"
    wait_gone "$SERVER" 10 || fail "the server did not end on SIG$sig"
    wait "$SERVER"
    expect "the server's exit code after SIG$sig" 0 "$?"
    pdf_text | grep -q "Afgedrukt bij SIG$sig" || fail "the open job was lost at SIG$sig"
done
echo "ok: SIGHUP, SIGUSR1, SIGUSR2, SIGQUIT, SIGALRM and SIGRTMIN end the open jobs first"

# SIGPIPE, and writes to a standard error whose reader has gone (a missing template without a
# display notes its cancelled dialog there): the server serves on and writes the report at
# SIGTERM.
"$ZELPRINT" serve --linger 30 2> >(exec true) &
SERVER=$!
PIDS+=($SERVER)
for _ in $(seq 100); do bus status "$NAME" >/dev/null 2>&1 && break; sleep 0.1; done
print_line "Voor SIGPIPE"
kill -PIPE "$SERVER"
call "$OBJ" PrintFromSjabloon vvv s "" s "" s "$ZEL_E2E_TMP/weg.psj" >/dev/null ||
    fail "PrintFromSjabloon after SIGPIPE"
call "$OBJ" AddTekst 'vvva{sv}' i 2 i 1 s "Na SIGPIPE" 0 >/dev/null ||
    fail "AddTekst after a failed write to standard error"
kill -TERM "$SERVER"
wait_gone "$SERVER" 10 || fail "the server did not end on SIGTERM after SIGPIPE"
wait "$SERVER"
expect "the server's exit code after SIGPIPE and SIGTERM" 0 "$?"
expect "both lines written" "Voor SIGPIPE|Na SIGPIPE" "$(pdf_text | grep -o 'Voor SIGPIPE\|Na SIGPIPE' | tr '\n' '|' | sed 's/|$//')"
