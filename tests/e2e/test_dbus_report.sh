# A multi-page report printed in mode "P" by a client that has only busctl and gdbus: a
# header with a box and a line, 150 body lines, a watermark, lines and boxes, a forced page
# break, the margin frame and the diagonals. The PDF must hold exactly what was sent: one job,
# the pages the geometry gives, the header with its page number on every page, every body line
# once, in order, on the page the page flow put it.
source "$(dirname "$0")/dbus_lib.sh"
source "$(dirname "$0")/lib/report.sh"

TOTAL=150           # body lines Regel 1 to 150
BREAK_BEFORE=31     # NieuwBlad before this line: the line opens the next page
FRAMED_AFTER=100    # HorLines and CrossLines after this line
HEADER_LINES=2      # the header's highest line: the body starts below it
WATERMARK=BUSTEST

# The grid of a page on this destination, as the in-process report tool measures it with the
# same defaults (font, margins, paper).
ZELPRINT_PRINTER="pdf:$ZEL_E2E_TMP/probe" "$ZEL_BUILD_DIR/bin/zelprint-report" \
    >"$ZEL_E2E_TMP/probe.out" || fail "zelprint-report failed"
LINES_PER_PAGE=$(report_value lines-per-page "$ZEL_E2E_TMP/probe.out")
BODY=$((LINES_PER_PAGE - HEADER_LINES))
[ "$BODY" -ge "$BREAK_BEFORE" ] && [ "$((TOTAL - BREAK_BEFORE + 1))" -gt "$BODY" ] ||
    fail "with $BODY body lines a page the report tests neither the forced nor the full page"

# The page each body line must land on: a page holds BODY lines, and the forced break starts
# a new one. PAGE_OF[r] is the printed page number (the first page after Reset is 2).
declare -a PAGE_OF
page=2 start=1
for ((r = 1; r <= TOTAL; r++)); do
    if [ "$r" -eq "$BREAK_BEFORE" ] || [ $((r - start + 1)) -gt "$BODY" ]; then
        page=$((page + 1)) start=$r
    fi
    PAGE_OF[r]=$page
done
PAGES=$((page - 1))

regel() { printf 'Regel %03d' "$1"; }

# grid_marks PDF PAGE: which page-grid lines cross the row at three quarters of the page's
# height, left to right: "frame" at the left and right margins (40 points), "diagonal" at a
# quarter and three quarters of the width. Nothing else is printed in that row there.
grid_marks() {
    local width height dpi=300 cols y
    read -r width height <<<"$(pdfinfo -f "$2" -l "$2" "$1" |
        sed -n "s/^Page *$2 size: *\([0-9.]*\) x \([0-9.]*\) .*/\1 \2/p")"
    cols=$(awk -v w="$width" -v r=$dpi 'BEGIN { printf "%d", w * r / 72 }')
    y=$(awk -v h="$height" -v r=$dpi 'BEGIN { printf "%d", h * 0.75 * r / 72 }')
    pdftoppm -r $dpi -gray -f "$2" -l "$2" -x 0 -y "$y" -W "$cols" -H 1 "$1" | tail -c "$cols" |
        od -An -tu1 -v | tr -s ' ' '\n' | grep -v '^$' | awk -v w="$width" -v r=$dpi '
        { x = (NR - 0.5) * 72 / r; if ($1 < 250) ink[NR] = x }
        END {
            split("40 " w / 4 " " w * 3 / 4 " " w - 40, at, " ")
            split("frame diagonal diagonal frame", name, " ")
            for (m = 1; m <= 4; m++) {
                hit = 0
                for (i in ink) if (ink[i] > at[m] - 3 && ink[i] < at[m] + 3) hit = 1
                if (hit) { printf "%s%s", sep, name[m]; sep = " " }
            }
        }'
}

# colour_at PDF PAGE X Y: "R G B" of the printed page at the point (in points).
colour_at() {
    pdftoppm -r 72 -f "$2" -l "$2" -x "$3" -y "$4" -W 1 -H 1 "$1" | tail -c 3 |
        od -An -tu1 | xargs
}

# word_box PDF PAGE WORD: "xMin yMin xMax yMax" of the word on the page.
word_box() {
    pdftotext -f "$2" -l "$2" -bbox "$1" - | grep ">$3<" | head -n 1 | sed -e 's/.*xMin="//' \
        -e 's/"[^0-9]*yMin="/ /; s/"[^0-9]*xMax="/ /; s/"[^0-9]*yMax="/ /; s/".*//'
}

# --- The report's set-up ---------------------------------------------------------------------
OBJ=$(create_persistent)
C=(gdbus call --session -d "$NAME" -o "$OBJ")
expect "Reset to mode P with the frame (gdbus)" "(<('Empty',)>,)" \
    "$("${C[@]}" -m "$OBJ_IFACE.Reset" "{'UitvoerMode': <'P'>, 'HorLines': <true>}")"
expect "CurrentPage after Reset" "i 1" "$(get "$OBJ" CurrentPage)"
"${C[@]}" -m "$OBJ_IFACE.SetParm" '<int32 0>' '<"Busrapport">' >/dev/null || fail "SetParm 0"

call "$OBJ" ClearKopregels || fail "ClearKopregels"
call "$OBJ" AddKopregel 'vvva{sv}' i 1 i 1 s "Rapport #0  Blad #B" 0 || fail "AddKopregel 1"
call "$OBJ" AddKopregel 'vvva{sv}' i 2 i 1 s "Datum #D" 0 || fail "AddKopregel 2"
# Both lines first, then both positions.
call "$OBJ" AddKopregelBox 'vvvva{sv}' i 1 i 2 i 1 i 60 0 || fail "AddKopregelBox"
call "$OBJ" AddKopregelLine 'vvvva{sv}' i 2 i 2 i 1 i 60 1 Dikte i 2 || fail "AddKopregelLine"
expect "MaxKopregel counts the header elements" "v n 4" "$(get "$OBJ" MaxKopregel)"

# --- A failing header call, on an object of its own ------------------------------------------
# The failure leaves the increased count, so this object's header could not be replayed. It is
# created before the report prints anything: creating an object ends the job in progress.
BAD=$(create_persistent)
call "$BAD" ClearKopregels || fail "ClearKopregels on the second object"
call "$BAD" AddKopregel 'vvva{sv}' i 1 i 1 s Kop 0 || fail "AddKopregel on the second object"
expect "the second object's count before the failure" "v n 1" "$(get "$BAD" MaxKopregel)"
gdbus call --session -d "$NAME" -o "$BAD" -m "$OBJ_IFACE.AddKopregelBox" \
    '<("Null",)>' '<int32 2>' '<int32 1>' '<int32 60>' '@a{sv} {}' \
    >/dev/null 2>"$ZEL_E2E_TMP/err" && fail "AddKopregelBox took Null as its line"
grep -q "ZelPrintDemo.Error94: 94: Invalid use of Null" "$ZEL_E2E_TMP/err" ||
    fail "AddKopregelBox with a Null line: $(cat "$ZEL_E2E_TMP/err")"
echo "ok: a Null PrLine is error 94"
expect "the failed call still counted" "v n 2" "$(get "$BAD" MaxKopregel)"
expect "the second object is released unprinted" "" "$(call "$BAD" Release)"
expect "the report's object kept its header" "v n 4" "$(get "$OBJ" MaxKopregel)"

# --- The body --------------------------------------------------------------------------------
# check_page LINE: after the line's AddTekst the page cursor shows the page the line must be
# on, and a line that opens a page is that page's start line.
check_page() {
    local r=$1
    expect "$(regel "$r"): CurrentPage" "i ${PAGE_OF[r]}" "$(get "$OBJ" CurrentPage)"
    if [ "$r" -eq 1 ] || [ "${PAGE_OF[r]}" -ne "${PAGE_OF[r - 1]}" ]; then
        expect "$(regel "$r"): StartLine" "i $r" "$(get "$OBJ" StartLine)"
        expect "$(regel "$r"): CurrentLine below the header" "i $HEADER_LINES" \
            "$(get "$OBJ" CurrentLine)"
    fi
}

for ((r = 1; r <= TOTAL; r++)); do
    if [ "$r" -eq "$BREAK_BEFORE" ]; then
        expect "NieuwBlad in mode P" "b true" "$(call "$OBJ" NieuwBlad v i "$r")"
        expect "NieuwBlad leaves the page number" "i ${PAGE_OF[r - 1]}" \
            "$(get "$OBJ" CurrentPage)"
        expect "NieuwBlad ends the page" "i -1" "$(get "$OBJ" CurrentLine)"
    fi
    reply=$(call "$OBJ" AddTekst 'vvva{sv}' i "$r" i 5 s "$(regel "$r")" 0) ||
        fail "AddTekst $r"
    [ "$reply" = "b false" ] || fail "AddTekst $r returned [$reply]"
    # The cursor around every page start, and on the line before one.
    if [ "$r" -eq 1 ] || [ "$r" -eq "$TOTAL" ] || [ "${PAGE_OF[r]}" -ne "${PAGE_OF[r + 1]}" ] ||
        [ "${PAGE_OF[r]}" -ne "${PAGE_OF[r - 1]:-0}" ]; then
        check_page "$r"
    fi
    case $r in
    1) call "$OBJ" Watermerk 'va{sv}' s "$WATERMARK" 0 || fail "Watermerk" ;;
    10) call "$OBJ" AddLine 'vvvva{sv}' i 10 i 20 i 10 i 60 2 Kleur i 255 Dikte i 3 ||
        fail "AddLine" ;;
    12)
        call "$OBJ" AddBox 'vvvva{sv}' i 12 i 20 i 14 i 40 2 FillArea b true Kleur i 16711680 ||
            fail "AddBox filled"
        call "$OBJ" AddBox 'vvvva{sv}' i 15 i 20 i 16 i 40 1 Dikte i 2 || fail "AddBox"
        ;;
    20) expect "CheckRegelsBeschikbaar for a block that fits" "b true" \
        "$(call "$OBJ" CheckRegelsBeschikbaar vv i 21 i 5)" ;;
    "$FRAMED_AFTER")
        call "$OBJ" HorLines || fail "HorLines"
        call "$OBJ" CrossLines || fail "CrossLines"
        expect "the frame and the diagonals keep the page" "i ${PAGE_OF[r]}" \
            "$(get "$OBJ" CurrentPage)"
        ;;
    esac
done

# The open job is a hidden part file: no job file before the job ends.
expect "no job file while the job is open" "" "$(ls "$ZEL_E2E_TMP/pdf")"
expect "Release" "" "$(call "$OBJ" Release)"

# --- The PDF ---------------------------------------------------------------------------------
expect "one job file" "job-0001.pdf" "$(ls -A "$ZEL_E2E_TMP/pdf" | tr '\n' ' ' | sed 's/ $//')"
PDF=$ZEL_E2E_TMP/pdf/job-0001.pdf
expect "page count ($LINES_PER_PAGE lines a page)" "$PAGES" \
    "$(pdfinfo "$PDF" | sed -n 's/^Pages: *//p')"

for ((p = 1; p <= PAGES; p++)); do
    text=$(report_page_text "$PDF" "$p")
    expect "page $p: header line 1 with its number" "Rapport Busrapport Blad $((p + 1))" \
        "$(sed -n 1p <<<"$text" | tr -s ' ')"
    # The server's clock cannot be pinned over the bus: the date's form only.
    sed -n 2p <<<"$text" | grep -Eqx 'Datum (0[1-9]|[12][0-9]|3[01])-(0[1-9]|1[0-2])-[0-9]{4}' ||
        fail "page $p: header line 2 is not a dated line: [$(sed -n 2p <<<"$text")]"
    echo "ok: page $p: header line 2 holds a date"
    expect "page $p: one header" 1 "$(grep -c 'Rapport' <<<"$text")"
    expected=$(for ((r = 1; r <= TOTAL; r++)); do
        [ "${PAGE_OF[r]}" -eq $((p + 1)) ] && regel "$r" && echo
    done)
    expect "page $p: its body lines" "$expected" "$(report_body_lines "$text")"
    expect "page $p: watermark" "$([ "$p" -eq 1 ] && echo 1 || echo 0)" \
        "$(grep -c "$WATERMARK" <<<"$text" || true)"
    # The frame on every page (Reset's HorLines); the diagonals where CrossLines was called.
    expect "page $p: grid lines" \
        "$([ $((p + 1)) -eq "${PAGE_OF[FRAMED_AFTER]}" ] && echo frame diagonal diagonal frame ||
            echo frame frame)" "$(grid_marks "$PDF" "$p")"
done

first_page=$(report_body_lines "$(report_page_text "$PDF" 1)")
expect "the forced break: the first page ends at the line before it" \
    "$(regel $((BREAK_BEFORE - 1)))" "$(tail -n 1 <<<"$first_page")"
expect "the forced break: the next page opens with its line" "$(regel "$BREAK_BEFORE")" \
    "$(report_body_lines "$(report_page_text "$PDF" 2)" | head -n 1)"
# box_colour LINE: the colour at position 30 of the line, in the middle of the box drawn across
# it. The cell comes from the body text: "Regel NNN" at position 5 puts NNN at 11 to 13.
box_colour() {
    local page=$((PAGE_OF[$1] - 1)) x1 y1 x2 y2 x y
    read -r x1 y1 x2 y2 <<<"$(word_box "$PDF" "$page" "$(printf %03d "$1")")"
    read -r x y <<<"$(awk -v x1="$x1" -v x2="$x2" -v y1="$y1" -v y2="$y2" \
        'BEGIN { printf "%d %d", x1 + 19.5 * (x2 - x1) / 3, (y1 + y2) / 2 }')"
    colour_at "$PDF" "$page" "$x" "$y"
}
# 16711680 is blue: red is the low byte.
expect "the filled box is blue" "0 0 255" "$(box_colour 13)"
expect "the outlined box is empty" "255 255 255" "$(box_colour 15)"
expect "every body line once, in order" "$(seq -f 'Regel %03g' 1 "$TOTAL")" \
    "$(report_body_lines "$(pdftotext "$PDF" -)")"
report_check_placement "$PDF" "$WATERMARK"

PID=$(server_pid)
kill -TERM "$PID"
wait_gone "$PID" 10 || fail "the server did not end on SIGTERM"
echo "ok: SIGTERM ends the server"
