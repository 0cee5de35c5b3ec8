#include "server/WireCodec.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <cmath>
#include <limits>

#include "variant/Bounds.h"
#include "variant/VbError.h"

namespace zel {

namespace {

const QString kEmpty = QStringLiteral("Empty");
const QString kNull = QStringLiteral("Null");
const QString kDate = QStringLiteral("Date");
const QString kCurrency = QStringLiteral("Currency");

Variant fromStruct(const QDBusArgument& arg) {
    const QString signature = arg.currentSignature();
    if (signature == QLatin1String("(s)")) {
        WireTag tagged;
        arg >> tagged;
        return wireTag(tagged.tag);
    }
    if (signature == QLatin1String("(sd)")) {
        WireDate date;
        arg >> date;
        return wireDate(date.tag, date.days);
    }
    if (signature == QLatin1String("(sx)")) {
        QString tag;
        qlonglong tenThousandths = 0;
        arg.beginStructure();
        arg >> tag >> tenThousandths;
        arg.endStructure();
        return wireCurrency(tag, tenThousandths);
    }
    throw VbError(VbErr::TypeMismatch);
}

}  // namespace

QDBusArgument& operator<<(QDBusArgument& arg, const WireTag& value) {
    arg.beginStructure();
    arg << value.tag;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, WireTag& value) {
    arg.beginStructure();
    arg >> value.tag;
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const WireDate& value) {
    arg.beginStructure();
    arg << value.tag << value.days;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, WireDate& value) {
    arg.beginStructure();
    arg >> value.tag >> value.days;
    arg.endStructure();
    return arg;
}

Variant wireWhole(qlonglong value) {
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        throw VbError(VbErr::Overflow);
    return Variant::Long(static_cast<int32_t>(value));
}

Variant wireUnsigned(qulonglong value) {
    if (value > static_cast<qulonglong>(std::numeric_limits<int32_t>::max()))
        throw VbError(VbErr::Overflow);
    return Variant::Long(static_cast<int32_t>(value));
}

Variant wireDouble(double value) {
    if (!std::isfinite(value)) throw VbError(VbErr::Overflow);
    return Variant::Double(value);
}

Variant wireText(QString text) {
    requireTextLength(text.size());
    return Variant(std::move(text));
}

Variant wireTag(const QString& tag) {
    if (tag == kEmpty) return Variant();
    if (tag == kNull) return Variant::Null();
    throw VbError(VbErr::TypeMismatch);
}

Variant wireDate(const QString& tag, double days) {
    // A day outside the calendar (years 100 to 9999) is refused as converting it to a date is;
    // stored, it could never be read back as text.
    if (tag != kDate) throw VbError(VbErr::TypeMismatch);
    return Variant::Date(Variant::Double(days).toDate());
}

Variant wireCurrency(const QString& tag, qlonglong tenThousandths) {
    // An amount of money, exact: a client's decimal type goes as its ten-thousandths.
    if (tag != kCurrency) throw VbError(VbErr::TypeMismatch);
    return Variant::CurrencyScaled(tenThousandths);
}

void registerWireTypes() {
    qRegisterMetaType<QDBusVariant>();
    qDBusRegisterMetaType<WireTag>();
    qDBusRegisterMetaType<WireDate>();
}

Variant fromWire(const QVariant& wire) {
    switch (wire.metaType().id()) {
        case QMetaType::Bool:
            return Variant::Boolean(wire.toBool());
        case QMetaType::Short:
            return Variant::Integer(wire.value<short>());
        case QMetaType::Int:
            return Variant::Long(wire.toInt());
        case QMetaType::Double:
            return wireDouble(wire.toDouble());
        case QMetaType::QString:
            return wireText(wire.toString());
        case QMetaType::UChar:
            return Variant::Long(wire.value<uchar>());
        case QMetaType::UShort:
            return Variant::Long(wire.value<ushort>());
        case QMetaType::UInt:
            return wireWhole(wire.value<uint>());
        case QMetaType::LongLong:
            return wireWhole(wire.toLongLong());
        case QMetaType::ULongLong:
            return wireUnsigned(wire.toULongLong());
        default:
            break;
    }
    if (wire.metaType() == QMetaType::fromType<QDBusArgument>())
        return fromStruct(wire.value<QDBusArgument>());
    throw VbError(VbErr::TypeMismatch);
}

Variant fromWireArgument(const QVariant& argument) {
    if (argument.metaType() != QMetaType::fromType<QDBusVariant>())
        throw VbError(VbErr::TypeMismatch);
    return fromWire(argument.value<QDBusVariant>().variant());
}

Variant fromPropertyArgument(const QVariant& argument) {
    if (argument.metaType() != QMetaType::fromType<QDBusVariant>())
        throw VbError(VbErr::TypeMismatch);
    const QVariant value = argument.value<QDBusVariant>().variant();
    if (value.metaType() == QMetaType::fromType<QDBusVariant>()) return fromWireArgument(value);
    return fromWire(value);
}

QVariant toWire(const Variant& value) {
    switch (value.type()) {
        case VarType::Empty:
            return QVariant::fromValue(WireTag{kEmpty});
        case VarType::Null:
            return QVariant::fromValue(WireTag{kNull});
        case VarType::Integer:
            return QVariant::fromValue<short>(value.toInteger());
        case VarType::Long:
            return QVariant::fromValue<int>(value.toLong());
        case VarType::Single:
        case VarType::Double:
        case VarType::Currency:
            return QVariant::fromValue<double>(value.toDouble());
        case VarType::Date:
            return QVariant::fromValue(WireDate{kDate, value.toDate()});
        case VarType::String:
            return QVariant::fromValue(value.toString());
        case VarType::Boolean:
            return QVariant::fromValue<bool>(value.toBoolean());
        case VarType::Missing:
        case VarType::Object:
            break;
    }
    throw VbError(VbErr::TypeMismatch);
}

QVariant countToWire(const Variant& value) {
    if (value.type() != VarType::Integer && value.type() != VarType::Long) return toWire(value);
    const int32_t count = value.toLong();
    if (count >= std::numeric_limits<int16_t>::min() &&
        count <= std::numeric_limits<int16_t>::max())
        return QVariant::fromValue<short>(static_cast<short>(count));
    return QVariant::fromValue<int>(count);
}

}  // namespace zel
