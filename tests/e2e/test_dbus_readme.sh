# The README's D-Bus section works as written: its shell examples, run in order on a fresh
# session bus (all but the installation), call nothing that fails, and the first report lands
# where its JobEnded says.
source "$(dirname "$0")/dbus_lib.sh"
source "$(dirname "$0")/lib/report.sh"
: "${ZEL_SOURCE_DIR:?set ZEL_SOURCE_DIR to the source folder}"

SCRIPT=$ZEL_E2E_TMP/readme.sh
awk '/^## The D-Bus interface/ { on = 1; next } /^## / { on = 0 }
     on && /^```sh$/ { block = ""; inside = 1; next }
     on && inside && /^```$/ { inside = 0; if (block !~ /cmake --install/) printf "%s", block; next }
     inside { block = block $0 "\n" }' "$ZEL_SOURCE_DIR/README.md" >"$SCRIPT"
grep -q "Release" "$SCRIPT" || fail "no examples found in the README's D-Bus section"

# The server the README starts by hand is the script's first job: stopped at the end.
sed -i "s#build/bin/#$ZEL_BUILD_DIR/bin/#g" "$SCRIPT"
printf 'kill %%1\nwait %%1\n' >>"$SCRIPT"
mkdir -p "$ZEL_E2E_TMP/home"
(cd "$ZEL_SOURCE_DIR" && HOME=$ZEL_E2E_TMP/home PATH=/usr/bin:$PATH bash -e "$SCRIPT") \
    >"$ZEL_E2E_TMP/readme.out" 2>&1 ||
    fail "the README's examples: $(tail -n 20 "$ZEL_E2E_TMP/readme.out")"
echo "ok: every example of the README's D-Bus section runs"

OUT=$ZEL_E2E_TMP/home/rapporten
grep -qF "JobEnded ('pdf:$OUT', '$OUT/job-0001.pdf', 1)" "$ZEL_E2E_TMP/readme.out" ||
    fail "no JobEnded for the first report: $(cat "$ZEL_E2E_TMP/readme.out")"
PDF=$OUT/job-0001.pdf
expect "the first report's PDF" "Mijn rapport Blad 1|Eerste regel|-12,50 korting" \
    "$(report_page_text "$PDF" 1 | tr -d '\f' | grep -v '^$' | tr -s ' ' | paste -sd'|')"
