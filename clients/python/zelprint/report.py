"""A print object of ZelPrintDemo's server, called as if it were here."""
import asyncio
import collections
import re
import xml.etree.ElementTree as ElementTree

from dbus_next import Message, MessageType
from dbus_next.aio import MessageBus
from dbus_next.introspection import Node

from .values import from_wire, to_variant

SERVICE = "ZelPrintDemo.clsPrint"
SERVER = "ZelPrintDemo.Server"
OBJECT = "ZelPrintDemo._clsPrint"
EVENTS = "ZelPrintDemo.__clsPrint"
JOBS = "ZelPrintDemo.Jobs"
PROPERTIES = "org.freedesktop.DBus.Properties"
DOC = "org.freedesktop.DBus.DocString"

Job = collections.namedtuple("Job", "destination document pages")
Job.__doc__ = "Where a print job went: pdf:DIR or the CUPS queue, the PDF's path or the CUPS " \
              "job id, and its page count."


class ZelPrintError(Exception):
    """A run-time error of the print object: the platform's error number and its text."""

    def __init__(self, number, text):
        super().__init__(f"{number}: {text}")
        self.number = number
        self.text = text


def _raise_for(reply):
    if reply.message_type != MessageType.ERROR:
        return reply.body
    text = reply.body[0] if reply.body else ""
    found = re.fullmatch(r"ZelPrintDemo\.Error(\d+)", reply.error_name or "")
    if found:
        # The message is "N: text".
        raise ZelPrintError(int(found.group(1)), text.split(": ", 1)[-1])
    raise ZelPrintError(0, f"{reply.error_name}: {text}")


def _method_docs(text):
    """Each method's documentation by name: the method's own under None, its arguments' under
    their names."""
    docs = {}
    for interface in ElementTree.fromstring(text).iter("interface"):
        if interface.get("name") != OBJECT:
            continue
        for method in interface.iter("method"):
            entry = docs.setdefault(method.get("name"), {})
            for element in [method] + method.findall("arg"):
                for note in element.findall("annotation"):
                    if note.get("name") == DOC:
                        entry[element.get("name") if element is not method else None] = \
                            note.get("value")
    return docs


class _Member:
    """One member of the print object: its required parameters by position, its optional ones
    by keyword, as the interface declares them."""

    def __init__(self, report, method, docs):
        self.report = report
        self.name = method.name
        signatures = [arg.signature for arg in method.in_args]
        self.optional = bool(signatures) and signatures[-1] == "a{sv}"
        self.required = [arg.name for arg in method.in_args[:len(signatures) - self.optional]]
        # help() shows the member's documentation from the interface description.
        lines = [f"{self.name}({', '.join(self.required)}" +
                 (", **optional)" if self.optional else ")"), "", docs.get(None, ""), ""]
        lines += [f"{arg.name}: {docs[arg.name]}" for arg in method.in_args if arg.name in docs]
        self.__doc__ = "\n".join(lines)

    def __call__(self, *args, **options):
        if len(args) != len(self.required):
            raise TypeError(f"{self.name} takes {len(self.required)} arguments "
                            f"({', '.join(self.required)}), {len(args)} given")
        if options and not self.optional:
            raise TypeError(f"{self.name} takes no optional arguments")
        body = [to_variant(value) for value in args]
        signature = "v" * len(body)
        if self.optional:
            body.append({key: to_variant(value) for key, value in options.items()})
            signature += "a{sv}"
        results = [from_wire(value)
                   for value in self.report._call(OBJECT, self.name, signature, body)]
        if not results:
            return None
        return results[0] if len(results) == 1 else tuple(results)


class Report:
    """A clsPrint on the server, created over the session bus.

        with Report(Printer="pdf:/home/me/rapporten") as report:
            report.SetMode("P")
            report.AddTekst(1, 5, "Hallo", Kleur=255)
            report.Cls()
            print(report.wait_job().document)

    Every member of clsPrint is a method of its own name (required parameters by position,
    optional ones by keyword) and every public variable and property an attribute. Keyword
    arguments of the constructor are Create's options (Printer, Persistent, ...). The object
    belongs to this connection: leaving the `with` block or closing releases it, which ends and
    prints its job. Calls that wait for a user's confirmation wait without a time limit.
    """

    def __init__(self, bus_address=None, **options):
        object.__setattr__(self, "_loop", asyncio.new_event_loop())
        self._handlers = collections.defaultdict(list)
        self._jobs = collections.deque()
        self._job_arrived = asyncio.Event()
        self.path = None
        self._released = False
        self._bus = None
        try:
            self._bus = self._run(self._connect(bus_address))
            self._bus.add_message_handler(self._signal)
            body = [{key: to_variant(value) for key, value in options.items()}]
            self.path = self._call(SERVER, "Create", "a{sv}", body, path="/")[0]
            rule = f"type='signal',sender='{SERVICE}',path='{self.path}'"
            self._call("org.freedesktop.DBus", "AddMatch", "s", [rule],
                       path="/org/freedesktop/DBus", destination="org.freedesktop.DBus")
            text = self._call("org.freedesktop.DBus.Introspectable", "Introspect", "", [])[0]
        except BaseException:
            self.close()
            raise
        docs = _method_docs(text)
        for interface in Node.parse(text).interfaces:
            if interface.name == OBJECT:
                self._members = {m.name: _Member(self, m, docs.get(m.name, {}))
                                 for m in interface.methods}
                self._properties = {p.name for p in interface.properties}

    # -- members and properties

    def __getattr__(self, name):
        members = self.__dict__.get("_members", {})
        if name in members:
            return members[name]
        if name in self.__dict__.get("_properties", ()):
            return from_wire(self._call(PROPERTIES, "Get", "ss", [OBJECT, name])[0])
        raise AttributeError(f"clsPrint has no member {name}")

    def __setattr__(self, name, value):
        if name in self.__dict__.get("_properties", ()):
            self._call(PROPERTIES, "Set", "ssv", [OBJECT, name, to_variant(value)])
        else:
            object.__setattr__(self, name, value)

    def __dir__(self):
        return sorted(set(super().__dir__()) | set(self._members) | self._properties)

    # -- events and jobs

    def on(self, signal, handler):
        """Calls handler with the signal's arguments whenever the object sends it: Melding
        (FoutNummer, Tekst), BladAfgedrukt (Bladnummer), JobEnded (destination, document,
        pages). Handlers run while this object waits for the bus (in a call, in wait_job)."""
        self._handlers[signal].append(handler)

    def wait_job(self, timeout=60):
        """Where the next job of this object went (a Job), once the server has delivered it:
        after the call that ended it (Cls, Reset, SetOrientation, Release ...). Jobs already
        ended are returned first, in order. TimeoutError when none ends within timeout seconds."""
        async def next_job():
            while not self._jobs:
                self._job_arrived.clear()
                await self._job_arrived.wait()
        self._run(asyncio.wait_for(next_job(), timeout))
        return self._jobs.popleft()

    def release(self):
        """Releases the object: its job is ended and printed (wait_job tells where it went
        until close). Later calls fail."""
        if self.path is not None and not self._released:
            self._released = True
            self._call(OBJECT, "Release", "", [])

    def close(self):
        """Releases the object and leaves the bus."""
        if self._loop.is_closed():
            return
        try:
            if self._bus is not None and self._bus.connected:
                self.release()
        finally:
            if self._bus is not None:
                self._bus.disconnect()
                self._run(self._bus.wait_for_disconnect())
            self._loop.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # -- the bus

    @staticmethod
    async def _connect(bus_address):
        # Made inside its loop: the bus takes the loop that runs when it is made.
        return await MessageBus(bus_address=bus_address).connect()

    def _run(self, awaitable):
        return self._loop.run_until_complete(awaitable)

    def _call(self, interface, member, signature, body, path=None, destination=SERVICE):
        message = Message(destination=destination, path=path or self.path, interface=interface,
                          member=member, signature=signature, body=body)
        return _raise_for(self._run(self._bus.call(message)))

    def _signal(self, message):
        if message.message_type != MessageType.SIGNAL or message.path != self.path:
            return
        if message.interface == JOBS and message.member == "JobEnded":
            self._jobs.append(Job(*message.body))
            self._job_arrived.set()
        for handler in self._handlers.get(message.member, []):
            handler(*message.body)
