# Reads back the test report that zelprint-report prints (sourced by the report scripts).
#
#   report_env DIR                      settings and runtime folders below DIR, no display
#   report_fail MESSAGE                 print "FAIL: MESSAGE" and end the script
#   report_expect WHAT EXPECTED ACTUAL  compare, print "ok: WHAT"
#   report_value KEY FILE               a value of zelprint-report's "key value" output
#   report_page_text PDF PAGE           a page's text lines, in reading layout
#   report_check_placement PDF WORD [MARGIN]
#                                       texts inside the margins, the watermark WORD centred
#   report_check PDF EXPECTATIONS       the report's checks on a PDF file: page count, the
#                                       header with its page number on every page, each body
#                                       line exactly once and on the page the grid gives it,
#                                       the watermark on the first page only and centred,
#                                       no text outside the margins

report_env() {
    export XDG_CONFIG_HOME=$1/config XDG_RUNTIME_DIR=$1/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    # PDF files without media on the system's paper as /etc/papersize names it.
    unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM PAPERSIZE PAPERCONF
}

report_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

report_expect() {
    [ "$2" = "$3" ] || report_fail "$1: expected [$2], got [$3]"
    echo "ok: $1"
}

report_value() {
    local value
    value=$(sed -n "s/^$1 //p" "$2")
    [ -n "$value" ] || report_fail "zelprint-report wrote no $1"
    echo "$value"
}

# report_page_text PDF PAGE: the page's text in reading layout, blank lines and margins dropped.
report_page_text() {
    pdftotext -layout -f "$2" -l "$2" "$1" - | sed 's/^ *//; s/ *$//' | grep -v '^$'
}

# report_body_lines TEXT...: the body lines found in the text, in order, one a line.
report_body_lines() {
    grep -o 'Regel [0-9][0-9][0-9]' <<<"$1" || true
}

# report_check_placement PDF WATERMARK [MARGIN]: every word lies inside the sheet's margins, in
# points (default 40, a report's 800 twips; a printer's unprintable border only moves the text
# further in) and the watermark's middle is the sheet's middle.
report_check_placement() {
    local problems
    problems=$(pdftotext -bbox "$1" - | awk -v margin="${3:-40}" -v slack=0.5 -v watermark="$2" '
        /<page / {
            match($0, /width="[0-9.]+"/); w = substr($0, RSTART + 7, RLENGTH - 8)
            match($0, /height="[0-9.]+"/); h = substr($0, RSTART + 8, RLENGTH - 9)
            page++
        }
        /<word / {
            split($0, f, "\"")
            x1 = f[2]; y1 = f[4]; x2 = f[6]; y2 = f[8]
            word = $0; sub(/.*">/, "", word); sub(/<.*/, "", word)
            if (x1 < margin - slack || y1 < margin - slack || x2 > w - margin + slack ||
                y2 > h - margin + slack)
                printf "page %d: \"%s\" at %s,%s-%s,%s lies outside the margins\n", page, word, x1, y1, x2, y2
            if (word == watermark) {
                dx = (x1 + x2) / 2 - w / 2; dy = (y1 + y2) / 2 - h / 2
                if (dx * dx + dy * dy > 100)
                    printf "page %d: the watermark is off the middle by %.1f,%.1f points\n", page, dx, dy
            }
        }')
    report_expect "texts inside the margins, watermark centred" "" "$problems"
}

report_check() {
    local pdf=$1 expectations=$2
    local pages body first total=250
    pages=$(report_value pages "$expectations")
    body=$(report_value body-lines "$expectations")
    first=$(report_value first-page "$expectations")

    report_expect "page count" "$pages" "$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')"

    local page text from to
    for ((page = 1; page <= pages; page++)); do
        text=$(report_page_text "$pdf" "$page")
        # The header opens the page: the number first, then the second header line.
        report_expect "page $page: header line 1" "Testrapport blad $((first + page - 1))" \
            "$(sed -n 1p <<<"$text" | tr -s ' ')"
        report_expect "page $page: header line 2" "Overzicht van de testregels" \
            "$(sed -n 2p <<<"$text")"
        report_expect "page $page: one header" 1 "$(grep -c 'Testrapport' <<<"$text")"
        # The grid's lines less the header's on each page, in order.
        from=$(((page - 1) * body + 1))
        to=$((page * body < total ? page * body : total))
        report_expect "page $page: body lines $from to $to" \
            "$(seq -f 'Regel %03g' "$from" "$to")" "$(report_body_lines "$text")"
        report_expect "page $page: watermark" "$([ "$page" -eq 1 ] && echo 1 || echo 0)" \
            "$(grep -c 'CONCEPT' <<<"$text" || true)"
    done

    report_check_placement "$pdf" CONCEPT

    # Over the whole document: every line once (also catches lines outside the page range).
    report_expect "each body line once" "$(seq -f 'Regel %03g' 1 "$total")" \
        "$(report_body_lines "$(pdftotext "$pdf" -)" | sort)"
}
