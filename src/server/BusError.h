#pragma once

#include <QString>

namespace zel {

// The bus's standard error names the service answers with.
inline const QString kUnknownObject = QStringLiteral("org.freedesktop.DBus.Error.UnknownObject");
inline const QString kUnknownMethod = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");
inline const QString kUnknownProperty =
    QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty");
inline const QString kUnknownInterface =
    QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface");
inline const QString kInvalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
inline const QString kFailed = QStringLiteral("org.freedesktop.DBus.Error.Failed");

// An error that is the bus's own (no such object, wrong signature), not the print object's.
struct BusError {
    QString name;
    QString text;
};

}  // namespace zel
