# Shared set-up of the D-Bus end-to-end scripts (sourced, not a test of its own).
#
# The first run of a script re-executes it inside a private session bus whose service
# directory is the build tree's, so that the first call starts the build's zelprint through
# D-Bus activation. The server runs offscreen: no display, printing to PDF files in a
# temporary folder.

set -u
: "${ZEL_BUILD_DIR:?set ZEL_BUILD_DIR to the build folder}"
ZELPRINT="$ZEL_BUILD_DIR/bin/zelprint"
NAME=ZelPrintDemo.clsPrint
OBJ_IFACE=ZelPrintDemo._clsPrint

if [ -z "${ZEL_E2E_TMP:-}" ]; then
    ZEL_E2E_TMP=$(mktemp -d)
    trap 'rm -rf "$ZEL_E2E_TMP"' EXIT
    mkdir -p "$ZEL_E2E_TMP/pdf" "$ZEL_E2E_TMP/config"
    cat >"$ZEL_E2E_TMP/session.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$ZEL_E2E_TMP</listen>
  <auth>EXTERNAL</auth>
  <!-- The limits of Debian's session bus, so that what a client can send here it can send there. -->
  <limit name="max_incoming_bytes">1000000000</limit>
  <limit name="max_outgoing_bytes">1000000000</limit>
  <limit name="max_message_size">1000000000</limit>
  <limit name="max_replies_per_connection">50000</limit>
  <limit name="max_connections_per_user">100000</limit>
  <limit name="max_match_rules_per_connection">50000</limit>
  <servicedir>$ZEL_BUILD_DIR/dbus-1/services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
    mkdir -m 700 "$ZEL_E2E_TMP/runtime"
    export XDG_RUNTIME_DIR="$ZEL_E2E_TMP/runtime"
    export ZEL_E2E_TMP ZELPRINT_PRINTER="pdf:$ZEL_E2E_TMP/pdf" XDG_CONFIG_HOME="$ZEL_E2E_TMP/config"
    unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
    timeout 120 dbus-run-session --config-file="$ZEL_E2E_TMP/session.conf" -- bash "$0" "$@"
    exit $?
fi

PIDS=()
cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null; done
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# expect NAME EXPECTED ACTUAL
expect() {
    [ "$2" = "$3" ] || fail "$1: expected [$2], got [$3]"
    echo "ok: $1"
}

# bus ARGS...: busctl on the private bus with a reply timeout.
bus() {
    busctl --user --timeout=30 "$@"
}

# call PATH MEMBER [SIGNATURE ARGS...]: a member of a print object, the reply on stdout.
call() {
    local path=$1 member=$2
    shift 2
    bus call -- "$NAME" "$path" "$OBJ_IFACE" "$member" "$@"
}

# call_error PATH MEMBER ...: the error reply's text of a call that must fail.
call_error() {
    if call "$@" 2>"$ZEL_E2E_TMP/err" >/dev/null; then
        echo "no error"
    else
        cat "$ZEL_E2E_TMP/err"
    fi
}

get() {
    bus get-property "$NAME" "$1" "$OBJ_IFACE" "$2"
}

create_persistent() {
    bus call "$NAME" / ZelPrintDemo.Server Create 'a{sv}' 1 Persistent b true | sed 's/^o "\(.*\)"$/\1/'
}

# server_pid: the process that owns the service name.
server_pid() {
    bus call org.freedesktop.DBus / org.freedesktop.DBus GetConnectionUnixProcessID s "$NAME" |
        sed 's/^u //'
}

# wait_gone PID SECONDS: true when the process ends within the time.
wait_gone() {
    local pid=$1 tenths=$(($2 * 10))
    while kill -0 "$pid" 2>/dev/null; do
        [ "$tenths" -gt 0 ] || return 1
        tenths=$((tenths - 1))
        sleep 0.1
    done
}

# wait_for_file GLOB SECONDS
wait_for_file() {
    local tenths=$(($2 * 10))
    until compgen -G "$1" >/dev/null; do
        [ "$tenths" -gt 0 ] || return 1
        tenths=$((tenths - 1))
        sleep 0.1
    done
}
