// Decoding of received D-Bus values into dynamic values: every kind QtDBus can hand over for a
// `v` or a dictionary entry, with values drawn from the input. Each decodes or fails with a
// platform error; a decoded value goes back on the wire and decodes to the same value.
#include <QDBusVariant>
#include <cstdlib>

#include "FuzzInput.h"
#include "WireValue.h"
#include "server/WireCodec.h"
#include "variant/VbError.h"

namespace {

void decode(const QVariant& wire) {
    try {
        const zel::Variant value = zel::fromWire(wire);
        const zel::Variant again = zel::fromWire(zel::toWire(value));
        if (!again.identical(value)) std::abort();
    } catch (const zel::VbError&) {
    }
    try {
        zel::fromWireArgument(wire);
    } catch (const zel::VbError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool registered = (zel::registerWireTypes(), true);
    (void)registered;
    FuzzInput in(data, size);
    while (!in.atEnd()) {
        const QVariant wire = wireValue(in, 3);
        decode(wire);
        decode(QVariant::fromValue(QDBusVariant(wire)));
    }
    return 0;
}
