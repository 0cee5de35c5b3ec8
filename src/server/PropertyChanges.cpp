#include "server/PropertyChanges.h"

#include <QStringList>

#include "server/Introspection.h"
#include "server/Members.h"

namespace zel {

PropertySnapshot::PropertySnapshot(const clsPrint& print) {
    for (const PropertySpec& property : clsPrintProperties())
        values_.push_back(property.read(print));
}

QVariantMap PropertySnapshot::changes(const clsPrint& print) const {
    QVariantMap changed;
    const std::vector<PropertySpec>& properties = clsPrintProperties();
    for (size_t i = 0; i < properties.size(); ++i)
        if (!properties[i].read(print).identical(values_[i]))
            changed.insert(properties[i].name, properties[i].wire(print));
    return changed;
}

QDBusMessage propertiesChangedSignal(const QString& path, const QVariantMap& changed) {
    QDBusMessage signal =
        QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << Bus::kObjectInterface << changed << QStringList();
    return signal;
}

}  // namespace zel
