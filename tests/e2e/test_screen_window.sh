# The windows under a real window manager (Xvfb with openbox), then on a Wayland compositor
# (sway): the confirmation window comes up
# at the same place and size at every page and keeps its stored placement, showing it leaves
# the focus where it was while a click on it lets the keyboard answer, and the main window
# keeps a waiting page whole when it is made smaller and larger again.
source "$(dirname "$0")/dbus_lib.sh"
source "$(dirname "$0")/lib/x11.sh"
source "$(dirname "$0")/lib/wayland.sh"
trap 'screen_stop_server; cleanup; x11_stop; wayland_stop' EXIT

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

# Panning a landscape page larger than the window, at scale 1 and 2: by the arrows of the
# scroll bars each click moves the page one step further and the bar stays where it was moved;
# dragging a thumb to its end shows the page's bottom (right) edge. The frame along the page's
# margins (800 twips on each side) shows where the view is.
pan_page() {
    local scale=$1 shot=$T/pan.png axis bar i before now step first_step near far gap_start gap_end
    screen_stop_server
    # The main window's first-use placement at this scale, and a confirmation window the user
    # made larger (the first-use height of 15 % leaves a scroll bar too short to drag at 200 %),
    # right of the frame's left line and below its top line.
    mkdir -p "$XDG_CONFIG_HOME/ZelPrintDemo"
    rm -f "$XDG_CONFIG_HOME"/ZelPrintDemo/*.ini
    printf '[Main]\nWindowHeight=3000\nWindowLeft=3000\nWindowTop=2400\nWindowWidth=4500\n' \
        >"$XDG_CONFIG_HOME/ZelPrintDemo/ZelPrintDemoOk.ini"
    QT_SCALE_FACTOR=$scale screen_start_server "$T/server-pan.err" --linger 60
    OBJ=$(create_persistent)
    call "$OBJ" Reset 'a{sv}' 2 UitvoerMode s S HorLines b true >/dev/null || fail "Reset"
    call "$OBJ" SetOrientation v i 2 >/dev/null || fail "SetOrientation"
    call "$OBJ" AddKopregel 'vvva{sv}' i 1 i 1 s "Kop van het rapport" 0 >/dev/null || fail "AddKopregel"
    call "$OBJ" Show >/dev/null || fail "Show"
    MAIN=$(x11_find_window "$FRMPRINT_TITLE" 10)
    ask_page 1
    import -window "$MAIN" "$shot"
    # The paper's extent: white along a column left of the frame and a row above it.
    local top bottom left right
    top=$(white_rows "$shot" $((5 * scale)) | head -n 1)
    bottom=$(white_rows "$shot" $((5 * scale)) | tail -n 1)
    left=$(white_cols "$shot" $((top + 5 * scale)) | head -n 1)
    right=$(white_cols "$shot" $((top + 5 * scale)) | tail -n 1)
    if [ "$scale" = 2 ]; then
        # Sharp at 200 %: the header's glyphs have detail within each 2 x 2 block of pixels,
        # which a page drawn at 100 % and doubled has not.
        local text=$T/text.png detail
        convert "$shot" -crop "240x40+$((left + 100))+$((top + 100))" +repage "$text"
        convert "$text" -sample 50% -sample 200% "$T/doubled.png"
        detail=$(compare -metric AE "$text" "$T/doubled.png" null: 2>&1 || true)
        [ "$detail" -gt 100 ] || fail "scale 2: the page is a doubled picture (detail $detail)"
        echo "ok: scale 2: the page is drawn sharp"
    fi
    for axis in vertical horizontal; do
        # The frame line nearest the start, as the page moves under the view.
        line_at() {
            if [ "$axis" = vertical ]; then
                dark_rows "$1" $((5 * scale)) | awk -v a="$top" -v b="$bottom" '$1 > a && $1 < b' | head -n 1
            else
                dark_cols "$1" $((top + 5 * scale)) | awk -v a="$left" -v b="$right" '$1 > a && $1 < b' | head -n 1
            fi
        }
        import -window "$MAIN" "$shot"
        before=$(line_at "$shot")
        near=$before
        first_step=""
        [ -n "$before" ] || fail "scale $scale: no frame line at the start ($axis)"
        for i in 1 2 3 4; do
            eval "$(xdotool getwindowgeometry --shell "$WID" | grep -E '^(WIDTH|HEIGHT)=')"
            if [ "$axis" = vertical ]; then
                xdotool mousemove --window "$WID" $((WIDTH - 3 * scale)) $((HEIGHT * 83 / 100 - 4 * scale)) click 1
            else
                xdotool mousemove --window "$WID" $((WIDTH - 4 * scale)) $((HEIGHT * 92 / 100)) click 1
            fi
            WID=$(frmok_next "$WID")
            sleep 0.3
            import -window "$MAIN" "$shot"
            now=$(line_at "$shot")
            step=$((before - now))
            [ -n "$first_step" ] || first_step=$step
            [ "$step" -ge 1 ] || fail "scale $scale: arrow click $i moved the page $step pixels ($axis)"
            [ $((step - first_step)) -le "$scale" ] && [ $((first_step - step)) -le "$scale" ] ||
                fail "scale $scale: arrow click $i moved the page $step pixels, the first $first_step ($axis)"
            before=$now
        done
        echo "ok: scale $scale: four arrow clicks each moved the page $first_step pixels further ($axis)"
        # The thumb dragged beyond the bar's end.
        local from
        read -r -a from <<<"$(thumb_middle "$WID" "$axis")"
        eval "$(xdotool getwindowgeometry --shell "$WID" | grep -E '^(WIDTH|HEIGHT)=')"
        xdotool mousemove --window "$WID" "${from[0]}" "${from[1]}" mousedown 1 sleep 0.2
        if [ "$axis" = vertical ]; then
            xdotool mousemove --window "$WID" "${from[0]}" $((HEIGHT + 40 * scale)) sleep 0.2 mouseup 1
        else
            xdotool mousemove --window "$WID" $((WIDTH + 60 * scale)) "${from[1]}" sleep 0.2 mouseup 1
        fi
        WID=$(frmok_next "$WID")
        sleep 0.3
        import -window "$MAIN" "$shot"
        cp "$shot" "$ARTIFACTS/pan-scale$scale-$axis.png"
        # At the end the far frame line lies as far from the view's end as the near one lay
        # from its start.
        if [ "$axis" = vertical ]; then
            far=$(dark_rows "$shot" $((5 * scale)) | awk -v a="$top" -v b="$bottom" '$1 > a && $1 < b' | tail -n 1)
            gap_start=$((near - top)) gap_end=$((bottom - far))
        else
            far=$(dark_cols "$shot" $((top + 5 * scale)) | awk -v a="$left" -v b="$right" '$1 > a && $1 < b' | tail -n 1)
            gap_start=$((near - left)) gap_end=$((right - far))
        fi
        [ -n "$far" ] && [ $((gap_start - gap_end)) -le "$scale" ] && [ $((gap_end - gap_start)) -le "$scale" ] ||
            fail "scale $scale: dragged to the end the frame lies ${gap_end:-?} pixels from the edge, not $gap_start ($axis)"
        echo "ok: scale $scale: dragged to the end, the page's far edge shows ($axis)"
    done
    frmok_click "$WID" Ja
    answered "Ja after panning" "b true"
    expect "Release of the panned report" "" "$(call "$OBJ" Release)"
}
pan_page 1
pan_page 2

# On a Wayland compositor (sway, which tiles windows and focuses each new one): the server takes
# the Wayland display; the confirmation floats above its page instead of being tiled beside it;
# the page is drawn at the size sway gives its window, a text low on it included; a Return
# typed as the question comes up (meant for another window) answers nothing, and once the user
# has switched to the question, Return answers "Ja".
if command -v sway >/dev/null && command -v wtype >/dev/null && command -v grim >/dev/null; then
    screen_stop_server
    wayland_start "$T/sway.log"
    rm -f "$XDG_CONFIG_HOME"/ZelPrintDemo/*.ini
    X11_DISPLAY=$DISPLAY
    unset DISPLAY
    # Qt's Wayland platform leaves libwayland-client's objects to the end of the process, out of
    # LeakSanitizer's sight of any owner: the leak check is for our code, checked everywhere else.
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
        screen_start_server "$T/server-wayland.err" --linger 60
    DISPLAY=$X11_DISPLAY
    OBJ=$(create_persistent)
    call "$OBJ" SetMode v s PS >/dev/null || fail "SetMode PS"
    call "$OBJ" AddKopregel 'vvva{sv}' i 1 i 1 s "Kop van het rapport" 0 >/dev/null || fail "AddKopregel"
    call "$OBJ" Show >/dev/null || fail "Show"
    body_text 3 "Blad 1 regel 3"
    # About 620 pixels below the page's top: below the drawing area of the size asked for.
    body_text 66 "Lage tekst"
    call_waiting "$OBJ" NieuwBlad v i 3 >"$T/nieuwblad" 2>&1 &
    WAIT_PID=$!
    PIDS+=("$WAIT_PID")
    read -r kind _ _ _ _ <<<"$(wayland_window "Afdrukken bevestigen")"
    expect "the confirmation window on Wayland" "floating_con" "$kind"
    read -r kind px py pw ph <<<"$(wayland_window "Afdrukken")"
    expect "the page window on Wayland" "con" "$kind"
    wtype -s 700 -k Return
    sleep 1
    kill -0 "$WAIT_PID" 2>/dev/null || fail "a Return typed as the question came up answered it: $(cat "$T/nieuwblad")"
    echo "ok: a Return typed as the question came up answers nothing"
    grim "$ARTIFACTS/wayland-page.png" || fail "no screenshot of the Wayland display"
    low=$(pixels_where "$ARTIFACTS/wayland-page.png" "300x$((ph - 620))+$((px + 40))+$((py + 600))" y dark | wc -l)
    [ "$low" -gt 20 ] || fail "the text low on the page is not drawn (window ${pw}x$ph)"
    echo "ok: the page is drawn at the size sway gave its window"
    swaymsg '[title="^Afdrukken$"] focus' >/dev/null || fail "sway could not focus the page window"
    sleep 0.3
    swaymsg '[title="^Afdrukken bevestigen$"] focus' >/dev/null || fail "sway could not focus the question"
    sleep 0.5
    wtype -s 700 -k Return
    answered "Return once the user switched to the question on Wayland" "b true"
    expect "Release on Wayland" "" "$(call "$OBJ" Release)"
else
    echo "skip: sway, wtype or grim is not installed, the Wayland desktop is not tried"
fi
