"""A print object of ZelPrintDemo's server, called as if it were here."""
import asyncio
import collections
import os
import re

from dbus_next import Message, MessageType
from dbus_next.aio import MessageBus
from dbus_next.errors import InvalidAddressError

from .members import Members
from .values import OMITTED, from_wire, to_variant

SERVICE = "ZelPrintDemo.clsPrint"
SERVER = "ZelPrintDemo.Server"
OBJECT = "ZelPrintDemo._clsPrint"
JOBS = "ZelPrintDemo.Jobs"
PROPERTIES = "org.freedesktop.DBus.Properties"
NO_SERVER = "org.freedesktop.DBus.Error.ServiceUnknown"

Job = collections.namedtuple("Job", "destination document pages")
Job.__doc__ = "Where a print job went: pdf:DIR or the CUPS queue, the PDF's path or the CUPS " \
              "job id, and its page count."


class ZelPrintError(Exception):
    """A run-time error of the print object: the platform's error number and its text, and
    where the server knows them the argument (or property) it concerns and what that takes."""

    def __init__(self, number, text, argument=None, expected=None):
        shown = f"{number}: {text}"
        if argument is not None:
            shown += f" (argument {argument}, expected {expected})"
        super().__init__(shown)
        self.number = number
        self.text = text
        self.argument = argument
        self.expected = expected


class NothingPrinted(LookupError):
    """wait_job found no job: the report printed nothing (no output, or a screen mode only),
    or its job has not ended yet (a job ends at Cls, Reset, SetOrientation or the release)."""


# The server names the argument after the error's text: "Type mismatch (argument Regel,
# expected Long)", or "(property PrintFontSize, expected ...)".
_NAMED = re.compile(r"(.*?) \((?:argument|property) (\w+), expected (.*)\)", re.DOTALL)


def _raise_for(reply):
    if reply.message_type != MessageType.ERROR:
        return reply.body
    text = reply.body[0] if reply.body else ""
    found = re.fullmatch(r"ZelPrintDemo\.Error(\d+)", reply.error_name or "")
    if found:
        # The message is "N: text".
        text = text.split(": ", 1)[-1]
        named = _NAMED.fullmatch(text)
        raise ZelPrintError(int(found.group(1)), *(named.groups() if named else (text,)))
    if reply.error_name == NO_SERVER:
        raise ZelPrintError(0, f"no print server on the session bus ({text}): start "
                               "`zelprint serve`, or install it (docs/reference.md, Installing)")
    raise ZelPrintError(0, f"{reply.error_name}: {text}")


def _argument(member, name, value):
    """The value as its variant; a value no print object takes names its argument."""
    try:
        return to_variant(value)
    except (TypeError, ValueError, OverflowError) as error:
        raise type(error)(f"{member}: argument {name}: {error}") from None


class Report(Members):
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

    # A misspelt property is an error, not an attribute of its own.
    __slots__ = ("_loop", "_handlers", "_jobs", "_job_arrived", "path", "_released", "_bus")

    def __init__(self, bus_address=None, **options):
        self._loop = asyncio.new_event_loop()
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
        except BaseException:
            self.close()
            raise

    # -- members and properties (their signatures are in Members)

    def _member(self, name, required, optional, named=None):
        body = [_argument(name, key, value) for key, value in required.items()]
        signature = "v" * len(body)
        if named is not None:
            given = {key: value for key, value in optional.items() if value is not OMITTED}
            given.update(named)
            body.append({key: _argument(name, key, value) for key, value in given.items()})
            signature += "a{sv}"
        results = [from_wire(value) for value in self._call(OBJECT, name, signature, body)]
        if not results:
            return None
        return results[0] if len(results) == 1 else tuple(results)

    def _get(self, name):
        return from_wire(self._call(PROPERTIES, "Get", "ss", [OBJECT, name])[0])

    def _set(self, name, value):
        self._call(PROPERTIES, "Set", "ssv", [OBJECT, name, _argument(name, name, value)])

    # -- events and jobs

    def on(self, signal, handler):
        """Calls handler with the signal's arguments whenever the object sends it: Melding
        (FoutNummer, Tekst), BladAfgedrukt (Bladnummer), JobEnded (destination, document,
        pages). Handlers run while this object waits for the bus (in a call, in wait_job)."""
        self._handlers[signal].append(handler)

    def wait_job(self, timeout=0):
        """Where the next job of this object went (a Job), after the call that ended it (Cls,
        Reset, SetOrientation, release ...); jobs already ended come first, in order. The server
        tells a job before it answers the call that ended it, so when none is told the report
        printed nothing: NothingPrinted at once. A timeout in seconds waits that long for a job
        that another client's call ends (an object of the same Group)."""
        async def next_job():
            while not self._jobs:
                self._job_arrived.clear()
                await self._job_arrived.wait()
        if not self._jobs and timeout > 0:
            try:
                self._run(asyncio.wait_for(next_job(), timeout))
            except TimeoutError:
                pass
        if not self._jobs:
            raise NothingPrinted("nothing printed: no job of this object has ended (no output, or "
                                 "the screen mode 'S' only; a job ends at Cls, Reset, "
                                 "SetOrientation or the release)")
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
        # The session bus as sd-bus and GDBus find it: DBUS_SESSION_BUS_ADDRESS, else the socket
        # "bus" of the runtime folder, which a login without a desktop often has alone.
        runtime = os.environ.get("XDG_RUNTIME_DIR", "")
        if not bus_address and "DBUS_SESSION_BUS_ADDRESS" not in os.environ and runtime and \
                os.path.exists(os.path.join(runtime, "bus")):
            bus_address = f"unix:path={os.path.join(runtime, 'bus')}"
        try:
            # Made inside its loop: the bus takes the loop that runs when it is made.
            return await MessageBus(bus_address=bus_address).connect()
        except (InvalidAddressError, OSError) as error:
            raise ZelPrintError(0, f"no D-Bus session bus ({error}): run in a desktop session, "
                                   "or start one with dbus-run-session") from error

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
