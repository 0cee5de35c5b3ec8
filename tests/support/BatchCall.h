#pragma once

#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QVariantMap>

// One call of a ZelPrintDemo.Batch.Run, as the bus carries it: (sava{sv}). A message sends a
// QList<BatchCall> once both are registered with qDBusRegisterMetaType.
struct BatchCall {
    QString member;
    QList<QVariant> args;  // each goes as a `v`
    QVariantMap options;
};

inline QDBusArgument& operator<<(QDBusArgument& arg, const BatchCall& call) {
    arg.beginStructure();
    arg << call.member;
    arg.beginArray(QMetaType::fromType<QDBusVariant>());
    for (const QVariant& value : call.args) arg << QDBusVariant(value);
    arg.endArray();
    arg << call.options;
    arg.endStructure();
    return arg;
}

inline const QDBusArgument& operator>>(const QDBusArgument& arg, BatchCall&) {
    return arg;  // only sent
}

Q_DECLARE_METATYPE(BatchCall)
