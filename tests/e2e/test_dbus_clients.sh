# Client libraries that build their proxies from the interface files, as application developers
# use them: dbus-next (Python) from the file with every interface of a print object, through its
# generated property API and signals, and a GDBus proxy given the installed interface file,
# which keeps only properties of the declared types and follows them through PropertiesChanged
# alone.
source "$(dirname "$0")/dbus_lib.sh"
PYTHON=/usr/bin/python3  # Debian's, where the client libraries are installed
INTERFACES=$ZEL_BUILD_DIR/dbus-1/interfaces  # as installed in share/dbus-1/interfaces

"$PYTHON" - "$INTERFACES/ZelPrintDemo.clsPrint.xml" <<'PY' || fail "dbus-next"
import asyncio
import sys
import xml.etree.ElementTree as ElementTree
from dbus_next import Variant
from dbus_next.introspection import Node
from dbus_next.aio import MessageBus
from dbus_next.errors import DBusError
from dbus_next.proxy_object import BaseProxyInterface

NAME = "ZelPrintDemo.clsPrint"
STANDARD = {"org.freedesktop.DBus.Introspectable", "org.freedesktop.DBus.Peer",
            "org.freedesktop.DBus.Properties"}

# Every property: a value to write, and what it reads back as (typed properties bare,
# dynamic ones as the Variant they hold).
WRITES = [
    ("CurrentPage", 5, 5),
    ("CurrentLine", -1, -1),
    ("StartLine", 3, 3),
    ("PrintFilenr", 0, 0),
    ("AnnulerenPressed", True, True),
    ("PrintFileName", Variant("s", "rapport.txt"), Variant("s", "rapport.txt")),
    ("MaxKopregel", Variant("i", 0), Variant("n", 0)),
    ("MaxDetailregel", Variant("n", 0), Variant("n", 0)),
    ("PrintColorMode", Variant("n", 2), Variant("n", 2)),
    ("ScreenForeColor", Variant("i", 255), Variant("i", 255)),
    ("ScreenBackColor", Variant("i", 16777215), Variant("i", 16777215)),
    ("ScreenFontName", Variant("s", "Courier New"), Variant("s", "Courier New")),
    ("ScreenFontSize", Variant("d", 9.5), Variant("d", 9.5)),
    ("PrintForeColor", Variant("i", 0), Variant("i", 0)),
    ("PrintFontSize", Variant("i", 8), Variant("i", 8)),
    ("PrintFontName", Variant("s", "Courier New"), Variant("s", "Courier New")),
    ("PrintBackColor", Variant("i", 16777215), Variant("i", 16777215)),
]


async def main():
    bus = await MessageBus().connect()
    root = bus.get_proxy_object(NAME, "/", await bus.introspect(NAME, "/"))
    path = await root.get_interface("ZelPrintDemo.Server").call_create({})
    text = open(sys.argv[1]).read()
    node = Node.parse(text)
    served = {i.name for i in (await bus.introspect(NAME, path)).interfaces}
    assert {i.name for i in node.interfaces} == served - STANDARD, node.interfaces
    declared = {p.name for i in node.interfaces if i.name == "ZelPrintDemo._clsPrint"
                for p in i.properties}
    assert declared == {name for name, _, _ in WRITES}, declared
    proxy = bus.get_proxy_object(NAME, path, node)
    print("ok: dbus-next builds the print object's proxy from ZelPrintDemo.clsPrint.xml")
    # The error numbers and texts, as a program reads them from the file.
    errors = {a.get("name"): a.get("value") for a in ElementTree.fromstring(text).iter("annotation")
              if a.get("name").startswith("ZelPrintDemo.Error")}
    assert errors["ZelPrintDemo.Error13"] == "Type mismatch", errors
    obj = proxy.get_interface("ZelPrintDemo._clsPrint")
    for name, written, expected in WRITES:
        member = BaseProxyInterface._to_snake_case(name)
        await getattr(obj, "set_" + member)(written)
        read = await getattr(obj, "get_" + member)()
        assert read == expected, f"{name}: wrote {written}, read {read}"
        print(f"ok: dbus-next writes and reads {name}")
    try:
        await obj.set_print_font_size(Variant("i", 5000))
        raise AssertionError("a font size of 5000 points was taken")
    except DBusError as error:
        assert error.type == "ZelPrintDemo.Error380", error.type
        assert error.text.startswith("380: " + errors[error.type]), error.text
        print("ok: dbus-next reads the error of a refused write:", error.text)
    melding = asyncio.get_running_loop().create_future()
    proxy.get_interface("ZelPrintDemo.__clsPrint").on_melding(
        lambda number, text: melding.set_result((number, text)))
    await obj.call_set_parm(Variant("i", 10), Variant("s", "x"))
    assert await asyncio.wait_for(melding, 10) == (80, "Parameternummer fout: 10")
    print("ok: the file's proxy receives Melding")
    await obj.call_release()


asyncio.run(main())
PY

XML=$INTERFACES/ZelPrintDemo._clsPrint.xml
"$PYTHON" - "$XML" <<'PY' || fail "GDBus proxy"
import sys
import gi
gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib

NAME, IFACE = "ZelPrintDemo.clsPrint", "ZelPrintDemo._clsPrint"
info = Gio.DBusNodeInfo.new_for_xml(open(sys.argv[1]).read()).lookup_interface(IFACE)
bus = Gio.bus_get_sync(Gio.BusType.SESSION)


def call(proxy, member, signature, *args):
    return proxy.call_sync(member, GLib.Variant(signature, args) if signature else None,
                           Gio.DBusCallFlags.NONE, -1).unpack()


server = Gio.DBusProxy.new_sync(bus, Gio.DBusProxyFlags.NONE, None, NAME, "/",
                                "ZelPrintDemo.Server")
(path,) = call(server, "Create", "(a{sv})", {})
proxy = Gio.DBusProxy.new_sync(bus, Gio.DBusProxyFlags.NONE, info, NAME, path, IFACE)
names = sorted(p.name for p in info.properties)
assert sorted(proxy.get_cached_property_names()) == names, proxy.get_cached_property_names()
for p in info.properties:
    assert proxy.get_cached_property(p.name).get_type_string() == p.signature, p.name
print("ok: the GDBus proxy keeps all", len(names), "properties with their declared types")


def cached_page_follows(expected):
    """The cache is kept by PropertiesChanged alone: wait for the signal, not for a read."""
    context = GLib.MainContext.default()
    deadline = GLib.get_monotonic_time() + 5 * 1000000
    while GLib.get_monotonic_time() < deadline:
        while context.iteration(False):
            pass
        if proxy.get_cached_property("CurrentPage").unpack() == expected:
            return
        GLib.usleep(10000)
    raise AssertionError(f"CurrentPage stayed {proxy.get_cached_property('CurrentPage')}")


v = GLib.Variant
call(proxy, "SetMode", "(v)", v("s", "P"))
for page in (1, 2, 3):
    if page > 1:
        call(proxy, "NieuwBlad", "(v)", v("i", page))
    call(proxy, "AddTekst", "(vvva{sv})", v("i", page), v("i", 1), v("s", f"Blad {page}"), {})
    cached_page_follows(page)
    print(f"ok: the proxy's CurrentPage follows the report to page {page}")
call(proxy, "Release", None)
PY

# Three applications at once, calls interleaved one by one, each with its own folder: each gets
# one whole job of its own lines only, and B's change of default set mid-report moves no margin
# of A's or C's. Then a long call beside another client.
awk 'BEGIN { for (i = 1; i <= 1000000; i++) printf "Sjabloonregel %06d\n", i }' \
    >"$ZEL_E2E_TMP/lang.psj"
"$PYTHON" - "$ZEL_E2E_TMP" <<'PY' || fail "several clients at once"
import asyncio
import glob
import os
import subprocess
import sys
import time
from dbus_next import Variant
from dbus_next.aio import MessageBus

NAME, LINES = "ZelPrintDemo.clsPrint", 60
tmp = sys.argv[1]


async def client(letter):
    folder = os.path.join(tmp, "own-" + letter)
    os.makedirs(folder)
    bus = await MessageBus().connect()
    root = bus.get_proxy_object(NAME, "/", await bus.introspect(NAME, "/"))
    path = await root.get_interface("ZelPrintDemo.Server").call_create(
        {"Printer": Variant("s", "pdf:" + folder)})
    obj = bus.get_proxy_object(NAME, path, await bus.introspect(NAME, path))
    return letter, folder, obj.get_interface("ZelPrintDemo._clsPrint")


async def main():
    clients = [await client(letter) for letter in "ABC"]
    for _, _, o in clients:
        await o.call_set_mode(Variant("s", "P"))
    for line in range(1, LINES + 1):
        for letter, _, o in clients:
            if letter == "B" and line == LINES // 2:
                await o.call_set_default(Variant("s", "Terminal7B"))
            await o.call_add_tekst(Variant("i", line), Variant("i", 1),
                                   Variant("s", f"{letter}{line:03}"), {})
    for _, _, o in clients:
        await o.call_release()
    for letter, folder, _ in clients:
        jobs = glob.glob(os.path.join(folder, "job-*.pdf"))
        assert len(jobs) == 1, f"{letter}: {jobs}"
        bbox = subprocess.run(["pdftotext", "-bbox", jobs[0], "-"], capture_output=True,
                              text=True, check=True).stdout
        words = [(w.split(">")[1].split("<")[0], w.split('xMin="')[1].split('"')[0])
                 for w in bbox.split("<word ")[1:]]
        assert [t for t, _ in words] == [f"{letter}{n:03}" for n in range(1, LINES + 1)], \
            f"{letter}: {[t for t, _ in words][:8]}"
        if letter != "B":
            assert len({x for _, x in words}) == 1, f"{letter}: the margin moved"
        print(f"ok: client {letter} has one job with its {LINES} lines only, in order")


# A slow call holds only its own client: while one prints a long template in one call, another
# creates, prints and reads, each call answered within 100 ms, and releases; each job is whole.
async def slow_call():
    _, _, slow = await client("slow")
    await slow.call_set_mode(Variant("s", "P"))
    template = os.path.join(tmp, "lang.psj")
    started = time.monotonic()
    printing = asyncio.ensure_future(slow.call_print_from_sjabloon(
        Variant("s", ""), Variant("s", ""), Variant("s", template)))
    await asyncio.sleep(0.2)
    _, _, quick = await client("quick")
    await quick.call_set_mode(Variant("s", "P"))
    calls = [lambda n=n: quick.call_add_tekst(Variant("i", n), Variant("i", 1),
                                               Variant("s", f"Snel {n}"), {})
             for n in range(1, 11)]
    calls += [quick.get_current_page, quick.call_get_result]
    slowest = 0.0
    for call in calls:
        begun = time.monotonic()
        await call()
        slowest = max(slowest, time.monotonic() - begun)
    await quick.call_release()  # ends its job: written and synced to disk, so not timed
    assert not printing.done(), "the template was printed before the other client was done"
    # The sanitizers slow every call several times over; a held client would wait seconds.
    bound = 0.5 if os.environ.get("ZEL_SANITIZE_FLAGS") else 0.1
    assert slowest < bound, f"a call of the other client took {slowest:.3f} s"
    print(f"ok: another client's {len(calls)} calls answered within {slowest * 1000:.0f} ms "
          "during a long template")
    await printing
    print(f"ok: the template took {time.monotonic() - started:.1f} s")
    await slow.call_release()
    for name, lines in (("quick", 10), ("slow", 1000000)):
        jobs = glob.glob(os.path.join(tmp, "own-" + name, "job-*.pdf"))
        assert len(jobs) == 1, f"{name}: {jobs}"
        text = os.popen(f"pdftotext '{jobs[0]}' -").read()
        count = text.count("Snel " if name == "quick" else "Sjabloonregel ")
        assert count == lines, f"{name}: {count} lines printed"
    print("ok: each client's job is whole")


asyncio.run(main())
asyncio.run(slow_call())
PY
