#include "server/RawMessage.h"

#include <QtDBus/private/qdbusargument_p.h>

#include <QDBusArgument>
#include <QVariant>

namespace zel {

namespace {

// QtDBus keeps its reader of the message in the argument's protected part.
struct ArgumentReader : QDBusArgument {
    static constexpr QDBusArgumentPrivate* QDBusArgument::*reader = &ArgumentReader::d;
};

}  // namespace

DBusMessage* rawMessage(const QVariant& argument) {
    if (argument.metaType() != QMetaType::fromType<QDBusArgument>()) return nullptr;
    const QDBusArgument& wire = *static_cast<const QDBusArgument*>(argument.constData());
    const QDBusArgumentPrivate* reader = wire.*ArgumentReader::reader;
    if (!reader || reader->direction != QDBusArgumentPrivate::Demarshalling) return nullptr;
    return reader->message;
}

}  // namespace zel
