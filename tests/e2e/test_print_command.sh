#!/usr/bin/env bash
# zelprint print: a template and a text file each become one PDF job with every line and the
# numbered header; a missing file, an unknown queue and an unwritable folder fail with one
# line that names them, exit 1 and leave no job.
set -euo pipefail
: "${ZEL_BUILD_DIR:?set ZEL_BUILD_DIR to the build folder}"
source "$(dirname "$0")/lib/report.sh"

tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
report_env "$tmp"
zelprint=$ZEL_BUILD_DIR/bin/zelprint

made=$("$zelprint" print "$ZEL_SOURCE_DIR/examples/voorraad.psj" --printer "pdf:$tmp/pdf" \
    --header "Lijst blad #B") || report_fail "template not printed"
report_expect "where the template went" "$tmp/pdf/job-0001.pdf" "$made"
pages=$(pdfinfo "$made" | awk '/^Pages:/ { print $2 }')
[ "$pages" -ge 2 ] || report_fail "template: expected several pages, got $pages"
report_expect "the header on the last page" "Lijst blad $pages" \
    "$(report_page_text "$made" "$pages" | head -1 | tr -s ' ')"
report_expect "template lines" "$(grep -c 'A-1' "$ZEL_SOURCE_DIR/examples/voorraad.psj")" \
    "$(pdftotext "$made" - | grep -c 'A-1')"

# Every kind of line end, a tab, and a last line without one.
printf 'een\ntwee\r\ndrie\rvier\tvijf\nzes' >"$tmp/lines.txt"
made=$("$zelprint" print --text "$tmp/lines.txt" --printer "pdf:$tmp/pdf" --orientation 2) ||
    report_fail "text file not printed"
report_expect "text lines" "een|twee|drie|vier vijf|zes" \
    "$(report_page_text "$made" 1 | tr -s ' ' | tr -d '\f' | grep -v '^$' | paste -sd'|')"
report_expect "landscape" "yes" "$(pdfinfo "$made" | awk '/^Page size:/ { print ($3 > $5) ? "yes" : "no" }')"
# A text job without a window starts no GUI: no display platform, no Qt Gui and no widget
# library is loaded, and nothing is said about a display, even one that cannot be opened.
DISPLAY=:99 LD_DEBUG=files "$zelprint" print --text "$tmp/lines.txt" --printer "pdf:$tmp/nogui" \
    >/dev/null 2>"$tmp/ld" || report_fail "text job with a stale DISPLAY: $(cat "$tmp/ld")"
! grep -q "plugins/platforms/" "$tmp/ld" || report_fail "a text job in mode P loaded a display platform"
! grep -qE "libQt6(Gui|Widgets|PrintSupport)" "$tmp/ld" ||
    report_fail "a text job in mode P loaded Qt Gui or the widget libraries"
report_expect "what a text job says" "" "$(grep -v '^ *[0-9]*:' "$tmp/ld")"

# failure ARGS... : exit 1, one line on standard error that contains $expect, no new job.
failure() {
    local code=0
    "$zelprint" print "$@" >"$tmp/out" 2>"$tmp/err" || code=$?
    report_expect "exit code of print $*" 1 "$code"
    report_expect "one error line for print $*" 1 "$(grep -cv 'QStandardPaths' "$tmp/err")"
    grep -q -- "$expect" "$tmp/err" || report_fail "message does not name $expect: $(cat "$tmp/err")"
    report_expect "jobs after print $*" 2 "$(ls "$tmp/pdf" | wc -l)"
}
expect=$tmp/missing.psj failure "$tmp/missing.psj" --printer "pdf:$tmp/pdf"
expect=zelprint-no-such-queue failure "$tmp/lines.txt" --text --printer zelprint-no-such-queue
mkdir -m 500 "$tmp/locked"
if [ ! -w "$tmp/locked" ]; then  # root writes anywhere
    expect=$tmp/locked failure "$tmp/lines.txt" --text --printer "pdf:$tmp/locked"
fi
expect=/proc/zelprint failure "$tmp/lines.txt" --text --printer "pdf:/proc/zelprint"
# A line past the longest text (1 048 576 characters) fails with 7 and names the line.
{ echo eerste; head -c $((10 << 20)) /dev/zero | tr '\0' x; echo; } >"$tmp/long.txt"
expect="long.txt, line 2" failure "$tmp/long.txt" --text --printer "pdf:$tmp/pdf"
# A template line past it names the file and the line too.
{ printf 'eerste\r\n'; head -c $((10 << 20)) /dev/zero | tr '\0' x; printf '\r\n'; } >"$tmp/long.psj"
expect="long.psj, line 2" failure "$tmp/long.psj" --printer "pdf:$tmp/pdf"

# An unknown default set is a usage error that names the known ones.
code=0
"$zelprint" print --text "$tmp/lines.txt" --default Foo --printer "pdf:$tmp/pdf" 2>"$tmp/err" ||
    code=$?
report_expect "exit code of --default Foo" 2 "$code"
grep -q "TERMINAL, TERMINAL7B" "$tmp/err" || report_fail "the known sets are not named: $(cat "$tmp/err")"
report_expect "jobs after --default Foo" 2 "$(ls "$tmp/pdf" | wc -l)"

# A machine whose fontconfig sees only the report font (Liberation): Latin prints in it, the rest
# as its missing-glyph box; without any font file, the error names the font looked for.
fonts_only() {  # FOLDER: a fontconfig configuration of that folder alone
    printf '<?xml version="1.0"?>\n<fontconfig><dir>%s</dir><cachedir>%s</cachedir>
        <include ignore_missing="yes">/etc/fonts/conf.d</include></fontconfig>\n' \
        "$1" "$tmp/fc-cache" >"$tmp/fonts.conf"
}
printf 'Plain ASCII\n\u0939\u093F\u0928\u094D\u0926\u0940 \U0001F44D\n' >"$tmp/scripts.txt"
fonts_only "$(dirname "$(fc-match -f '%{file}' 'Liberation Mono')")"
made=$(FONTCONFIG_FILE=$tmp/fonts.conf "$zelprint" print --text "$tmp/scripts.txt" \
    --printer "pdf:$tmp/fonts" 2>"$tmp/err") || report_fail "only Liberation: $(cat "$tmp/err")"
report_expect "Latin in the report font alone" "Plain ASCII" "$(report_page_text "$made" 1 | head -1)"
mkdir "$tmp/no-fonts"
fonts_only "$tmp/no-fonts"
code=0
FONTCONFIG_FILE=$tmp/fonts.conf "$zelprint" print --text "$tmp/scripts.txt" \
    --printer "pdf:$tmp/fonts" 2>"$tmp/err" || code=$?
report_expect "exit code without any font" 1 "$code"
grep -q "Courier New" "$tmp/err" || report_fail "the font looked for is not named: $(cat "$tmp/err")"
# The fonts a run learnt are kept for the next one, until the user's configuration says otherwise.
export XDG_CACHE_HOME=$tmp/cache
font_of() { "$zelprint" print --text "$tmp/lines.txt" -d "pdf:$tmp/kept" | xargs pdffonts | awk 'NR == 3 { print $1 }' | cut -d+ -f2; }
report_expect "the report font" "LiberationMono" "$(font_of)"
mkdir -p "$XDG_CONFIG_HOME/fontconfig"
printf '<?xml version="1.0"?>\n<fontconfig><match><test name="family"><string>Courier New</string></test>
    <edit name="family" mode="assign" binding="strong"><string>DejaVu Sans Mono</string></edit></match></fontconfig>\n' \
    >"$XDG_CONFIG_HOME/fontconfig/fonts.conf"
report_expect "the report font after the user's own rule" "DejaVuSansMono" "$(font_of)"
rm -r "$XDG_CONFIG_HOME/fontconfig"

# A template as written on the original platform (Windows-1252) or by an editor here (LF line
# ends): every line on its own, every letter as written; the page number is the page's own.
printf 'Factuur blad #B\nCaf\xe9 in Belgi\xeb\n' >"$tmp/factuur.psj"
made=$("$zelprint" print "$tmp/factuur.psj" --printer "pdf:$tmp/pdf") ||
    report_fail "the Windows-1252 template was not printed"
report_expect "Windows-1252 template lines" "Factuur blad 1|Café in België" \
    "$(report_page_text "$made" 1 | tr -s ' ' | tr -d '\f' | grep -v '^$' | paste -sd'|')"

# Plain text as written: placeholders stay, a form feed starts a page, a long line wraps (or is
# cut with --truncate) and standard error says so.
# The text of one page, without the form feed pdftotext ends it with.
page() { report_page_text "$@" | tr -d '\f' | grep -v '^$'; }
long=$(printf 'x%.0s' $(seq 300))
printf '#define MAX 10\nIssue #B12\nprice #1\n\fna de pagina\n%s\nend\n' "$long" >"$tmp/plain.txt"
made=$("$zelprint" print --text "$tmp/plain.txt" -d "pdf:$tmp/lp" 2>"$tmp/err") ||
    report_fail "plain text not printed: $(cat "$tmp/err")"
report_expect "text as written" "#define MAX 10|Issue #B12|price #1" \
    "$(page "$made" 1 | paste -sd'|')"
report_expect "form feed: a second page" "na de pagina" "$(page "$made" 2 | head -1)"
report_expect "a wrapped line keeps every character" "$long" \
    "$(page "$made" 2 | sed -n '2,/^end$/p' | grep -v '^end$' | tr -d '\n')"
grep -q "^zelprint: 1 line longer than the page's [0-9]* characters wrapped$" "$tmp/err" ||
    report_fail "no word of the wrapped line: $(cat "$tmp/err")"
made=$("$zelprint" print --text --truncate "$tmp/plain.txt" -d "pdf:$tmp/lp" 2>"$tmp/err")
columns=$(sed -n "s/.*page's \([0-9]*\) characters cut$/\1/p" "$tmp/err")
[ -n "$columns" ] || report_fail "no word of the cut line: $(cat "$tmp/err")"
report_expect "a cut line" "${long:0:$columns}|end" "$(page "$made" 2 | sed -n '2,3p' | paste -sd'|')"
# A combining mark after the last cell belongs to that cell's letter.
made=$(printf '%s\xcc\x81yyy\n' "${long:0:$columns}" |
    "$zelprint" print --text --truncate - -d "pdf:$tmp/lp" 2>/dev/null)
report_expect "a cut line keeps its last letter's mark" "${long:0:$columns}$(printf '\xcc\x81')" \
    "$(page "$made" 1)"
# The encoding is judged by the whole file: a Windows-1252 byte after a block of ASCII.
{
    printf '%080d\n' $(seq 1000)
    printf 'Caf\xe9\n'
} >"$tmp/late.txt"
made=$("$zelprint" print --text "$tmp/late.txt" -d "pdf:$tmp/lp" 2>"$tmp/err") ||
    report_fail "late Windows-1252 text not printed: $(cat "$tmp/err")"
report_expect "a Windows-1252 byte past 64 KB of ASCII" "Café" "$(pdftotext "$made" - | grep '^Caf')"
# A job the disk cannot take whole is an error and leaves no file, also when its pages were
# deflated beside the layout: here the file may not grow past 64 KiB.
for i in $(seq 6000); do printf '%06d %s\n' "$i" "${long:0:73}"; done >"$tmp/big.txt"
code=0
(
    ulimit -f 64
    trap '' XFSZ
    "$zelprint" print --text "$tmp/big.txt" -d "pdf:$tmp/full"
) >/dev/null 2>"$tmp/err" || code=$?
[ "$code" -ne 0 ] || report_fail "a job cut short by the disk was reported printed"
grep -q "Printer error" "$tmp/err" || report_fail "a job cut short, no error: $(cat "$tmp/err")"
report_expect "a job cut short leaves no file" "" "$(ls -A "$tmp/full")"
# A wide character takes two cells: a line of them wraps at half as many characters (counted
# here in bytes: three a character).
half=$((columns / 2))
wide=$(printf '文%.0s' $(seq $((2 * half))))
made=$(printf '%s\n' "$wide" | "$zelprint" print --text - -d "pdf:$tmp/lp" 2>/dev/null)
report_expect "wide characters wrapped at the page's cells" "$((3 * half))|$((3 * half))" \
    "$(page "$made" 1 | LC_ALL=C awk '{ print length($0) }' | paste -sd'|')"

# Standard input and a file in one job, each from a new page; the title, the paper and what a
# PDF file cannot carry.
made=$(printf 'van invoer\n' | "$zelprint" print --text - "$tmp/lines.txt" -d "pdf:$tmp/lp" \
    -n 2 -o media=A5 -o 'sides=two-sided-long-edge' -t "Mijn lijst" 2>"$tmp/err") ||
    report_fail "standard input and a file not printed: $(cat "$tmp/err")"
report_expect "pages of input and file" "2" "$(pdfinfo "$made" | awk '/^Pages:/ { print $2 }')"
report_expect "input on page 1, the file on page 2" "van invoer|een" \
    "$(page "$made" 1)|$(page "$made" 2 | head -1)"
report_expect "the PDF's title" "Mijn lijst" "$(pdfinfo "$made" | sed -n 's/^Title: *//p')"
report_expect "the PDF's producer" "ZelPrintDemo" "$(pdfinfo "$made" | sed -n 's/^Producer: *\([A-Za-z]*\).*/\1/p')"
report_expect "paper A5" "420 x 595" "$(pdfinfo "$made" | sed -n 's/^Page size: *\([0-9]* x [0-9]*\).*/\1/p')"
grep -q "cannot carry sides, copies: ignored" "$tmp/err" || report_fail "ignored options not said: $(cat "$tmp/err")"
made=$(printf 'van invoer\n' | "$zelprint" print --text -d "pdf:$tmp/lp" 2>/dev/null)
report_expect "standard input's title" "standard input" "$(pdfinfo "$made" | sed -n 's/^Title: *//p')"

# The grid follows the sheet, whatever paper and orientation lp's options choose: every line of a
# long text comes back whole, each character on the sheet inside its margins.
ys=$(printf 'y%.0s' $(seq 150))
for i in $(seq 150); do printf 'r%03d %s\n' "$i" "$ys"; done >"$tmp/sheet.txt"
for sheet in "media=a5 420x595" "media=letter 612x792" "landscape 842x595" \
    "orientation-requested=4 842x595"; do
    option=${sheet% *}
    made=$("$zelprint" print --text "$tmp/sheet.txt" -d "pdf:$tmp/sheets" -o "$option" 2>/dev/null) ||
        report_fail "not printed with -o $option"
    report_expect "the sheet of -o $option" "${sheet#* }" \
        "$(pdfinfo "$made" | sed -n 's/^Page size: *\([0-9]*\) x \([0-9]*\) .*/\1x\2/p')"
    report_expect "every line back on -o $option" "$(seq -f 'r%03g' 150 | paste -sd' ')" \
        "$(pdftotext "$made" - | grep -o 'r[0-9][0-9][0-9]' | paste -sd' ')"
    report_expect "every character back on -o $option" $((150 * 150)) \
        "$(pdftotext "$made" - | tr -cd y | wc -c)"
    report_check_placement "$made" "" 18  # lp's narrowest default margin
done
# Without media the system's paper, by libpaper's names as libpaper takes them: its executive is
# 7.25 x 10.5 inches, its b5 ISO B5 (CUPS's B5 is JIS B5); a comment line does not count.
printf '# the office paper\n\nLetter\n' >"$tmp/papersize"
for paper in "PAPERSIZE=executive 522x756" "PAPERSIZE=b5 499x709" \
    "PAPERCONF=$tmp/papersize 612x792"; do
    made=$(env "${paper% *}" "$zelprint" print --text "$tmp/lines.txt" -d "pdf:$tmp/papers" 2>/dev/null) ||
        report_fail "not printed with ${paper% *}"
    report_expect "the system's paper by ${paper% *}" "${paper##* }" \
        "$(pdfinfo "$made" | sed -n 's/^Page size: *\([0-9]*\) x \([0-9]*\) .*/\1x\2/p')"
done

"$zelprint" print --help | grep -q -- "-o NAME=VALUE" || report_fail "print --help says nothing of -o"
"$zelprint" serve --help | grep -q -- "--linger" || report_fail "serve --help says nothing of --linger"
code=0
"$zelprint" print --text -x "$tmp/lines.txt" 2>/dev/null || code=$?
report_expect "an unknown option is a usage error" 2 "$code"

# What a file is taken as: without --text a text file prints as written; a name ending in .psj
# (in any case) is a template, its placeholders expanded.
printf 'Issue #B12 fixed on #D\nprice #1\tnet\n' >"$tmp/notes.txt"
cp "$tmp/notes.txt" "$tmp/notes.PSJ"
made=$("$zelprint" print "$tmp/notes.txt" -d "pdf:$tmp/kind") || report_fail "notes.txt not printed"
report_expect "a text file as written" "Issue #B12 fixed on #D|price #1 net" \
    "$(page "$made" 1 | tr -s ' ' | paste -sd'|')"
made=$("$zelprint" print "$tmp/notes.PSJ" -d "pdf:$tmp/kind") || report_fail "notes.PSJ not printed"
page "$made" 1 | grep -q '#B12' && report_fail "a .PSJ file was not read as a template"
echo "ok: a .PSJ file is a template"

# lp's input rules: empty input and binary files print nothing (exit 1, no job), and the
# message says how to print a binary file all the same.
: >"$tmp/empty.txt"
input_refused() {  # WHAT EXPECT INPUT ARGS...
    local what=$1 expect=$2 input=$3 code=0
    shift 3
    "$zelprint" print "$@" -d "pdf:$tmp/refused" <"$input" >"$tmp/out" 2>"$tmp/err" || code=$?
    report_expect "exit code for $what" 1 "$code"
    grep -q -- "$expect" "$tmp/err" || report_fail "$what: no word of $expect: $(cat "$tmp/err")"
    [ ! -e "$tmp/refused" ] || [ -z "$(ls "$tmp/refused")" ] || report_fail "$what left a job"
}
input_refused "an empty file" "no input: $tmp/empty.txt is empty" /dev/null "$tmp/empty.txt"
input_refused "empty standard input" "no input: standard input is empty" /dev/null
input_refused "a binary file" "document-format=text/plain" /dev/null /bin/true
input_refused "binary standard input" "NUL bytes" /bin/true --text
made=$("$zelprint" print /bin/true -o document-format=text/plain -d "pdf:$tmp/kind" 2>/dev/null) ||
    report_fail "a binary file asked for as text was not printed"
# A pipe that is slow to write is read to its end, not taken for empty input.
made=$( (sleep 0.5; echo laat) | "$zelprint" print -d "pdf:$tmp/kind") ||
    report_fail "slow standard input not printed"
report_expect "slow standard input" "laat" "$(page "$made" 1)"

# The text grid as lp lays it out: 10 characters and 6 lines an inch by default, cpi and lpi
# as asked, every character inside the sheet, and lines wrapped between words.
words=$(for i in $(seq 60); do printf 'woord%s ' "$i"; done)
printf '%s\n' "$words" "$words" abc def >"$tmp/grid.txt"
# pitch PDF: the width of a character and the distance between the lines, in points; and
# "outside" when a word leaves the sheet.
pitch() {
    pdftotext -bbox -f 1 -l 1 "$1" - | awk '
        /<page / { split($0, p, "\""); w = p[2]; h = p[4] }
        /<word / {
            split($0, f, "\"")
            if (f[2] < 0 || f[6] > w || f[4] < 0 || f[8] > h) outside = 1
            if ($0 ~ />abc</) { abc = f[4]; cell = (f[6] - f[2]) / 3 }
            if ($0 ~ />def</) def = f[4]
        }
        END { printf "%.1f %.1f%s\n", cell, def - abc, outside ? " outside" : "" }'
}
for row in "default:7.2 12.0:" "cpi=12 lpi=8:6.0 9.0:-o cpi=12 -o lpi=8" \
    "landscape:7.2 12.0:--orientation 2"; do
    IFS=: read -r what expected options <<<"$row"
    # shellcheck disable=SC2086 # the options are words
    made=$("$zelprint" print "$tmp/grid.txt" $options -d "pdf:$tmp/grid" 2>/dev/null) ||
        report_fail "$what: not printed"
    report_expect "character and line pitch, $what" "$expected" "$(pitch "$made")"
    report_expect "wrapped between words, $what" "$words" \
        "$(pdftotext -layout -f 1 -l 1 "$made" - | sed -n '/woord1 /,/woord60$/{p;/woord60$/q}' | tr -s ' \n' ' ')"
done

# lp's and lpr's options: -# and -P are said as options a PDF cannot carry, --title is the
# PDF's title, -s says nothing, -E is accepted, a relative pdf: folder is the current one's.
out=$(cd "$tmp" && "$zelprint" print notes.txt -# 2 -P 1 -q 50 -E --title "Lp titel" \
    -d pdf:relatief 2>"$tmp/err") || report_fail "lp's options not taken: $(cat "$tmp/err")"
report_expect "a relative pdf: folder" "$tmp/relatief/job-0001.pdf" "$out"
report_expect "--title" "Lp titel" "$(pdfinfo "$out" | sed -n 's/^Title: *//p')"
grep -q "cannot carry copies, page-ranges, job-priority" "$tmp/err" ||
    report_fail "-#, -P and -q not taken as copies, page-ranges and job-priority: $(cat "$tmp/err")"
report_expect "-s says nothing" "" "$("$zelprint" print "$tmp/notes.txt" -s -d "pdf:$tmp/kind")"
# prettyprint: the file's name, the date and the page number above two columns.
made=$("$zelprint" print "$tmp/grid.txt" -o prettyprint -o columns=2 -d "pdf:$tmp/kind" 2>/dev/null)
page "$made" 1 | head -1 | grep -qE "grid.txt +[0-9]{2}-[0-9]{2}-[0-9]{4} +Blad +1$" ||
    report_fail "no prettyprint header: $(page "$made" 1 | head -1)"
echo "ok: prettyprint"

for bad in "-q 0" "-o cpi=12 $tmp/notes.PSJ" "$tmp/notes.PSJ" "--font-size 8 -o cpi=12"; do
    code=0
    # shellcheck disable=SC2086 # the options are words
    "$zelprint" print "$tmp/notes.txt" $bad -d "pdf:$tmp/kind" 2>/dev/null || code=$?
    report_expect "usage error: $bad" 2 "$code"
done
