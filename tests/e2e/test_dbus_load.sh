# Load: 20 clients at once, each with its own object, each printing a 50-page report in mode
# "P" on its own column. Every call is answered, every line reaches a PDF exactly once, each
# client's lines are a job of their own, and once every object is released the server's memory
# is back near what it was before the clients came.
source "$(dirname "$0")/dbus_lib.sh"

CLIENTS=20 PAGES=50 LINES=10
CLIENT="$ZEL_BUILD_DIR/bin/bus-client"

# A persistent object keeps the server running between the clients and the measurement.
KEEPER=$(create_persistent)
PID=$(server_pid)
[ -r "/proc/$PID/status" ] || fail "no server process [$PID]"
rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$PID/status"; }
# A first small report warms up fonts and the PDF writer, so the baseline is a working server.
"$CLIENT" report 20 1 1 || fail "the warm-up report"
BEFORE=$(rss)

started=$SECONDS
CLIENT_PIDS=()
for ((id = 0; id < CLIENTS; id++)); do
    "$CLIENT" report "$id" "$PAGES" "$LINES" >"$ZEL_E2E_TMP/client-$id.out" 2>&1 &
    CLIENT_PIDS+=($!)
done
PIDS+=("${CLIENT_PIDS[@]}")
for ((id = 0; id < CLIENTS; id++)); do
    wait "${CLIENT_PIDS[id]}" || fail "client $id: $(cat "$ZEL_E2E_TMP/client-$id.out")"
done
echo "ok: $CLIENTS clients, $((CLIENTS * PAGES * LINES)) lines, every call answered in $((SECONDS - started)) s"

kill -0 "$PID" || fail "the server died"
call "$KEEPER" Cls >/dev/null || fail "Cls on the keeper"
AFTER=$(rss)
echo "memory: $BEFORE kB before, $AFTER kB after"

# Every client's token once (the warm-up's letter U is not among them).
pdftotext_all() { for f in "$ZEL_E2E_TMP"/pdf/job-*.pdf; do pdftotext "$f" -; done; }
pdftotext_all | grep -oE '\b[A-T][0-9A-Z]{2}\b' | sort >"$ZEL_E2E_TMP/printed"
awk -v clients="$CLIENTS" -v lines=$((PAGES * LINES)) 'BEGIN {
    d = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    for (id = 0; id < clients; id++)
        for (n = 0; n < lines; n++)
            printf "%c%s%s\n", 65 + id, substr(d, int(n / 36) % 36 + 1, 1), substr(d, n % 36 + 1, 1)
}' | sort >"$ZEL_E2E_TMP/expected"
doubled=$(uniq -d "$ZEL_E2E_TMP/printed" | head -5 | tr '\n' ' ')
expect "no line printed twice" "" "$doubled"
lost=$(comm -23 "$ZEL_E2E_TMP/expected" "$ZEL_E2E_TMP/printed" | head -5 | tr '\n' ' ')
expect "no line lost" "" "$lost"
# Each client's lines are one job of its own, in the order it printed them.
for f in "$ZEL_E2E_TMP"/pdf/job-*.pdf; do
    pdftotext "$f" - | grep -oE '\b[A-T][0-9A-Z]{2}\b' | sed "s|^|$(basename "$f") |"
done >"$ZEL_E2E_TMP/owners"
mixed=$(awk '{ print substr($2, 1, 1), $1 }' "$ZEL_E2E_TMP/owners" | sort -u |
    awk '{ n[$1]++ } END { for (c in n) if (n[c] > 1) printf "%s ", c }')
expect "every client's lines in one job" "" "$mixed"
unordered=$(LC_ALL=C awk '{ c = substr($2, 1, 1); if ($2 <= last[c]) printf "%s ", $2; last[c] = $2 }' \
    "$ZEL_E2E_TMP/owners" | head -c 100)
expect "every client's lines in order" "" "$unordered"
pages=0
for f in "$ZEL_E2E_TMP"/pdf/job-*.pdf; do
    pages=$((pages + $(pdfinfo "$f" | sed -n 's/^Pages: *//p')))
done
[ "$pages" -ge "$PAGES" ] || fail "only $pages pages printed"
echo "ok: every line once on $pages pages"

# Back near the start: at most 40 MB more than the warm server held (allocator caches, the
# sanitizer's quarantine); a leak of the objects' pages would be hundreds.
if [ -n "${ZEL_SANITIZE_FLAGS:-}" ]; then
    # AddressSanitizer holds freed memory in its quarantine: the resident size says nothing
    # there, and LeakSanitizer checks the server when it exits.
    echo "skipped: memory growth is not measured under the sanitizers"
else
    [ $((AFTER - BEFORE)) -lt 40960 ] || fail "memory grew from $BEFORE kB to $AFTER kB"
    echo "ok: memory back near its start"
fi
call "$KEEPER" Release >/dev/null || fail "Release"
