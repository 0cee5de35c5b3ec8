# Hostile input: thousands of generated calls on every member and property of one object, with
# wrong kinds, Null, Empty, NaN and infinities, integers at and past every range edge, 1 MB
# strings, unknown keys and members, wrong signatures, unknown objects. Each is answered in
# time (an error carries its number), the server stays up with bounded memory, and the object
# prints a correct page afterwards. Then a client that reads none of its replies.
source "$(dirname "$0")/dbus_lib.sh"

CALLS=2500
started=$SECONDS
out=$("$ZEL_BUILD_DIR/bin/bus-client" hostile "$CALLS" 12 2>&1) || fail "$out"
expect "every call answered" "$CALLS calls answered" "$out"
echo "ok: $CALLS calls in $((SECONDS - started)) s"
PID=$(server_pid)
rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$PID/status")
echo "memory: $rss kB after the calls"
[ "$rss" -lt $((1024 * 1024)) ] || fail "the server holds $rss kB"
wait_for_file "$ZEL_E2E_TMP/pdf/job-*.pdf" 10 || fail "no PDF"
for f in "$ZEL_E2E_TMP"/pdf/job-*.pdf; do pdftotext "$f" -; done | grep -q "Na de aanval" ||
    fail "the page after the bad calls is not in any PDF"
echo "ok: the object printed its page after the bad calls"

# --- A client that sends thousands of calls and reads no reply while they are answered: another
# client is answered meanwhile, every call of the flood gets its reply, and every line prints.
FLOOD=20000
OBJ=$(create_persistent)
call "$OBJ" SetMode v s P >/dev/null || fail "SetMode"
started=$SECONDS
out=$(/usr/bin/python3 - "$OBJ" "$FLOOD" 2>&1 <<'PY'
import os, socket, subprocess, sys, time
from dbus_next import Message, Variant
from dbus_next._private.address import parse_address
from dbus_next._private.unmarshaller import Unmarshaller
from dbus_next.constants import MessageType

path, count = sys.argv[1], int(sys.argv[2])
# A raw connection: no library that would read the replies behind the client's back.
sock = socket.socket(socket.AF_UNIX)
sock.connect(parse_address(os.environ["DBUS_SESSION_BUS_ADDRESS"])[0][1]["path"])
sock.sendall(b"\0AUTH EXTERNAL " + str(os.getuid()).encode().hex().encode() + b"\r\n")
assert sock.recv(4096).startswith(b"OK "), "not authenticated"
sock.sendall(b"BEGIN\r\n")
sock.sendall(Message(serial=1, destination="org.freedesktop.DBus", path="/org/freedesktop/DBus",
                     interface="org.freedesktop.DBus", member="Hello")._marshall())
for n in range(count):
    sock.sendall(Message(serial=n + 2, destination="ZelPrintDemo.clsPrint", path=path,
                         interface="ZelPrintDemo._clsPrint", member="AddTekst",
                         signature="vvva{sv}", body=[Variant("i", n + 1), Variant("i", 1),
                                                     Variant("s", f"F{n:06d}"), {}])._marshall())
started = time.monotonic()
subprocess.run(["busctl", "--user", "--timeout=5", "call", "ZelPrintDemo.clsPrint", path,
                "ZelPrintDemo._clsPrint", "GetResult"], check=True, stdout=subprocess.DEVNULL)
print(f"another client answered in {time.monotonic() - started:.1f} s")
sock.settimeout(60)
stream, answered = sock.makefile("rb"), 0
while answered < count:
    reply = Unmarshaller(stream).unmarshall()
    if reply.reply_serial is None or reply.reply_serial < 2:
        continue
    assert reply.message_type == MessageType.METHOD_RETURN, f"{reply.error_name} {reply.body}"
    answered += 1
print(f"{answered} calls answered")
PY
) || fail "$out"
echo "$out"
expect "every call of the flood answered" "$FLOOD calls answered" "$(tail -1 <<<"$out")"
echo "ok: $FLOOD unread calls in $((SECONDS - started)) s"
call "$OBJ" Release >/dev/null || fail "Release after the flood"
for f in "$ZEL_E2E_TMP"/pdf/job-*.pdf; do pdftotext "$f" -; done | grep -oE '\bF[0-9]{6}\b' |
    sort >"$ZEL_E2E_TMP/flood"
expect "every line of the flood once" "$FLOOD $FLOOD" \
    "$(wc -l <"$ZEL_E2E_TMP/flood") $(sort -u "$ZEL_E2E_TMP/flood" | wc -l)"
