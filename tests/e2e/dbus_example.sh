# Runs one of the client examples (examples/clients) against the real server, started by D-Bus
# activation, with a destination of its own, and checks what it reports and the PDF it printed.
#   dbus_example.sh COMMAND...
source "$(dirname "$0")/dbus_lib.sh"
source "$(dirname "$0")/lib/report.sh"

CHOSEN=$ZEL_E2E_TMP/chosen
"$@" "pdf:$CHOSEN" >"$ZEL_E2E_TMP/said" 2>&1 || fail "the example failed: $(cat "$ZEL_E2E_TMP/said")"
said() { grep -x "$1" "$ZEL_E2E_TMP/said" || fail "the example did not say [$1]: $(cat "$ZEL_E2E_TMP/said")"; }

said "Melding 80: Parameternummer fout: 10"
said "error ZelPrintDemo.Error13: 13: Type mismatch (argument Regel, expected Long)"
said "CurrentPage 2"
said "page 1 printed"
said "page 2 printed"
PDF=$CHOSEN/job-0001.pdf
said "job pdf:$CHOSEN $PDF 2 pages"
expect "the server's own destination got nothing" "" "$(ls "$ZEL_E2E_TMP/pdf")"

expect "page count" 2 "$(pdfinfo "$PDF" | sed -n 's/^Pages: *//p')"
for p in 1 2; do
    text=$(report_page_text "$PDF" "$p")
    expect "page $p: the header with its number" "Voorbeeldrapport Blad $p" \
        "$(head -n 1 <<<"$text" | tr -s ' ')"
    first=$((p == 1 ? 1 : 21)) last=$((p == 1 ? 20 : 30))
    expect "page $p: its body lines" "$(seq -f 'Regel %02g' "$first" "$last")" \
        "$(grep -o 'Regel [0-9]*' <<<"$text")"
done
