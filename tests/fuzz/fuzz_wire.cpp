// Decoding of received D-Bus values into dynamic values: every kind QtDBus can hand over for a
// `v` or a dictionary entry, with values drawn from the input. Each decodes or fails with a
// platform error; a decoded value goes back on the wire and decodes to the same value.
#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusVariant>
#include <QVariantMap>
#include <cstdlib>

#include "FuzzInput.h"
#include "server/WireCodec.h"
#include "variant/VbError.h"

namespace {

QVariant wireValue(FuzzInput& in, int depth) {
    switch (in.number<uint8_t>() % 16) {
        case 0:
            return QVariant::fromValue<bool>(in.number<uint8_t>() & 1);
        case 1:
            return QVariant::fromValue<short>(in.number<short>());
        case 2:
            return QVariant::fromValue<int>(in.number<int>());
        case 3:
            return QVariant::fromValue<double>(in.number<double>());
        case 4:
            return QVariant::fromValue(in.text());
        case 5:
            return QVariant::fromValue<uchar>(in.number<uchar>());
        case 6:
            return QVariant::fromValue<ushort>(in.number<ushort>());
        case 7:
            return QVariant::fromValue<uint>(in.number<uint>());
        case 8:
            return QVariant::fromValue<qlonglong>(in.number<qlonglong>());
        case 9:
            return QVariant::fromValue<qulonglong>(in.number<qulonglong>());
        case 10:
            return QVariant::fromValue(QDBusObjectPath(in.text()));
        case 11:
            return QVariant::fromValue(QDBusSignature(in.text()));
        case 12:
            return QVariant::fromValue(in.text().split(QLatin1Char(',')));
        case 13:
            if (depth > 0) return QVariant::fromValue(QDBusVariant(wireValue(in, depth - 1)));
            return {};
        case 14: {
            QVariantMap map;
            if (depth > 0) map.insert(in.text(), wireValue(in, depth - 1));
            return map;
        }
        default:
            return QVariant::fromValue(in.bytes());
    }
}

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
