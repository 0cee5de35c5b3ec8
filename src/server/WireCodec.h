#pragma once

#include <QVariant>

#include "variant/Variant.h"

class QDBusArgument;

namespace zel {

// The mapping between D-Bus values and dynamic values.
//
// On the wire: `b` Boolean, `n` Integer, `i` Long, `d` Double, `s` String. Other integer types
// (y, q, u, x, t) widen to Long or fail with 6; NaN and infinities fail with 6; a string longer
// than the longest text the system holds (1 048 576 characters) fails with 7. Empty and Null
// travel as the struct `(s)` holding "Empty" or "Null", a date as `(sd)` holding "Date" and the
// days since 30 December 1899, an amount of Currency (received only) as `(sx)` holding
// "Currency" and its ten-thousandths. Anything else (another tag, struct, array, nested variant,
// object path) is 13.

// The two structs that travel inside a `v`.
struct WireTag {
    QString tag;  // "Empty" or "Null"
};
struct WireDate {
    QString tag;  // "Date"
    double days = 0;
};
QDBusArgument& operator<<(QDBusArgument& arg, const WireTag& value);
const QDBusArgument& operator>>(const QDBusArgument& arg, WireTag& value);
QDBusArgument& operator<<(QDBusArgument& arg, const WireDate& value);
const QDBusArgument& operator>>(const QDBusArgument& arg, WireDate& value);

// Registers the wire structs and QDBusVariant with Qt's type system; call once before the
// first object is registered on a connection (the introspection leaves out methods whose
// types are unknown).
void registerWireTypes();

// A value as received: the content of a `v` or of a dictionary entry (a struct arrives as a
// QDBusArgument). A QDBusVariant here is a variant inside a variant: 13.
Variant fromWire(const QVariant& wire);
// The pieces of fromWire, for a reader that takes the values from the message itself: whole
// numbers of any wire type to Long (6 when they do not fit), a finite double, a text within the
// longest the system holds (7), and the three structs by their tag (13 for another tag).
Variant wireWhole(qlonglong value);
Variant wireUnsigned(qulonglong value);
Variant wireDouble(double value);
Variant wireText(QString text);
Variant wireTag(const QString& tag);                                 // (s)
Variant wireDate(const QString& tag, double days);                   // (sd)
Variant wireCurrency(const QString& tag, qlonglong tenThousandths);  // (sx)
// A received `v` argument (a QDBusVariant around the value).
Variant fromWireArgument(const QVariant& argument);
// The value of a property's Set: a variant inside the `v`, as D-Bus has it for a `v` property,
// or the bare value, as QtDBus clients send it.
Variant fromPropertyArgument(const QVariant& argument);

// The content of a `v` for a result. Single and Currency go as `d`; an object reference or a
// missing value is 13.
QVariant toWire(const Variant& value);
// A count such as MaxKopregel: `n` while it fits 16 bits, `i` after, so that the type a client
// sees does not depend on how the count was computed. Other values as toWire.
QVariant countToWire(const Variant& value);

}  // namespace zel

Q_DECLARE_METATYPE(zel::WireTag)
Q_DECLARE_METATYPE(zel::WireDate)
