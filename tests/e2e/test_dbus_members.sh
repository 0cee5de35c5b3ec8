# The members of a print object, driven by busctl and gdbus through D-Bus activation.
source "$(dirname "$0")/dbus_lib.sh"

bus status "$NAME" >/dev/null 2>&1 && fail "a server runs before the first call"
OBJ=$(create_persistent)
expect "activation creates the first object" /clsPrint/1 "$OBJ"
PID=$(server_pid)

# The introspection documents each member, argument and optional key, as gdbus shows it.
gdbus introspect --session -d "$NAME" -o "$OBJ" >"$ZEL_E2E_TMP/introspect.txt" ||
    fail "gdbus introspect"
DOC=@org.freedesktop.DBus.DocString
for expected in "$DOC(\"Prints a text at a line and position" \
    "$DOC(\"the character position on the line" \
    "Dikte (default 1): the line width in device pixels" \
    "AddTabel (Boolean, default true): " \
    "$DOC(\"The printer's font size in points"; do
    grep -qF "$expected" "$ZEL_E2E_TMP/introspect.txt" ||
        fail "gdbus introspect shows no [$expected]"
done
# Every method and property of the object's interface has its own documentation line.
expect "members without documentation" "" \
    "$(awk '/^  interface ZelPrintDemo._clsPrint / { on = 1 } on && /^  };/ { on = 0 }
        on && /^      @org.freedesktop.DBus.DocString/ { doc = 1 }
        on && (/^      [A-Za-z]+\(/ || /^      readwrite /) { if (!doc) print; doc = 0 }' \
        "$ZEL_E2E_TMP/introspect.txt")"

expect "CurrentPage of a new object" "i 0" "$(get "$OBJ" CurrentPage)"
expect "CurrentLine of a new object" "i -1" "$(get "$OBJ" CurrentLine)"
expect "StartLine of a new object" "i 1" "$(get "$OBJ" StartLine)"
expect "AnnulerenPressed of a new object" "b false" "$(get "$OBJ" AnnulerenPressed)"
expect "GetResult of a new object" "b true" "$(call "$OBJ" GetResult)"

bus set-property "$NAME" "$OBJ" "$OBJ_IFACE" ScreenFontSize i 9 || fail "set ScreenFontSize"
expect "a property reads back, a variant in its variant" "v i 9" "$(get "$OBJ" ScreenFontSize)"
bus set-property "$NAME" "$OBJ" "$OBJ_IFACE" CurrentPage s 4 || fail "set CurrentPage"
expect "a variable is stored as its type" "i 4" "$(get "$OBJ" CurrentPage)"
gdbus call --session -d "$NAME" -o "$OBJ" -m org.freedesktop.DBus.Properties.Set \
    "$OBJ_IFACE" PrintFileName '<<("Empty",)>>' >/dev/null || fail "gdbus set PrintFileName"
expect "Empty is stored and read back" "(<<('Empty',)>>,)" \
    "$(gdbus call --session -d "$NAME" -o "$OBJ" -m org.freedesktop.DBus.Properties.Get \
        "$OBJ_IFACE" PrintFileName)"

expect "Reset returns Empty (busctl)" 'v (s) "Empty"' "$(call "$OBJ" Reset 'a{sv}' 0)"
expect "Reset returns Empty (gdbus)" "(<('Empty',)>,)" \
    "$(gdbus call --session -d "$NAME" -o "$OBJ" -m "$OBJ_IFACE.Reset" \
        "{'UitvoerMode': <'P'>, 'horlines': <true>}")"
expect "Reset sets CurrentPage to 1" "i 1" "$(get "$OBJ" CurrentPage)"

# Melding reaches a client that listens.
gdbus monitor --session -d "$NAME" -o "$OBJ" >"$ZEL_E2E_TMP/monitor" 2>&1 &
PIDS+=($!)
sleep 0.5
call "$OBJ" SetParm vv i 10 s Waarde >/dev/null || fail "SetParm 10"
for _ in $(seq 50); do
    grep -q Melding "$ZEL_E2E_TMP/monitor" && break
    sleep 0.1
done
grep -q "ZelPrintDemo.__clsPrint.Melding (80, 'Parameternummer fout: 10')" \
    "$ZEL_E2E_TMP/monitor" || fail "no Melding: $(cat "$ZEL_E2E_TMP/monitor")"
echo "ok: SetParm 10 raises Melding"

# Bad input gets an error reply; the server goes on.
expect "SetParm 9.5" "Call failed: 9: Subscript out of range" \
    "$(call_error "$OBJ" SetParm vv d 9.5 s x)"
expect "Null where a number is needed" "Call failed: 94: Invalid use of Null (argument ParmNummer, expected Number)" \
    "$(call_error "$OBJ" SetParm vv '(s)' Null s x)"
expect "an unknown optional key" "Call failed: 448: Named argument not found: Kleurtje" \
    "$(call_error "$OBJ" Reset 'a{sv}' 1 Kleurtje i 1)"
expect "text for a typed Boolean" "Call failed: 13: Type mismatch (argument HorLines, expected Boolean)" \
    "$(call_error "$OBJ" Reset 'a{sv}' 1 HorLines s ja)"
expect "a plain value where a variant belongs" "Call failed: SetMode takes 'v', not 's'" \
    "$(call_error "$OBJ" SetMode s P)"
gdbus call --session -d "$NAME" -o "$OBJ" -m "$OBJ_IFACE.SetMode" '<(1, 2)>' \
    2>"$ZEL_E2E_TMP/err" && fail "a struct was taken as a mode"
grep -q "ZelPrintDemo.Error13: 13: Type mismatch (argument UitvoerMode, expected String)" "$ZEL_E2E_TMP/err" ||
    fail "gdbus error: $(cat "$ZEL_E2E_TMP/err")"
echo "ok: gdbus sees the error name"
expect "AddTekst with Kleur (False on every path)" "b false" \
    "$(call "$OBJ" AddTekst 'vvva{sv}' i 1 i 10 s Hallo 1 Kleur i 255)"

expect "Release" "" "$(call "$OBJ" Release)"
expect "a call on a released object" "Call failed: No object at /clsPrint/1" \
    "$(call_error "$OBJ" GetResult)"
expect "paths are not reused" /clsPrint/2 "$(create_persistent)"
expect "the server survived it all" "$PID" "$(server_pid)"

kill -TERM "$PID"
wait_gone "$PID" 10 || fail "the server did not end on SIGTERM"
echo "ok: SIGTERM ends the server"

# A destination that refuses the job is an error up to the job's end, never a silent success:
# the first text that would start the job, and Release, which still releases the object.
touch "$ZEL_E2E_TMP/plain"
printed=$(ls "$ZEL_E2E_TMP/pdf")
for destination in NoSuchQueue "pdf:$ZEL_E2E_TMP/plain/out"; do
    ZELPRINT_PRINTER=$destination "$ZELPRINT" serve --offscreen 2>"$ZEL_E2E_TMP/refused.log" &
    PIDS+=($!)
    for _ in $(seq 50); do bus status "$NAME" >/dev/null 2>&1 && break; sleep 0.1; done
    OBJ=$(create_persistent)
    call "$OBJ" SetMode v s P >/dev/null || fail "SetMode P"
    call_error "$OBJ" AddTekst 'vvva{sv}' i 1 i 1 s kwijt 0 | grep -q "Call failed: 482: Printer error" ||
        fail "$destination: AddTekst did not report the refused job"
    call_error "$OBJ" Release | grep -q "Call failed: 482: Printer error" ||
        fail "$destination: Release did not report the refused job"
    expect "$destination: the object is released all the same" \
        "Call failed: No object at $OBJ" "$(call_error "$OBJ" GetResult)"
    kill -TERM "${PIDS[-1]}"
    wait_gone "${PIDS[-1]}" 10 || fail "the server did not end on SIGTERM"
done
expect "a refused job leaves no file" "$printed" "$(ls "$ZEL_E2E_TMP/pdf")"
