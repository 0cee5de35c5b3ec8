#!/usr/bin/env bash
# The demo report (the program that shows how to use the print object) still prints what it
# shows: one PDF file whose path it writes, three pages each with the header, its page number
# and the watermark, every article once, the summary with the parameters filled in.
set -euo pipefail
: "${ZEL_BUILD_DIR:?set ZEL_BUILD_DIR to the build folder}"
source "$(dirname "$0")/lib/report.sh"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
report_env "$tmp"
# A folder given as argument wins over the environment's destination.
export ZELPRINT_PRINTER=pdf:$tmp/elsewhere

day_before=$(date +%d-%m-%Y)
"$ZEL_BUILD_DIR/bin/zelprint-demo" "$tmp/pdf" >"$tmp/stdout" || report_fail "zelprint-demo failed"
report_expect "the path it writes" "$tmp/pdf/job-0001.pdf" "$(cat "$tmp/stdout")"
report_expect "nothing at the environment's destination" no "$([ -e "$tmp/elsewhere" ] && echo yes || echo no)"
pdf=$tmp/pdf/job-0001.pdf

pages=3
report_expect "page count" "$pages" "$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')"
# The date of the run (the day before or after midnight, should the run cross it).
today=$(date +%d-%m-%Y)
for ((page = 1; page <= pages; page++)); do
    text=$(report_page_text "$pdf" "$page" | tr -s ' ')
    report_expect "page $page: title and number" \
        "Zel Demo BV - Voorraadoverzicht Magazijn Noord Pagina $page" "$(sed -n 1p <<<"$text")"
    heads=$(sed -n 2p <<<"$text")
    [ "$heads" = "Artikel Omschrijving Voorraad Prijs Datum $day_before" ] ||
        report_expect "page $page: column heads and date" \
            "Artikel Omschrijving Voorraad Prijs Datum $today" "$heads"
    report_expect "page $page: watermark" 1 "$(grep -c VOORBEELD <<<"$text" || true)"
done
report_check_placement "$pdf" VOORBEELD

all=$(pdftotext "$pdf" -)
report_expect "each article once" "$(seq -f 'A-%g' 1000 1139)" "$(grep -o 'A-1[0-9]\{3\}' <<<"$all" | sort)"
report_expect "groups" "Gereedschap Bevestiging Elektra Verf Tuin" \
    "$(grep -o 'Groep: [A-Za-z]*' <<<"$all" | sed 's/Groep: //' | tr '\n' ' ' | sed 's/ $//')"
report_expect "summary with the parameters filled in" 1 \
    "$(grep -c '^Artikelen op voorraad: 140$' <<<"$all")"
