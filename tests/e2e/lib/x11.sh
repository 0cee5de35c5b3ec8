# Shared helpers of the screen end-to-end scripts (sourced after dbus_lib.sh, whose bus, names
# and wait_gone they use): a private X server with a window manager, the server on it, finding
# windows, clicking the confirmation window's buttons, screenshots.
#
# Every process is started here and kept by its PID; x11_stop ends exactly those.

X11_XVFB_PID=""
X11_WM_PID=""

x11_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# x11_start DIR: Xvfb on a free display (it reports the number itself) and openbox on it;
# exports DISPLAY once the window manager has taken over the root window. Without a window
# manager nothing keeps the confirmation window above the main window.
x11_start() {
    local dir=$1
    : >"$dir/display"
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$dir/display" \
        >"$dir/xvfb.log" 2>&1 &
    X11_XVFB_PID=$!
    # The number is written, with a line end, once the server accepts clients.
    for _ in $(seq 100); do
        grep -q '^[0-9]\+$' "$dir/display" && break
        kill -0 "$X11_XVFB_PID" 2>/dev/null || x11_fail "Xvfb ended: $(cat "$dir/xvfb.log")"
        sleep 0.1
    done
    grep -q '^[0-9]\+$' "$dir/display" || x11_fail "Xvfb reported no display"
    DISPLAY=":$(cat "$dir/display")"
    export DISPLAY

    openbox --sm-disable >"$dir/openbox.log" 2>&1 &
    X11_WM_PID=$!
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        kill -0 "$X11_WM_PID" 2>/dev/null || x11_fail "openbox ended: $(cat "$dir/openbox.log")"
        sleep 0.1
    done
    x11_fail "openbox did not take over the display"
}

x11_stop() {
    local pid
    for pid in $X11_WM_PID $X11_XVFB_PID; do kill "$pid" 2>/dev/null; done
    for pid in $X11_WM_PID $X11_XVFB_PID; do wait "$pid" 2>/dev/null; done
    X11_WM_PID=""
    X11_XVFB_PID=""
}

# x11_find_window PATTERN [SECONDS]: the id of the first visible window whose title matches
# the (anchored) pattern, waiting for it to appear; fails after the time.
x11_find_window() {
    local wid
    wid=$(timeout "${2:-20}" xdotool search --sync --onlyvisible --name "$1" | head -n 1)
    [ -n "$wid" ] || x11_fail "no visible window named $1"
    echo "$wid"
}

# x11_click WID FX FY: a left click at a fraction of the window's client width and height.
x11_click() {
    local WIDTH HEIGHT X Y
    eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(WIDTH|HEIGHT)=')"
    X=$(awk -v w="$WIDTH" -v f="$2" 'BEGIN { printf "%d", w * f }')
    Y=$(awk -v h="$HEIGHT" -v f="$3" 'BEGIN { printf "%d", h * f }')
    xdotool mousemove --window "$1" "$X" "$Y" click 1
}

# x11_stacked_above UPPER LOWER: true when the window manager stacks UPPER above LOWER.
x11_stacked_above() {
    local ids upper lower
    # Bottom to top, one id a line.
    ids=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/, */\n/g')
    upper=$(grep -n -i -x "$(printf '0x%x' "$1")" <<<"$ids" | cut -d: -f1)
    lower=$(grep -n -i -x "$(printf '0x%x' "$2")" <<<"$ids" | cut -d: -f1)
    [ -n "$upper" ] && [ -n "$lower" ] && [ "$upper" -gt "$lower" ]
}

# screen_begin NAME: the private X server with its window manager and the server on it, and
# ARTIFACTS, the folder of the script's screenshots (emptied; it outlives the temporary folder).
screen_begin() {
    ARTIFACTS=${ZEL_E2E_ARTIFACTS:-$ZEL_BUILD_DIR/Testing/e2e-artifacts}/$1
    mkdir -p "$ARTIFACTS" && rm -f "$ARTIFACTS"/*.png
    x11_start "$ZEL_E2E_TMP"
    screen_start_server "$ZEL_E2E_TMP/server.err" --linger 60
}

x11_screenshot() {
    import -window root "$1" || x11_fail "no screenshot $1"
}

# The confirmation window frmOk. Its layout follows its size: the scroll bars take the bottom
# 17 % and the right 5 %; the group box sits in the rest with 5 % margins above and left and
# takes 90 % x 85 % of it; each button sits at 35 % to 85 % of the box's height, "Ja" from 6 %
# to 47 % of its width and "Afbreken" from 53 % to 94 %.
FRMOK_TITLE='^Afdrukken bevestigen$'
FRMPRINT_TITLE='^Afdrukken$'

frmok_wait() {
    x11_find_window "$FRMOK_TITLE" "${1:-20}"
}

# frmok_click WID Ja|Afbreken: clicks the centre of that button.
frmok_click() {
    local box_x
    case $2 in
    Ja) box_x=0.265 ;;
    Afbreken) box_x=0.735 ;;
    *) x11_fail "frmOk has no button $2" ;;
    esac
    x11_click "$1" "$(awk -v f="$box_x" 'BEGIN { print (1 - 0.05) * (0.05 + 0.9 * f) }')" \
        "$(awk 'BEGIN { print (1 - 0.17) * (0.05 + 0.85 * 0.6) }')"
}

# screen_start_server ERRFILE [OPTIONS...]: runs the build's server on the private bus with
# the current DISPLAY (activation would give it the bus's environment instead), its standard
# error in ERRFILE; waits until it owns the name. Sets SCREEN_SERVER_PID.
screen_start_server() {
    local err=$1
    shift
    "$ZELPRINT" serve "$@" 2>"$err" &
    SCREEN_SERVER_PID=$!
    for _ in $(seq 150); do
        busctl --user call org.freedesktop.DBus / org.freedesktop.DBus NameHasOwner s "$NAME" |
            grep -q true && return 0
        kill -0 "$SCREEN_SERVER_PID" 2>/dev/null || x11_fail "the server ended: $(cat "$err")"
        sleep 0.1
    done
    x11_fail "the server did not take the name $NAME"
}

# call_waiting PATH MEMBER [SIGNATURE ARGS...]: a call that may wait for the confirmation,
# without a reply timeout.
call_waiting() {
    local path=$1 member=$2
    shift 2
    busctl --user --timeout=infinity call -- "$NAME" "$path" "$OBJ_IFACE" "$member" "$@"
}

screen_stop_server() {
    [ -n "${SCREEN_SERVER_PID:-}" ] || return 0
    kill -TERM "$SCREEN_SERVER_PID" 2>/dev/null
    # A server stuck in a confirmation nobody answers would hold the script up for good.
    wait_gone "$SCREEN_SERVER_PID" 10 || kill -KILL "$SCREEN_SERVER_PID" 2>/dev/null
    wait "$SCREEN_SERVER_PID" 2>/dev/null
    SCREEN_SERVER_PID=""
}

# body_text REGEL TEKST: AddTekst on $OBJ at position 5 where nothing waits for the user, so
# within the reply timeout (AddTekst always answers False).
body_text() {
    expect "AddTekst $2" "b false" "$(call "$OBJ" AddTekst 'vvva{sv}' i "$1" i 5 s "$2" 0)"
}

# pdf_job N: the file of the Nth PDF job once the release has written it.
pdf_job() {
    local file
    file=$(printf '%s/pdf/job-%04d.pdf' "$ZEL_E2E_TMP" "$1")
    wait_for_file "$file" 20 || fail "no PDF of job $1"
    echo "$file"
}

# expect_pages PDF N: the job has N pages, each with the header "Kop van het rapport" and its
# own body ("Blad <page> regel ...").
expect_pages() {
    local page content
    expect "pages printed" "$2" "$(pdfinfo "$1" | sed -n 's/^Pages: *//p')"
    for page in $(seq "$2"); do
        content=$(pdftotext -layout -f "$page" -l "$page" "$1" -)
        grep -q "Kop van het rapport" <<<"$content" || fail "page $page has no header: $content"
        grep -q "Blad $page regel" <<<"$content" || fail "page $page lacks its body: $content"
    done
    echo "ok: each printed page holds the header and its own body"
}

# await PID WHAT: waits (up to 20 s) for a background call to end.
await() {
    wait_gone "$1" 20 || x11_fail "$2 did not return"
    wait "$1" 2>/dev/null
}

# dark_rows IMAGE X / dark_cols IMAGE Y: where column X (row Y) of the picture is dark (a drawn
# line), one coordinate a line; white_rows / white_cols: where it is white (the page's paper).
pixels_where() {
    convert "$1" -crop "$2" +repage -depth 8 txt:- |
        awk -F'[,:() ]+' -v axis="$3" -v test="$4" 'NR > 1 {
            dark = $3 < 96 && $4 < 96 && $5 < 96; white = $3 == 255 && $4 == 255 && $5 == 255
            light = $3 >= 235 && $4 >= 235 && $5 >= 235
            if ((test == "dark" && dark) || (test == "white" && white) || (test == "light" && light))
                print (axis == "y" ? $2 : $1)
        }'
}
dark_rows() { pixels_where "$1" "1x+$2+0" y dark; }
white_rows() { pixels_where "$1" "1x+$2+0" y white; }
dark_cols() { pixels_where "$1" "x1+0+$2" x dark; }
white_cols() { pixels_where "$1" "x1+0+$2" x white; }

# thumb_middle WID vertical|horizontal: the middle of the scroll bar's thumb (the lightest
# stretch along the bar, between its arrows) in the confirmation window, as "X Y".
thumb_middle() {
    local shot=$ZEL_E2E_TMP/thumb.png WIDTH HEIGHT along run
    import -window "$1" "$shot" || x11_fail "no picture of the confirmation window"
    eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(WIDTH|HEIGHT)=')"
    if [ "$2" = vertical ]; then
        along=$((WIDTH - WIDTH / 40))
        run=$(pixels_where "$shot" "1x$((HEIGHT * 83 / 100))+$along+0" y light | longest_run)
        echo "$along $run"
    else
        along=$((HEIGHT - HEIGHT * 17 / 200))
        run=$(pixels_where "$shot" "$((WIDTH * 95 / 100))x1+0+$along" x light | longest_run)
        echo "$run $along"
    fi
}

# longest_run: the middle of the longest stretch of consecutive numbers read.
longest_run() {
    awk 'NR == 1 || $1 != last + 1 { start = $1 } { last = $1; if (last - start >= best) { best = last - start; mid = int((start + last) / 2) } }
        END { print mid }'
}

# frmok_next OLD: the confirmation window shown after OLD went (each answer unloads it).
frmok_next() {
    local wid
    for _ in $(seq 100); do
        wid=$(xdotool search --onlyvisible --name "$FRMOK_TITLE" 2>/dev/null | grep -v -x "$1" | head -n 1)
        [ -n "$wid" ] && echo "$wid" && return 0
        sleep 0.1
    done
    x11_fail "no confirmation window after $1"
}
