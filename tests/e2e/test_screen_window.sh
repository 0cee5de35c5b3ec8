# The windows under a real window manager (Xvfb with openbox): the confirmation window comes up
# at the same place and size at every page and keeps its stored placement, showing it leaves
# the focus where it was while a click on it lets the keyboard answer, and the main window
# keeps a waiting page whole when it is made smaller and larger again.
source "$(dirname "$0")/dbus_lib.sh"
source "$(dirname "$0")/lib/x11.sh"
trap 'screen_stop_server; cleanup; x11_stop' EXIT

T=$ZEL_E2E_TMP
OK_INI="$XDG_CONFIG_HOME/ZelPrintDemo/ZelPrintDemoOk.ini"
screen_begin screen_window

OBJ=$(create_persistent)
call "$OBJ" SetMode v s PS >/dev/null || fail "SetMode PS"
call "$OBJ" AddKopregel 'vvva{sv}' i 1 i 1 s "Kop van het rapport" 0 >/dev/null || fail "AddKopregel"
call "$OBJ" Show >/dev/null || fail "Show"
MAIN=$(x11_find_window "$FRMPRINT_TITLE" 10)

# ask_page N: page N's body, then NieuwBlad in the background, waiting for the answer; the
# confirmation window's id in WID.
ask_page() {
    body_text 3 "Blad $1 regel 3"
    call_waiting "$OBJ" NieuwBlad v i 3 >"$T/nieuwblad" 2>&1 &
    WAIT_PID=$!
    PIDS+=("$WAIT_PID")
    WID=$(frmok_wait 20)
    # Placed again once the window manager has framed it: let that settle.
    sleep 0.5
}

answered() {
    await "$WAIT_PID" "NieuwBlad after $1"
    expect "NieuwBlad after $1" "$2" "$(cat "$T/nieuwblad")"
}

# The client area's place and size on the screen.
placement_of() {
    xwininfo -id "$1" | sed -n 's/^ *\(Absolute upper-left [XY]\|Width\|Height\): *//p' | paste -sd' '
}

active_is() {
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]
}

# Ten pages in a row, each answered by a click on "Ja" at the place the first one was.
FIRST="" STORED=""
for page in $(seq 10); do
    ask_page "$page"
    now=$(placement_of "$WID")
    if [ -z "$FIRST" ]; then
        FIRST=$now
        eval "$(xdotool getwindowgeometry --shell "$WID" | grep -E '^(WIDTH|HEIGHT)=')"
        JA_X=$(awk -v w="$WIDTH" -v x="${now%% *}" 'BEGIN { printf "%d", x + w * 0.95 * (0.05 + 0.9 * 0.265) }')
        JA_Y=$(awk -v h="$HEIGHT" -v y="$(cut -d' ' -f2 <<<"$now")" \
            'BEGIN { printf "%d", y + h * 0.83 * (0.05 + 0.85 * 0.6) }')
        x11_screenshot "$ARTIFACTS/first-confirm.png"
    fi
    expect "page $page: the confirmation comes up where the first one did" "$FIRST" "$now"
    active_is "$WID" && fail "page $page: showing the confirmation took the focus"
    xdotool mousemove "$JA_X" "$JA_Y" click 1
    answered "the click on page $page" "b true"
    stored=$(cat "$OK_INI")
    [ -n "$STORED" ] || STORED=$stored
    expect "page $page: the stored placement stays" "$STORED" "$stored"
done
echo "ok: ten confirmations at the same place and size, the focus left where it was"

# press_after_click FX FY KEYS...: a click at that fraction of the confirmation window (away
# from its controls; a negative FY is on the title bar, above the client area), then the keys
# through the keyboard.
press_after_click() {
    local fx=$1 fy=$2 X Y
    shift 2
    read -r X Y WIDTH HEIGHT <<<"$(placement_of "$WID")"
    xdotool mousemove "$(awk -v x="$X" -v w="$WIDTH" -v f="$fx" 'BEGIN { printf "%d", x + w * f }')" \
        "$(awk -v y="$Y" -v h="$HEIGHT" -v f="$fy" 'BEGIN { printf "%d", f < 0 ? y - 8 : y + h * f }')" \
        click 1
    for _ in $(seq 50); do
        active_is "$WID" && break
        sleep 0.1
    done
    active_is "$WID" || fail "a click on the confirmation window did not activate it"
    xdotool key "$@"
}

ask_page 11
press_after_click 0.5 -1 space
answered "Space after a click on the title bar" "b true"
ask_page 12
press_after_click 0.02 0.4 Tab space
answered "Tab and Space after a click in the window" "b false"
expect "AnnulerenPressed after Tab and Space" "b true" "$(get "$OBJ" AnnulerenPressed)"
expect "Release" "" "$(call "$OBJ" Release)"

# A page with texts far from the top left waits; the main window is made smaller, then as
# large as before: the screen shows the same page, pixel for pixel.
OBJ=$(create_persistent)
call "$OBJ" SetMode v s PS >/dev/null || fail "SetMode PS"
call "$OBJ" Show >/dev/null || fail "Show"
MAIN=$(x11_find_window "$FRMPRINT_TITLE" 10)
body_text 3 "Blad 1 regel 3"
expect "a text far right" "b false" "$(call "$OBJ" AddTekst 'vvva{sv}' i 20 i 70 s "Verre tekst" 0)"
expect "a text far down" "b false" "$(call "$OBJ" AddTekst 'vvva{sv}' i 28 i 30 s "Lage tekst" 0)"
call_waiting "$OBJ" NieuwBlad v i 3 >"$T/nieuwblad" 2>&1 &
WAIT_PID=$!
PIDS+=("$WAIT_PID")
WID=$(frmok_wait 20)
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$MAIN" | grep -E '^(WIDTH|HEIGHT)=')"
import -window "$MAIN" "$ARTIFACTS/page-before.png" || fail "no screenshot of the main window"
# The texts outside the smaller size are really there.
[ "$(convert "$ARTIFACTS/page-before.png" -crop "+300+200" +repage -format %k info:)" -gt 1 ] ||
    fail "nothing drawn outside 300 x 200 pixels: the page tells nothing"
xdotool windowsize "$MAIN" 300 200
sleep 1
xdotool windowsize "$MAIN" "$WIDTH" "$HEIGHT"
sleep 1
import -window "$MAIN" "$ARTIFACTS/page-after.png" || fail "no screenshot of the main window"
# The status bar below the page counts frmOk's layout passes, which the resizes add to.
area="${WIDTH}x$((HEIGHT - 30))+0+0"
differing=$(compare -metric AE "$ARTIFACTS/page-before.png[$area]" "$ARTIFACTS/page-after.png[$area]" \
    null: 2>&1)
expect "pixels of the page changed by making the window smaller and larger" "0" "$differing"
frmok_click "$WID" Ja
answered "Ja after the resizes" "b true"
expect "Release of the resized report" "" "$(call "$OBJ" Release)"
