#include "server/BusReading.h"

#include <dbus/dbus.h>

#include <QDBusConnection>
#include <limits>

namespace zel {

void readEveryMessage(const QDBusConnection& connection) {
    auto* raw = static_cast<DBusConnection*>(connection.internalPointer());
    if (raw) dbus_connection_set_max_received_size(raw, std::numeric_limits<long>::max());
}

}  // namespace zel
