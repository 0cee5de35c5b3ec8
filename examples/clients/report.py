#!/usr/bin/env python3
"""An ordinary report printed through ZelPrintDemo on the session bus, with dbus-next.

    report.py [DESTINATION]

DESTINATION is a CUPS queue or pdf:DIR (DIR absolute); without it the server chooses (see
docs/reference.md, "The printer"). The proxies come from the server's own introspection, and the
first call starts the server through D-Bus activation.
"""
import asyncio
import sys

from dbus_next import Variant
from dbus_next.aio import MessageBus
from dbus_next.errors import DBusError

NAME = "ZelPrintDemo.clsPrint"


def v(value):
    """Parameters are variants: whole numbers go as Long (i), texts as String (s)."""
    return Variant("i", value) if isinstance(value, int) else Variant("s", value)


async def main():
    bus = await MessageBus().connect()
    root = bus.get_proxy_object(NAME, "/", await bus.introspect(NAME, "/"))
    options = {"Printer": Variant("s", sys.argv[1])} if len(sys.argv) > 1 else {}
    # The object belongs to this connection: should the program die, its job is still printed.
    path = await root.get_interface("ZelPrintDemo.Server").call_create(options)
    print("object", path)

    obj = bus.get_proxy_object(NAME, path, await bus.introspect(NAME, path))
    report = obj.get_interface("ZelPrintDemo._clsPrint")
    events = obj.get_interface("ZelPrintDemo.__clsPrint")
    job_ended = asyncio.get_running_loop().create_future()
    events.on_melding(lambda nummer, tekst: print(f"Melding {nummer}: {tekst}"))
    events.on_blad_afgedrukt(lambda blad: print(f"page {blad} printed"))
    obj.get_interface("ZelPrintDemo.Jobs").on_job_ended(
        lambda destination, document, pages: job_ended.set_result((destination, document, pages)))

    await report.call_set_mode(v("P"))  # the printer only: no window, no confirmation
    await report.call_add_kopregel(v(1), v(1), v("Voorbeeldrapport   Blad #B"), {})
    for regel in range(1, 31):
        if regel == 21:
            await report.call_nieuw_blad(v(regel))  # the rest goes on the next page
        await report.call_add_tekst(v(regel), v(5), v(f"Regel {regel:02d}"), {})
        if regel == 5:  # a box around lines 3 to 5, drawn 2 pixels wide
            await report.call_add_box(v(3), v(3), v(5), v(20), {"Dikte": v(2)})
    print("CurrentPage", await report.get_current_page())

    await report.call_set_parm(v(10), v("x"))  # no parameter 10: the server says so in Melding
    try:
        await report.call_add_tekst(v("tien"), v(5), v("Regel tien"), {})
    except DBusError as error:  # a line number that is no number
        print(f"error {error.type}: {error.text}")

    await report.call_release()  # ends the job
    destination, document, pages = await asyncio.wait_for(job_ended, 30)
    print(f"job {destination} {document} {pages} pages")


asyncio.run(main())
