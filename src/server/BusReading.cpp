#include "server/BusReading.h"

#include <dbus/dbus.h>
#include <malloc.h>

#include <QDBusConnection>
#include <limits>

namespace zel {

namespace {

constexpr int MappedFrom = 1 << 20;  // bytes: a batch of 1 000 calls is about 140 KB
constexpr int KeptFreed = 4 << 20;

}  // namespace

void readEveryMessage(const QDBusConnection& connection) {
    auto* raw = static_cast<DBusConnection*>(connection.internalPointer());
    if (raw) dbus_connection_set_max_received_size(raw, std::numeric_limits<long>::max());
}

void keepReadBuffers() {
    // Set, neither limit moves any more with the sizes the allocator sees freed.
    mallopt(M_MMAP_THRESHOLD, MappedFrom);
    mallopt(M_TRIM_THRESHOLD, KeptFreed);
}

}  // namespace zel
