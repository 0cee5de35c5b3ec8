#!/usr/bin/env bash
# zelprint print to a real CUPS queue as lp users print: copies, sides, paper, colour mode and
# title reach the job (read back from CUPS's page log), standard input and two files make one
# job, the text fits the queue's default paper, an option CUPS would refuse is 482 naming it
# before any job, and --wait tells a stopped queue at once while the job stays queued.
set -euo pipefail
: "${ZEL_BUILD_DIR:?set ZEL_BUILD_DIR to the build folder}"
here=$(dirname "$0")
source "$here/lib/report.sh"
source "$here/lib/cups.sh"

cups_script_begin
zelprint=$ZEL_BUILD_DIR/bin/zelprint

cups_add_pdf_queue ZelLp "$tmp/out" || report_fail "cannot add the cups-pdf queue"
printf 'een\ntwee\n' >"$tmp/a.txt"
printf 'drie\n' >"$tmp/b.txt"

# The page log's line of a job: queue user id [date] total sheets billing host title media sides
# colour-mode.
logged() {
    cups_wait_idle ZelLp 30 || report_fail "job $1 did not leave the queue"
    awk -v id="$1" '$3 == id' "$tmp/cups/log/page_log" | sed 's/.*\] total //'
}

said=$(printf 'van invoer\n' | "$zelprint" print --text - "$tmp/a.txt" -d ZelLp -n 2 \
    -o sides=two-sided-long-edge -o media=a5 -t "Maandlijst mei" --orientation 2 --wait) ||
    report_fail "the job did not complete: $said"
job=${said##* }
report_expect "where the job went" "ZelLp job $job" "$said"
# Two pages, two copies: four sheets; the orientation's colour step asks for colour.
report_expect "copies, title, paper, sides and colour in the page log" \
    "4 - localhost Maandlijst mei a5 two-sided-long-edge color" "$(logged "$job")"
shopt -s nullglob
files=("$tmp"/out/*.pdf)
report_expect "one file from the queue" 1 "${#files[@]}"
report_expect "standard input and the file, each from a page of its own" "van invoer|een" \
    "$(pdftotext -f 1 -l 1 "${files[0]}" - | grep -v '^\s*$' | head -1)|$(pdftotext -f 2 -l 2 "${files[0]}" - | grep -v '^\s*$' | head -1)"

# The caller's own colour mode goes over the orientation's colour step.
said=$("$zelprint" print --text "$tmp/b.txt" -d ZelLp --orientation 2 -o print-color-mode=monochrome) ||
    report_fail "the second job failed"
report_expect "the file's name is the title" "1 - localhost b.txt - - monochrome" \
    "$(logged "${said##* }")"

# A queue whose default paper is Letter: every line of a long text comes back, on the sheet.
lpadmin -p ZelLp -o PageSize=Letter
ys=$(printf 'y%.0s' $(seq 150))
for i in $(seq 120); do printf 'r%03d %s\n' "$i" "$ys"; done >"$tmp/sheet.txt"
said=$("$zelprint" print --text "$tmp/sheet.txt" -d ZelLp) || report_fail "the Letter job failed"
cups_wait_idle ZelLp 30 || report_fail "the Letter job did not leave the queue"
made=$(ls -t "$tmp"/out/*.pdf | head -1)
report_expect "the queue's paper" "612x792" \
    "$(pdfinfo "$made" | sed -n 's/^Page size: *\([0-9]*\) x \([0-9]*\) .*/\1x\2/p')"
report_expect "every line back on Letter" "$(seq -f 'r%03g' 120 | paste -sd' ')" \
    "$(pdftotext "$made" - | grep -o 'r[0-9][0-9][0-9]' | paste -sd' ')"
report_expect "every character back on Letter" $((120 * 150)) "$(pdftotext "$made" - | tr -cd y | wc -c)"
report_check_placement "$made" "" 18  # lp's narrowest default margin
lpadmin -p ZelLp -o PageSize=A4

# Refused before anything is printed: no new job at CUPS.
jobs_before=$(wc -l <"$tmp/cups/log/page_log")
code=0
"$zelprint" print --text "$tmp/a.txt" -d ZelLp -o number-up=3 2>"$tmp/err" || code=$?
report_expect "exit code of a refused option" 1 "$code"
grep -q "482: Printer error: ZelLp: number-up=3" "$tmp/err" || report_fail "not named: $(cat "$tmp/err")"
[ -z "$(lpstat -o ZelLp)" ] || report_fail "a refused job reached the queue"
report_expect "no job for a refused option" "$jobs_before" "$(wc -l <"$tmp/cups/log/page_log")"

# A stopped queue: --wait exits 1 at once with the job's id and why; the job stays queued.
cupsdisable ZelLp
code=0
start=$(date +%s)
"$zelprint" print --text "$tmp/b.txt" -d ZelLp --wait >"$tmp/out.txt" 2>"$tmp/err" || code=$?
report_expect "exit code for a stopped queue" 1 "$code"
job=$(sed -n 's/^ZelLp job //p' "$tmp/out.txt")
grep -q "^zelprint: ZelLp job $job: held: queue stopped$" "$tmp/err" ||
    report_fail "a stopped queue not told: $(cat "$tmp/err")"
[ $(($(date +%s) - start)) -lt 15 ] || report_fail "--wait took too long for a stopped queue"
lpstat -o ZelLp | grep -q "^ZelLp-$job " || report_fail "the job left the stopped queue"
cupsenable ZelLp
report_expect "the held job prints once the queue starts" "1 - localhost b.txt - - -" \
    "$(logged "$job")"
