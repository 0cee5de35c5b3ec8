# A "PS" report over D-Bus on a server without a display: nobody can answer the page
# confirmation, so the server answers "Ja" itself, says so on standard error, and the report
# runs to its end with every page printed; a file dialog and a message box get their safe
# answers the same way.
source "$(dirname "$0")/dbus_lib.sh"
source "$(dirname "$0")/lib/x11.sh"
trap 'screen_stop_server; cleanup' EXIT

T=$ZEL_E2E_TMP
[ -z "${DISPLAY:-}" ] || fail "DISPLAY is set"
screen_start_server "$T/server.err" --linger 60

prop() {
    get "$OBJ" "$1"
}

OBJ=$(create_persistent)
call "$OBJ" SetMode v s PS >/dev/null || fail "SetMode PS"
call "$OBJ" AddKopregel 'vvva{sv}' i 1 i 1 s "Kop van het rapport" 0 >/dev/null ||
    fail "AddKopregel"
call "$OBJ" Show >/dev/null || fail "Show"
body_text 3 "Blad 1 regel 3"
body_text 4 "Blad 1 regel 4"
# Within the reply timeout: a confirmation that waited for a user would never return.
expect "NieuwBlad is answered Ja" "b true" "$(call "$OBJ" NieuwBlad v i 3)"
body_text 3 "Blad 2 regel 3"
expect "page 2" "i 2" "$(prop CurrentPage)"
# A line far beyond the page does not fit: the page breaks, confirmed the same way.
body_text 500 "Blad 3 regel 500"
expect "the text that did not fit starts page 3" "i 3" "$(prop CurrentPage)"
expect "GetResult" "b true" "$(call "$OBJ" GetResult)"
expect "AnnulerenPressed" "b false" "$(prop AnnulerenPressed)"

expect "answers written to standard error" 2 \
    "$(grep -c '"Einde blad, Wilt u nu verder gaan?" answered with "Ja"' "$T/server.err")"

# The other questions of a context get the same treatment: the missing template's file dialog
# counts as cancelled and its notice as acknowledged, each said on standard error.
expect "a missing template, nobody to ask" 'bv false s ""' \
    "$(call "$OBJ" PrintFromSjabloon vvv s "" s "" s "$T/weg.psj")"
grep -q "\"Kan bestand:$T/weg.psj niet vinden, geef de bestandsnaam\" answered with \"Cancel\"" \
    "$T/server.err" || fail "the file dialog's answer not said: $(cat "$T/server.err")"
grep -q '"Er is geen sjabloon gevonden" answered with "OK"' "$T/server.err" ||
    fail "the notice's answer not said: $(cat "$T/server.err")"

expect "Release" "" "$(call "$OBJ" Release)"
expect_pages "$(pdf_job 1)" 3

# zelprint print in a screen mode: nobody could see the pages, so it fails and says a display
# is needed, with no job.
code=0
printf 'regel\n' | "$ZELPRINT" print --mode S -d "pdf:$T/cli" >/dev/null 2>"$T/cli.err" || code=$?
expect "exit code of print --mode S without a display" 1 "$code"
grep -q "needs a display" "$T/cli.err" || fail "no word of the display: $(cat "$T/cli.err")"
[ ! -e "$T/cli" ] || fail "print --mode S without a display left a job"
