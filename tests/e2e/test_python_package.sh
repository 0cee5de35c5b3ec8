# The Python package installs offline with pip into a virtual environment (dbus-next from the
# system's packages) and prints a report through the real server: plain Python values, optional
# arguments by keyword, properties, Empty, Null and dates, a run-time error as ZelPrintError,
# Melding and where the job went, the object released when the block ends.
source "$(dirname "$0")/dbus_lib.sh"
source "$(dirname "$0")/lib/report.sh"
: "${ZEL_SOURCE_DIR:?set ZEL_SOURCE_DIR to the source folder}"

VENV=$ZEL_E2E_TMP/venv
/usr/bin/python3 -m venv --system-site-packages "$VENV" || fail "python3 -m venv"
# No index can be reached here: the install must need none.
PIP_NO_INDEX=1 PIP_DISABLE_PIP_VERSION_CHECK=1 "$VENV/bin/pip" install -q \
    "$ZEL_SOURCE_DIR/clients/python" >"$ZEL_E2E_TMP/pip.out" 2>&1 ||
    fail "pip install: $(cat "$ZEL_E2E_TMP/pip.out")"
echo "ok: pip installs the package offline"

OUT=$ZEL_E2E_TMP/rapporten
mkdir -p "$OUT"
(cd "$ZEL_E2E_TMP" && "$VENV/bin/python" - "$OUT" <<'PY') >"$ZEL_E2E_TMP/py.out" 2>&1 ||
import datetime
import sys

from zelprint import Empty, Report, ZelPrintError

meldingen = []
with Report(Printer="pdf:" + sys.argv[1]) as report:
    report.on("Melding", lambda nummer, tekst: meldingen.append((nummer, tekst)))
    report.SetMode("P")
    assert "Kleur: the colour as 0x00BBGGRR (omitted: PrintForeColor)" in report.AddTekst.__doc__
    assert "AfdrukTekst: the text" in report.AddTekst.__doc__, report.AddTekst.__doc__
    assert report.Reset(HorLines=False) is Empty
    report.SetParm(1, datetime.date(2023, 3, 15))
    report.SetParm(2, None)
    report.AddKopregel(1, 1, "Kop blad #B", Kleur=255)
    assert report.AddTekst(1, 5, "Hallo #1") is False
    report.AddTekst(2, 5, "-12,50 korting", Kleur=255, AddTabel=True)
    report.AddBox(3, 1, 4, 20, FillArea=False, Dikte=2)
    report.PrintFontSize = 9
    assert report.PrintFontSize == 9, report.PrintFontSize
    assert report.CurrentPage == 2, report.CurrentPage
    for value in (datetime.datetime(1899, 12, 29, 6, 0), None, Empty, 2.5, "tekst"):
        report.PrintFileName = value
        assert report.PrintFileName == value, (value, report.PrintFileName)
    report.SetParm(10, "x")
    try:
        report.AddTekst(5, 5, "nooit", Onbekend=1)
        raise SystemExit("an unknown key gave no error")
    except ZelPrintError as error:
        assert error.number == 448, error
    try:
        report.AddTekst(5, 5)
        raise SystemExit("a missing argument gave no error")
    except TypeError:
        pass
    report.Cls()
    job = report.wait_job()
    print("job", job.destination, job.document, job.pages)
    print("melding", *meldingen[0])
    # Releasing ends the next job; where it went is still told.
    report.AddTekst(1, 5, "Tweede job")
    report.release()
    print("released", report.wait_job().document)
PY
    fail "the Python report: $(cat "$ZEL_E2E_TMP/py.out")"

expect "the job the package waited for" "job pdf:$OUT $OUT/job-0001.pdf 1" \
    "$(grep '^job' "$ZEL_E2E_TMP/py.out")"
expect "the job the release ended" "released $OUT/job-0002.pdf" \
    "$(grep '^released' "$ZEL_E2E_TMP/py.out")"
expect "Melding through the package" "melding 80 Parameternummer fout: 10" \
    "$(grep '^melding' "$ZEL_E2E_TMP/py.out")"
expect "the report's page" "Kop blad 2|Hallo 15-03-2023|-12,50 korting" \
    "$(report_page_text "$OUT/job-0001.pdf" 1 | tr -d '\f' | grep -v '^$' | tr -s ' ' | paste -sd'|')"

# What a new user meets: the signatures without a server, Decimal as Currency, errors that name
# the argument, wait_job when nothing was printed, and no server at all.
(cd "$ZEL_E2E_TMP" && "$VENV/bin/python" - "$OUT" <<'PY') >"$ZEL_E2E_TMP/user.out" 2>&1 ||
import decimal
import inspect
import sys
import time

from zelprint import NothingPrinted, Report, ZelPrintError

signature = str(inspect.signature(Report.AddTekst))
assert signature.startswith("(self, Regel: int, Positie: Union[int, float, decimal.Decimal], "
                            "AfdrukTekst: str, *, Kleur: int = OMITTED"), signature
assert "Type: Number" in Report.PrintFontSize.__doc__, Report.PrintFontSize.__doc__

with Report(Printer="pdf:" + sys.argv[1]) as report:
    report.SetMode("P")
    # call, expected: number, argument, expected type
    cases = [
        (lambda: report.AddTekst("vier", 5, "x"), (13, "Regel", "Long")),
        (lambda: report.AddTekst(1, 5, "x", Kleur="rood"), (13, "Kleur", "Long")),
        (lambda: report.NieuwBlad(None), (94, "Regel", "Long")),
        (lambda: report.AddTekst(1, 5, "x", Kleur=1, kleur=2), (5, "Kleur", "once")),
        (lambda: setattr(report, "PrintFontSize", 5000), (380, "PrintFontSize", None)),
    ]
    for call, (number, argument, expected) in cases:
        try:
            call()
            raise SystemExit(f"no error for {argument}")
        except ZelPrintError as error:
            assert (error.number, error.argument) == (number, argument), error
            assert expected is None or error.expected == expected, error
            assert str(error).startswith(f"{number}: {error.text} (argument {argument}"), error
    try:
        report.PrintFontSise = 9
        raise SystemExit("a misspelt property was taken")
    except AttributeError:
        pass
    started = time.monotonic()
    try:
        report.wait_job()
        raise SystemExit("wait_job found a job where none was printed")
    except NothingPrinted as nothing:
        assert "nothing printed" in str(nothing)
    assert time.monotonic() - started < 1
    report.SetParm(3, decimal.Decimal("123456789012.34565"))
    report.AddTekst(1, 5, "Bedrag #3")
    report.Cls()
    print("currency", report.wait_job().document)
PY
    fail "the package as a new user meets it: $(cat "$ZEL_E2E_TMP/user.out")"
expect "a Decimal amount printed exactly" "Bedrag 123456789012.3456" \
    "$(report_page_text "$(sed -n 's/^currency //p' "$ZEL_E2E_TMP/user.out")" 1 | grep -o 'Bedrag.*')"
echo "ok: signatures, errors naming the argument, nothing printed at once"

# No server on the bus, or no bus at all: the error says how to get one.
mkdir -p "$ZEL_E2E_TMP/nohome"
cat >"$ZEL_E2E_TMP/noserver.py" <<'PY'
from zelprint import Report, ZelPrintError
try:
    Report()
except ZelPrintError as error:
    print(error)
PY
HOME=$ZEL_E2E_TMP/nohome dbus-run-session -- "$VENV/bin/python" "$ZEL_E2E_TMP/noserver.py" \
    >"$ZEL_E2E_TMP/noserver.out" 2>&1
grep -q 'start `zelprint serve`, or install it' "$ZEL_E2E_TMP/noserver.out" ||
    fail "no hint without a server: $(cat "$ZEL_E2E_TMP/noserver.out")"
env -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY XDG_RUNTIME_DIR="$ZEL_E2E_TMP/nohome" \
    "$VENV/bin/python" "$ZEL_E2E_TMP/noserver.py" >"$ZEL_E2E_TMP/nobus.out" 2>&1
grep -q 'no D-Bus session bus .*dbus-run-session' "$ZEL_E2E_TMP/nobus.out" ||
    fail "no hint without a bus: $(cat "$ZEL_E2E_TMP/nobus.out")"
echo "ok: without a server or a bus the error says how to get one"
