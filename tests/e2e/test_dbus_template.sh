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
