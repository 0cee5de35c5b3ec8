# The README's D-Bus examples, run in order on a fresh session bus (all but the installation),
# then those of the D-Bus reference: they call nothing that fails, and the first report lands
# where its JobEnded says.
source "$(dirname "$0")/dbus_lib.sh"
source "$(dirname "$0")/lib/report.sh"
: "${ZEL_SOURCE_DIR:?set ZEL_SOURCE_DIR to the source folder}"

# The shell blocks of FILE from the heading that matches START to the next "## " heading (the
# whole file without START).
shell_blocks() {
    awk -v start="${2:-}" 'BEGIN { on = start == "" }
        start != "" && $0 ~ start { on = 1; next } start != "" && /^## / { on = 0 }
        on && /^```sh$/ { block = ""; inside = 1; next }
        on && inside && /^```$/ { inside = 0; if (block !~ /cmake --install/) printf "%s", block; next }
        inside { block = block $0 "\n" }' "$1"
}
SCRIPT=$ZEL_E2E_TMP/readme.sh
{
    shell_blocks "$ZEL_SOURCE_DIR/README.md" '^## A first report over D-Bus'
    shell_blocks "$ZEL_SOURCE_DIR/docs/dbus.md"
} >"$SCRIPT"
grep -q "serve --linger" "$SCRIPT" || fail "no server start found in the README's D-Bus section"
grep -q "Kleur i 255" "$SCRIPT" || fail "no examples found in docs/dbus.md"

# Run from a folder of its own (the examples write files where they run), with this build's
# programs. The server the README starts by hand is the script's first job: stopped at the end.
sed -i -e "s#build\(-demo\)\?/bin/#$ZEL_BUILD_DIR/bin/#g" -e "s# examples/# $ZEL_SOURCE_DIR/examples/#g" \
    -e "s# ./clients/# $ZEL_SOURCE_DIR/clients/#g" \
    "$SCRIPT"
printf 'kill %%1\nwait %%1\n' >>"$SCRIPT"
mkdir -p "$ZEL_E2E_TMP/home" "$ZEL_E2E_TMP/work"
(cd "$ZEL_E2E_TMP/work" && HOME=$ZEL_E2E_TMP/home PATH=/usr/bin:$PATH bash -e "$SCRIPT") \
    >"$ZEL_E2E_TMP/readme.out" 2>&1 ||
    fail "the README's examples: $(tail -n 20 "$ZEL_E2E_TMP/readme.out")"
echo "ok: every D-Bus example of the README and docs/dbus.md runs"

OUT=$ZEL_E2E_TMP/home/rapporten
grep -qF "JobEnded ('pdf:$OUT', '$OUT/job-0001.pdf', 1)" "$ZEL_E2E_TMP/readme.out" ||
    fail "no JobEnded for the first report: $(cat "$ZEL_E2E_TMP/readme.out")"
PDF=$OUT/job-0001.pdf
expect "the first report's PDF" "Mijn rapport Blad 1|Eerste regel|-12,50 korting" \
    "$(report_page_text "$PDF" 1 | tr -d '\f' | grep -v '^$' | tr -s ' ' | paste -sd'|')"
grep -qF "Job(destination='pdf:$OUT', document='$OUT/job-0002.pdf', pages=1)" \
    "$ZEL_E2E_TMP/readme.out" || fail "the Python example's job: $(cat "$ZEL_E2E_TMP/readme.out")"
grep -q "^448 .*Breedte" "$ZEL_E2E_TMP/readme.out" ||
    fail "the Python example's error: $(cat "$ZEL_E2E_TMP/readme.out")"
echo "ok: the Python example prints and reports its error"
grep -qF "13: Type mismatch (argument Regel, expected Long)" "$ZEL_E2E_TMP/readme.out" ||
    fail "the Python example's wrong type: $(cat "$ZEL_E2E_TMP/readme.out")"

# The reference's zelprint print example that needs no CUPS queue, run as a user without a login
# session and without a chosen printer: nothing on standard error, and the PDF in the folder the
# reference names, numbered from page 1.
example=$(sed -n '/^## Printing a file/,/^## /p' "$ZEL_SOURCE_DIR/docs/reference.md" |
    grep -A1 '^zelprint print examples/')
[ -n "$example" ] || fail "no zelprint print example in docs/reference.md"
mkdir -p "$ZEL_E2E_TMP/user"
(cd "$ZEL_SOURCE_DIR" && env -u XDG_RUNTIME_DIR -u ZELPRINT_PRINTER -u XDG_DOCUMENTS_DIR \
    HOME="$ZEL_E2E_TMP/user" CUPS_SERVER="$ZEL_E2E_TMP/no-cups" PATH="$ZEL_BUILD_DIR/bin:$PATH" \
    bash -c "$(head -n 1 <<<"$example")") >"$ZEL_E2E_TMP/print.out" 2>"$ZEL_E2E_TMP/print.err" ||
    fail "the reference's zelprint print example: $(cat "$ZEL_E2E_TMP/print.err")"
promised=$(sed -n '2s/^# //p' <<<"$example")
expect "where the reference's example prints" "${promised/\/home\/me/$ZEL_E2E_TMP/user}" \
    "$(cat "$ZEL_E2E_TMP/print.out")"
expect "a run without a login session says nothing" "" "$(cat "$ZEL_E2E_TMP/print.err")"
expect "the example's header" "Voorraad blad 1" \
    "$(report_page_text "$(cat "$ZEL_E2E_TMP/print.out")" 1 | tr -s ' ' | grep -o 'Voorraad blad [0-9]*')"

# The man page's example that prints to PDF files, into a folder of the test's own.
example=$(sed -n '/^\.SH EXAMPLES/,/^\.fi/p' "$ZEL_SOURCE_DIR/data/zelprint.1.in" |
    grep '^zelprint print .*pdf:/tmp/out' | sed -e 's/\\-/-/g' -e "s#/tmp/out#$ZEL_E2E_TMP/man#")
[ -n "$example" ] || fail "no zelprint print example to PDF files in the man page"
printf 'Eerste regel\nTweede regel\n' >"$ZEL_E2E_TMP/user/notes.txt"
(cd "$ZEL_E2E_TMP/user" && PATH="$ZEL_BUILD_DIR/bin:$PATH" bash -c "$example") \
    >"$ZEL_E2E_TMP/man.out" 2>&1 || fail "the man page's example: $(cat "$ZEL_E2E_TMP/man.out")"
expect "the man page's example" "Rapport blad 1|Eerste regel|Tweede regel" \
    "$(report_page_text "$ZEL_E2E_TMP/man/job-0001.pdf" 1 | tr -d '\f' | tr -s ' ' |
        sed 's/ *[0-9][0-9]-[0-9][0-9]-[0-9]\{4\} *$//' | grep -v '^ *$' | paste -sd'|')"
