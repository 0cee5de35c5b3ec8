# Template printing over D-Bus: a template printed in mode "P" reaches the PDF line by line, in
# order, and the file name comes back as the second out argument; a missing template on a
# server without a display (its file dialog counts as cancelled) returns false and writes the
# empty name back.
source "$(dirname "$0")/dbus_lib.sh"

# expect_sjabloon NAME REPLY EXPECTED_NAME: the result false, and the written-back name as the
# second out argument.
expect_sjabloon() {
    expect "$1" "bv false s \"$3\"" "$2"
}

TEMPLATE=$ZEL_E2E_TMP/factuur.psj
printf 'Sjabloon regel een\r\nSjabloon regel twee\r\n\r\nSjabloon regel vier' >"$TEMPLATE"

OBJ=$(create_persistent)
[ -n "$OBJ" ] || fail "Create"
call "$OBJ" SetMode v s P || fail "SetMode"
expect_sjabloon "a printed template gives false and its name" \
    "$(call "$OBJ" PrintFromSjabloon vvv s "" s "" s "$TEMPLATE")" "$TEMPLATE"
expect "Release" "" "$(call "$OBJ" Release)"

wait_for_file "$ZEL_E2E_TMP/pdf/job-*.pdf" 10 || fail "no job file"
PDF=$(ls "$ZEL_E2E_TMP"/pdf/job-*.pdf | head -n 1)
expect "one page" "1" "$(pdfinfo "$PDF" | sed -n 's/^Pages: *//p')"
expect "the template's lines in order" \
    "Sjabloon regel een|Sjabloon regel twee|Sjabloon regel vier" \
    "$(pdftotext "$PDF" - | grep 'Sjabloon' | tr '\n' '|' | sed 's/|$//')"

MISSING=$(create_persistent)
call "$MISSING" SetMode v s P || fail "SetMode on the second object"
reply=$(call "$MISSING" PrintFromSjabloon vvv s "" s "" s "$ZEL_E2E_TMP/weg.psj" 2>&1) ||
    fail "PrintFromSjabloon of a missing template: $reply"
expect_sjabloon "a missing template gives false and the empty name" "$reply" ""
expect "Release of the second object" "" "$(call "$MISSING" Release)"
expect "nothing printed for the missing template" "1" "$(ls "$ZEL_E2E_TMP"/pdf | wc -l)"

# A large template prints in bounded memory: 60 MB in lines of 500 000 characters, each far past
# the sheet's edge, raise the server's peak memory by little (a page held every glyph of its
# lines until it ended), and only what shows on the sheets reaches the file.
BIG=$ZEL_E2E_TMP/groot.psj
/usr/bin/python3 - "$BIG" <<'PY'
import os, sys
letters = bytes(97 + b % 26 for b in range(256))
with open(sys.argv[1], "wb") as out:
    for i in range(120):
        out.write(b"Regel %03d " % i + os.urandom(500_000).translate(letters) + b"\n")
PY
rm -f "$ZEL_E2E_TMP"/pdf/job-*.pdf
LARGE=$(create_persistent)
call "$LARGE" SetMode v s P >/dev/null || fail "SetMode for the large template"
PID=$(server_pid)
peak() { awk '/^VmHWM:/ { print $2 }' "/proc/$PID/status"; }
before=$(peak)
busctl --user --timeout=120 call "$NAME" "$LARGE" "$OBJ_IFACE" PrintFromSjabloon vvv s "" s "" \
    s "$BIG" >/dev/null || fail "PrintFromSjabloon of the large template"
grown=$(($(peak) - before))
expect "Release of the large template's object" "" "$(call "$LARGE" Release)"
wait_for_file "$ZEL_E2E_TMP/pdf/job-*.pdf" 10 || fail "no job file for the large template"
JOB=$(ls "$ZEL_E2E_TMP"/pdf/job-*.pdf)
# (Measured: 24 MB, the longest line laid out; the sanitizers keep freed memory a while.)
nm -u "$ZELPRINT" 2>/dev/null | grep -q __asan_init || [ "$grown" -lt 60000 ] ||
    fail "the peak memory grew by $grown kB"
[ "$(stat -c %s "$JOB")" -lt 1000000 ] || fail "the job file holds $(stat -c %s "$JOB") bytes"
expect "every line's start printed" "120" \
    "$(pdftotext "$JOB" - | tr -d '\f' | grep -c '^Regel [0-9]\{3\} [a-z]')"
echo "ok: 60 MB of long lines printed, the peak memory $grown kB up, the file $(stat -c %s "$JOB") bytes"
