# The installed interface files feed both code generators: qdbusxml2cpp (proxies and adaptors)
# and gdbus-codegen (C), and what they generate compiles and links, every interface into one
# library per generator, as an application that uses them all would.
set -u
: "${ZEL_BUILD_DIR:?set ZEL_BUILD_DIR to the build folder}"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/qt" "$WORK/gdbus"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake --install "$ZEL_BUILD_DIR" --prefix "$WORK/prefix" >/dev/null || fail "cmake --install"
# One file per interface; ZelPrintDemo.clsPrint.xml, every interface of a print object in one
# file, is for proxy libraries (test_dbus_clients.sh) and would define each class twice here.
FILES=()
for xml in "$WORK"/prefix/share/dbus-1/interfaces/*.xml; do
    [ "$(basename "$xml")" = ZelPrintDemo.clsPrint.xml ] || FILES+=("$xml")
done
[ "${#FILES[@]}" -ge 4 ] || fail "installed interface files: ${FILES[*]}"
QT_BIN=$(pkg-config --variable=bindir Qt6Core)
QT_LIBEXEC=$(pkg-config --variable=libexecdir Qt6Core)

for xml in "${FILES[@]}"; do
    base=$(basename "$xml" .xml)
    base=${base//./_}
    (cd "$WORK/qt" && "$QT_BIN/qdbusxml2cpp" -p "proxy_$base" -a "adaptor_$base" "$xml") ||
        fail "qdbusxml2cpp $(basename "$xml")"
    gdbus-codegen --generate-c-code "$WORK/gdbus/$base" --c-namespace Zel \
        --interface-prefix ZelPrintDemo. "$xml" || fail "gdbus-codegen $(basename "$xml")"
    echo "ok: both generators take $(basename "$xml")"
done

# link_library DIR COMPILER LIBS: the objects in DIR linked with nothing left undefined, so that
# two interfaces with the same generated names would fail here.
link_library() {
    # shellcheck disable=SC2086 # the flags are split on purpose
    "$2" -shared -Wl,--no-undefined -o "$1/libgenerated.so" "$1"/*.o $3 ||
        fail "linking the output in $(basename "$1")"
}

# The Qt output compiled as one unit, so that the Qt headers are read once.
for header in "$WORK"/qt/*.h; do
    "$QT_LIBEXEC/moc" "$header" -o "$WORK/qt/moc_$(basename "$header" .h).cpp" || fail "moc $header"
done
for source in "$WORK"/qt/*.cpp; do echo "#include \"$source\""; done >"$WORK/qt.cpp"
# shellcheck disable=SC2046 # the flags are split on purpose
g++ -std=c++17 -fPIC -c $(pkg-config --cflags Qt6DBus) -I"$WORK/qt" "$WORK/qt.cpp" \
    -o "$WORK/qt/all.o" || fail "compiling the qdbusxml2cpp output"
link_library "$WORK/qt" g++ "$(pkg-config --libs Qt6DBus)"
echo "ok: the qdbusxml2cpp proxies and adaptors compile and link"

for source in "$WORK"/gdbus/*.c; do
    # shellcheck disable=SC2046
    gcc -fPIC -c $(pkg-config --cflags gio-unix-2.0) -I"$WORK/gdbus" "$source" -o "$source.o" ||
        fail "compiling $(basename "$source")"
done
link_library "$WORK/gdbus" gcc "$(pkg-config --libs gio-unix-2.0)"
echo "ok: the gdbus-codegen code compiles and links"
