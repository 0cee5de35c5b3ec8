# The page confirmation of the screen modes on a real X display (Xvfb with openbox): a "PS"
# report driven over D-Bus with busctl, each confirmation answered with xdotool or the window
# manager's close, and the printed job checked with poppler.
source "$(dirname "$0")/dbus_lib.sh"
source "$(dirname "$0")/lib/x11.sh"
trap 'screen_stop_server; cleanup; x11_stop' EXIT

T=$ZEL_E2E_TMP
declare -A WIDS WAITS
screen_begin screen_confirm

prop() {
    busctl --user --timeout=5 get-property "$NAME" "$OBJ" "$OBJ_IFACE" "$1"
}

# break_page [OUT [OPEN_WID]]: starts NieuwBlad in the background (it waits for the answer), its
# reply going to OUT, and the id of its confirmation window (not OPEN_WID, another client's
# question that is open already) in WID.
break_page() {
    local out=${1:-$T/nieuwblad}
    call_waiting "$OBJ" NieuwBlad v i 3 >"$out" 2>&1 &
    WAIT_PID=$!
    PIDS+=("$WAIT_PID")
    WID=""
    for _ in $(seq 200); do
        WID=$(xdotool search --onlyvisible --name "$FRMOK_TITLE" | grep -v -x "${2:-none}" |
            head -n 1)
        [ -n "$WID" ] && break
        sleep 0.1
    done
    [ -n "$WID" ] || fail "no confirmation window"
    kill -0 "$WAIT_PID" 2>/dev/null || fail "NieuwBlad returned before the answer: $(cat "$out")"
}

# answered WHAT EXPECTED: NieuwBlad's reply once it returns.
answered() {
    await "$WAIT_PID" "NieuwBlad after $1"
    expect "NieuwBlad after $1" "$2" "$(cat "$T/nieuwblad")"
}

# other_main_window [WID]: a visible main window other than WID, or nothing.
other_main_window() {
    xdotool search --onlyvisible --name "$FRMPRINT_TITLE" | grep -v -x "${1:-none}" | head -n 1
}

# start_report [WID]: a new persistent object in mode "PS" with a header, its window shown; with
# WID, another client's window is up already and the new one must be a window of its own.
start_report() {
    OBJ=$(create_persistent)
    call "$OBJ" SetMode v s PS >/dev/null || fail "SetMode PS"
    call "$OBJ" AddKopregel 'vvva{sv}' i 1 i 1 s "Kop van het rapport" 0 >/dev/null ||
        fail "AddKopregel"
    call "$OBJ" Show >/dev/null || fail "Show"
    for _ in $(seq 100); do
        MAIN=$(other_main_window "${1:-}")
        [ -n "$MAIN" ] && return
        sleep 0.1
    done
    fail "Show put up no main window of its own"
}

start_report
body_text 3 "Blad 1 regel 3"
body_text 4 "Blad 1 regel 4"
expect "the first text starts page 1" "i 1" "$(prop CurrentPage)"

# Page 1: "Ja". While the question is open a second client's drawing call is held until the
# answer, and reads are answered at once.
break_page
call_waiting "$OBJ" AddTekst 'vvva{sv}' i 3 i 5 s "Blad 2 regel 3" 0 >"$T/held" 2>&1 &
HELD=$!
PIDS+=("$HELD")
expect "CurrentPage is read during the wait" "i 1" "$(prop CurrentPage)"
expect "GetResult is read during the wait" "b true" "$(call "$OBJ" GetResult)"
sleep 1
kill -0 "$HELD" 2>/dev/null || fail "AddTekst was answered during the wait: $(cat "$T/held")"
echo "ok: a second client's AddTekst is held while the question is open"
x11_stacked_above "$WID" "$MAIN" || fail "the confirmation window is not above the main window"
echo "ok: the confirmation window stays above the main window"
x11_screenshot "$ARTIFACTS/page1-confirm.png"
frmok_click "$WID" Ja
answered Ja "b true"
await "$HELD" "the held AddTekst"
expect "the held AddTekst runs after the answer" "b false" "$(cat "$T/held")"
expect "the text after the confirmation starts page 2" "i 2" "$(prop CurrentPage)"
expect "GetResult after Ja" "b true" "$(call "$OBJ" GetResult)"
expect "AnnulerenPressed after Ja" "b false" "$(prop AnnulerenPressed)"

# Page 2: "Afbreken". The report's later texts are dropped.
break_page
frmok_click "$WID" Afbreken
answered Afbreken "b false"
expect "GetResult after Afbreken" "b false" "$(call "$OBJ" GetResult)"
expect "AnnulerenPressed after Afbreken" "b true" "$(prop AnnulerenPressed)"
body_text 3 "Na het afbreken"
expect "no page starts after Afbreken" "i 2" "$(prop CurrentPage)"

# The release ends the printer's side of the job: the pages before the abort, each with the
# header and its own body.
expect "Release" "" "$(call "$OBJ" Release)"
PDF=$(pdf_job 1)
expect_pages "$PDF" 2
grep -q "Na het afbreken" <<<"$(pdftotext "$PDF" -)" && fail "a text after the abort was printed"
echo "ok: nothing after the abort was printed"

# A second report: the window manager's close counts as "Afbreken".
if command -v wmctrl >/dev/null; then
    start_report
    body_text 3 "Blad 1 regel 3"
    break_page
    wmctrl -i -c "$WID" || fail "wmctrl could not close the confirmation window"
    answered "the window manager's close" "b false"
    expect "AnnulerenPressed after the close" "b true" "$(prop AnnulerenPressed)"
    expect "Release of the second report" "" "$(call "$OBJ" Release)"
    expect_pages "$(pdf_job 2)" 1
else
    echo "skip: wmctrl is not installed, the window manager's close is not tried"
fi

# Two applications in mode "PS", each with windows of its own: while A waits for its
# confirmation, B prints and releases without waiting for A's user, and A's window never shows
# B's lines. Then "Ja" ends A's wait and each job holds only its own report.
start_report
A=$OBJ A_MAIN=$MAIN
body_text 3 "Blad 1 regel 3 van A"
break_page
import -window "$A_MAIN" "$T/a-before.png" || fail "no picture of A's window"
start_report "$A_MAIN"
for line in 3 4; do body_text "$line" "Blad 1 regel $line van B"; done
expect "B's release during A's wait" "" "$(call "$OBJ" Release)"
echo "ok: B printed and released in a window of its own while A's confirmation was open"
for _ in $(seq 100); do [ -z "$(other_main_window "$A_MAIN")" ] && break; sleep 0.1; done
[ -z "$(other_main_window "$A_MAIN")" ] || fail "B's window stayed after its release"
kill -0 "$WAIT_PID" 2>/dev/null || fail "A's wait ended without an answer"
sleep 0.5  # A's window, uncovered, draws itself again
import -window "$A_MAIN" "$T/a-after.png" || fail "no picture of A's window"
changed=$(compare -metric AE "$T/a-before.png" "$T/a-after.png" null: 2>&1 || true)
expect "pixels of A's window that changed while B printed" "0" "$changed"
frmok_click "$WID" Ja
answered Ja "b true"
OBJ=$A
body_text 3 "Blad 2 regel 3 van A"
expect "A's release" "" "$(call "$OBJ" Release)"
B_PDF=$(pdf_job 3) A_PDF=$(pdf_job 4)
expect_pages "$B_PDF" 1
expect_pages "$A_PDF" 2
grep -q "van A" <<<"$(pdftotext "$B_PDF" -)" && fail "B's job holds A's lines"
grep -q "van B" <<<"$(pdftotext "$A_PDF" -)" && fail "A's job holds B's lines"
echo "ok: each job holds only its own report"

# Two applications with a question open at once, answered in either order: each NieuwBlad
# returns within a second of its own answer while the other goes on waiting, and each job holds
# its own page.
JOB=4
for first in A B; do
    start_report
    A=$OBJ A_MAIN=$MAIN
    body_text 3 "Blad 1 regel 3"
    break_page "$T/wait-A"
    WIDS[A]=$WID WAITS[A]=$WAIT_PID
    start_report "$A_MAIN"
    B=$OBJ
    body_text 3 "Blad 1 regel 3"
    break_page "$T/wait-B" "${WIDS[A]}"
    WIDS[B]=$WID WAITS[B]=$WAIT_PID
    # Both questions open where the stored placement puts them: B's is moved off A's.
    xdotool windowmove --sync "${WIDS[B]}" 700 500 || fail "B's question cannot be moved"
    second=$([ "$first" = A ] && echo B || echo A)
    for who in "$first" "$second"; do
        xdotool windowraise "${WIDS[$who]}"
        frmok_click "${WIDS[$who]}" Ja
        wait_gone "${WAITS[$who]}" 1 ||
            fail "$who's NieuwBlad did not return within a second of its answer ($first first)"
        expect "$who's NieuwBlad after Ja ($first first)" "b true" "$(cat "$T/wait-$who")"
        [ "$who" = "$second" ] || kill -0 "${WAITS[$second]}" 2>/dev/null ||
            fail "$second's wait ended with $who's answer"
    done
    echo "ok: two questions answered $first first, each call returned at its own answer"
    for OBJ in "$A" "$B"; do
        expect "Release" "" "$(call "$OBJ" Release)"
        JOB=$((JOB + 1))
        expect_pages "$(pdf_job "$JOB")" 1
    done
done

# Two applications each with another question open at once: A's message box (its template is
# missing: the file dialog cancelled, "Er is geen sjabloon gevonden" follows) and B's file dialog
# (its template is missing until it is answered), answered in either order: each call returns
# within a second of its own answer while the other goes on waiting, and B's template is printed.
# key_to WID KEY: the key pressed in that window, as a user at the keyboard would.
key_to() {
    xdotool windowactivate --sync "$1" key "$2" || fail "no key $2 to window $1"
}
# shown TITLE: the visible windows of that (anchored) title; a search that meets a window as it
# goes fails, and says nothing.
shown() {
    xdotool search --onlyvisible --name "$1" 2>/dev/null
}
# find_question TITLE: the window of that title in WID, once it shows.
find_question() {
    for _ in $(seq 200); do
        WID=$(shown "$1" | head -n 1)
        [ -n "$WID" ] && return
        sleep 0.1
    done
    fail "no question $1"
}
FILE_DIALOG=" niet vinden, geef de bestandsnaam$"
NOTICE='^ZelPrintDemo$'
# ask_template WHO: PrintFromSjabloon of a missing template in the background, in WAITS[WHO] (the
# client itself, to be killed); its file dialog in WID.
ask_template() {
    rm -f "$T/weg-$1.psj"
    busctl --user --timeout=infinity call -- "$NAME" "${OBJS[$1]}" "$OBJ_IFACE" PrintFromSjabloon \
        vvv s "" s "" s "$T/weg-$1.psj" >"$T/wait-$1" 2>&1 &
    WAITS[$1]=$!
    PIDS+=("${WAITS[$1]}")
    find_question "^Kan bestand:$T/weg-$1.psj$FILE_DIALOG"
}
declare -A OBJS
for first in A B; do
    for who in A B; do
        OBJS[$who]=$(create_persistent)
        call "${OBJS[$who]}" SetMode v s P >/dev/null || fail "SetMode P"
    done
    ask_template A
    key_to "$WID" Escape
    find_question "$NOTICE"
    WIDS[A]=$WID
    ask_template B
    WIDS[B]=$WID
    printf 'Sjabloon regel van B\r\n' >"$T/weg-B.psj"
    second=$([ "$first" = A ] && echo B || echo A)
    for who in "$first" "$second"; do
        key_to "${WIDS[$who]}" Return
        wait_gone "${WAITS[$who]}" 1 ||
            fail "$who's question did not return within a second of its answer ($first first)"
        [ "$who" = "$second" ] || kill -0 "${WAITS[$second]}" 2>/dev/null ||
            fail "$second's question ended with $who's answer"
    done
    expect "A's template after the notice ($first first)" 'bv false s ""' "$(cat "$T/wait-A")"
    expect "B's template chosen in its dialog ($first first)" "bv false s \"$T/weg-B.psj\"" \
        "$(cat "$T/wait-B")"
    echo "ok: a message box and a file dialog answered $first first, each at its own answer"
    for who in A B; do expect "Release" "" "$(call "${OBJS[$who]}" Release)"; done
    JOB=$((JOB + 1))
    grep -q "Sjabloon regel van B" <<<"$(pdftotext "$(pdf_job "$JOB")" -)" ||
        fail "B's template was not printed"
done

# A client that leaves while its question is open: nobody is left to answer it, so it closes as
# cancelled and the call asks nothing more (no notice of the missing template follows); another
# client's question stays open for its user.
for who in A B; do OBJS[$who]=$(create_persistent); done
ask_template B
WIDS[B]=$WID
ask_template A
kill "${WAITS[A]}"
for _ in $(seq 50); do
    [ -z "$(shown "^Kan bestand:$T/weg-A.psj")" ] && break
    sleep 0.1
done
[ -z "$(shown "^Kan bestand:$T/weg-A.psj")" ] || fail "the question of a client that left stayed open"
sleep 0.5
[ -z "$(shown "$NOTICE")" ] || fail "a question followed the closed one of a client that left"
kill -0 "${WAITS[B]}" 2>/dev/null || fail "B's question ended when A left"
key_to "${WIDS[B]}" Escape
find_question "$NOTICE"
key_to "$WID" Return
await "${WAITS[B]}" "B's template after A left"
expect "B's answers after A left" 'bv false s ""' "$(cat "$T/wait-B")"
echo "ok: the question of a client that left closed, the other's stayed for its user"
expect "A's release after it left" "" "$(call "${OBJS[A]}" Release)"
expect "B's release" "" "$(call "${OBJS[B]}" Release)"

# The user resizes "Afdrukken" while its report draws: the window's handler measures the grid
# between the context's calls, never under one (the ThreadSanitizer build says whether it does),
# and every line is printed.
start_report
(for i in $(seq 30); do xdotool windowsize "$MAIN" $((500 + i * 8)) $((400 + i * 6)); sleep 0.03; done) &
RESIZER=$!
PIDS+=("$RESIZER")
for n in $(seq 3 30); do body_text "$n" "Blad 1 regel $n"; done
wait "$RESIZER"
expect "Release" "" "$(call "$OBJ" Release)"
JOB=$((JOB + 1))
expect "lines printed while the window was resized" 28 \
    "$(pdftotext "$(pdf_job "$JOB")" - | grep -c 'Blad 1 regel')"

# A client killed while its call waits for the confirmation: nobody is left to answer, so the
# wait ends as "Afbreken", its object is released with its page printed, its windows close, and
# the next client is answered at once.
/usr/bin/python3 - >"$T/killed.out" 2>&1 <<'PY' &
import asyncio
from dbus_next import Variant
from dbus_next.aio import MessageBus

NAME = "ZelPrintDemo.clsPrint"


async def main():
    bus = await MessageBus().connect()
    root = bus.get_proxy_object(NAME, "/", await bus.introspect(NAME, "/"))
    path = await root.get_interface("ZelPrintDemo.Server").call_create({})
    report = bus.get_proxy_object(NAME, path, await bus.introspect(NAME, path))
    o = report.get_interface("ZelPrintDemo._clsPrint")
    await o.call_set_mode(Variant("s", "PS"))
    await o.call_add_kopregel(Variant("i", 1), Variant("i", 1), Variant("s", "Kop van het rapport"), {})
    await o.call_add_tekst(Variant("i", 3), Variant("i", 5), Variant("s", "Blad 1 regel 3 verdwenen"), {})
    await o.call_nieuw_blad(Variant("i", 3))


asyncio.run(main())
PY
KILLED=$!
PIDS+=("$KILLED")
frmok_wait 20 >/dev/null || fail "the killed client's confirmation did not show: $(cat "$T/killed.out")"
kill -KILL "$KILLED"
gone=""
for _ in $(seq 100); do
    if ! xdotool search --onlyvisible --name "$FRMOK_TITLE" >/dev/null &&
        ! xdotool search --onlyvisible --name "$FRMPRINT_TITLE" >/dev/null; then
        gone=yes
        break
    fi
    sleep 0.1
done
[ -n "$gone" ] || fail "the windows of a client that left stayed"
echo "ok: the windows of a client killed in its confirmation closed"
NEXT=$(timeout 2 busctl --user call "$NAME" / ZelPrintDemo.Server Create 'a{sv}' 1 Persistent b true) ||
    fail "the next client's Create was not answered at once"
expect "the next client's Release" "" "$(call "$(cut -d'"' -f2 <<<"$NEXT")" Release)"
expect_pages "$(pdf_job $((JOB + 1)))" 1

# Told to stop while a confirmation and another client's file dialog wait: the confirmation
# counts as "Afbreken", the file dialog as cancelled with no notice after it, the server ends
# and the job printed so far reaches its destination (mode "PS": page 1 of a third report).
start_report
body_text 3 "Blad 1 regel 3"
break_page
OBJS[A]=$(create_persistent)
ask_template A
kill -TERM "$SCREEN_SERVER_PID"
wait_gone "$SCREEN_SERVER_PID" 10 || fail "the server did not end on SIGTERM during two questions"
SCREEN_SERVER_PID=""
await "$WAIT_PID" "NieuwBlad during SIGTERM"
await "${WAITS[A]}" "PrintFromSjabloon during SIGTERM"
expect "the template asked for during SIGTERM" 'bv false s ""' "$(cat "$T/wait-A")"
expect_pages "$(pdf_job $((JOB + 2)))" 1

# zelprint print --mode PS on the display: every page waits for its answer, the last one too;
# "Ja" to each prints the job (exit 0), "Afbreken" prints nothing (exit 1, saying so).
seq 100 >"$T/honderd.txt"
# cli_print ANSWER...: answers each confirmation in turn; CLI_CODE is the exit code.
cli_print() {
    local answer
    "$ZELPRINT" print --mode PS "$T/honderd.txt" -d "pdf:$T/cli" >"$T/cli.out" 2>"$T/cli.err" &
    CLI=$!
    PIDS+=("$CLI")
    for answer in "$@"; do
        WID=$(frmok_wait 20)
        kill -0 "$CLI" 2>/dev/null || fail "print --mode PS ended before its answer $answer"
        frmok_click "$WID" "$answer"
        while xdotool search --onlyvisible --name "$FRMOK_TITLE" | grep -qx "$WID"; do sleep 0.1; done
    done
    wait_gone "$CLI" 20 || fail "print --mode PS did not end after its answers"
    CLI_CODE=0
    wait "$CLI" || CLI_CODE=$?
}
cli_print Ja Ja
expect "exit code after Ja on both pages" 0 "$CLI_CODE"
expect "pages printed after Ja on both" 2 "$(pdfinfo "$(cat "$T/cli.out")" | sed -n 's/^Pages: *//p')"
cli_print Ja Afbreken
expect "exit code after Afbreken" 1 "$CLI_CODE"
grep -q '"Afbreken" on page 2' "$T/cli.err" || fail "Afbreken not said: $(cat "$T/cli.err")"
expect "jobs after Afbreken" 1 "$(ls "$T/cli" | wc -l)"
