#pragma once

#include <QDBusMessage>
#include <QVariantMap>
#include <vector>

#include "variant/Variant.h"

namespace zel {

class clsPrint;

// The properties of one print object as they were before a call, so that afterwards its clients
// learn what the call changed: one PropertiesChanged a call, however many steps moved a value.
class PropertySnapshot {
public:
    explicit PropertySnapshot(const clsPrint& print);
    // The properties whose value is no longer the same, as Get gives them now.
    QVariantMap changes(const clsPrint& print) const;

private:
    std::vector<Variant> values_;  // in the order of clsPrintProperties()
};

// org.freedesktop.DBus.Properties.PropertiesChanged of the object at the path.
QDBusMessage propertiesChangedSignal(const QString& path, const QVariantMap& changed);

}  // namespace zel
