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
for file in bin/zelprint "$libdir/zelprint/zelprint-gui.so" "$libdir/libzelprint.so" \
    "$libdir/libzelprint.a" \
    include/zelprint/print/clsPrint.h include/zelprint/variant/Variant.h \
    "$libdir/cmake/ZelPrint/ZelPrintConfig.cmake" "$libdir/pkgconfig/zelprint.pc" \
    share/man/man1/zelprint.1 share/dbus-1/services/ZelPrintDemo.clsPrint.service \
    share/systemd/user/zelprint.service share/bash-completion/completions/zelprint; do
    [ -e "$P/$file" ] || report_fail "not installed: $file"
done
echo "ok: every file is installed"
for binary in bin/zelprint "$libdir/zelprint/zelprint-gui.so" "$libdir/libzelprint.so" \
    "$libdir/libzelprint.a"; do
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

# Only the public headers, complete: each header they include is installed too, and none names
# a file of the source tree.
for internal in surface/PdfWriter.h general/NotInVb5.h server/Members.h; do
    [ ! -e "$P/include/zelprint/$internal" ] || report_fail "an internal header is installed: $internal"
done
for header in "$P"/include/zelprint/*/*.h; do
    for included in $(sed -n 's/^#include "\(.*\)"/\1/p' "$header"); do
        [ -e "$P/include/zelprint/$included" ] ||
            report_fail "${header#"$P"/} includes $included, which is not installed"
    done
done
report_expect "source files named by installed headers" "" \
    "$(grep -HoE '[A-Za-z0-9_./-]+\.(md|cpp|txt|sh)\b' "$P"/include/zelprint/*/*.h || true)"
echo "ok: the installed headers are the public ones and complete"

# The report program of docs/reference.md, as another project writes it, built against the
# installed package only: with find_package and with pkg-config, each shared and static.
section=$(sed -n '/^### The C++ library in another project/,/^## /p' "$ZEL_SOURCE_DIR/docs/reference.md")
block() { awk -v lang="$1" '$0 == "```" lang { on = 1; next } on && /^```$/ { exit } on' <<<"$section"; }
mkdir -p "$tmp/src"
block cmake >"$tmp/src/CMakeLists.txt"
block cpp >"$tmp/src/report.cpp"
grep -q "ZelPrint::zelprint)" "$tmp/src/CMakeLists.txt" && grep -q "print.Cls()" "$tmp/src/report.cpp" ||
    report_fail "no C++ program in docs/reference.md"
for kind in shared static; do
    mkdir -p "$tmp/$kind"
    if [ $kind = static ]; then
        sed 's/ZelPrint::zelprint)/ZelPrint::zelprint_static)/' "$tmp/src/CMakeLists.txt" >"$tmp/$kind/CMakeLists.txt"
    else
        cp "$tmp/src/CMakeLists.txt" "$tmp/$kind/"
    fi
    cp "$tmp/src/report.cpp" "$tmp/$kind/"
    cmake -S "$tmp/$kind" -B "$tmp/$kind/build" -G Ninja -DCMAKE_PREFIX_PATH="$P" \
        -DCMAKE_EXE_LINKER_FLAGS="${ZEL_SANITIZE_FLAGS:-}" >"$tmp/client.log" 2>&1 &&
        cmake --build "$tmp/$kind/build" >>"$tmp/client.log" 2>&1 ||
        report_fail "building with find_package, $kind: $(tail -n 20 "$tmp/client.log")"
    cp "$tmp/$kind/build/report" "$tmp/report_cmake_$kind"
done
# shellcheck disable=SC2046 # the flags are words
g++ -std=c++17 "$tmp/src/report.cpp" -o "$tmp/report_pc_shared" $(pkg-config --cflags --libs zelprint) \
    -Wl,-rpath,"$(pkg-config --variable=libdir zelprint)" ${ZEL_SANITIZE_FLAGS:-} 2>"$tmp/pc.log" ||
    report_fail "building with pkg-config: $(tail -n 20 "$tmp/pc.log")"
# shellcheck disable=SC2046
g++ -std=c++17 "$tmp/src/report.cpp" -o "$tmp/report_pc_static" \
    $(pkg-config --static --cflags --libs zelprint) ${ZEL_SANITIZE_FLAGS:-} 2>"$tmp/pc.log" ||
    report_fail "building with pkg-config --static: $(tail -n 20 "$tmp/pc.log")"

export QT_QPA_PLATFORM=offscreen  # a client needs a display platform
job=0
for program in report_cmake_shared report_cmake_static report_pc_shared report_pc_static; do
    job=$((job + 1))
    ZELPRINT_PRINTER="pdf:$tmp/pdf" "$tmp/$program" || report_fail "$program failed"
    report_expect "$program prints its page" "Hallo" \
        "$(pdftotext "$tmp/pdf/job-000$job.pdf" - | grep -o 'Hallo' || true)"
    report_expect "$program numbers its page from 1" "Blad 1" \
        "$(pdftotext -layout "$tmp/pdf/job-000$job.pdf" - | tr -s ' ' | grep -o 'Blad [0-9]*' || true)"
    library=$(ldd "$tmp/$program" | awk '/libzelprint\.so/ { print $3 }')
    case $program in
    *shared) report_expect "$program uses the installed shared library" "$(realpath "$P/$libdir")" \
        "$(dirname "$(realpath "${library:-/none}")")" ;;
    *static) report_expect "$program links the archive" "" "$library" ;;
    esac
done
