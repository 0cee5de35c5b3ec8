#!/usr/bin/env bash
# The installed package as another project meets it: `cmake --install --strip` into a fresh
# prefix gives every file in its place, the service file and the user unit name the installed
# executable, one version everywhere, and a program built against the package (find_package,
# shared and static, and pkg-config) prints a PDF.
set -euo pipefail
: "${ZEL_BUILD_DIR:?set ZEL_BUILD_DIR to the build folder}" "${ZEL_SOURCE_DIR:?}"
source "$(dirname "$0")/lib/report.sh"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
report_env "$tmp"
P=$tmp/prefix
cmake --install "$ZEL_BUILD_DIR" --prefix "$P" --strip >"$tmp/install.log" 2>&1 ||
    report_fail "cmake --install: $(tail -n 5 "$tmp/install.log")"

libdir=$(sed -n 's/^libdir=${prefix}\///p' "$ZEL_BUILD_DIR/zelprint.pc")
for file in bin/zelprint "$libdir/libzelprint.so" "$libdir/libzelprint.a" \
    include/zelprint/print/clsPrint.h include/zelprint/variant/Variant.h \
    "$libdir/cmake/ZelPrint/ZelPrintConfig.cmake" "$libdir/pkgconfig/zelprint.pc" \
    share/man/man1/zelprint.1 share/dbus-1/services/ZelPrintDemo.clsPrint.service \
    share/systemd/user/zelprint.service share/bash-completion/completions/zelprint; do
    [ -e "$P/$file" ] || report_fail "not installed: $file"
done
echo "ok: every file is installed"
for binary in bin/zelprint "$libdir/libzelprint.so" "$libdir/libzelprint.a"; do
    readelf -S "$P/$binary" | grep -q '\.debug_info' && report_fail "$binary keeps its debug information"
done
echo "ok: the executable and the libraries are stripped"

report_expect "the service file" "Exec=$P/bin/zelprint serve
SystemdService=zelprint.service" \
    "$(grep -E '^(Exec|SystemdService)=' "$P/share/dbus-1/services/ZelPrintDemo.clsPrint.service")"
report_expect "the user unit" "Type=dbus
BusName=ZelPrintDemo.clsPrint
ExecStart=$P/bin/zelprint serve" \
    "$(grep -E '^(Type|BusName|ExecStart)=' "$P/share/systemd/user/zelprint.service")"
# systemd checks the unit's settings and finds the installed man page it names.
report_expect "systemd's check of the unit" "" \
    "$(MANPATH=$P/share/man systemd-analyze verify "$P/share/systemd/user/zelprint.service" 2>&1)"
report_expect "the man page renders without warnings" "" \
    "$(groff -man -ww -z "$P/share/man/man1/zelprint.1" 2>&1)"

export PKG_CONFIG_PATH=$P/$libdir/pkgconfig
version=$("$P/bin/zelprint" --version)
report_expect "one version in the man page and the package" \
    "$version|$version|$version" \
    "$(sed -n 's/^\.TH [^"]*"" "\([^"]*\)".*/\1/p' "$P/share/man/man1/zelprint.1")|zelprint $(
        pkg-config --modversion zelprint)|zelprint $(
        sed -n 's/^set(PACKAGE_VERSION "\(.*\)")/\1/p' "$P/$libdir/cmake/ZelPrint/ZelPrintConfigVersion.cmake")"

# The completion offers the subcommands and a subcommand's options.
complete_line() {
    COMP_LINE=$1 COMP_POINT=${#1} COMPREPLY=()
    _zelprint
    echo "${COMPREPLY[*]}"
}
source "$P/share/bash-completion/completions/zelprint"
report_expect "completion of a subcommand" print "$(complete_line "zelprint pr")"
report_expect "completion of an option" "--mode" "$(complete_line "zelprint print notes.txt --mo")"
report_expect "completion of a mode" "P PS" "$(complete_line "zelprint print --mode P")"

# A program of another project, built and run against the installed package only.
cmake -S "$ZEL_SOURCE_DIR/tests/install/client" -B "$tmp/client" -G Ninja \
    -DCMAKE_PREFIX_PATH="$P" -DCMAKE_EXE_LINKER_FLAGS="${ZEL_SANITIZE_FLAGS:-}" \
    >"$tmp/client.log" 2>&1 &&
    cmake --build "$tmp/client" >>"$tmp/client.log" 2>&1 ||
    report_fail "building against the CMake package: $(tail -n 20 "$tmp/client.log")"
# shellcheck disable=SC2046 # the flags are words
g++ -std=c++17 "$ZEL_SOURCE_DIR/tests/install/client/client.cpp" -o "$tmp/client/client_pc" \
    $(pkg-config --cflags --libs zelprint) ${ZEL_SANITIZE_FLAGS:-} -Wl,-rpath,"$P/$libdir" 2>"$tmp/pc.log" ||
    report_fail "building with pkg-config: $(tail -n 20 "$tmp/pc.log")"

export QT_QPA_PLATFORM=offscreen  # a client needs a display platform
job=0
for client in client_shared client_static client_pc; do
    job=$((job + 1))
    "$tmp/client/$client" "$tmp/pdf" || report_fail "$client failed"
    report_expect "$client prints its page" "Gedrukt met de geinstalleerde bibliotheek" \
        "$(pdftotext "$tmp/pdf/job-000$job.pdf" - | grep -o 'Gedrukt met .*' || true)"
done
[ "$(ldd "$tmp/client/client_shared" | grep -c "$P/$libdir/libzelprint.so")" = 1 ] ||
    report_fail "client_shared does not use the installed library"
echo "ok: the shared client runs with the installed library"
