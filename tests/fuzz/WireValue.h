#pragma once

#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusVariant>
#include <QVariantMap>

#include "FuzzInput.h"

// A value of any kind QtDBus can hand over for a `v` or a dictionary entry, drawn from the
// input, nested up to depth levels.
inline QVariant wireValue(FuzzInput& in, int depth) {
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
            if (depth > 0) {
                // The key first: the order in which arguments are evaluated is the compiler's.
                const QString key = in.text();
                map.insert(key, wireValue(in, depth - 1));
            }
            return map;
        }
        default:
            return QVariant::fromValue(in.bytes());
    }
}
