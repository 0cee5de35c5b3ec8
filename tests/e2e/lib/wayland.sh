# A private Wayland compositor for the screen end-to-end scripts: sway on its headless backend
# with software rendering and no input devices (keys come from wtype's virtual keyboard),
# screenshots with grim, windows found and focused through sway's IPC.
#
# sway refuses to run as root: as root it runs as nobody, in a folder of its own that the
# clients (root) reach all the same.

WL_SWAY_PID=""
WL_DIR=""

# wayland_start LOG: starts sway and exports WAYLAND_DISPLAY and SWAYSOCK once it listens.
wayland_start() {
    local as=()
    WL_DIR=$(mktemp -d)
    printf 'xwayland disable\noutput HEADLESS-1 resolution 1024x768\n' >"$WL_DIR/config"
    if [ "$(id -u)" -eq 0 ]; then
        chown -R 65534:65534 "$WL_DIR"
        as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    fi
    env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$WL_DIR" HOME="$WL_DIR" WLR_BACKENDS=headless \
        WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman "${as[@]}" sway -c "$WL_DIR/config" >"$1" 2>&1 &
    WL_SWAY_PID=$!
    for _ in $(seq 100); do
        if [ -S "$WL_DIR/wayland-1" ] && compgen -G "$WL_DIR/sway-ipc.*.sock" >/dev/null; then
            export WAYLAND_DISPLAY=$WL_DIR/wayland-1
            SWAYSOCK=$(compgen -G "$WL_DIR/sway-ipc.*.sock")
            export SWAYSOCK
            return 0
        fi
        kill -0 "$WL_SWAY_PID" 2>/dev/null || x11_fail "sway ended: $(cat "$1")"
        sleep 0.1
    done
    x11_fail "sway did not listen"
}

wayland_stop() {
    [ -n "$WL_SWAY_PID" ] && kill "$WL_SWAY_PID" 2>/dev/null && wait "$WL_SWAY_PID" 2>/dev/null
    WL_SWAY_PID=""
    [ -n "$WL_DIR" ] && rm -rf "$WL_DIR"
    WL_DIR=""
}

# wayland_window TITLE: "TYPE X Y WIDTH HEIGHT" of the window of that exact title (TYPE con for a
# tiled window, floating_con for a floating one), waiting for it; empty when it does not come.
wayland_window() {
    for _ in $(seq 100); do
        swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    if node.get("name") == sys.argv[1] and node.get("type") in ("con", "floating_con"):
        r = node["rect"]
        print(node["type"], r["x"], r["y"], r["width"], r["height"])
        sys.exit(0)
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))
sys.exit(1)' "$1" && return 0
        sleep 0.1
    done
}
